#include "sim/SimControl.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/FrameCodec.h"

using namespace zr410;
using namespace zr410::sim;
using namespace std::chrono_literals;

namespace {

struct ControlTest : ::testing::Test {
    TimePoint now = TimePoint{} + 1h;
    SimBus bus{{1, 3}, 2, 5, CalendarTime{2024, 5, 17, 9, 30, 0}, now};
    SimControl control{bus};

    std::string run(std::string_view line) { return control.execute(line, now).text; }
    void lineWrite(int device, int reg, int value) {
        bus.handle(*BuildWriteFrame(device, std::vector<int>{reg}, std::vector<int>{value}, 2),
                   now);
    }
};

}  // namespace

TEST_F(ControlTest, SetAndGetWorkOnRawValues) {
    EXPECT_EQ(run("get 1 115"), "600\n");
    EXPECT_EQ(run("set 1 115 853"), "ok\n");
    EXPECT_EQ(run("get 1 115"), "853\n");
    EXPECT_EQ(run("set 3 1 0xFFFF"), "ok\n");
    EXPECT_EQ(run("get 3 1"), "-1\n");
    EXPECT_EQ(run("set 3 1 -10"), "ok\n");
    EXPECT_EQ(run("get 3 1"), "-10\n");
    EXPECT_EQ(run("release 3 all"), "ok\n");
    EXPECT_NE(run("get 3 1"), "-10\n");
    // The value set is what the master reads.
    const auto reply = bus.handle(*BuildReadFrame(1, std::vector<int>{115}, 2), now);
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReplyValue(reply->bytes, 0), 853);
}

TEST_F(ControlTest, WritesListsWhatTheMasterWrote) {
    EXPECT_EQ(run("writes"), "end\n");
    lineWrite(1, 102, 1);
    lineWrite(3, 115, -1);
    EXPECT_EQ(run("writes"), "1 102 1\n3 115 -1\nend\n");
    EXPECT_EQ(run("clear-writes"), "ok\n");
    EXPECT_EQ(run("writes"), "end\n");
}

TEST_F(ControlTest, RunStartsAndStopsAController) {
    EXPECT_EQ(run("run 3 1"), "ok\n");
    EXPECT_EQ(run("get 3 6"), "4097\n");
    EXPECT_EQ(run("run 3 0"), "ok\n");
    EXPECT_EQ(run("get 3 6"), "4096\n");
}

TEST_F(ControlTest, FaultRatesCanBeChangedWhileRunning) {
    EXPECT_EQ(run("fault ng 1"), "ok\n");
    EXPECT_EQ(run("fault late 0.25"), "ok\n");
    EXPECT_EQ(run("faults"), "timeout 0\nchecksum 0\nng 1\nsplit 0\ngarbage 0\nlate 0.25\nend\n");
    const auto reply = bus.handle(BuildIdentifyFrame(1, 2), now);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->bytes.mid(3, 2), "NG");
}

TEST_F(ControlTest, ProtocolSwitchesTheChecksum) {
    EXPECT_EQ(run("protocol STD"), "ok\n");
    EXPECT_EQ(bus.checksumLength(), 0);
    EXPECT_EQ(run("protocol SUM"), "ok\n");
    EXPECT_EQ(bus.checksumLength(), 2);
}

TEST_F(ControlTest, CountersReportWhatCameOverTheLine) {
    bus.handle(BuildIdentifyFrame(1, 2), now);
    bus.handle(BuildIdentifyFrame(9, 2), now);
    lineWrite(3, 115, 1);
    bus.handle(
        "\x02"
        "03DRR,01\r\n",
        now);
    EXPECT_EQ(run("stats"),
              "requests 4\nreplies 3\nng 1\nsilent 1\noverlaps 0\n"
              "device 1 1\ndevice 3 2\ndevice 9 1\n"
              "fault timeout 0\nfault checksum 0\nfault ng 0\nfault split 0\nfault garbage 0\n"
              "fault late 0\nend\n");
    EXPECT_EQ(run("requests"), "WHO 2\nDRR 0\nDWR 1\ninvalid 1\nend\n");
    EXPECT_EQ(run("clear-stats"), "ok\n");
    EXPECT_EQ(run("requests"), "WHO 0\nDRR 0\nDWR 0\ninvalid 0\nend\n");
}

TEST_F(ControlTest, BadCommandsAnswerErrorAndChangeNothing) {
    for (std::string_view line : {"",
                                  "   ",
                                  "bogus",
                                  "get",
                                  "get 1",
                                  "get 2 115",
                                  "get x 115",
                                  "get 1 10000",
                                  "get 1 -1",
                                  "set 1 115",
                                  "set 1 115 70000",
                                  "set 1 115 12abc",
                                  "set 1 115 0x",
                                  "release 1",
                                  "run 1 2",
                                  "run 7 1",
                                  "fault",
                                  "fault smoke 1",
                                  "fault ng 1.5",
                                  "fault ng -0.1",
                                  "fault ng x",
                                  "writes now",
                                  "quit now",
                                  "\x01\xFF"}) {
        const std::string answer = run(line);
        EXPECT_EQ(answer.rfind("error ", 0), 0U) << "'" << line << "' -> " << answer;
        EXPECT_EQ(std::count(answer.begin(), answer.end(), '\n'), 1) << line;
    }
    EXPECT_EQ(run("get 1 115"), "600\n");
    EXPECT_EQ(run("faults"), "timeout 0\nchecksum 0\nng 0\nsplit 0\ngarbage 0\nlate 0\nend\n");
}

TEST_F(ControlTest, QuitIsAcknowledgedAndAsksToStop) {
    const ControlReply reply = control.execute("quit", now);
    EXPECT_EQ(reply.text, "ok\n");
    EXPECT_TRUE(reply.quit);
    EXPECT_FALSE(control.execute("devices", now).quit);
    EXPECT_EQ(run("devices"), "1,3\n");
}
