#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include "SimProcess.h"
#include "TempFolder.h"
#include "engine/SerialLink.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"

using namespace zr410;

namespace {

// The real adapter, decoders and value table on the simulator's line.
class LinkOnSimulator : public ::testing::Test {
protected:
    void start(const QStringList& simArgs, std::vector<int> selected, int checksumLength,
               const QString& device = {}) {
        sim = std::make_unique<SimProcess>(simArgs);
        ASSERT_TRUE(sim->isReady()) << sim->errorText().toStdString();
        state.SetDeviceNumbers(std::move(selected));
        state.ChecksumLength = checksumLength;
        table.resetRows(state.DeviceNumbers);
        link.setDecoders(&decoders);
        QObject::connect(&link, &SerialLink::indicator, [this](const EngineIndicator& i) {
            using Kind = EngineIndicator::Kind;
            if (i.kind == Kind::LinkMark) {
                ++marks[{i.deviceIndex, i.mark}];
            } else if (i.kind == Kind::Connection) {
                connection[i.deviceIndex] = i.on;
            } else if (i.kind == Kind::OnlineControls) {
                online = i.on;
            }
        });
        LineSettings line;
        line.device = device.isEmpty() ? sim->linkPath() : device;
        line.baud = 115200;
        const SerialLink::OpenResult opened = link.open(line);
        ASSERT_TRUE(opened.ok()) << opened.message.toStdString() << " "
                                 << line.device.toStdString();
    }

    int count(int index, LinkMark mark) { return marks[{index, mark}]; }
    bool waitFor(const std::function<bool()>& condition, int ms) {
        return QTest::qWaitFor(condition, ms);
    }

    TempProgramFolder folder;
    std::unique_ptr<SimProcess> sim;
    SharedState state;
    ValueTable table;
    ErrorHistory errors;
    DeviceDecoders decoders{state, table, errors};
    SerialLink link{state};
    std::map<std::pair<int, LinkMark>, int> marks;
    std::map<int, bool> connection;
    bool online = false;
};

}  // namespace

TEST_F(LinkOnSimulator, ScanFindsServedDevicesThenPollsTheirStatusWithChecksum) {
    start({"--devices", "1,3,7", "--protocol", "SUM", "--baud", "115200"}, {1, 2, 3, 7}, 2);
    ASSERT_TRUE(waitFor([&] { return online; }, 15000));
    EXPECT_EQ(connection[0], true);
    EXPECT_EQ(connection[1], false);  // device 2 is not on the line
    EXPECT_EQ(connection[2], true);
    EXPECT_EQ(connection[3], true);
    EXPECT_EQ(state.EditDeviceNo, 1);
    ASSERT_TRUE(waitFor(
        [&] {
            return count(0, LinkMark::Good) >= 2 && count(2, LinkMark::Good) >= 2 &&
                   count(3, LinkMark::Good) >= 2;
        },
        15000));
    EXPECT_EQ(count(1, LinkMark::Good), 0);
    EXPECT_FALSE(table.Text(1, 2).isEmpty());  // mold temperature of device 1 decoded
    EXPECT_FALSE(table.Text(4, 7).isEmpty());  // status word of device 7
    // Every request and every received block went to the communication log.
    const QByteArray log = folder.read("RecvData.txt");
    EXPECT_TRUE(log.contains(",<STX>01DRR,32,0507,0506,0001,"));
    EXPECT_TRUE(log.contains("<STX>07DRR,OK,"));
    // Identification requests are not logged; their replies are.
    EXPECT_FALSE(log.contains("<STX>01WHO4F<CR><LF>"));
    EXPECT_TRUE(log.contains("<STX>01WHO,"));
}

TEST_F(LinkOnSimulator, StatusPollWithoutChecksum) {
    start({"--devices", "1,3", "--protocol", "STD", "--baud", "115200"}, {1, 3}, 0);
    ASSERT_TRUE(waitFor(
        [&] { return count(0, LinkMark::Good) >= 2 && count(1, LinkMark::Good) >= 2; }, 15000));
    EXPECT_EQ(count(0, LinkMark::Crc) + count(1, LinkMark::Crc), 0);
    EXPECT_TRUE(folder.read("RecvData.txt").contains(",<STX>01DRR,32,0507,0506,0001,"));
}

