// The reader, held against the writer: what the logger writes is what the viewer charts, and
// whatever else a file holds neither stops the reader nor turns into a bogus point.
#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>

#include "common/NumberEntry.h"
#include "logging/DataFile.h"

using namespace zr410;

namespace {

class DataFileReader : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("ZR410_01.DAT")) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    DataFileLoadResult read(const QByteArray& bytes) { return ReadDataFile(write(bytes)); }

    QTemporaryDir dir_;
};

QByteArray record(const char* time, const char* pressure = "1.25", const char* sv = "85.0") {
    return QByteArray("2024-05-17\t") + time + "\t85.3\t80.1\t78.9\t25.0\t" + pressure + "\t" + sv +
           "\r\n";
}

std::vector<QString> labels(const DataFileContents& contents) {
    std::vector<QString> out;
    for (qsizetype i = 0; i < contents.size(); ++i) {
        out.push_back(contents.times.at(i));
    }
    return out;
}

}  // namespace

TEST_F(DataFileReader, RecordsWrittenByTheLoggerComeBackFieldForField) {
    const QString path = DataFilePath(dir_.path(), "ZR410", 7);
    const DataRecordValues values = {"85.3", "80.1", "78.9", "25.0", "1.25", "85.0"};
    for (int s : {25, 36, 47}) {
        ASSERT_TRUE(
            AppendDataRecord(path, FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, s), values)));
    }
    const DataFileLoadResult result = ReadDataFile(path);
    ASSERT_EQ(result.status, DataFileStatus::Ok);
    EXPECT_EQ(result.recordsRead, 3);
    EXPECT_EQ(result.linesSkipped, 0);
    EXPECT_EQ(labels(result.contents), (std::vector<QString>{"14:03:25", "14:03:36", "14:03:47"}));
    EXPECT_EQ(result.contents.dates.at(2), "2024-05-17");
    const std::array<double, 6> expected = {85.3, 80.1, 78.9, 25.0, 1.25, 85.0};
    for (int s = 0; s < kDataSeriesCount; ++s) {
        ASSERT_EQ(result.contents.series[s].size(), 3u);
        EXPECT_DOUBLE_EQ(result.contents.series[s][1], expected[s]) << "series " << s;
    }
}

TEST_F(DataFileReader, AFileSpanningMidnightKeepsItsTimesInFileOrder) {
    const DataFileLoadResult result = read(
        "2024-05-17\t23:59:58\t1\t2\t3\t4\t5\t6\r\n"
        "2024-05-18\t00:00:03\t1\t2\t3\t4\t5\t6\r\n");
    EXPECT_EQ(labels(result.contents), (std::vector<QString>{"23:59:58", "00:00:03"}));
    EXPECT_EQ(result.contents.dates.at(1), "2024-05-18");
}

TEST_F(DataFileReader, DashesAndEmptyFieldsReadAsZeroAndValuesKeepTheirLeadingNumber) {
    const DataFileLoadResult result = read(
        "2024-05-17\t14:03:25\t--\t\t 78.5abc\t-3.5\t1.25\t+.5\r\n"
        "2024-05-17\t14:03:26\t1.2.3\t.\t-\t85\t007\t12,5\r\n");
    ASSERT_EQ(result.recordsRead, 2);
    const auto& s = result.contents.series;
    EXPECT_EQ(s[0][0], 0.0);
    EXPECT_EQ(s[1][0], 0.0);
    EXPECT_DOUBLE_EQ(s[2][0], 78.5);
    EXPECT_DOUBLE_EQ(s[3][0], -3.5);
    EXPECT_DOUBLE_EQ(s[4][0], 1.25);
    EXPECT_DOUBLE_EQ(s[5][0], 0.5);
    EXPECT_DOUBLE_EQ(s[0][1], 1.2);
    EXPECT_EQ(s[1][1], 0.0);
    EXPECT_EQ(s[2][1], 0.0);
    EXPECT_DOUBLE_EQ(s[4][1], 7.0);
    EXPECT_DOUBLE_EQ(s[5][1], 12.0);
    EXPECT_DOUBLE_EQ(result.contents.minimum[3], -3.5);
    EXPECT_DOUBLE_EQ(result.contents.maximum[2], 78.5);
}

TEST_F(DataFileReader, ShortLinesAreRecordsWhoseMissingValuesReadZero) {
    const DataFileLoadResult result = read(
        "2024-05-17\t14:03:25\t85.3\r\n"
        "2024-05-17\t14:03:26\r\n" +
        record("14:03:27"));
    ASSERT_EQ(result.status, DataFileStatus::Ok);
    EXPECT_EQ(result.recordsRead, 3);
    EXPECT_EQ(result.shortRecords, 2);
    EXPECT_EQ(result.linesSkipped, 0);
    EXPECT_DOUBLE_EQ(result.contents.series[0][0], 85.3);
    for (int s = 1; s < kDataSeriesCount; ++s) {
        EXPECT_EQ(result.contents.series[s][0], 0.0);
    }
    EXPECT_EQ(result.contents.times.at(1), "14:03:26");
    ASSERT_EQ(result.firstIssues.size(), 2u);
    EXPECT_EQ(result.firstIssues[0].lineNumber, 1);
    EXPECT_EQ(result.firstIssues[0].kind, DataLineKind::ShortRecord);
}

