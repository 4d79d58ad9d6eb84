#include <gtest/gtest.h>

#include "engine/SharedState.h"
#include "model/WriteScaling.h"
#include "protocol/RegisterMap.h"

using namespace zr410;

TEST(ScaleForWrite, FollowsTheShownFormOfEachRegister) {
    // Temperatures by the decimal places, pressures in hundredths, current limits in tenths.
    EXPECT_EQ(ScaleForWrite(kRegSetValue, 85.3, 1), 853);
    EXPECT_EQ(ScaleForWrite(kRegSetValue, 85.3, 0), 85);
    EXPECT_EQ(ScaleForWrite(304, 120.5, 1), 1205);
    EXPECT_EQ(ScaleForWrite(kRegCoolBand, 2.5, 1), 25);
    EXPECT_EQ(ScaleForWrite(306, 1.25, 1), 125);
    EXPECT_EQ(ScaleForWrite(309, 0.5, 1), 5);
    EXPECT_EQ(ScaleForWrite(401, 120, 1), 120);
    EXPECT_EQ(ScaleForWrite(kRegReserveMinutes, 30, 1), 30);
    // Halves go to the even neighbour.
    EXPECT_EQ(ScaleForWrite(504, 120.5, 0), 120);
    EXPECT_EQ(ScaleForWrite(504, 121.5, 0), 122);
    EXPECT_EQ(ScaleEntryForWrite(kRegSetValue, u"85.25", 1), 852);
    EXPECT_EQ(ScaleEntryForWrite(510, u" -1.5abc", 1), -15);
    EXPECT_EQ(ScaleEntryForWrite(618, u"", 1), 0);
}

TEST(ScaleForWrite, RangeTextIsInTheShownForm) {
    EXPECT_EQ(WritableRangeText(kRegHeatBand, 1), "-3276.8 ~ 6553.5");
    EXPECT_EQ(WritableRangeText(306, 1), "-327.68 ~ 655.35");
    EXPECT_EQ(WritableRangeText(401, 1), "-32768 ~ 65535");
}

TEST(QueueWrite, PairCountChoosesTheWriteState) {
    SharedState s;
    EXPECT_EQ(s.QueueWrite({{kRegHeatBand, 25}}), WriteOutcome::Queued);
    EXPECT_EQ(s.PendingState, PollState::WriteOne);
    EXPECT_EQ(s.PendingRegisters, std::vector<int>{kRegHeatBand});
    EXPECT_EQ(s.PendingValues, std::vector<int>{25});

    EXPECT_EQ(s.QueueWrite({{kRegWeeklyStartHour, 7}, {kRegWeeklyStartHour + 1, 5}}),
              WriteOutcome::Queued);
    EXPECT_EQ(s.PendingState, PollState::WriteTwo);
    EXPECT_EQ(s.PendingRegisters, (std::vector<int>{611, 612}));
    EXPECT_EQ(s.PendingValues, (std::vector<int>{7, 5}));

    std::vector<WritePair> clock;
    for (size_t i = 0; i < kClockSetRegisters.size(); ++i) {
        clock.push_back({kClockSetRegisters[i], static_cast<int>(i)});
    }
    EXPECT_EQ(s.QueueWrite(clock), WriteOutcome::Queued);
    EXPECT_EQ(s.PendingState, PollState::WriteClock);
    EXPECT_EQ(s.PendingRegisters, (std::vector<int>{604, 605, 606, 607, 608, 609}));
    EXPECT_EQ(s.PendingValues, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(QueueWrite, RefusedRequestLeavesThePendingOneAlone) {
    SharedState s;
    ASSERT_EQ(s.QueueWrite({{kRegReservationMode, 2}}), WriteOutcome::Queued);
    // 9999.9 at one decimal is 99999: no frame carries it.
    EXPECT_EQ(s.QueueWrite({{kRegHeatBand, ScaleForWrite(kRegHeatBand, 9999.9, 1)}}),
              WriteOutcome::ValueOutOfRange);
    EXPECT_EQ(s.QueueWrite({{611, 7}, {612, -32769}}), WriteOutcome::ValueOutOfRange);
    EXPECT_EQ(s.QueueWrite({{1, 1}, {2, 2}, {3, 3}}), WriteOutcome::UnsupportedShape);
    EXPECT_EQ(s.QueueWrite({}), WriteOutcome::UnsupportedShape);
    EXPECT_EQ(s.PendingState, PollState::WriteOne);
    EXPECT_EQ(s.PendingRegisters, std::vector<int>{kRegReservationMode});
    EXPECT_EQ(s.PendingValues, std::vector<int>{2});
    // The edges of a word are carried; 65535 goes out as FFFF.
    EXPECT_EQ(s.QueueWrite({{510, -32768}}), WriteOutcome::Queued);
    EXPECT_EQ(s.QueueWrite({{510, 65535}}), WriteOutcome::Queued);
    EXPECT_EQ(s.PendingValues, std::vector<int>{65535});
}