TEST_F(LinkOnSimulator, RecoversFromEveryInjectedFault) {
    start({"--devices",    "1,2",  "--protocol",      "SUM",  "--baud",           "115200",
           "--seed",       "7",    "--fault-timeout", "0.15", "--fault-checksum", "0.15",
           "--fault-ng",   "0.15", "--fault-split",   "0.15", "--fault-garbage",  "0.15",
           "--fault-late", "0.1"},
          {1, 2}, 2);
    ASSERT_TRUE(waitFor([&] { return online; }, 20000));
    ASSERT_TRUE(waitFor(
        [&] { return count(0, LinkMark::Good) >= 8 && count(1, LinkMark::Good) >= 8; }, 60000))
        << "good replies: " << count(0, LinkMark::Good) << ", " << count(1, LinkMark::Good);
    const int overs = count(0, LinkMark::Over) + count(1, LinkMark::Over);
    const int crcs = count(0, LinkMark::Crc) + count(1, LinkMark::Crc);
    const int ngs = count(0, LinkMark::Ng) + count(1, LinkMark::Ng);
    EXPECT_GT(overs, 0);
    EXPECT_GT(crcs, 0);
    EXPECT_GT(ngs, 0);
    EXPECT_TRUE(link.isOpen());
}

TEST_F(LinkOnSimulator, WriteIsRepeatedUntilTheControllerAcknowledgesIt) {
    start({"--devices", "5", "--protocol", "SUM", "--baud", "115200"}, {5}, 2);
    ASSERT_TRUE(waitFor([&] { return online; }, 15000));
    ASSERT_TRUE(sim->setFault("ng", 1.0));
    const int ngBefore = count(0, LinkMark::Ng);
    state.QueueRequest(PollState::WriteOne, {102}, {1});
    ASSERT_TRUE(waitFor([&] { return count(0, LinkMark::Ng) >= ngBefore + 3; }, 15000));
    EXPECT_EQ(link.engine().State(), PollState::WriteOne);
    EXPECT_TRUE(sim->writes().isEmpty());
    ASSERT_TRUE(sim->setFault("ng", 0.0));
    ASSERT_TRUE(waitFor([&] { return !sim->writes().isEmpty(); }, 15000));
    EXPECT_EQ(sim->writes(), QStringList{"5 102 1"});
    // Acknowledged: reservation and parameter blocks are read back, then the status poll.
    ASSERT_TRUE(waitFor([&] { return !table.Text(1, 33).isEmpty(); }, 15000));
    ASSERT_TRUE(waitFor([&] { return link.engine().State() == PollState::Status; }, 15000));
    ASSERT_TRUE(waitFor([&] { return state.DeviceRunning[0]; }, 15000));
}

TEST_F(LinkOnSimulator, LostLineIsReportedAndReopenedWhenItComesBack) {
    QTemporaryDir dir;
    const QString line = dir.filePath("shared-line");
    start({"--devices", "1", "--protocol", "SUM", "--baud", "115200", "--link", line}, {1}, 2,
          line);
    ASSERT_TRUE(waitFor([&] { return online; }, 15000));
    QSignalSpy lost(&link, &SerialLink::portLost);
    QSignalSpy reopened(&link, &SerialLink::portReopened);
    ASSERT_TRUE(sim->stop());
    ASSERT_TRUE(waitFor([&] { return lost.count() == 1; }, 10000));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(link.isReconnecting());
    EXPECT_FALSE(online);

    SimProcess again({"--devices", "1", "--protocol", "SUM", "--baud", "115200", "--link", line});
    ASSERT_TRUE(again.isReady()) << again.errorText().toStdString();
    ASSERT_TRUE(waitFor([&] { return reopened.count() == 1; }, 10000));
    ASSERT_TRUE(waitFor([&] { return online; }, 15000));
    link.close();
    EXPECT_FALSE(link.isReconnecting());
}
