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
        out.push_back(contents.stamps.time(i));
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
    EXPECT_EQ(result.contents.stamps.date(2), "2024-05-17");
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
    EXPECT_EQ(result.contents.stamps.date(1), "2024-05-18");
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
    EXPECT_EQ(result.contents.stamps.time(1), "14:03:26");
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
        EXPECT_EQ(r->contents.series[5].toVector(), a.contents.series[5].toVector());
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
        for (double v : result.contents.series[s].toVector()) {
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

namespace {

// Everything a reader gives, as comparable texts and numbers.
struct Snapshot {
    std::vector<QString> stamps;
    std::vector<double> values;
    std::vector<QString> texts;
    qint64 records, shortRecords, skipped, bytesComplete;
    std::vector<std::pair<qint64, int>> issues;
    std::array<double, kDataSeriesCount> minimum, maximum;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const DataFileLoadResult& r) {
    Snapshot s{{},
               {},
               {},
               r.recordsRead,
               r.shortRecords,
               r.linesSkipped,
               r.bytesComplete,
               {},
               r.contents.minimum,
               r.contents.maximum};
    for (qsizetype i = 0; i < r.contents.size(); ++i) {
        s.stamps.push_back(r.contents.stamps.date(i) + '|' + r.contents.stamps.time(i));
        for (int c = 0; c < kDataSeriesCount; ++c) {
            s.values.push_back(r.contents.series[c][static_cast<size_t>(i)]);
            s.texts.push_back(DataValueText(r.contents, i, c));
        }
    }
    for (const auto& issue : r.firstIssues) {
        s.issues.emplace_back(issue.lineNumber, static_cast<int>(issue.kind));
    }
    return s;
}

}  // namespace

TEST_F(DataFileReader, AFileReadInPiecesOnSeveralThreadsGivesWhatOneThreadGives) {
    // Every kind of line, and values that do not pack: more decimals than the column's, too
    // large, a column whose usual decimals change, odd dates and times kept as texts.
    QByteArray bytes;
    QRandomGenerator rng(7);
    for (int i = 0; i < 400; ++i) {
        bytes += record(QTime(23, 59, 0).addSecs(i).toString("HH:mm:ss").toLatin1().constData(),
                        i % 3 ? "1.25" : "1.3", i % 50 == 7 ? "--" : "85.0");
        switch (i % 41) {
            case 3:
                bytes += "\n";
                break;
            case 5:
                bytes += "2024-02-30\t24:00:00\t1\t2\t3\t4\t5\t6\r\n";
                break;
            case 9:
                bytes += "2024-05-18\t10:00:00\t99999.5\t-0.0\t007\t1e3\t+4\t 12.345\n";
                break;
            case 11:
                bytes += "2024-05-18\t10:00:01\t1.2\t1000861293337707602830\n";
                break;
            case 17:
                bytes += QByteArray("bin\x01\x02\tx\n", 9);
                break;
            case 23:
                bytes += QByteArray(70'000, 'x') + "\n";
                break;
            case 29:
                bytes += "1969-12-31\t00:00:00\t-3276.7\t3276.7\t-3276.8\t6553.5\t0.01\t1\n";
                break;
            default:
                break;
        }
        if (i % 97 == 0) {
            bytes += QByteArray::number(rng.bounded(1000)) + "\r\n";
        }
    }
    bytes += "2024-05-19\t00:00:00\t85.3";  // still being written
    const QString path = write(bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Snapshot oneThread = snapshot(ReadDataFile(buffer));
    ASSERT_GT(oneThread.records, 400);
    for (const qint64 piece : {13, 200, 4096, 65'000}) {
        for (const int threads : {2, 3}) {
            const DataFileLoadResult r = ReadDataFile(path, {}, {threads, piece});
            ASSERT_EQ(r.status, DataFileStatus::Ok);
            EXPECT_TRUE(snapshot(r) == oneThread) << piece << " bytes on " << threads;
        }
    }
    // The odd values come back as they were, whatever their storage.
    EXPECT_NE(std::find(oneThread.texts.begin(), oneThread.texts.end(), "99999.5"),
              oneThread.texts.end());
    EXPECT_NE(std::find(oneThread.stamps.begin(), oneThread.stamps.end(), "2024-02-30|24:00:00"),
              oneThread.stamps.end());
    EXPECT_NE(std::find(oneThread.values.begin(), oneThread.values.end(), 6553.5),
              oneThread.values.end());
}

TEST_F(DataFileReader, CancellingOrFailingInPiecesLeavesNothingHalfJoined) {
    QByteArray bytes;
    for (int i = 0; i < 20'000; ++i) {
        bytes += record("10:00:00");
    }
    const QString path = write(bytes);
    int calls = 0;
    const DataFileLoadResult cancelled =
        ReadDataFile(path, [&](qint64, qint64) { return ++calls < 3; }, {2, 4096});
    EXPECT_EQ(cancelled.status, DataFileStatus::Cancelled);
    EXPECT_EQ(cancelled.contents.size(), 0);
    qint64 last = -1;
    const DataFileLoadResult whole = ReadDataFile(path,
                                                  [&](qint64 done, qint64 total) {
                                                      EXPECT_GE(done, last);
                                                      EXPECT_LE(done, total);
                                                      last = done;
                                                      return true;
                                                  },
                                                  {2, 4096});
    EXPECT_EQ(whole.recordsRead, 20'000);
    EXPECT_EQ(last, bytes.size());
}

TEST(ValueColumnTest, PackedValuesReadBackAsTheirTextParsesAndOutliersAreKeptExactly) {
    ValueColumn column(1);
    const std::vector<QByteArray> texts = {"85.3",   "-3276.7", "3276.7", "0.1",  "85",  "1.25",
                                           "6553.5", "1e9",     "-0",     "12.0", "0.07"};
    for (const QByteArray& t : texts) {
        column.push_back(ParseLeadingNumber(t));
    }
    column.appendDecimal(-32767, 1);
    column.appendDecimal(123456789012345, 3);
    ASSERT_TRUE(column.packed());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(column[i], ParseLeadingNumber(texts[i])) << texts[i].constData();
    }
    EXPECT_EQ(column[texts.size()], -3276.7);
    EXPECT_EQ(column[texts.size() + 1], 123456789012.345);
    EXPECT_TRUE(column.hasOutliers());

    // Joined with a column of other decimals, every value stays what it was.
    ValueColumn other(2);
    other.push_back(1.25);
    other.push_back(327.67);
    ValueColumn joined = column;
    joined.append(other);
    EXPECT_EQ(joined.size(), column.size() + 2);
    EXPECT_EQ(joined[column.size()], 1.25);
    EXPECT_EQ(joined[column.size() + 1], 327.67);

    // Lowest, highest and sum over any stretch, outliers and the marker's own value included.
    const std::vector<double> all = joined.toVector();
    for (size_t first = 0; first < all.size(); first += 3) {
        for (size_t last = first + 1; last <= all.size(); last += 2) {
            const auto span = joined.span(first, last);
            EXPECT_EQ(span.low, *std::min_element(all.begin() + first, all.begin() + last));
            EXPECT_EQ(span.high, *std::max_element(all.begin() + first, all.begin() + last));
            double sum = 0;
            for (size_t i = first; i < last; ++i) {
                sum += all[i];
            }
            EXPECT_NEAR(span.sum, sum, 1e-6 * std::max(1.0, std::fabs(sum))) << first;
        }
    }

    // Mostly outliers: kept as doubles, no value lost.
    ValueColumn wide(0);
    for (int i = 0; i < 100; ++i) {
        wide.push_back(i + 0.5);
    }
    wide.settle();
    EXPECT_FALSE(wide.packed());
    EXPECT_EQ(wide[99], 99.5);
}

TEST(DataStampColumnTest, RealMomentsArePackedAndEverythingElseComesBackAsWritten) {
    DataStampColumn stamps;
    const std::vector<std::pair<QByteArray, QByteArray>> cases = {
        {"2024-02-29", "00:00:00"}, {"2024-02-29", "23:59:59"},  {"2023-02-29", "12:00:00"},
        {"1970-01-01", "00:00:00"}, {"1969-12-31", "23:59:59"},  {"2105-12-31", "23:59:59"},
        {"2024-13-01", "10:00:00"}, {"2024-05-17", "24:00:00"},  {"2024-05-17", "10:00:60"},
        {"2024/05/17", "10:00:00"}, {" 2024-05-17", "10:00:00"}, {"", ""},
        {"2024-05-17", "1:00:00"},  {"2024-12-31", "10:00:00"}};
    for (const auto& [date, time] : cases) {
        ASSERT_TRUE(stamps.append(date, time));
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto index = static_cast<qsizetype>(i);
        EXPECT_EQ(stamps.date(index), QString::fromLatin1(cases[i].first)) << i;
        EXPECT_EQ(stamps.time(index), QString::fromLatin1(cases[i].second)) << i;
    }
    EXPECT_EQ(stamps.seconds(3), 0);
    EXPECT_EQ(stamps.seconds(1),
              QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch());
    for (const qsizetype odd : {2, 4, 6, 7, 8, 9, 10, 11, 12}) {
        EXPECT_FALSE(stamps.seconds(odd).has_value()) << odd;
    }
    EXPECT_EQ(stamps.day(13), QDate(1970, 1, 1).daysTo(QDate(2024, 12, 31)));
}

TEST(DataStampColumnTest, RunsAcrossGapsBackwardStepsAndJoinsKeepEveryMoment) {
    // Moments a second apart, then a jump of two days, a clock set back an hour, and texts
    // where a run of records begins; joined after a column whose length ends mid-run.
    std::vector<std::pair<QByteArray, QByteArray>> expected;
    QDateTime t(QDate(2024, 12, 31), QTime(23, 50, 0), Qt::UTC);
    for (int i = 0; i < 1000; ++i) {
        t = t.addSecs(i == 300 ? 2 * 86400 : i == 520 ? -3600 : 1);
        if (i == 512 || i == 513) {
            expected.emplace_back("어제", "--:--");
        } else {
            expected.emplace_back(t.date().toString(Qt::ISODate).toLatin1(),
                                  t.time().toString("HH:mm:ss").toLatin1());
        }
    }
    DataStampColumn head;
    DataStampColumn whole;
    for (size_t i = 0; i < 37; ++i) {
        ASSERT_TRUE(head.append(expected[i].first, expected[i].second));
    }
    for (const auto& [date, time] : expected) {
        ASSERT_TRUE(whole.append(date, time));
    }
    ASSERT_TRUE(head.append(whole));
    ASSERT_EQ(head.size(), 1037);
    for (qsizetype i = 0; i < head.size(); ++i) {
        const auto& [date, time] = expected[static_cast<size_t>(i < 37 ? i : i - 37)];
        ASSERT_EQ(head.date(i), QString::fromUtf8(date)) << i;
        ASSERT_EQ(head.time(i), QString::fromUtf8(time)) << i;
    }
}

TEST_F(DataFileReader, RecordsJoinedFromStretchesWrittenDifferentlyKeepTheirOwnTexts) {
    // The file's first stretch writes pressure "1.30" and SV only as "--"; the second writes
    // "1.3", "85" and whole values too large for the packed column. However the stretches are
    // joined (pieces on two threads, or a followed file's new records appended), every field
    // comes back as written, and every value as its text reads.
    QByteArray first;
    QByteArray second;
    std::vector<QByteArray> written;
    for (int i = 0; i < 300; ++i) {
        const QByteArray p = QByteArray::number(1.0 + i % 50 / 100.0, 'f', 2);
        first += "2024-05-17\t10:00:00\t85.3\t80.1\t78.9\t25.0\t" + p + "\t--\r\n";
        written.push_back(p);
    }
    for (int i = 0; i < 300; ++i) {
        const QByteArray p = QByteArray::number(1.0 + i % 9 / 10.0, 'f', 1);
        const QByteArray big = QByteArray::number(40000 + i);
        second += "2024-05-17\t10:05:00\t" + big + "\t80.1\t78.9\t25.0\t" + p + "\t85\r\n";
        written.push_back(p);
    }
    const auto check = [&](const DataFileContents& c, const char* how) {
        ASSERT_EQ(c.size(), 600) << how;
        for (qsizetype i = 0; i < 600; ++i) {
            const auto at = static_cast<size_t>(i);
            ASSERT_EQ(DataValueText(c, i, 4), QString::fromLatin1(written[at])) << how << i;
            ASSERT_EQ(c.series[4][at], written[at].toDouble()) << how << i;
            ASSERT_EQ(DataValueText(c, i, 5), i < 300 ? "--" : "85") << how << i;
            ASSERT_EQ(c.series[0][at], i < 300 ? 85.3 : 40000.0 + static_cast<double>(i - 300));
        }
        EXPECT_EQ(c.maximum[0], 40299.0) << how;
        EXPECT_EQ(c.minimum[5], 0.0) << how;
    };
    const QString path = write(first + second);
    check(ReadDataFile(path, {}, {2, 997}).contents, "pieces");
    QBuffer head(&first);
    QBuffer tail(&second);
    head.open(QIODevice::ReadOnly);
    tail.open(QIODevice::ReadOnly);
    DataFileContents followed = ReadDataFile(head).contents;
    AppendContents(followed, ReadDataFile(tail).contents);
    check(followed, "appended");
}
