// The exported workbook, read back by an independent reader (openpyxl): sheet names, headers,
// typed cells and every row, including files bigger than one sheet and files with rubbish.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "viewer/SpreadsheetExport.h"

using namespace zr410;

namespace {

// Cell types and values of every sheet, as openpyxl reads them.
const char* kReadBack = R"(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in wb.worksheets:
    rows = []
    for row in ws.iter_rows():
        cells = []
        for c in row:
            v = c.value
            kind = type(v).__name__
            if isinstance(v, (datetime.datetime, datetime.time)):
                v = v.isoformat()
            cells.append([kind, v, c.number_format])
        rows.append(cells)
    out.append({"name": ws.title, "rows": rows})
print(json.dumps(out))
)";

QJsonArray readBack(const QString& workbook) {
    // Debian's interpreter, where python3-openpyxl installs, even when another python3 is first
    // on the path.
    const QString interpreter =
        QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : "python3";
    QProcess python;
    python.start(interpreter, {"-c", kReadBack, workbook});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl could not read the workbook (is python3-openpyxl installed?): "
                      << python.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

QJsonArray cell(const QJsonArray& sheets, int sheet, int row, int column) {
    return sheets[sheet].toObject()["rows"].toArray()[row].toArray()[column].toArray();
}

int rowCount(const QJsonArray& sheets, int sheet) {
    return static_cast<int>(sheets[sheet].toObject()["rows"].toArray().size());
}

class Export : public ::testing::Test {
protected:
    QString dataFile(const QByteArray& bytes) {
        const QString path = dir_.filePath("ZR410_07.DAT");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QString workbook() const { return dir_.filePath("out.xlsx"); }
    QTemporaryDir dir_;
};

}  // namespace

TEST(ColumnLetterTest, OneAndTwoLetterColumns) {
    EXPECT_EQ(ColumnLetter(1), "A");
    EXPECT_EQ(ColumnLetter(8), "H");
    EXPECT_EQ(ColumnLetter(26), "Z");
    EXPECT_EQ(ColumnLetter(27), "AA");
    EXPECT_EQ(ColumnLetter(28), "AB");
    EXPECT_EQ(ColumnLetter(52), "AZ");
    EXPECT_EQ(ColumnLetter(53), "BA");
    EXPECT_EQ(ColumnLetter(702), "ZZ");
    EXPECT_EQ(ColumnLetter(703), "AAA");
}

TEST_F(Export, TwoRecordsBecomeRowsTwoAndThreeWithTypedCells) {
    const QString data = dataFile(
        "2024-05-17\t14:03:25\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n"
        "2024-05-17\t23:59:59\t--\t\t-3\t25\t1.2\t85.0\n");
    const SpreadsheetExportResult result = ExportToSpreadsheet(data, workbook());
    ASSERT_TRUE(result.ok) << result.errorText.toStdString();
    EXPECT_EQ(result.rowsWritten, 2);
    EXPECT_EQ(result.sheets, 1);

    const QJsonArray sheets = readBack(workbook());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].toObject()["name"].toString(), "Graph Data");
    ASSERT_EQ(rowCount(sheets, 0), 3);
    const auto& headers = ExportHeaders();
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(cell(sheets, 0, 0, c)[1].toString(), headers[c])
            << ColumnLetter(c + 1).toStdString();
    }
    // A2 is a date cell, B2 a time cell, C2..H2 numbers keeping their decimals.
    EXPECT_EQ(cell(sheets, 0, 1, 0)[0].toString(), "datetime");
    EXPECT_EQ(cell(sheets, 0, 1, 0)[1].toString(), "2024-05-17T00:00:00");
    EXPECT_EQ(cell(sheets, 0, 1, 0)[2].toString(), "yyyy-mm-dd");
    EXPECT_EQ(cell(sheets, 0, 1, 1)[0].toString(), "time");
    EXPECT_EQ(cell(sheets, 0, 1, 1)[1].toString(), "14:03:25");
    EXPECT_EQ(cell(sheets, 0, 2, 1)[1].toString(), "23:59:59");
    EXPECT_EQ(cell(sheets, 0, 1, 2)[0].toString(), "float");
    EXPECT_DOUBLE_EQ(cell(sheets, 0, 1, 2)[1].toDouble(), 85.3);
    EXPECT_EQ(cell(sheets, 0, 1, 6)[2].toString(), "0.00");
    EXPECT_DOUBLE_EQ(cell(sheets, 0, 1, 6)[1].toDouble(), 1.25);
    EXPECT_EQ(cell(sheets, 0, 1, 7)[2].toString(), "0.0");
    // Texts that are no number stay texts; empty fields stay empty.
    EXPECT_EQ(cell(sheets, 0, 2, 2)[0].toString(), "str");
    EXPECT_EQ(cell(sheets, 0, 2, 2)[1].toString(), "--");
    EXPECT_EQ(cell(sheets, 0, 2, 3)[0].toString(), "NoneType");
    EXPECT_DOUBLE_EQ(cell(sheets, 0, 2, 4)[1].toDouble(), -3.0);
}