TEST_F(DataFileReader, ExtraFieldsBeyondTheEighthAreIgnored) {
    const DataFileLoadResult result = read("2024-05-17\t14:03:25\t1\t2\t3\t4\t5\t6\t7\t8\r\n");
    EXPECT_EQ(result.recordsRead, 1);
    EXPECT_DOUBLE_EQ(result.contents.series[5][0], 6.0);
}

TEST_F(DataFileReader, CrLfLfAndMixedLineEndsGiveTheSameRecords) {
    QByteArray crlf;
    for (int i = 0; i < 50; ++i) {
        crlf += record(QString::asprintf("10:00:%02d", i).toLatin1().constData());
    }
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray mixed = crlf;
    mixed.replace("\r\n2024-05-17\t10:00:1", "\n2024-05-17\t10:00:1");

    const auto a = read(crlf);
    const auto b = ReadDataFile(write(lf, "b.DAT"));
    const auto c = ReadDataFile(write(mixed, "c.DAT"));
    for (const auto* r : {&a, &b, &c}) {
        ASSERT_EQ(r->recordsRead, 50);
        EXPECT_EQ(r->linesSkipped, 0);
        EXPECT_EQ(labels(r->contents), labels(a.contents));
        EXPECT_EQ(r->contents.series[5], a.contents.series[5]);
    }
}

TEST_F(DataFileReader, LastLineWithoutLineEndCountsOnlyWhenWhole) {
    // The logger may be half-way through a record while the viewer reads.
    const auto torn = read(record("10:00:00") + "2024-05-17\t10:00:0");
    EXPECT_EQ(torn.recordsRead, 1);
    EXPECT_EQ(torn.linesSkipped, 1);
    ASSERT_EQ(torn.firstIssues.size(), 1u);
    EXPECT_EQ(torn.firstIssues[0].kind, DataLineKind::Incomplete);

    QByteArray whole = record("10:00:00") + record("10:00:01");
    whole.chop(2);
    const auto kept = read(whole);
    EXPECT_EQ(kept.recordsRead, 2);
    EXPECT_DOUBLE_EQ(kept.contents.series[5][1], 85.0);
}

TEST_F(DataFileReader, BinaryGarbageAndBlankLinesAreSkippedAndCounted) {
    QByteArray garbage;
    QRandomGenerator rng(1234);
    for (int i = 0; i < 3000; ++i) {
        garbage += static_cast<char>(rng.bounded(256));
    }
    const auto result =
        read(record("10:00:00") + "\r\n   \r\n" + QByteArray("\0\x01\x02\t5\r\n", 7) +
             "just a note\r\n" + garbage + "\n" + record("10:00:01"));
    ASSERT_EQ(result.status, DataFileStatus::Ok);
    EXPECT_EQ(labels(result.contents).front(), "10:00:00");
    EXPECT_EQ(labels(result.contents).back(), "10:00:01");
    EXPECT_GE(result.linesSkipped, 4);
    ASSERT_GE(result.firstIssues.size(), 4u);
    EXPECT_EQ(result.firstIssues[0].lineNumber, 2);
    EXPECT_EQ(result.firstIssues[0].kind, DataLineKind::Empty);
    EXPECT_EQ(result.firstIssues[1].kind, DataLineKind::Empty);
    EXPECT_EQ(result.firstIssues[2].kind, DataLineKind::Binary);
    EXPECT_EQ(result.firstIssues[3].kind, DataLineKind::NotARecord);
    for (int s = 0; s < kDataSeriesCount; ++s) {
        for (double v : result.contents.series[s]) {
            EXPECT_TRUE(std::isfinite(v));
        }
    }
}

TEST_F(DataFileReader, AWholeFileOfRandomBytesGivesNoRecordsAndNoCrash) {
    QByteArray garbage(2'000'000, '\0');
    QRandomGenerator rng(99);
    for (char& c : garbage) {
        c = static_cast<char>(rng.bounded(256));
    }
    const auto result = read(garbage);
    EXPECT_EQ(result.status, DataFileStatus::Ok);
    EXPECT_EQ(result.recordsRead, result.contents.size());
    EXPECT_GT(result.linesSkipped, 0);
}

TEST_F(DataFileReader, AnOverlongLineIsSkippedAndTheNextLineStillRead) {
    const QByteArray longLine(DataLineReader::kMaxLineLength * 3, '7');
    const auto result = read(record("10:00:00") + longLine + "\r\n" + record("10:00:01"));
    EXPECT_EQ(result.recordsRead, 2);
    EXPECT_EQ(result.linesSkipped, 1);
    ASSERT_EQ(result.firstIssues.size(), 1u);
    EXPECT_EQ(result.firstIssues[0].kind, DataLineKind::Overlong);
    EXPECT_EQ(result.firstIssues[0].lineNumber, 2);
}

