#include "sim/SimController.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/RegisterMap.h"

using namespace zr410;
using namespace zr410::sim;
using namespace std::chrono_literals;

namespace {

// Friday 17 May 2024, 09:30:00.
const CalendarTime kWallClock{2024, 5, 17, 9, 30, 0};
const TimePoint kT0 = TimePoint{} + 1h;

struct ControllerTest : ::testing::Test {
    SimController c{1, 7, kWallClock, kT0};
    TimePoint now = kT0;

    void write(int reg, int value) {
        const RegisterWrite w{reg, value};
        c.write(std::span(&w, 1), now);
    }
    int read(int reg) {
        c.advance(now);
        return c.read(reg);
    }
    // Lets simulated time pass in one-second reads, as a polling master would.
    void runFor(Duration span) {
        const TimePoint end = now + span;
        while (now < end) {
            now += 1s;
            c.advance(now);
        }
    }
    std::vector<int> clock() {
        std::vector<int> fields;
        for (int reg = 8; reg <= 14; ++reg) {
            fields.push_back(read(reg));
        }
        return fields;
    }
};

}  // namespace

TEST_F(ControllerTest, StartsWithPlausibleSettings) {
    EXPECT_EQ(read(kRegSetValue), 600);
    EXPECT_EQ(read(kRegDecimalPoint), 1);
    EXPECT_EQ(read(kRegTempUnit), 0);
    EXPECT_EQ(read(kRegStatusWord), 1 << kBitPower);
    EXPECT_EQ(read(304), 1200);
    EXPECT_EQ(read(400), 100);
    EXPECT_GT(read(513), read(514));
    EXPECT_NEAR(read(kRegMoldTemp), 250, 3);

    int entries = 0;
    int empty = 0;
    for (int reg : kErrorHistoryList) {
        const int code = read(reg);
        EXPECT_GE(code, 0);
        EXPECT_LE(code, 15);
        (code > 0 ? entries : empty)++;
    }
    EXPECT_GE(entries, 2);
    EXPECT_GE(empty, 10);
}

TEST_F(ControllerTest, CommandRegistersToggleTheirStatusBits) {
    write(101, 1);  // power off first, so every bit starts clear
    ASSERT_EQ(read(kRegStatusWord), 0);
    for (int i = 0; i < 8; ++i) {
        const int reg = kCommandRegisters[static_cast<size_t>(i)];
        const int mask = 1 << kCommandStatusBit[i];
        write(reg, 1);
        EXPECT_TRUE(read(kRegStatusWord) & mask) << reg;
        EXPECT_EQ(read(reg), 1) << reg;
        write(reg, 1);
        EXPECT_FALSE(read(kRegStatusWord) & mask) << reg;
        EXPECT_EQ(read(reg), 0) << reg;
    }
}

TEST_F(ControllerTest, RunNeedsPowerAndPowerOffStopsTheRun) {
    write(101, 1);
    write(102, 1);
    EXPECT_EQ(read(kRegStatusWord), (1 << kBitRun) | (1 << kBitPower));
    write(103, 1);
    write(101, 1);
    EXPECT_EQ(read(kRegStatusWord), 0);
    // Only the value 1 is a command.
    write(102, 0);
    write(102, 2);
    EXPECT_EQ(read(102), 0);
}

TEST_F(ControllerTest, SetValueKeepsItsMeaningAcrossDecimalPointAndUnit) {
    write(kRegSetValue, 853);  // 85.3 °C
    EXPECT_EQ(read(kRegSetValue), 853);
    write(kRegDecimalPoint, 0);
    EXPECT_EQ(read(kRegSetValue), 85);
    EXPECT_EQ(read(304), 120);
    write(kRegTempUnit, 1);
    EXPECT_EQ(read(kRegSetValue), 186);  // 185.5 °F
    EXPECT_EQ(read(400), 18);            // a 10 °C band is 18 °F wide, no offset
    write(kRegDecimalPoint, 1);
    EXPECT_EQ(read(kRegSetValue), 1855);
    write(kRegSetValue, 1400);  // 140.0 °F
    write(kRegTempUnit, 0);
    EXPECT_EQ(read(kRegSetValue), 600);
}

TEST_F(ControllerTest, MeasuredTemperaturesFollowDecimalPointAndUnit) {
    EXPECT_NEAR(read(1), 250, 3);
    write(kRegTempUnit, 2);  // any value above 0 means °F
    EXPECT_NEAR(read(1), 770, 3);
    write(kRegDecimalPoint, 0);
    EXPECT_NEAR(read(1), 77, 1);
    EXPECT_EQ(read(kRegPressure), 0);  // pressure never follows the decimal point
}

TEST_F(ControllerTest, ParametersAndReservationsAreStored) {
    for (int reg : {300, 401, 500, 513, 600, 610, 611, 616, 618, 200, 1234}) {
        write(reg, 77);
        EXPECT_EQ(read(reg), 77) << reg;
    }
    write(306, -5);
    EXPECT_EQ(read(306), -5);
}

TEST_F(ControllerTest, MeasuredValuesCannotBeWritten) {
    for (int reg : {1, 5, 6, 9, 201, 207}) {
        const int before = read(reg);
        write(reg, 999);
        EXPECT_NEAR(read(reg), before, 2) << reg;
    }
}

TEST_F(ControllerTest, ClockRunsFromTheWallClockGiven) {
    EXPECT_EQ(clock(), (std::vector<int>{5, 24, 5, 17, 9, 30, 0}));
    now += 61s;
    EXPECT_EQ(clock(), (std::vector<int>{5, 24, 5, 17, 9, 31, 1}));
}