TEST_F(Export, RecordsBeyondOneSheetContinueOnTheNextWithTheirHeaders) {
    QByteArray bytes;
    for (int i = 0; i < 7; ++i) {
        bytes += "2024-05-17\t10:00:0" + QByteArray::number(i) + "\t" + QByteArray::number(i) +
                 "\t1\t1\t1\t1\t1\r\n";
    }
    const auto result = ExportToSpreadsheet(dataFile(bytes), workbook(), {}, 3);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.sheets, 3);
    EXPECT_EQ(result.rowsWritten, 7);
    const QJsonArray sheets = readBack(workbook());
    ASSERT_EQ(sheets.size(), 3);
    EXPECT_EQ(sheets[1].toObject()["name"].toString(), "Graph Data 2");
    EXPECT_EQ(sheets[2].toObject()["name"].toString(), "Graph Data 3");
    EXPECT_EQ(rowCount(sheets, 0), 4);
    EXPECT_EQ(rowCount(sheets, 1), 4);
    EXPECT_EQ(rowCount(sheets, 2), 2);
    EXPECT_EQ(cell(sheets, 1, 0, 0)[1].toString(), "저장일자");
    EXPECT_DOUBLE_EQ(cell(sheets, 1, 1, 2)[1].toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(cell(sheets, 2, 1, 2)[1].toDouble(), 6.0);
}

TEST_F(Export, RubbishLinesAreLeftOutAndOddBytesStillGiveAValidWorkbook) {
    QByteArray bytes = "2024-05-17\t10:00:00\t\xff\xfe\xc3\t1\t1\t1\t1\t1\r\n";
    bytes += QByteArray("\x00\x01garbage\x02\r\n", 13);
    bytes += "\r\n2024-13-45\t25:00:00\t1\t1\t1\t1\t1\t1\t9\t10\r\n";
    const QByteArray huge(3000, '7');  // far too long for a number: exported as its text
    bytes += "2024-05-17\t10:00:01\t" + huge + "\t1234567890.12345\t1\t1\t1\t1\r\n";
    const auto result = ExportToSpreadsheet(dataFile(bytes), workbook());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.rowsWritten, 3);
    EXPECT_EQ(result.linesSkipped, 2);
    const QJsonArray sheets = readBack(workbook());
    ASSERT_EQ(rowCount(sheets, 0), 4);
    EXPECT_EQ(cell(sheets, 0, 1, 2)[0].toString(), "str");
    // Impossible dates and times stay as the texts they were; extra fields get columns I, J.
    EXPECT_EQ(cell(sheets, 0, 2, 0)[1].toString(), "2024-13-45");
    EXPECT_EQ(cell(sheets, 0, 2, 1)[1].toString(), "25:00:00");
    EXPECT_DOUBLE_EQ(cell(sheets, 0, 2, 9)[1].toDouble(), 10.0);
    EXPECT_EQ(cell(sheets, 0, 3, 2)[0].toString(), "str");
    EXPECT_EQ(cell(sheets, 0, 3, 2)[1].toString(), QString::fromLatin1(huge));
    EXPECT_DOUBLE_EQ(cell(sheets, 0, 3, 3)[1].toDouble(), 1234567890.12345);
}

TEST_F(Export, FailuresAndCancelLeaveNoWorkbook) {
    const auto missing = ExportToSpreadsheet(dir_.filePath("gone.DAT"), workbook());
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.errorText.isEmpty());
    EXPECT_FALSE(QFile::exists(workbook()));

    const QString data = dataFile("2024-05-17\t10:00:00\t1\t1\t1\t1\t1\t1\r\n");
    const auto unwritable = ExportToSpreadsheet(data, dir_.filePath("no/such/folder/out.xlsx"));
    EXPECT_FALSE(unwritable.ok);
    EXPECT_FALSE(unwritable.errorText.isEmpty());

    QByteArray big;
    for (int i = 0; i < 40'000; ++i) {
        big += "2024-05-17\t10:00:00\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n";
    }
    const auto cancelled =
        ExportToSpreadsheet(dataFile(big), workbook(), [](qint64, qint64) { return false; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.ok);
    EXPECT_FALSE(QFile::exists(workbook()));
}

TEST_F(Export, EmptyFileGivesTheHeadersOnly) {
    const auto result = ExportToSpreadsheet(dataFile(""), workbook());
    ASSERT_TRUE(result.ok);
    const QJsonArray sheets = readBack(workbook());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(rowCount(sheets, 0), 1);
}

TEST(TemporaryWorkbook, NamedAfterTheDataFileAndNeverReused) {
    const QString a = TemporaryWorkbookPath("/data/ZR410_07.DAT");
    EXPECT_TRUE(a.endsWith(".xlsx"));
    EXPECT_TRUE(a.contains("ZR410_07_"));
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_NE(TemporaryWorkbookPath("/data/ZR410_07.DAT"), a);
    QFile::remove(a);
}
