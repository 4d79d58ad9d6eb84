// A slow controller beside a fast one on one half-duplex line, with logging on: the program
// never sends while a reply is due, the slow controller stays good, and every value lands in
// its own controller's row and file.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include "../monitor/TestMainWindow.h"
#include "SelectionFile.h"
#include "SimProcess.h"
#include "TempFolder.h"

using namespace zr410;

namespace {

QStringList moldColumn(const QString& path) {
    QFile file(path);
    QStringList values;
    if (!file.open(QIODevice::ReadOnly)) {
        return values;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() == 8) {
            values << QString::fromLatin1(fields[2]);
        }
    }
    return values;
}

class SlowController : public ::testing::TestWithParam<const char*> {
protected:
    void run() {
        sim = std::make_unique<SimProcess>(
            QStringList{"--devices", "1,7", "--protocol", "SUM", "--baud", "115200", "--turnaround",
                        "7:400", "--seed", "11", "--fault-split", GetParam()});
        ASSERT_TRUE(sim->isReady()) << sim->errorText().toStdString();
        // Each controller reads a mold temperature no other one has: 25.0 and 99.9.
        ASSERT_TRUE(sim->setRegister(1, 1, 250));
        ASSERT_TRUE(sim->setRegister(7, 1, 999));
        ASSERT_TRUE(sim->setRunning(1, true));
        ASSERT_TRUE(sim->setRunning(7, true));
        folder.write("Comm.CFG", sim->linkPath().toUtf8() + "\r\n115200\r\nE\r\n8\r\n1\r\nSUM\r\n");
        folder.write("CFG/SetMulti.INI", SelectionFileServing({1, 7}));
        folder.write("CFG/SaveData.INI", QByteArray("Yes\r\n1\r\n") +
                                             QStringLiteral("초").toUtf8() + "\r\n" +
                                             data.path().toUtf8() + "\r\nZR\r\n");
        window = std::make_unique<TestMainWindow>();
        QObject::connect(&window->Link(), &SerialLink::indicator, [this](const EngineIndicator& i) {
            if (i.kind == EngineIndicator::Kind::LinkMark) {
                ++marks[{i.deviceIndex, i.mark}];
            }
        });
        window->mSetPortOpen_Click();
        const QString slow = data.filePath("ZR_07.DAT");
        const QString fast = data.filePath("ZR_01.DAT");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return moldColumn(slow).size() >= 5 && moldColumn(fast).size() >= 5; }, 40000));
        const int slowGood = marks[{1, LinkMark::Good}];
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return marks[{1, LinkMark::Good}] > slowGood;
            },
            5000))
            << "the slow controller is no longer polled";
        window->mSetPortOpen_Click();

        EXPECT_EQ(moldColumn(fast).filter("25.0").size(), moldColumn(fast).size());
        EXPECT_EQ(moldColumn(slow).filter("99.9").size(), moldColumn(slow).size());
        EXPECT_EQ((marks[{1, LinkMark::Over}]), 0) << "a reply inside the limit was cut off";
        EXPECT_EQ(window->sprdMulti().Text(2, 1), "양호");
        EXPECT_EQ(window->sprdMulti().Text(1, 2), "25.0");
        EXPECT_EQ(window->sprdMulti().Text(2, 2), "99.9");
        // Measured where the requests arrive: none came while a reply was due or on the line.
        EXPECT_TRUE(sim->commandBlock("stats").contains("overlaps 0"))
            << sim->commandBlock("stats").join(' ').toStdString();
    }

    TempProgramFolder folder;
    QTemporaryDir data;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TestMainWindow> window;
    std::map<std::pair<int, LinkMark>, int> marks;
};

}  // namespace

TEST_P(SlowController, StaysGoodAndKeepsItsOwnValuesWithoutCollisions) {
    run();
}

// Whole replies, and replies sent in two or three pieces with pauses between them.
INSTANTIATE_TEST_SUITE_P(Replies, SlowController, ::testing::Values("0", "0.5"));
