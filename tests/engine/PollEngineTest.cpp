#include "engine/PollEngine.h"

#include <gtest/gtest.h>

#include "PollCycle.h"
#include "ReplyFrames.h"

using namespace zr410;

TEST_F(PollCycle, ScanGivesUpOnSilentDeviceAndPollsOnlyTheOneThatAnswers) {
    open({3, 7});
    EXPECT_TRUE(host.connectCheckVisible);
    EXPECT_EQ(tick(), text("\x02"
                           "03WHO51\r\n"));
    EXPECT_EQ(engine.ReceiveThreshold(), 32);
    timeout();
    EXPECT_EQ(tick(), text("\x02"
                           "03WHO51\r\n"));
    timeout();
    tick();
    timeout();  // third time-out: give up on device 3
    EXPECT_FALSE(state.DeviceConnected[0]);
    EXPECT_EQ(host.connections[0], false);
    EXPECT_EQ(host.linkMarks[0], LinkMark::Over);

    EXPECT_EQ(tick(), text("\x02"
                           "07WHO55\r\n"));
    reply(replies::identify(7));
    EXPECT_TRUE(state.DeviceConnected[1]);
    EXPECT_EQ(host.connections[1], true);
    EXPECT_EQ(state.EditDeviceNo, 7);
    EXPECT_EQ(state.EditDeviceIndex, 1);
    EXPECT_EQ(host.editNo, 7);
    EXPECT_TRUE(host.online);
    EXPECT_FALSE(host.connectCheckVisible);
    EXPECT_EQ(engine.State(), PollState::Status);

    for (int round = 0; round < 3; ++round) {
        const QByteArray request = tick();
        EXPECT_TRUE(
            request.startsWith("\x02"
                               "07DRR,32,0507,0506,0001,"))
            << request.constData();
        EXPECT_EQ(request.size(), 173);
        EXPECT_EQ(engine.ReceiveThreshold(), 1);
        reply(replies::read(7, std::vector<int>(32, 0)));
        EXPECT_EQ(host.linkMarks[1], LinkMark::Good);
    }
    EXPECT_EQ(decoders.statusIndices, (std::vector<int>{1, 1, 1}));
}

TEST_F(PollCycle, IdentificationWithoutModelPrefixIsAskedAgainWithoutMovingOn) {
    open({1, 2});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tick(), text("\x02"
                               "01WHO4F\r\n"));
        reply(
            text("\x02"
                 "01WHO,OK,AB410-A,V1.00,S00000000\r\n"));
        EXPECT_TRUE(host.sendArmed);
    }
    EXPECT_EQ(engine.CurrentIndex(), 0);
    EXPECT_FALSE(state.DeviceConnected[0]);
    EXPECT_TRUE(host.connections.empty());
}

TEST_F(PollCycle, ScanWithNobodyAnsweringStartsAgainFromTheFirstDevice) {
    open({4, 5});
    for (int i = 0; i < 6; ++i) {
        tick();
        timeout();
    }
    EXPECT_EQ(engine.State(), PollState::Identify);
    EXPECT_EQ(engine.CurrentIndex(), 0);
    EXPECT_FALSE(host.online);
    EXPECT_EQ(tick(), text("\x02"
                           "04WHO52\r\n"));
}

TEST_F(PollCycle, WrongChecksumMarksCrcAndPollsTheSameDeviceAgain) {
    open({1, 2});
    identifyAll();
    const QByteArray first = tick();
    QByteArray bad = replies::read(1, std::vector<int>(32, 5));
    bad[bad.size() - 3] = bad[bad.size() - 3] == 'A' ? 'B' : 'A';
    reply(bad);
    EXPECT_EQ(host.linkMarks[0], LinkMark::Crc);
    EXPECT_EQ(host.discards, 1);
    EXPECT_TRUE(decoders.statusIndices.empty());
    EXPECT_EQ(tick(), first);
}

TEST_F(PollCycle, WithoutChecksumTheSameReplyIsAccepted) {
    open({1}, 0);
    identifyAll();
    EXPECT_EQ(tick().size(), 171);
    reply(replies::read(1, std::vector<int>(32, 5), 0));
    EXPECT_EQ(host.linkMarks[0], LinkMark::Good);
    EXPECT_EQ(decoders.statusIndices.size(), 1u);
}

