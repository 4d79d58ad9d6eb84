#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <vector>

#include "SimTestSupport.h"
#include "protocol/FrameCodec.h"

using namespace zr410;
using namespace zr410::sim;
using namespace std::chrono_literals;

namespace {

const CalendarTime kWallClock{2024, 5, 17, 9, 30, 0};
const TimePoint kT0 = TimePoint{} + 1h;

SimBus makeBus(std::vector<int> devices = {1, 3, 7}, int checksumLength = 2) {
    return SimBus(devices, checksumLength, 42, kWallClock, kT0);
}

QByteArray replyBytes(SimBus& bus, const QByteArray& frame) {
    const std::optional<Transmission> t = bus.handle(frame, kT0);
    return t ? t->bytes : QByteArray();
}

QByteArray writeFrame(int device, int reg, int value, int s = 2) {
    return *BuildWriteFrame(device, std::vector<int>{reg}, std::vector<int>{value}, s);
}

QByteArray readFrame(int device, std::vector<int> regs, int s = 2) {
    return *BuildReadFrame(device, regs, s);
}

}  // namespace

TEST(SimBusAddressing, OnlyServedDevicesAnswer) {
    SimBus bus = makeBus();
    for (int device : {1, 3, 7}) {
        EXPECT_EQ(replyBytes(bus, BuildIdentifyFrame(device, 2)), BuildIdentifyReply(device, 2));
    }
    for (int device : {0, 2, 8, 99}) {
        EXPECT_FALSE(bus.handle(BuildIdentifyFrame(device, 2), kT0)) << device;
        // Not even a broken request to someone else draws a negative reply.
        EXPECT_FALSE(bus.handle(RequestFrame("02DRR,01,0115", false), kT0)) << device;
    }
    EXPECT_FALSE(bus.handle(RequestFrame("X1WHO"), kT0));
    EXPECT_EQ(bus.counters().replies, 3U);
    EXPECT_EQ(bus.counters().silent, 9U);
    EXPECT_EQ(bus.counters().perDevice.at(2), 5U);
}

TEST(SimBusAddressing, ChecksumSettingDecidesWhatIsAccepted) {
    SimBus bus = makeBus({1}, 0);
    EXPECT_EQ(replyBytes(bus, RequestFrame("01WHO", false)), BuildIdentifyReply(1, 0));
    EXPECT_EQ(replyBytes(bus, RequestFrame("01WHO", true)), BuildNegativeReply(1, "WHO", 0));
    bus.setChecksumLength(2);
    EXPECT_EQ(replyBytes(bus, RequestFrame("01WHO", true)), BuildIdentifyReply(1, 2));
    EXPECT_EQ(replyBytes(bus, RequestFrame("01WHO", false)), BuildNegativeReply(1, "WHO", 2));
}

TEST(SimBusRequests, ReadAnswersEveryRegisterInRequestOrder) {
    SimBus bus = makeBus();
    const QByteArray reply = replyBytes(bus, readFrame(3, {507, 506, 115, 9999, 0}));
    ASSERT_EQ(reply.size(), 5 * 5 + 13);
    EXPECT_TRUE(VerifyChecksum(reply));
    EXPECT_EQ(ReplyValue(reply, 0), 0);    // unit °C
    EXPECT_EQ(ReplyValue(reply, 1), 1);    // one decimal
    EXPECT_EQ(ReplyValue(reply, 2), 600);  // SV 60.0
    EXPECT_EQ(ReplyValue(reply, 3), 0);    // unknown registers read 0
    EXPECT_EQ(ReplyValue(reply, 4), 0);
}

TEST(SimBusRequests, WritesAreAppliedAcknowledgedAndRecorded) {
    SimBus bus = makeBus();
    EXPECT_EQ(replyBytes(bus, writeFrame(7, 115, 853)), BuildWriteAck(7, 2));
    EXPECT_EQ(replyBytes(bus, writeFrame(7, 102, 1)), BuildWriteAck(7, 2));
    const QByteArray reply = replyBytes(bus, readFrame(7, {115, 102, 6}));
    EXPECT_EQ(ReplyValue(reply, 0), 853);
    EXPECT_EQ(ReplyValue(reply, 1), 1);
    EXPECT_EQ(ReplyValue(reply, 2), (1 << 0) | (1 << 12));

    ASSERT_EQ(bus.writes().size(), 2U);
    EXPECT_EQ(bus.writes()[0].device, 7);
    EXPECT_EQ(bus.writes()[0].reg, 115);
    EXPECT_EQ(bus.writes()[0].value, 853);
    EXPECT_EQ(bus.writes()[1].reg, 102);
}