TEST_F(DataFileReader, EmptyMissingAndUnopenableFilesAreReportedNotThrown) {
    const auto empty = read(QByteArray());
    EXPECT_EQ(empty.status, DataFileStatus::Ok);
    EXPECT_EQ(empty.recordsRead, 0);
    EXPECT_EQ(empty.contents.size(), 0);

    EXPECT_EQ(ReadDataFile(dir_.filePath("nothing.DAT")).status, DataFileStatus::Missing);
    EXPECT_EQ(ReadDataFile(dir_.path()).status, DataFileStatus::Unreadable);

    if (geteuid() != 0) {
        const QString locked = write(record("10:00:00"), "locked.DAT");
        QFile::setPermissions(locked, QFileDevice::Permissions());
        const auto result = ReadDataFile(locked);
        EXPECT_EQ(result.status, DataFileStatus::Unreadable);
        EXPECT_FALSE(result.errorText.isEmpty());
    }
}

TEST_F(DataFileReader, ProgressReachesTheEndAndReturningFalseCancels) {
    QByteArray big;
    for (int i = 0; i < 60'000; ++i) {
        big += record("10:00:00");
    }
    const QString path = write(big);
    qint64 last = -1;
    int calls = 0;
    const auto done = ReadDataFile(path, [&](qint64 at, qint64 total) {
        EXPECT_GE(at, last);
        EXPECT_EQ(total, big.size());
        last = at;
        ++calls;
        return true;
    });
    EXPECT_EQ(done.recordsRead, 60'000);
    EXPECT_GT(calls, 1);
    EXPECT_EQ(last, big.size());

    const auto cancelled = ReadDataFile(path, [](qint64, qint64) { return false; });
    EXPECT_EQ(cancelled.status, DataFileStatus::Cancelled);
    EXPECT_EQ(cancelled.contents.size(), 0);
}

TEST(DataLineReaderTest, LinesCrossingBlockBoundariesComeOutWhole) {
    QRandomGenerator rng(7);
    std::vector<QByteArray> lines;
    QByteArray text;
    for (int i = 0; i < 3000; ++i) {
        QByteArray line(rng.bounded(0, 200), 'a' + static_cast<char>(i % 26));
        lines.push_back(line);
        text += line + (i % 3 == 0 ? "\r\n" : "\n");
    }
    QBuffer device(&text);
    device.open(QIODevice::ReadOnly);
    DataLineReader reader(device, 4096);
    QByteArrayView line;
    size_t n = 0;
    while (reader.next(line)) {
        ASSERT_LT(n, lines.size());
        EXPECT_EQ(line, lines[n]) << "line " << n;
        EXPECT_TRUE(reader.lineTerminated());
        ++n;
    }
    EXPECT_EQ(n, lines.size());
    EXPECT_EQ(reader.bytesConsumed(), text.size());
}

TEST(ForEachDataFieldTest, KeepsEmptyFieldsAtEveryPosition) {
    std::vector<QByteArray> fields;
    ForEachDataField("\ta\t\tb\t", [&](int, QByteArrayView f) {
        fields.emplace_back(f.toByteArray());
        return true;
    });
    EXPECT_EQ(fields, (std::vector<QByteArray>{"", "a", "", "b", ""}));
}

TEST(ParseDataFieldTest, GivesExactlyTheLeadingNumberParseForEveryKindOfField) {
    QRandomGenerator rng(42);
    const char alphabet[] = "0123456789....--++  aE,e\t";
    std::vector<QByteArray> fields = {"",
                                      "--",
                                      "85.3",
                                      "-0",
                                      "+.5",
                                      "1.",
                                      ".",
                                      "-",
                                      "  7",
                                      "1.2.3",
                                      "12,5",
                                      "0.1",
                                      "999999999999999",
                                      "9999999999999999",
                                      "0.000000000000001",
                                      "123456789.123456",
                                      "-3.5e2",
                                      "\xea\xb0\x80"};
    for (int i = 0; i < 200'000; ++i) {
        QByteArray f;
        const int length = rng.bounded(0, 24);
        for (int k = 0; k < length; ++k) {
            f += alphabet[rng.bounded(static_cast<int>(sizeof alphabet) - 1)];
        }
        fields.push_back(f);
        fields.push_back(
            QByteArray::number(rng.generateDouble() * 2000 - 1000, 'f', rng.bounded(0, 12)));
    }
    for (const QByteArray& f : fields) {
        const double fast = ParseDataField(f);
        const double general = ParseLeadingNumber(QByteArrayView(f));
        ASSERT_EQ(std::signbit(fast), std::signbit(general)) << f.toStdString();
        ASSERT_EQ(fast, general) << f.toStdString();
    }
}
