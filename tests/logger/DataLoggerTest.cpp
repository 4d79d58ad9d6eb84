// The periodic logger: when a pass is due, which controllers get a record, the bytes of the
// records and what happens when a file cannot be written. Time is in the test's hands.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include "FileSizeLimit.h"
#include "engine/SharedState.h"
#include "logging/DataLogger.h"
#include "model/ValueTable.h"

using namespace zr410;

namespace {

// A monotonic clock and a wall clock that move only when the test says so.
struct TestClocks {
    qint64 monotonic = 5000;
    QDateTime wall{QDate(2024, 5, 17), QTime(14, 3, 25)};
    int wallStepPerReading = 0;  // seconds the wall clock moves on after each reading

    LoggerClocks clocks() {
        return {[this] { return monotonic; },
                [this] {
                    const QDateTime now = wall;
                    wall = wall.addSecs(wallStepPerReading);
                    return now;
                }};
    }
    void advance(int seconds) {
        monotonic += seconds;
        wall = wall.addSecs(seconds);
    }
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QByteArray> recordLines(const QString& path) {
    QList<QByteArray> lines = readFile(path).split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// Served controllers with their flags and displayed values, a data folder and a logger.
class LoggerRig {
public:
    explicit LoggerRig(std::vector<int> deviceNumbers = {7}) {
        state.SetDeviceNumbers(deviceNumbers);
        table.resetRows(deviceNumbers);
        for (int i = 0; i < state.DeviceCount(); ++i) {
            setRunning(i, true, true);
            showValues(i, {"85.3", "80.1", "78.9", "25.0", "1.25", "85.0"});
        }
        settings.SaveEnabled = "Yes";
        settings.SaveInterval = 10;
        settings.SaveUnit = "초";
        settings.SaveFolder = folder.path();
        settings.SaveFileName = "ZR410";
    }

    void setRunning(int index, bool connected, bool running) {
        state.DeviceConnected[static_cast<size_t>(index)] = connected;
        state.DeviceRunning[static_cast<size_t>(index)] = running;
    }
    void showValues(int index, const QStringList& values) {
        const int columns[] = {2, 3, 4, 5, 6, 26};
        for (int k = 0; k < 6; ++k) {
            table.SetText(index + 1, columns[k], values.value(k));
        }
    }
    QString file(int deviceNo) const {
        return folder.filePath(QStringLiteral("ZR410_%1.DAT").arg(deviceNo, 2, 10, QChar('0')));
    }
    LogPassResult pass(bool portOpen = true) { return logger.LogDueRecords(settings, portOpen); }

    // Runs one pass per tick for `seconds` of monotonic time and returns the seconds (from
    // the start) of the passes that were due.
    std::vector<int> dueSeconds(int seconds, int tick = 1) {
        std::vector<int> due;
        for (int t = 0; t <= seconds; t += tick) {
            if (pass().due) {
                due.push_back(t);
            }
            clock.advance(tick);
        }
        return due;
    }

    QTemporaryDir folder;
    TestClocks clock;
    SharedState state;
    ValueTable table;
    SaveSettings settings;
    DataLogger logger{state, table, clock.clocks()};
};

std::vector<int> spacing(const std::vector<int>& times) {
    std::vector<int> gaps;
    for (size_t i = 1; i < times.size(); ++i) {
        gaps.push_back(times[i] - times[i - 1]);
    }
    return gaps;
}

}  // namespace

// ---- When a pass is due --------------------------------------------------------------------

TEST(LoggerTiming, RecordsComeAtTheFirstTickStrictlyAfterTheInterval) {
    struct Case {
        int tick;
        int interval;
        const char* unit;
        int expectedGap;
    };
    for (const Case c : {Case{1, 10, "초", 11}, Case{5, 10, "초", 15}, Case{5, 1, "분", 65}}) {
        LoggerRig rig;
        rig.settings.SaveInterval = c.interval;
        rig.settings.SaveUnit = c.unit;
        const std::vector<int> due = rig.dueSeconds(4 * c.expectedGap, c.tick);
        ASSERT_EQ(due.size(), 5u) << c.tick << " s tick, " << c.interval << ' ' << c.unit;
        EXPECT_EQ(due.front(), 0) << "the first pass after start-up is due at once";
        EXPECT_EQ(spacing(due), std::vector<int>(4, c.expectedGap));
        EXPECT_EQ(recordLines(rig.file(7)).size(), 5);
    }
}

TEST(LoggerTiming, ElapsedEqualToTheIntervalIsNotYetDue) {
    LoggerRig rig;
    EXPECT_TRUE(rig.pass().due);
    rig.clock.advance(10);
    EXPECT_FALSE(rig.pass().due);
    rig.clock.advance(1);
    EXPECT_TRUE(rig.pass().due);
}

TEST(LoggerTiming, ZeroOrNegativeIntervalWritesOnEveryTick) {
    for (const int interval : {0, -1, -60}) {
        LoggerRig rig;
        rig.settings.SaveInterval = interval;
        EXPECT_EQ(rig.dueSeconds(9).size(), 10u) << interval;
        EXPECT_EQ(recordLines(rig.file(7)).size(), 10) << interval;
    }
}

TEST(LoggerTiming, OnlyExactlyYesTurnsLoggingOn) {
    LoggerRig rig;
    for (const char* text : {"yes", "YES", "Yes ", " Yes", "No", "", "1"}) {
        rig.settings.SaveEnabled = QString::fromUtf8(text);
        EXPECT_FALSE(rig.pass().due) << text;
        rig.clock.advance(100);
    }
    EXPECT_FALSE(QFile::exists(rig.file(7)));

    // Passes while logging was off started no interval: the first enabled pass writes.
    rig.settings.SaveEnabled = "Yes";
    EXPECT_EQ(rig.pass().recordsWritten, 1);
}

TEST(LoggerTiming, OnlyTheExactUnitMinutesMultipliesBySixty) {
    for (const char* unit : {"초", "", "min", "분 ", "MIN", "sec"}) {
        LoggerRig rig;
        rig.settings.SaveInterval = 2;
        rig.settings.SaveUnit = QString::fromUtf8(unit);
        EXPECT_EQ(spacing(rig.dueSeconds(6)), (std::vector<int>{3, 3})) << unit;
    }
    LoggerRig minutes;
    minutes.settings.SaveInterval = 2;
    minutes.settings.SaveUnit = "분";
    EXPECT_EQ(minutes.dueSeconds(121), (std::vector<int>{0, 121}));
}

TEST(LoggerTiming, PortClosedWritesNothingButTheIntervalRestarts) {
    LoggerRig rig;
    const LogPassResult closed = rig.pass(false);
    EXPECT_TRUE(closed.due);
    EXPECT_EQ(closed.recordsWritten + closed.recordsFailed, 0);
    EXPECT_FALSE(QFile::exists(rig.file(7)));

    // The port opens 5 s later: the interval counts from the closed pass.
    rig.clock.advance(5);
    EXPECT_FALSE(rig.pass().due);
    rig.clock.advance(6);
    EXPECT_EQ(rig.pass().recordsWritten, 1);
}

TEST(LoggerTiming, NoRunningControllerStillRestartsTheInterval) {
    LoggerRig rig({3, 7});
    rig.setRunning(0, true, false);
    rig.setRunning(1, false, true);
    EXPECT_TRUE(rig.pass().due);
    EXPECT_TRUE(QDir(rig.folder.path()).isEmpty());
    rig.setRunning(0, true, true);
    rig.clock.advance(10);
    EXPECT_FALSE(rig.pass().due);
}

TEST(LoggerTiming, NewSettingsApplyFromTheNextPassWithoutRestartingTheInterval) {
    LoggerRig rig;
    ASSERT_TRUE(rig.pass().due);
    rig.settings.SaveInterval = 20;
    rig.clock.advance(15);
    EXPECT_FALSE(rig.pass().due);
    rig.settings.SaveFileName = "Line3";
    rig.clock.advance(6);
    EXPECT_EQ(rig.pass().recordsWritten, 1);
    EXPECT_EQ(recordLines(rig.file(7)).size(), 1);
    EXPECT_EQ(recordLines(rig.folder.filePath("Line3_07.DAT")).size(), 1);
}

// ---- Clocks --------------------------------------------------------------------------------

TEST(LoggerClock, WallClockSetBackAnHourKeepsLoggingWithWallClockStamps) {
    LoggerRig rig;
    std::vector<int> due = rig.dueSeconds(15);  // passes at 0 and 11
    rig.clock.wall = rig.clock.wall.addSecs(-3600);
    std::vector<int> after = rig.dueSeconds(30);  // 16 s after start-up onwards
    EXPECT_EQ(due, (std::vector<int>{0, 11}));
    EXPECT_EQ(after, (std::vector<int>{6, 17, 28})) << "logging went on at the same pace";

    QList<QByteArray> stamps;
    for (const QByteArray& line : recordLines(rig.file(7))) {
        stamps << line.left(19);
    }
    EXPECT_EQ(stamps, (QList<QByteArray>{"2024-05-17\t14:03:25", "2024-05-17\t14:03:36",
                                         "2024-05-17\t13:03:47", "2024-05-17\t13:03:58",
                                         "2024-05-17\t13:04:09"}));
}

TEST(LoggerClock, WallClockSetForwardDoesNotHurryTheNextRecord) {
    LoggerRig rig;
    ASSERT_TRUE(rig.pass().due);
    rig.clock.wall = rig.clock.wall.addSecs(3600);
    rig.clock.advance(1);
    EXPECT_FALSE(rig.pass().due);
}

TEST(LoggerClock, EachRecordIsStampedWhenItIsWritten) {
    LoggerRig rig({3, 7, 42});
    rig.clock.wall = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59));
    rig.clock.wallStepPerReading = 1;
    ASSERT_EQ(rig.pass().recordsWritten, 3);
    // Ascending device index, each record with its own reading: the third one is written
    // after midnight and carries the new day with its time.
    EXPECT_TRUE(readFile(rig.file(3)).startsWith("2024-12-31\t23:59:59\t"));
    EXPECT_TRUE(readFile(rig.file(7)).startsWith("2025-01-01\t00:00:00\t"));
    EXPECT_TRUE(readFile(rig.file(42)).startsWith("2025-01-01\t00:00:01\t"));
}

