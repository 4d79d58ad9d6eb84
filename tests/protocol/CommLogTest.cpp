#include "protocol/CommLog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
