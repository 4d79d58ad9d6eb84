#include "model/TrendSampler.h"

#include <gtest/gtest.h>

#include "ReplyFrames.h"
#include "engine/SharedState.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"

using namespace zr410;

namespace {

// Devices 3 and 7 answering; 3 is the edit device. Status replies go through the decoders,
// as they do on the line.
class Sampling : public ::testing::Test {
protected:
    Sampling() {
        state.SetDeviceNumbers({3, 7});
        state.DeviceConnected = {true, true};
        table.resetRows(state.DeviceNumbers);
    }

    void status(int index, bool running, int mold = 853) {
        std::vector<int> v(kStatusList.size(), 0);
        v[PositionIn(kStatusList, kRegDecimalPoint)] = 1;
        v[PositionIn(kStatusList, kRegMoldTemp)] = mold;
        v[PositionIn(kStatusList, kRegPressure)] = 125;
        v[PositionIn(kStatusList, kRegStatusWord)] = running ? 0x1001 : 0x1000;
        decoders.DecodeStatusBlock(index, replies::read(state.DeviceNumbers[index], v));
    }

    SharedState state;
    ValueTable table;
    ErrorHistory errors;
    DeviceDecoders decoders{state, table, errors};
    TrendSampler sampler;
};

}  // namespace

TEST_F(Sampling, RunningEditDeviceIsSampledFromItsOwnRow) {
    status(0, true, 853);
    status(1, true, 999);  // another running controller never reaches the chart
    auto first = sampler.Tick(state, table);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->startsNewChart);
    EXPECT_EQ(first->point, 1);
    EXPECT_DOUBLE_EQ(first->values[0], 85.3);
    EXPECT_DOUBLE_EQ(first->values[4], 1.25);
    status(0, true, 900);
    auto second = sampler.Tick(state, table);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->startsNewChart);
    EXPECT_EQ(second->point, 2);
    EXPECT_DOUBLE_EQ(second->values[0], 90.0);
}

TEST_F(Sampling, RunningComesFromTheDevicesOwnFlagNotFromAnyText) {
    status(0, false);
    EXPECT_FALSE(sampler.Tick(state, table));
    state.DeviceRunning[0] = true;  // the flag the logger goes by
    EXPECT_TRUE(sampler.Tick(state, table));
    table.SetText(1, ValueTable::StatusColumn(kRegStatusWord), QStringLiteral("4097"));
    state.DeviceRunning[0] = false;
    EXPECT_FALSE(sampler.Tick(state, table));
}

TEST_F(Sampling, SilenceKeepsTheRunStopAndNewEditDeviceStartAnew) {
    status(0, true);
    sampler.Tick(state, table);
    sampler.Tick(state, table);
    state.DeviceConnected[0] = false;
    EXPECT_FALSE(sampler.Tick(state, table));
    EXPECT_EQ(sampler.ChartPointCount, 2);
    state.DeviceConnected[0] = true;
    EXPECT_EQ(sampler.Tick(state, table)->point, 3);

    status(0, false);
    EXPECT_FALSE(sampler.Tick(state, table));
    EXPECT_EQ(sampler.ChartPointCount, 0);
    status(0, true);
    EXPECT_TRUE(sampler.Tick(state, table)->startsNewChart);

    state.EditDeviceIndex = 1;  // the operator picks device 7, which is stopped
    sampler.Restart();
    EXPECT_FALSE(sampler.Tick(state, table));
    status(1, true);
    EXPECT_TRUE(sampler.Tick(state, table)->startsNewChart);
}