TEST_F(PollCycle, NegativeReplyIsHandledAtOnceAndTheRestOfTheBlockIgnored) {
    open({1});
    identifyAll();
    tick();
    ASSERT_TRUE(host.replyArmed);
    reply(replies::negative(1) + replies::read(1, std::vector<int>(32, 0)));
    EXPECT_FALSE(host.replyArmed);
    EXPECT_TRUE(host.sendArmed);
    EXPECT_EQ(host.linkMarks[0], LinkMark::Ng);
    EXPECT_TRUE(decoders.statusIndices.empty());
}

TEST_F(PollCycle, AcknowledgedWriteIsFollowedByReservationParametersThenStatusPoll) {
    open({2, 5});
    identifyAll();
    tick();
    reply(replies::read(2, std::vector<int>(32, 0)));
    state.QueueRequest(PollState::WriteOne, {102}, {1});

    EXPECT_EQ(tick(), text("\x02"
                           "02DWR,01,0102,0001B8\r\n"));
    EXPECT_EQ(engine.ReceiveThreshold(), 13);
    reply(replies::ack(2));
    EXPECT_EQ(engine.State(), PollState::Reservation);

    const QByteArray reservation = tick();
    EXPECT_TRUE(
        reservation.startsWith("\x02"
                               "02DRR,10,0602,0610,0611,0612,0613,0614,0615,0616,0506,0507"));
    reply(replies::read(2, std::vector<int>(10, 0)));
    EXPECT_EQ(decoders.reservationIndices, std::vector<int>{0});

    const QByteArray parameters = tick();
    EXPECT_TRUE(
        parameters.startsWith("\x02"
                              "02DRR,32,0300,0301,0304,"));
    reply(replies::read(2, std::vector<int>(32, 0)));
    EXPECT_EQ(decoders.parameterIndices, std::vector<int>{0});
    EXPECT_EQ(host.of(FakeHost::Kind::ParameterRefresh).size(), 1u);
    EXPECT_EQ(engine.State(), PollState::Status);
    // The status poll goes on where it left off: device 5 was next when the write came.
    EXPECT_EQ(engine.CurrentIndex(), 1);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "05DRR,32,"));
}

TEST_F(PollCycle, WriteForAnotherControllerGoesToItAndTheOperatorsWriteToTheEditDevice) {
    open({2, 5});
    identifyAll();
    ASSERT_EQ(state.EditDeviceNo, 2);
    const zr410::WritePair run{102, 1};
    ASSERT_EQ(state.QueueWriteTo(1, std::span(&run, 1)), zr410::WriteOutcome::Queued);
    EXPECT_EQ(tick(), text("\x02"
                           "05DWR,01,0102,0001BB\r\n"));
    reply(replies::ack(5));
    // Nothing of controller 5 is on screen to read back: straight back to the status poll.
    EXPECT_EQ(engine.State(), PollState::Status);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "02DRR,32,"));
    reply(replies::read(2, std::vector<int>(32, 0)));

    // The target is not left behind for the next write: the operator's goes to the edit device.
    ASSERT_EQ(state.QueueWriteTo(1, std::span(&run, 1)), zr410::WriteOutcome::Queued);
    ASSERT_EQ(state.QueueWrite({{101, 1}}), zr410::WriteOutcome::Queued);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "02DWR,01,0101,0001"));
}

TEST_F(PollCycle, UnacknowledgedWriteIsRepeatedUntilTheControllerAccepts) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteOne, {115}, {300});
    const QByteArray write = tick();
    for (int i = 0; i < 4; ++i) {
        reply(replies::finish("01DWR,XX", 2));
        EXPECT_EQ(host.linkMarks[0], LinkMark::Ng);
        EXPECT_EQ(tick(), write);
    }
    reply(replies::ack(1));
    EXPECT_EQ(engine.State(), PollState::Reservation);
}

TEST_F(PollCycle, TimeoutCountIsNotResetByAGoodReply) {
    open({1, 2});
    identifyAll();
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
    timeout();
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
    timeout();
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
    reply(replies::read(1, std::vector<int>(32, 0)));  // moves on to device 2
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "02DRR"));
    timeout();  // the third since the last reset: move on
    EXPECT_EQ(engine.TimeoutCount(), 0);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR"));
}

