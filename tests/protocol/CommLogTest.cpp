#include "protocol/CommLog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "TempFolder.h"

using namespace zr410;

TEST(CommLog, LineSpellsOutControlCharactersAndEndsWithCrLf) {
    const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
    EXPECT_EQ(FormatCommLogLine(QByteArray("\x02"
                                           "01DRR,01,0507\r\n"),
                                when),
              QByteArray("2024-03-03 14:05:09,<STX>01DRR,01,0507<CR><LF>\r\n"));
}

TEST(CommLog, BlocksAreLoggedAsReceivedWithoutReframing) {
    const QDateTime when(QDate(2024, 12, 31), QTime(0, 0, 1));
    // A block that ends mid-frame is logged up to its last byte; two frames make one line.
    EXPECT_EQ(FormatCommLogLine(QByteArray("\x02"
                                           "01DR"),
                                when),
              QByteArray("2024-12-31 00:00:01,<STX>01DR\r\n"));
    EXPECT_EQ(FormatCommLogLine(QByteArray("\x02"
                                           "1\r\n\x02"
                                           "2\r\n"),
                                when),
              QByteArray("2024-12-31 00:00:01,<STX>1<CR><LF><STX>2<CR><LF>\r\n"));
}

TEST(CommLog, AppendsOneLinePerCallToRecvDataInTheProgramFolder) {
    TempProgramFolder folder;
    AppendCommLog(
        QByteArray("\x02"
                   "01DWR,OK\r\n"));
    AppendCommLog(
        QByteArray("\x02"
                   "02DWR,OK\r\n"));
    const QByteArray log = folder.read("RecvData.txt");
    EXPECT_EQ(log.count("\r\n"), 2);
    EXPECT_TRUE(log.contains(",<STX>01DWR,OK<CR><LF>\r\n"));
    EXPECT_TRUE(log.endsWith(",<STX>02DWR,OK<CR><LF>\r\n"));
}

TEST(CommLog, UnwritableLogIsSkippedSilently) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/RecvData.txt");
    AppendCommLog(path, QByteArray("x"), QDateTime::currentDateTime());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(CommLog, ALineTornByAPowerCutIsEndedBeforeTheNextAtEveryCut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("RecvData.txt");
    const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
    const QByteArray whole = FormatCommLogLine(
        "\x02"
        "01DWR,OK\r\n",
        when);
    const QByteArray next = FormatCommLogLine(
        "\x02"
        "02DWR,OK\r\n",
        when);
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        const QByteArray torn = whole.left(cut);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(whole + torn);
        }
        AppendCommLog(path,
                      "\x02"
                      "02DWR,OK\r\n",
                      when);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray owed = cut == 0 ? "" : torn.endsWith('\r') ? "\n" : "\r\n";
        EXPECT_EQ(f.readAll(), whole + torn + owed + next) << "cut at " << cut;
    }
}

TEST(CommLog, RotatesAtItsSizeKeepingABoundedNumberOfOlderFilesInOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("RecvData.txt");
    const CommLogLimits limits{300, 2};
    const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
    QList<QByteArray> appended;
    for (int i = 0; i < 60; ++i) {
        const QByteArray block = QByteArray("\x02") + QByteArray::number(1000 + i) + "DRR\r\n";
        appended.append(FormatCommLogLine(block, when));
        AppendCommLog(path, block, when, limits);
    }
    EXPECT_EQ(RotatedCommLogPath(path, 1), dir.filePath("RecvData.1.txt"));
    EXPECT_FALSE(QFile::exists(RotatedCommLogPath(path, 3)));
    // Oldest to newest, the kept files hold the latest lines without a gap, each file whole.
    QByteArray kept;
    for (const QString& file : {RotatedCommLogPath(path, 2), RotatedCommLogPath(path, 1), path}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray bytes = f.readAll();
        EXPECT_LE(bytes.size(), limits.rotateBytes);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        kept += bytes;
    }
    QByteArray expectedTail;
    for (qsizetype i = appended.size() - 1; i >= 0 && expectedTail.size() < kept.size(); --i) {
        expectedTail.prepend(appended.at(i));
    }
    EXPECT_EQ(kept, expectedTail);
    EXPECT_GT(kept.size(), 2 * limits.rotateBytes);
}

TEST(CommLog, ALineTheFullDiskTakesOnlyInPartIsCutBackAndLoggingResumes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("RecvData.txt");
    const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
    const QByteArray block(
        "\x02"
        "01DRR,OK,0001\r\n");
    const QByteArray line = FormatCommLogLine(block, when);
    AppendCommLog(path, block, when);
    {
        const FileSizeLimit full(static_cast<rlim_t>(line.size() + 7));
        AppendCommLog(path, block, when);
    }
    AppendCommLog(path, block, when);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), line + line);
}
