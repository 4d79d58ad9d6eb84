// The record writer: file names, record bytes, and appending that never leaves a torn line.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include "FileSizeLimit.h"
#include "logging/DataFile.h"

using namespace zr410;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const DataRecordValues kExampleValues = {QStringLiteral("85.3"), QStringLiteral("80.1"),
                                         QStringLiteral("78.9"), QStringLiteral("25.0"),
                                         QStringLiteral("1.25"), QStringLiteral("85.0")};

}  // namespace

TEST(DataFilePath, DeviceNumberGetsTwoDigitsAfterTheBaseName) {
    EXPECT_EQ(DataFilePath("/data", "ZR410", 7), "/data/ZR410_07.DAT");
    EXPECT_EQ(DataFilePath("/data", "ZR410", 42), "/data/ZR410_42.DAT");
    EXPECT_EQ(DataFilePath("/data", "Line A", 99), "/data/Line A_99.DAT");
}

TEST(DataFilePath, RootFolderStillGetsTheSeparatorAndTheFileSystemAcceptsIt) {
    EXPECT_EQ(DataFilePath("/", "ZR410", 1), "//ZR410_01.DAT");
    QTemporaryDir dir;
    const QString doubled = DataFilePath(dir.path() + "/", "ZR410", 3);
    ASSERT_TRUE(AppendDataRecord(doubled, "x\r\n"));
    EXPECT_TRUE(QFile::exists(dir.filePath("ZR410_03.DAT")));
}

TEST(FormatDataRecord, EightTabSeparatedFieldsEndedByCrLf) {
    EXPECT_EQ(FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), kExampleValues),
              QByteArray("2024-05-17\t14:03:25\t85.3\t80.1\t78.9\t25.0\t1.25\t85.0\r\n"));
    EXPECT_EQ(FormatDataRecord(QDate(2025, 1, 2), QTime(0, 0, 5), kExampleValues).left(20),
              QByteArray("2025-01-02\t00:00:05\t"));
}

TEST(FormatDataRecord, EmptyCellsKeepTheirSeparators) {
    DataRecordValues values = kExampleValues;
    values[2] = QString();
    values[5] = QString();
    EXPECT_EQ(FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), values),
              QByteArray("2024-05-17\t14:03:25\t85.3\t80.1\t\t25.0\t1.25\t\r\n"));
}

TEST(FormatDataRecord, LineBreaksInsideAValueCannotSplitTheRecord) {
    DataRecordValues values = kExampleValues;
    values[0] = QStringLiteral("85\t.3\r\n");
    const QByteArray line = FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), values);
    EXPECT_EQ(line.count('\t'), 7);
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_TRUE(line.endsWith("\r\n"));
}

TEST(AppendDataRecord, CreatesTheFileThenAppendsOneLinePerRecord) {
    QTemporaryDir dir;
    const QString path = DataFilePath(dir.path(), "ZR410", 7);
    const QByteArray first = FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), kExampleValues);
    const QByteArray second =
        FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 36), kExampleValues);
    ASSERT_TRUE(AppendDataRecord(path, first));
    ASSERT_TRUE(AppendDataRecord(path, second));
    EXPECT_EQ(readAll(path), first + second);
}

TEST(AppendDataRecord, MissingFolderIsNotCreatedAndTheFailureIsReported) {
    QTemporaryDir dir;
    const QString path = DataFilePath(dir.filePath("gone"), "ZR410", 1);
    EXPECT_FALSE(AppendDataRecord(path, "x\r\n"));
    EXPECT_FALSE(QDir(dir.filePath("gone")).exists());
}

TEST(AppendDataRecord, FullDiskIsReportedAsFailure) {
    if (!QFile::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    EXPECT_FALSE(AppendDataRecord("/dev/full", "2024-05-17\t14:03:25\t1\t2\t3\t4\t5\t6\r\n"));
}

TEST(AppendDataRecord, ReadOnlyFileIsLeftAloneAndReported) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root ignores file permissions";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("ZR410_01.DAT");
    ASSERT_TRUE(AppendDataRecord(path, "a\r\n"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_FALSE(AppendDataRecord(path, "b\r\n"));
    EXPECT_EQ(readAll(path), "a\r\n");
}

TEST(AppendDataRecord, ARecordCutShortByTheFileSizeLimitIsRemovedAgain) {
    // A file size limit makes the kernel accept only part of the record, as a nearly full
    // disk would; the file must end on the last whole record.
    QTemporaryDir dir;
    const QString path = dir.filePath("ZR410_01.DAT");
    const QByteArray record =
        FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), kExampleValues);
    ASSERT_TRUE(AppendDataRecord(path, record));

    bool appended = true;
    {
        const FileSizeLimit full(static_cast<rlim_t>(record.size() + 10));
        appended = AppendDataRecord(path, record);
    }
    EXPECT_FALSE(appended);
    EXPECT_EQ(readAll(path), record);

    // Space is back: the next record goes straight after the last whole one.
    const QByteArray next = FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 36), kExampleValues);
    EXPECT_TRUE(AppendDataRecord(path, next));
    EXPECT_EQ(readAll(path), record + next);
}

TEST(AppendDataRecord, ARecordTornByAPowerCutIsEndedBeforeTheNextAtEveryCut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZR410_01.DAT");
    const QByteArray whole = FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 25), kExampleValues);
    const QByteArray next = FormatDataRecord(QDate(2024, 5, 17), QTime(14, 3, 47), kExampleValues);
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        const QByteArray torn = whole.left(cut);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(whole + torn);
        }
        ASSERT_TRUE(AppendDataRecord(path, next));
        const QByteArray owed = cut == 0 ? "" : torn.endsWith('\r') ? "\n" : "\r\n";
        EXPECT_EQ(readAll(path), whole + torn + owed + next) << "cut at " << cut;

        // The viewer reads the new record whole, as the file's last.
        const DataFileLoadResult read = ReadDataFile(path);
        ASSERT_GE(read.contents.size(), 2) << "cut at " << cut;
        const qsizetype last = read.contents.size() - 1;
        EXPECT_EQ(read.contents.stamps.time(last), "14:03:47") << "cut at " << cut;
        EXPECT_EQ(read.contents.series[5][static_cast<size_t>(last)], 85.0) << "cut at " << cut;
        EXPECT_EQ(read.contents.stamps.time(0), "14:03:25") << "cut at " << cut;
    }
}
