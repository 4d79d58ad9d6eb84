#include "sim/LinePacer.h"

#include <gtest/gtest.h>

using namespace zr410::sim;
using namespace std::chrono_literals;

namespace {

const Duration kByte9600 = std::chrono::nanoseconds(1'145'833);  // 11 bits at 9600 baud
const TimePoint kT0 = TimePoint{} + 1h;

// Drains the pacer the way the server does: wake at each due time, send what is due.
std::vector<std::pair<TimePoint, QByteArray>> drain(LinePacer& pacer, Duration lateWake = {}) {
    std::vector<std::pair<TimePoint, QByteArray>> writes;
    while (auto due = pacer.nextDue()) {
        const TimePoint now = *due + lateWake;
        EXPECT_TRUE(pacer.due(now - 1ns).isEmpty());
        const QByteArray bytes = pacer.due(now);
        pacer.sent(static_cast<int>(bytes.size()), now);
        writes.emplace_back(now, bytes);
    }
    return writes;
}

}  // namespace

TEST(LinePacer, ReplyTakesItsLineTimeByteByByte) {
    LinePacer pacer(kByte9600);
    const QByteArray reply(173, 'x');
    pacer.enqueue(reply, kT0);
    EXPECT_TRUE(pacer.due(kT0).isEmpty());
    const auto writes = drain(pacer);
    ASSERT_EQ(writes.size(), 173U);
    EXPECT_EQ(writes.front().first, kT0 + kByte9600);
    EXPECT_EQ(writes.back().first, kT0 + 173 * kByte9600);  // about 198 ms
    for (size_t i = 1; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].first - writes[i - 1].first, kByte9600);
        EXPECT_EQ(writes[i].second.size(), 1);
    }
    EXPECT_TRUE(pacer.idle());
}

TEST(LinePacer, LateWakeUpsDoNotSlowTheLineDown) {
    LinePacer pacer(kByte9600);
    pacer.enqueue(QByteArray(100, 'x'), kT0);
    const TimePoint late = kT0 + 50 * kByte9600 + 100us;
    const QByteArray burst = pacer.due(late);
    EXPECT_EQ(burst.size(), 50);  // exactly the bytes a real line would have delivered
    pacer.sent(static_cast<int>(burst.size()), late);
    EXPECT_EQ(pacer.nextDue(), kT0 + 51 * kByte9600);
}

TEST(LinePacer, PausesAndQueuedRepliesFollowOneAnother) {
    LinePacer pacer(kByte9600);
    const Gap gaps[] = {{4, 100ms}};
    pacer.enqueue("abcdefgh", kT0, gaps);
    pacer.enqueue("ij", kT0);  // queued behind the first reply
    const auto writes = drain(pacer);
    ASSERT_EQ(writes.size(), 10U);
    EXPECT_EQ(writes[3].first, kT0 + 4 * kByte9600);
    EXPECT_EQ(writes[4].first, kT0 + 100ms + 5 * kByte9600);
    EXPECT_EQ(writes[8].first, kT0 + 100ms + 9 * kByte9600);
    EXPECT_EQ(writes[8].second, "i");
}

TEST(LinePacer, ReplyNeverStartsBeforeItsEarliestTime) {
    LinePacer pacer(kByte9600);
    pacer.enqueue("a", kT0);
    drain(pacer);
    pacer.enqueue("b", kT0 + 1s);
    EXPECT_EQ(pacer.nextDue(), kT0 + 1s + kByte9600);
}

TEST(LinePacer, FastLineSendsAMillisecondOfBytesPerWakeUp) {
    const Duration byte115200 = std::chrono::nanoseconds(1'000'000'000LL * 11 / 115200);
    LinePacer pacer(byte115200);
    pacer.enqueue(QByteArray(200, 'x'), kT0);
    const auto writes = drain(pacer);
    for (size_t i = 1; i < writes.size(); ++i) {
        EXPECT_GE(writes[i].first - writes[i - 1].first, 1ms);
    }
    EXPECT_LT(writes.size(), 25U);
    EXPECT_LE(writes.back().first - (kT0 + 200 * byte115200), 1ms);
}