// ---- Records -------------------------------------------------------------------------------

TEST(LoggerRecords, OneFilePerDeviceNumberWithTheDisplayedTexts) {
    LoggerRig rig({7, 42});
    rig.showValues(1, {"-3", "120", "0", "18.5", "0.00", "130"});
    EXPECT_EQ(rig.pass().recordsWritten, 2);
    rig.clock.advance(11);
    EXPECT_EQ(rig.pass().recordsWritten, 2);

    EXPECT_EQ(readFile(rig.file(7)),
              "2024-05-17\t14:03:25\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n"
              "2024-05-17\t14:03:36\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n");
    EXPECT_EQ(readFile(rig.file(42)),
              "2024-05-17\t14:03:25\t-3\t120\t0\t18.5\t0.00\t130\r\n"
              "2024-05-17\t14:03:36\t-3\t120\t0\t18.5\t0.00\t130\r\n");
    EXPECT_EQ(QDir(rig.folder.path()).entryList(QDir::Files),
              (QStringList{"ZR410_07.DAT", "ZR410_42.DAT"}));
}

TEST(LoggerRecords, EmptyCellsKeepTheirSeparators) {
    LoggerRig rig;
    rig.showValues(0, {"85.3", "", "78.9", "25.0", "1.25", ""});
    rig.pass();
    EXPECT_EQ(readFile(rig.file(7)), "2024-05-17\t14:03:25\t85.3\t\t78.9\t25.0\t1.25\t\r\n");

    LoggerRig blank;
    blank.showValues(0, {});
    blank.pass();
    EXPECT_EQ(readFile(blank.file(7)), "2024-05-17\t14:03:25\t\t\t\t\t\t\r\n");
}