TEST(SimBusRequests, RejectedWriteChangesNothing) {
    SimBus bus = makeBus();
    QByteArray frame = writeFrame(1, 115, 853);
    frame[frame.size() - 3] = frame[frame.size() - 3] == '0' ? '1' : '0';
    EXPECT_EQ(replyBytes(bus, frame), BuildNegativeReply(1, "DWR", 2));
    EXPECT_TRUE(bus.writes().empty());
    EXPECT_EQ(ReplyValue(replyBytes(bus, readFrame(1, {115})), 0), 600);
    EXPECT_EQ(bus.counters().negative, 1U);
    EXPECT_EQ(bus.counters().perKind[3], 1U);
}

TEST(SimBusFaults, TimeoutLeavesTheRequestUnheard) {
    SimBus bus = makeBus();
    bus.faults().setRate(Fault::Timeout, 1.0);
    EXPECT_FALSE(bus.handle(writeFrame(1, 115, 853), kT0));
    bus.faults().setRate(Fault::Timeout, 0.0);
    EXPECT_EQ(ReplyValue(replyBytes(bus, readFrame(1, {115})), 0), 600);
    EXPECT_TRUE(bus.writes().empty());
    EXPECT_EQ(bus.counters().faults[static_cast<int>(Fault::Timeout)], 1U);
}

TEST(SimBusFaults, NegativeFaultRefusesTheRequest) {
    SimBus bus = makeBus();
    bus.faults().setRate(Fault::Negative, 1.0);
    EXPECT_EQ(replyBytes(bus, writeFrame(3, 115, 853)), BuildNegativeReply(3, "DWR", 2));
    EXPECT_TRUE(bus.writes().empty());
}

TEST(SimBusFaults, ChecksumFaultSpoilsOnlyTheChecksum) {
    SimBus bus = makeBus();
    bus.faults().setRate(Fault::Checksum, 1.0);
    const QByteArray good = BuildIdentifyReply(1, 2);
    for (int i = 0; i < 20; ++i) {
        const QByteArray bad = replyBytes(bus, BuildIdentifyFrame(1, 2));
        ASSERT_EQ(bad.size(), good.size());
        EXPECT_FALSE(VerifyChecksum(bad));
        EXPECT_EQ(bad.first(bad.size() - 4), good.first(good.size() - 4));
        EXPECT_EQ(bad.last(2), good.last(2));
    }
    // Without a checksum there is nothing to spoil.
    bus.setChecksumLength(0);
    EXPECT_EQ(replyBytes(bus, BuildIdentifyFrame(1, 0)), BuildIdentifyReply(1, 0));
}

TEST(SimBusFaults, GarbageComesBeforeAnIntactReply) {
    SimBus bus = makeBus();
    bus.faults().setRate(Fault::Garbage, 1.0);
    const QByteArray good = BuildWriteAck(1, 2);
    for (int i = 0; i < 20; ++i) {
        const QByteArray sent = replyBytes(bus, writeFrame(1, 200, 0));
        ASSERT_GT(sent.size(), good.size());
        ASSERT_TRUE(sent.endsWith(good));
        const QByteArray noise = sent.first(sent.size() - good.size());
        EXPECT_FALSE(noise.contains(kSTX)) << Text(noise);
        EXPECT_FALSE(noise.contains(kLF)) << Text(noise);
    }
}

TEST(SimBusFaults, SplitAndLateChangeOnlyTheTiming) {
    SimBus bus = makeBus();
    bus.faults().setRate(Fault::Split, 1.0);
    bus.faults().setRate(Fault::Late, 1.0);
    const QByteArray good = BuildReadReply(1, std::vector<int>(10, 0), 2);
    for (int i = 0; i < 20; ++i) {
        const auto t = bus.handle(readFrame(1, std::vector<int>(10, 9000)), kT0);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->bytes, good);
        ASSERT_GE(t->gaps.size(), 1U);
        ASSERT_LE(t->gaps.size(), 2U);
        int previous = 0;
        for (const Gap& gap : t->gaps) {
            EXPECT_GT(gap.offset, previous);
            EXPECT_LT(gap.offset, good.size());
            EXPECT_GE(gap.pause, 50ms);
            EXPECT_LE(gap.pause, 150ms);
            previous = gap.offset;
        }
        EXPECT_GE(t->lateBy, 700ms);
        EXPECT_LE(t->lateBy, 900ms);
    }
}

TEST(SimBusFaults, SameSeedGivesTheSameFaultSequence) {
    auto pattern = [] {
        SimBus bus = makeBus();
        bus.faults().setRate(Fault::Timeout, 0.5);
        std::vector<bool> answered;
        for (int i = 0; i < 64; ++i) {
            answered.push_back(bus.handle(BuildIdentifyFrame(1, 2), kT0).has_value());
        }
        return answered;
    };
    const std::vector<bool> first = pattern();
    EXPECT_EQ(first, pattern());
    const auto silent = std::count(first.begin(), first.end(), false);
    EXPECT_GT(silent, 10);
    EXPECT_LT(silent, 54);
}
