// The poll cycle on a half-duplex line: a reply belongs to the request that was sent, and
// nothing is sent while a reply is on the line.
#include <gtest/gtest.h>

#include "PollCycle.h"
#include "ReplyFrames.h"

using namespace zr410;

namespace {

std::vector<int> status(int mold) {
    std::vector<int> values(32, 0);
    values[2] = mold;
    return values;
}

// Devices 1 and 7 identified; the status poll is at device 1.
class SlowLine : public PollCycle {
protected:
    void SetUp() override {
        open({1, 7});
        identifyAll();
    }

    // The first bytes of a reply: the gather starts, the time-out waits.
    void firstBytes(int count = 5) {
        host.gatherStarted = false;
        engine.bytesArrived(count);
    }
};

}  // namespace

TEST_F(SlowLine, ReplyStartedBeforeTheTimeoutIsTakenAsTheReplyOfItsOwnRequest) {
    tick();
    reply(replies::read(1, status(100)));
    ASSERT_TRUE(
        tick().startsWith("\x02"
                          "07DRR"));
    firstBytes();
    EXPECT_TRUE(host.gatherStarted);
    EXPECT_FALSE(host.replyArmed);  // the time-out waits while the reply is gathered
    EXPECT_FALSE(host.sendArmed);   // and nothing is sent over it
    engine.replyTimeout();          // a tick already on its way changes nothing
    EXPECT_TRUE(host.of(FakeHost::Kind::LinkMark).back().mark == LinkMark::Good);
    engine.blockReceived(replies::read(7, status(700)));
    EXPECT_EQ(decoders.statusIndices, (std::vector<int>{0, 1}));
    EXPECT_EQ(host.linkMarks[1], LinkMark::Good);
    EXPECT_EQ(engine.TimeoutCount(), 0);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
}

TEST_F(SlowLine, ReplyInPiecesKeepsItsRequestOpenUntilTheLastPiece) {
    tick();
    const QByteArray whole = replies::read(1, status(100));
    const std::array<QByteArray, 3> pieces = {whole.left(40), whole.mid(40, 60), whole.mid(100)};
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        firstBytes(static_cast<int>(pieces[i].size()));
        engine.blockReceived(pieces[i]);
        // Still waiting for the rest: the limit counts again from the last bytes heard.
        EXPECT_TRUE(host.replyArmed);
        EXPECT_FALSE(host.sendArmed);
        EXPECT_TRUE(engine.RequestOutstanding());
    }
    firstBytes();
    engine.blockReceived(pieces[2]);
    EXPECT_EQ(decoders.statusIndices, std::vector<int>{0});
    EXPECT_EQ(host.linkMarks[0], LinkMark::Good);
    EXPECT_FALSE(host.replyArmed);
    EXPECT_TRUE(host.sendArmed);
}

TEST_F(SlowLine, AnotherControllersReplyIsNeverFiledUnderTheOneAsked) {
    ASSERT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
    reply(replies::read(7, status(700)));
    EXPECT_TRUE(decoders.statusIndices.empty());
    EXPECT_EQ(host.linkMarks[0], LinkMark::Ng);
    EXPECT_EQ(host.linkMarks.count(1), 0u);  // device 7 was not asked: its cell says nothing
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));  // device 1 is asked again
}

TEST_F(SlowLine, ThreeSlowRepliesInARowNeverGiveTheDeviceUp) {
    for (int round = 0; round < 3; ++round) {
        tick();
        reply(replies::read(1, status(100)));
        ASSERT_TRUE(
            tick().startsWith("\x02"
                              "07DRR"));
        firstBytes(1);  // the reply starts late, but inside the limit
        engine.blockReceived(replies::read(7, status(700)));
        EXPECT_EQ(host.linkMarks[1], LinkMark::Good);
    }
    EXPECT_EQ(engine.TimeoutCount(), 0);
    EXPECT_TRUE(state.DeviceConnected[1]);
    EXPECT_EQ(decoders.statusIndices, (std::vector<int>{0, 1, 0, 1, 0, 1}));
}

TEST_F(SlowLine, ReplyAfterItsTimeoutHoldsTheNextRequestAndIsNeverDecoded) {
    tick();
    timeout();
    EXPECT_EQ(host.linkMarks[0], LinkMark::Over);
    EXPECT_TRUE(host.sendArmed);
    // The late reply starts before the next send tick: nothing goes out over it.
    firstBytes();
    EXPECT_FALSE(host.sendArmed);
    EXPECT_TRUE(host.gatherStarted);
    const size_t logged = host.logged.size();
    engine.blockReceived(replies::read(1, status(100)));
    EXPECT_TRUE(decoders.statusIndices.empty());
    EXPECT_EQ(host.logged.size(), logged + 1);  // still in the communication log
    EXPECT_EQ(host.linkMarks[0], LinkMark::Over);
    EXPECT_TRUE(host.sendArmed);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
}