TEST(LoggerRecords, OnlyConnectedAndRunningControllersAreLogged) {
    LoggerRig rig({1, 2, 3, 4});
    rig.setRunning(0, true, true);
    rig.setRunning(1, true, false);  // connected, stopped
    rig.setRunning(2, false, true);  // running when last seen, now off line
    rig.setRunning(3, false, false);
    EXPECT_EQ(rig.pass().recordsWritten, 1);
    EXPECT_EQ(QDir(rig.folder.path()).entryList(QDir::Files), QStringList{"ZR410_01.DAT"});
}

TEST(LoggerRecords, ExistingFilesAreAppendedToNeverRewritten) {
    LoggerRig rig;
    const QByteArray earlier = "2024-05-16\t08:00:00\t1\t2\t3\t4\t5.00\t6\r\n";
    {
        QFile f(rig.file(7));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    rig.pass();
    EXPECT_EQ(readFile(rig.file(7)),
              earlier + "2024-05-17\t14:03:25\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n");
}

// ---- Failures ------------------------------------------------------------------------------

TEST(LoggerFailures, MissingFolderIsNeverCreatedAndRecordsWaitForIt) {
    LoggerRig rig({3, 7});
    const QString missing = rig.folder.filePath("not-yet");
    rig.settings.SaveFolder = missing;
    const LogPassResult dropped = rig.pass();
    EXPECT_EQ(dropped.recordsWritten, 0);
    EXPECT_EQ(dropped.recordsFailed, 2);
    EXPECT_FALSE(QFileInfo::exists(missing));

    ASSERT_TRUE(QDir().mkpath(missing));
    rig.clock.advance(11);
    EXPECT_EQ(rig.pass().recordsWritten, 2);
    EXPECT_EQ(rig.logger.RecordsWritten(), 2);
    EXPECT_EQ(rig.logger.RecordsFailed(), 2);
}

TEST(LoggerFailures, AFileThatCannotBeWrittenCostsOnlyItsOwnRecord) {
    LoggerRig rig({3, 7, 42, 55});
    // Device 7's file is a folder; device 42's file sits on a full disk; device 55's file
    // points into a folder that does not exist. Device 3 and the rest of the pass carry on.
    ASSERT_TRUE(QDir().mkpath(rig.file(7)));
    if (QFile::exists("/dev/full")) {
        ASSERT_TRUE(QFile::link("/dev/full", rig.file(42)));
    } else {
        ASSERT_TRUE(QDir().mkpath(rig.file(42)));
    }
    ASSERT_TRUE(QFile::link(rig.folder.filePath("gone/ZR410_55.DAT"), rig.file(55)));

    const LogPassResult pass = rig.pass();
    EXPECT_EQ(pass.recordsWritten, 1);
    EXPECT_EQ(pass.recordsFailed, 3);
    EXPECT_EQ(rig.logger.LastDuePass().recordsFailed, 3);
    EXPECT_EQ(recordLines(rig.file(3)).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(rig.folder.filePath("gone")));

    // The next due pass tries the failed ones again.
    ASSERT_TRUE(QDir(rig.file(7)).removeRecursively());
    rig.clock.advance(11);
    EXPECT_EQ(rig.pass().recordsWritten, 2);
    EXPECT_EQ(recordLines(rig.file(7)).size(), 1);
}

TEST(LoggerFailures, ARowTheTableDoesNotHaveWritesNothing) {
    LoggerRig rig;
    EXPECT_FALSE(rig.logger.WriteDataRecord(rig.file(7), 2));
    EXPECT_FALSE(rig.logger.WriteDataRecord(rig.file(7), 0));
    EXPECT_FALSE(QFile::exists(rig.file(7)));
    EXPECT_TRUE(rig.logger.WriteDataRecord(rig.file(7), 1));
}

TEST(LoggerFailures, AFullDiskIsReportedAndLoggingResumesWithWholeRecordsWhenSpaceReturns) {
    LoggerRig rig;
    ASSERT_EQ(rig.pass().recordsWritten, 1);
    const QByteArray first = readFile(rig.file(7));
    rig.clock.advance(11);
    {
        const FileSizeLimit full(static_cast<rlim_t>(first.size() + 20));
        const LogPassResult pass = rig.pass();
        EXPECT_EQ(pass.recordsWritten, 0);
        EXPECT_EQ(pass.recordsFailed, 1);
    }
    EXPECT_EQ(readFile(rig.file(7)), first);
    rig.clock.advance(11);
    EXPECT_EQ(rig.pass().recordsWritten, 1);
    const QList<QByteArray> lines = recordLines(rig.file(7));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], "2024-05-17\t14:03:47\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r");
}