TEST_F(PollCycle, OneRequestTakesOneReplyAndWhatFollowsInTheBlockIsNotHandled) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteOne, {101}, {1});
    tick();
    reply(replies::ack(1) + replies::read(1, std::vector<int>(10, 0)));
    EXPECT_TRUE(decoders.reservationIndices.empty());
    EXPECT_EQ(engine.State(), PollState::Reservation);
    EXPECT_TRUE(host.sendArmed);
}

TEST_F(PollCycle, StrayLineFeedAfterAFrameNeverDecodesTheFrameAgain) {
    open({1, 2});
    identifyAll();
    tick();
    reply(replies::read(1, std::vector<int>(32, 0)) + "noise\n");
    EXPECT_EQ(decoders.statusIndices, (std::vector<int>{0}));
}

TEST_F(PollCycle, RawReadRepeatsTheTypedRegisterUntilAnotherStateIsRequested) {
    open({9});
    identifyAll();
    state.QueueRequest(PollState::RawRead, {507}, {0});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tick(), text("\x02"
                               "09DRR,01,0507D6\r\n"));
        reply(replies::read(9, {1}));
        EXPECT_EQ(engine.State(), PollState::RawRead);
    }
    tick();
    reply(
        text("\x02"
             "09DRR,OK,0001ZZ\r\n"));  // bad checksum: only the input is discarded
    EXPECT_EQ(host.discards, 1);
    EXPECT_EQ(host.linkMarks.count(0), 0u);  // the raw read never marks the link
    state.QueueRequest(PollState::Status);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "09DRR,32,"));
}

TEST_F(PollCycle, SingleDeviceStaysPolledAfterThreeTimeouts) {
    open({42});
    identifyAll();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(
            tick().startsWith("\x02"
                              "42DRR"));
        timeout();
    }
    EXPECT_EQ(engine.CurrentIndex(), 0);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "42DRR"));
    EXPECT_TRUE(state.DeviceConnected[0]);
}

TEST_F(PollCycle, LaterPendingRequestReplacesTheEarlierOne) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteOne, {102}, {1});
    state.QueueRequest(PollState::WriteOne, {101}, {1});
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DWR,01,0101,0001"));
    EXPECT_EQ(state.PendingState, PollState::None);
}

TEST_F(PollCycle, PendingStateAbandonsTheIdentificationScan) {
    open({1, 2});
    tick();
    reply(replies::identify(1));
    state.QueueRequest(PollState::Status);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "02DRR,32,"));  // CurrentIndex stayed at 1
    EXPECT_FALSE(host.online);
}

TEST_F(PollCycle, ClosingThePortLetsAnArmedReplyTimerFireOnceAndSendsNothing) {
    open({1});
    identifyAll();
    tick();
    host.portOpen = false;
    engine.portClosed();
    EXPECT_FALSE(host.sendArmed);
    EXPECT_TRUE(host.replyArmed);
    timeout();
    EXPECT_EQ(host.linkMarks[0], LinkMark::Over);
    const size_t sentBefore = host.sent.size();
    const size_t loggedBefore = host.logged.size();
    engine.sendTick();
    EXPECT_EQ(host.sent.size(), sentBefore);
    EXPECT_EQ(host.logged.size(), loggedBefore + 1);  // still built and logged
    EXPECT_FALSE(host.replyArmed);
    EXPECT_FALSE(host.sendArmed);  // the cycle has come to rest
}

TEST_F(PollCycle, WriteValueOutsideTheWordIsRefusedAndNothingIsSent) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteOne, {115}, {70000});
    EXPECT_TRUE(tick().isEmpty());
    const auto refused = host.of(FakeHost::Kind::RequestRefused);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].registers, std::vector<int>{115});
    EXPECT_EQ(refused[0].values, std::vector<int>{70000});
    EXPECT_EQ(engine.State(), PollState::Status);
    EXPECT_TRUE(
        tick().startsWith("\x02"
                          "01DRR,32,"));
}

TEST_F(PollCycle, WriteWithTooFewPairsIsRefused) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteTwo, {611}, {8});
    EXPECT_TRUE(tick().isEmpty());
    EXPECT_EQ(host.of(FakeHost::Kind::RequestRefused).size(), 1u);
}

