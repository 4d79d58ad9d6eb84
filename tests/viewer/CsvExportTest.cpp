// CSV export: what tools that don't read workbooks get, and that a failed or cancelled export
// never leaves half a file or spoils one already there.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "viewer/CsvExport.h"

using namespace zr410;

namespace {

class Csv : public ::testing::Test {
protected:
    QString dataFile(const QByteArray& bytes) {
        const QString path = dir_.filePath("ZR410_01.DAT");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(Csv, RecordsBecomeIsoTimestampsAndTheFilesOwnValueTexts) {
    QByteArray bytes =
        "2024-05-17\t23:59:58\t85.3\t80.1\t78.9\t25.0\t1.30\t85.0\r\n"
        "2024-05-18\t00:00:03\t--\t\t-3\t25\n"                      // short record: empty fields
        "\x01\x02binary\r\n"                                        // no record: left out
        "2024-13-45\t25:00:00\t1,5\t\"q\"\t1\t1\t1\t1\t9\t10\r\n";  // as recorded, quoted
    bytes += "2024-05-18\t00:00:0";                                 // torn: still being written
    const QString csv = dir_.filePath("out.csv");
    const CsvExportResult result = ExportToCsv(dataFile(bytes), csv);
    ASSERT_TRUE(result.ok) << result.errorText.toStdString();
    EXPECT_EQ(result.rowsWritten, 3);
    EXPECT_EQ(result.linesSkipped, 2);
    EXPECT_EQ(read(csv), QStringLiteral("저장일시,금형온도,매체온도,회수온도,급수온도,압력,SV\r\n"
                                        "2024-05-17T23:59:58,85.3,80.1,78.9,25.0,1.30,85.0\r\n"
                                        "2024-05-18T00:00:03,--,,-3,25,,\r\n"
                                        "2024-13-45 25:00:00,\"1,5\",\"\"\"q\"\"\",1,1,1,1\r\n")
                             .toUtf8());
}

TEST_F(Csv, FailureAndCancelLeaveAnExistingFileAsItWas) {
    QByteArray many;
    for (int i = 0; i < 60'000; ++i) {
        many += "2024-05-17\t10:00:00\t85.3\t80.1\t78.9\t25.0\t1.30\t85.0\r\n";
    }
    const QString data = dataFile(many);
    const QString csv = dir_.filePath("kept.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier export\r\n");
    }
    const CsvExportResult cancelled =
        ExportToCsv(data, csv, [](qint64 done, qint64) { return done < (1 << 20); });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.ok);
    EXPECT_EQ(read(csv), "earlier export\r\n");

    const CsvExportResult missing = ExportToCsv(dir_.filePath("gone.DAT"), csv);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.errorText.isEmpty());
    EXPECT_EQ(read(csv), "earlier export\r\n");

    const CsvExportResult nowhere = ExportToCsv(data, dir_.filePath("no/such/folder/x.csv"));
    EXPECT_FALSE(nowhere.ok);
    EXPECT_FALSE(nowhere.errorText.isEmpty());

    const CsvExportResult whole = ExportToCsv(data, csv);
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.rowsWritten, 60'000);
    EXPECT_EQ(read(csv).count("\r\n"), 60'001);
}