TEST_F(SlowLine, NewSelectionWaitsForTheReplyOnTheLineThenScansTheNewList) {
    tick();
    state.SetDeviceNumbers({5});
    engine.restartScan();
    EXPECT_FALSE(host.sendArmed);  // a reply to device 1 may be on its way
    reply(replies::read(1, status(100)));
    EXPECT_TRUE(decoders.statusIndices.empty());  // never tested against the new list
    EXPECT_EQ(tick(), text("\x02"
                           "05WHO53\r\n"));
    reply(replies::identify(5));
    EXPECT_EQ(state.EditDeviceNo, 5);
    EXPECT_TRUE(host.online);
}

TEST_F(SlowLine, NewSelectionDuringASilentRequestScansWhenTheRequestTimesOut) {
    tick();
    state.SetDeviceNumbers({5});
    engine.restartScan();
    EXPECT_FALSE(host.sendArmed);
    const size_t marks = host.of(FakeHost::Kind::LinkMark).size();
    timeout();
    EXPECT_EQ(host.of(FakeHost::Kind::LinkMark).size(), marks);  // no stale OVER
    EXPECT_EQ(engine.State(), PollState::Identify);
    EXPECT_EQ(tick(), text("\x02"
                           "05WHO53\r\n"));
}

TEST_F(SlowLine, LostPortDropsTheQueuedWriteAndTheReopenStartsWithTheScan) {
    tick();
    state.QueueRequest(PollState::WriteOne, {102}, {1});
    engine.portLost();
    const auto dropped = host.of(FakeHost::Kind::RequestDropped);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].registers, std::vector<int>{102});
    EXPECT_EQ(state.PendingState, PollState::None);

    engine.portOpened();
    EXPECT_EQ(tick(), text("\x02"
                           "01WHO4F\r\n"));  // not a write to device 00
    EXPECT_EQ(engine.State(), PollState::Identify);
}

TEST_F(SlowLine, RefusedRequestIsReportedOnlyAfterTheCycleHasMovedOn) {
    tick();
    reply(replies::read(1, status(100)));
    state.QueueRequest(PollState::WriteOne, {115}, {70000});
    // A window may keep the operator busy with the report: the cycle must already be on its
    // way by then, or polling and logging would stop until the operator answers.
    bool reported = false;
    host.onIndicate = [&](const EngineIndicator& i) {
        if (i.kind != FakeHost::Kind::RequestRefused) {
            return;
        }
        reported = true;
        EXPECT_EQ(i.state, PollState::WriteOne);
        EXPECT_TRUE(host.sendArmed);
        EXPECT_EQ(engine.State(), PollState::Status);
    };
    EXPECT_TRUE(tick().isEmpty());
    EXPECT_TRUE(reported);
}

TEST_F(SlowLine, EditDeviceRequestsGoToTheDeviceAskedEvenIfTheEditDeviceChangesMeanwhile) {
    state.QueueRequest(PollState::Reservation);
    ASSERT_TRUE(
        tick().startsWith("\x02"
                          "01DRR,10,"));
    state.EditDeviceIndex = 1;  // the operator picks device 7 while the reply is on its way
    state.EditDeviceNo = 7;
    reply(replies::read(1, std::vector<int>(10, 0)));
    EXPECT_EQ(decoders.reservationIndices, std::vector<int>{0});
    EXPECT_EQ(host.linkMarks[0], LinkMark::Good);
}

TEST_F(PollCycle, TimeoutsOfOneDeviceNeverMakeTheScanGiveUpTheNext) {
    open({1, 2, 3});
    tick();
    timeout();
    tick();
    timeout();  // two missed replies of device 1, then it answers
    tick();
    reply(replies::identify(1));
    tick();
    timeout();  // one missed reply of device 2 gives it up only after two more
    EXPECT_EQ(engine.CurrentIndex(), 1);
    tick();
    reply(replies::identify(2));
    EXPECT_TRUE(state.DeviceConnected[1]);
}

TEST_F(PollCycle, FrequentWritesNeverStarveTheDevicesAtTheEndOfTheList) {
    open({1, 2, 3});
    identifyAll();
    std::vector<QByteArray> polled;
    for (int round = 0; round < 3; ++round) {
        polled.push_back(tick().left(3));
        reply(replies::read(polled.back().mid(1).toInt(), std::vector<int>(32, 0)));
        state.QueueRequest(PollState::WriteOne, {115}, {600});  // an operator at work
        tick();
        reply(replies::ack(1));
        tick();
        reply(replies::read(1, std::vector<int>(10, 0)));
        tick();
        reply(replies::read(1, std::vector<int>(32, 0)));
    }
    EXPECT_EQ(polled, (std::vector<QByteArray>{"\x02"
                                               "01",
                                               "\x02"
                                               "02",
                                               "\x02"
                                               "03"}));
}