TEST_F(ControllerTest, ClockSetByTheSixPairsThenRuns) {
    now += 17s;
    const std::vector<RegisterWrite> set = {{604, 3},  {605, 24}, {606, 2},
                                            {607, 28}, {608, 23}, {609, 59}};
    c.write(set, now);
    EXPECT_EQ(clock(), (std::vector<int>{3, 24, 2, 28, 23, 59, 0}));
    now += 24h + 75s;  // over a leap day
    EXPECT_EQ(clock(), (std::vector<int>{5, 24, 3, 1, 0, 0, 15}));
}

TEST_F(ControllerTest, ClockSetClampsImpossibleFields) {
    const std::vector<RegisterWrite> set = {{604, 9},  {605, 123}, {606, 13},
                                            {607, 31}, {608, 25},  {609, 75}};
    c.write(set, now);
    EXPECT_EQ(clock(), (std::vector<int>{6, 23, 12, 31, 23, 59, 0}));
}

TEST_F(ControllerTest, TimeReservationCountsDownAndStartsTheRun) {
    write(101, 1);  // power off
    write(615, 1);
    write(616, 30);
    write(602, 1);
    EXPECT_EQ(read(kRegStatusWord), 1 << kBitTimeReservation);
    EXPECT_EQ(read(16), 1);
    EXPECT_EQ(read(17), 30);
    now += 45min + 10s;
    EXPECT_EQ(read(16), 0);
    EXPECT_EQ(read(17), 45);  // 44 min 50 s left, shown rounded up
    now += 45min;
    EXPECT_EQ(read(kRegStatusWord), (1 << kBitRun) | (1 << kBitPower));
    EXPECT_EQ(read(602), 0);
    EXPECT_EQ(read(16), 0);
}

TEST_F(ControllerTest, WeeklyReservationShowsItsNextDay) {
    write(610, 0b0000010);  // Mondays only; today is a Friday
    write(602, 2);
    EXPECT_EQ(read(kRegStatusWord) & 0xC0, 1 << kBitWeeklyReservation);
    EXPECT_EQ(read(19), 1);
    write(602, 0);
    EXPECT_EQ(read(kRegStatusWord) & 0xC0, 0);
}

TEST_F(ControllerTest, RunningMediumApproachesTheSetValue) {
    write(102, 1);
    runFor(5s);
    EXPECT_GT(read(201), 50);  // far below the set value: heating hard
    EXPECT_GT(read(207), 0);
    runFor(30s);
    const int afterHalfMinute = read(2);
    EXPECT_GT(afterHalfMinute, 400);
    EXPECT_LT(afterHalfMinute, 560);
    runFor(5min);
    EXPECT_NEAR(read(2), 600, 5);
    EXPECT_LT(read(1), read(2));  // the mold trails the medium that heats it
    EXPECT_LT(read(3), read(2));
    EXPECT_NEAR(read(kRegPressure), 250, 30);
    EXPECT_LT(read(201), 50);
    // Phase currents follow the heating output.
    EXPECT_NEAR(read(207), read(201) / 5, 1);
    EXPECT_NEAR(read(208), read(207), 1);
}

TEST_F(ControllerTest, MoldControlBringsTheMoldToTheSetValue) {
    write(107, 1);
    write(102, 1);
    runFor(6min);
    EXPECT_NEAR(read(1), 600, 5);
    EXPECT_GT(read(2), read(1));
}

TEST_F(ControllerTest, StoppedControllerCoolsToAmbient) {
    write(102, 1);
    runFor(6min);
    write(102, 1);
    runFor(30s);
    EXPECT_EQ(read(201), 0);
    EXPECT_EQ(read(207), 0);
    runFor(30min);
    EXPECT_NEAR(read(2), 250, 10);
    EXPECT_NEAR(read(kRegPressure), 0, 2);
}

TEST_F(ControllerTest, LoweredSetValueDrivesTheCoolingOutput) {
    write(102, 1);
    runFor(6min);
    write(kRegSetValue, 300);
    runFor(2s);
    EXPECT_EQ(read(201), 0);
    EXPECT_GT(read(202), 50);
}

TEST_F(ControllerTest, ForcedValuesArePinnedUntilReleased) {
    c.force(1, 853, now);
    c.force(5, 125, now);
    write(102, 1);
    runFor(1min);
    EXPECT_EQ(read(1), 853);
    EXPECT_EQ(read(5), 125);
    c.release(1);
    EXPECT_NE(read(1), 853);
    EXPECT_EQ(read(5), 125);
    c.releaseAll();
    EXPECT_NE(read(5), 125);
}

TEST_F(ControllerTest, ForcedStateRegistersChangeTheState) {
    c.force(kRegStatusWord, (1 << kBitMold) | (1 << kBitTimeReservation), now);
    EXPECT_EQ(read(107), 1);
    EXPECT_EQ(read(101), 0);
    c.force(102, 1, now);
    EXPECT_EQ(read(kRegStatusWord), (1 << kBitMold) | (1 << kBitTimeReservation) | 1);
    c.force(9, 7, now);
    c.force(12, 0, now);
    EXPECT_EQ(read(9), 7);
    EXPECT_EQ(read(12), 0);
    c.force(kRegSetValue, 0xFFFF, now);  // as the word FFFF: -0.1
    EXPECT_EQ(read(kRegSetValue), -1);
}