TEST_F(PollCycle, ClockWriteCarriesSixPairsAndReturnsToStatusPoll) {
    open({1});
    identifyAll();
    state.QueueRequest(PollState::WriteClock, {604, 605, 606, 607, 608, 609},
                       {2, 24, 5, 17, 14, 3});
    const QByteArray write = tick();
    EXPECT_TRUE(
        write.startsWith("\x02"
                         "01DWR,06,0604,0002,0605,0018,0606,0005,0607,0011,0608,000E,0609,0003"));
    EXPECT_EQ(write.size(), 73);
    reply(replies::ack(1));
    EXPECT_EQ(engine.State(), PollState::Status);
}

TEST_F(PollCycle, ReplyWithTheWrongNumberOfValuesIsDiscardedAndRepeated) {
    open({1, 2});
    identifyAll();
    const QByteArray request = tick();
    reply(replies::read(1, {1, 2}));  // a short reply never reaches a decoder
    EXPECT_EQ(host.discards, 1);
    EXPECT_TRUE(decoders.statusIndices.empty());
    EXPECT_TRUE(host.sendArmed);
    EXPECT_EQ(tick(), request);
    reply(replies::read(1, std::vector<int>(33, 0)));  // nor does one with a value too many
    EXPECT_TRUE(decoders.statusIndices.empty());
    EXPECT_EQ(tick(), request);

    decoders.accept = false;  // a reply the decoder refuses is repeated the same way
    reply(replies::read(1, std::vector<int>(32, 0)));
    EXPECT_EQ(host.discards, 3);
    EXPECT_EQ(tick(), request);
}

TEST_F(PollCycle, ErrorHistoryReadGoesToTheEditDeviceAndBackToStatusPoll) {
    open({3, 8});
    identifyAll();
    state.QueueRequest(PollState::ErrorHistory);
    const QByteArray request = tick();
    EXPECT_TRUE(
        request.startsWith("\x02"
                           "03DRR,20,0700,0701,"));
    EXPECT_TRUE(request.contains(",0719"));
    reply(replies::read(3, std::vector<int>(20, 0)));
    EXPECT_EQ(decoders.errorHistories, 1);
    EXPECT_EQ(engine.State(), PollState::Status);
}

TEST_F(PollCycle, RequestsAndReceivedBlocksAreLoggedButIdentificationRequestsAreNot) {
    open({1});
    tick();
    EXPECT_TRUE(host.logged.empty());
    const QByteArray id = replies::identify(1);
    reply(id);
    tick();
    ASSERT_EQ(host.logged.size(), 2u);
    EXPECT_EQ(host.logged[0], id);
    EXPECT_TRUE(
        host.logged[1].startsWith("\x02"
                                  "01DRR,32,"));
}

TEST_F(PollCycle, TimeoutsAreReportedForTheRunTableOfTheDeviceAsked) {
    open({1});
    identifyAll();
    tick();
    timeout();
    const auto timeouts = host.of(FakeHost::Kind::RunTableTimeout);
    ASSERT_EQ(timeouts.size(), 1u);
    EXPECT_EQ(timeouts[0].deviceIndex, 0);
}

TEST_F(PollCycle, FailingTransmissionLeavesNothingOutstanding) {
    open({1});
    host.transmitFails = true;
    tick();
    EXPECT_FALSE(host.replyArmed);
    engine.portLost();
    EXPECT_FALSE(host.sendArmed);
}

TEST_F(PollCycle, RestartScanAfterANewSelectionScansTheNewList) {
    open({1, 2});
    identifyAll();
    state.SetDeviceNumbers({5});
    engine.restartScan();
    EXPECT_FALSE(host.online);
    EXPECT_EQ(state.EditDeviceNo, 0);
    EXPECT_EQ(tick(), text("\x02"
                           "05WHO53\r\n"));
    reply(replies::identify(5));
    EXPECT_EQ(state.EditDeviceNo, 5);
    EXPECT_TRUE(host.online);
}

TEST_F(PollCycle, TrafficIsTracedInBothDirections) {
    open({1});
    const QByteArray request = tick();
    reply(replies::identify(1));
    const auto traces = host.of(FakeHost::Kind::Trace);
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0].direction, TraceDirection::Sent);
    EXPECT_EQ(traces[0].bytes, request);
    EXPECT_EQ(traces[1].direction, TraceDirection::Received);
    EXPECT_EQ(traces[1].bytes, replies::identify(1));
}
