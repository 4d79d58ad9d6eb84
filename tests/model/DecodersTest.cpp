#include "model/Decoders.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "ReplyFrames.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"

using namespace zr410;

namespace {

// Status reply values in request order (507, 506, 1, 2, ...), all zero unless set.
struct StatusValues {
    std::vector<int> v = std::vector<int>(32, 0);
    StatusValues& unit(int x) { return set(0, x); }
    StatusValues& dp(int x) { return set(1, x); }
    StatusValues& set(int position, int x) {
        v[position] = x;
        return *this;
    }
};

class Decoding : public ::testing::Test {
protected:
    Decoding() {
        state.SetDeviceNumbers({3, 7});
        table.resetRows(state.DeviceNumbers);
        state.EditDeviceIndex = 0;
    }
    SharedState state;
    ValueTable table;
    ErrorHistory errors;
    DeviceDecoders decoders{state, table, errors};
};

}  // namespace

TEST_F(Decoding, StatusRowIsFormattedWithTheControllersOwnDecimalPoint) {
    StatusValues values;
    values.unit(1).dp(1).set(2, 853).set(3, -10).set(6, 125).set(26, 600);
    values.set(9, 7).set(10, 4).set(11, 17).set(12, 0).set(13, 59).set(14, 5);
    ASSERT_TRUE(decoders.DecodeStatusBlock(0, replies::read(3, values.v)));
    EXPECT_EQ(table.Text(1, 2), "85.3");
    EXPECT_EQ(table.Text(1, 3), "-1.0");
    EXPECT_EQ(table.Text(1, 6), "1.25");
    EXPECT_EQ(table.Text(1, 26), "60.0");
    EXPECT_EQ(table.Text(1, 9), "7");
    EXPECT_EQ(table.Text(1, 10), "04");
    EXPECT_EQ(table.Text(1, 12), "00");
    EXPECT_EQ(table.Text(1, 14), "05");
    EXPECT_EQ(table.Text(1, 73), "1");
    EXPECT_EQ(table.Text(1, 74), "1");
    EXPECT_EQ(decoders.DecimalPlaces, 1);
    EXPECT_EQ(decoders.TempUnitText, "℉");

    StatusValues whole;
    whole.dp(0).set(2, 853).set(6, 125);
    ASSERT_TRUE(decoders.DecodeStatusBlock(1, replies::read(7, whole.v)));
    EXPECT_EQ(table.Text(2, 2), "853");
    EXPECT_EQ(table.Text(2, 6), "1.25");
    EXPECT_EQ(table.Text(1, 2), "85.3");  // the other row keeps its own form
}

TEST_F(Decoding, OnlyTheEditDeviceChangesTheDisplaySettings) {
    QSignalSpy repaint(&decoders, &DeviceDecoders::editDeviceStatusDecoded);
    StatusValues values;
    values.unit(1).dp(2);
    decoders.DecodeStatusBlock(1, replies::read(7, values.v));
    EXPECT_EQ(decoders.DecimalPlaces, 0);
    EXPECT_TRUE(decoders.TempUnitText.isEmpty());
    EXPECT_EQ(repaint.count(), 0);
    decoders.DecodeStatusBlock(0, replies::read(3, values.v));
    EXPECT_EQ(decoders.DecimalPlaces, 2);
    EXPECT_EQ(repaint.count(), 1);
}

TEST_F(Decoding, EveryControllersRunBitIsTrackedNotOnlyTheEditDevices) {
    StatusValues running;
    running.set(7, 0x1001);  // RUN and PWR
    decoders.DecodeStatusBlock(1, replies::read(7, running.v));
    EXPECT_TRUE(state.DeviceRunning[1]);
    EXPECT_FALSE(state.DeviceRunning[0]);
    StatusValues stopped;
    stopped.set(7, 0x1000);
    decoders.DecodeStatusBlock(1, replies::read(7, stopped.v));
    EXPECT_FALSE(state.DeviceRunning[1]);
}

TEST_F(Decoding, ShortReplyStopsAtTheMissingValueAndKeepsWhatWasWritten) {
    StatusValues values;
    values.dp(1).set(2, 853).set(3, 400);
    std::vector<int> firstThree(values.v.begin(), values.v.begin() + 3);
    EXPECT_FALSE(decoders.DecodeStatusBlock(0, replies::read(3, firstThree)));
    EXPECT_EQ(table.Text(1, 2), "85.3");
    EXPECT_EQ(table.Text(1, 3), "");
    EXPECT_FALSE(decoders.DecodeStatusBlock(0, replies::read(3, {1})));
    EXPECT_FALSE(decoders.DecodeParameterBlock(0, replies::read(3, std::vector<int>(31, 0))));
    EXPECT_FALSE(decoders.DecodeReservationBlock(0, replies::read(3, std::vector<int>(9, 0))));
}

TEST_F(Decoding, ReservationBlockSetsDisplaySettingsAndParameterBlockUsesThem) {
    ASSERT_TRUE(
        decoders.DecodeReservationBlock(0, replies::read(3, {1, 0x7F, 8, 30, 17, 0, 2, 15, 1, 0})));
    EXPECT_EQ(table.Text(1, 65), "1");
    EXPECT_EQ(table.Text(1, 66), "127");
    EXPECT_EQ(table.Text(1, 73), "1");
    EXPECT_EQ(decoders.DecimalPlaces, 1);
    EXPECT_EQ(decoders.TempUnitText, "℃");

    std::vector<int> parameters(32, 0);
    parameters[0] = 1;     // 300
    parameters[2] = 1200;  // 304 temperature alarm
    parameters[4] = 550;   // 306 pressure alarm
    parameters[6] = 155;   // 308 current alarm
    parameters[8] = 35;    // 400 P
    parameters[9] = 120;   // 401 I
    parameters[26] = 800;  // 512 preheat SV
    parameters[27] = 10;   // 513
    ASSERT_TRUE(decoders.DecodeParameterBlock(0, replies::read(3, parameters)));
    EXPECT_EQ(table.Text(1, 33), "1");
    EXPECT_EQ(table.Text(1, 35), "120.0");
    EXPECT_EQ(table.Text(1, 37), "5.50");
    EXPECT_EQ(table.Text(1, 39), "15.5");
    EXPECT_EQ(table.Text(1, 41), "3.5");
    EXPECT_EQ(table.Text(1, 42), "120");
    EXPECT_EQ(table.Text(1, 59), "80.0");
    EXPECT_EQ(table.Text(1, 60), "10");
}

TEST_F(Decoding, ErrorHistoryWritesOnlyEntriesWithACode) {
    errors.Open();
    errors.SetEntry(1, 4);
    errors.SetEntry(3, 9);
    std::vector<int> codes(20, 0);
    codes[1] = 13;
    codes[4] = 21;
    ASSERT_TRUE(decoders.DecodeErrorHistory(replies::read(3, codes)));
    EXPECT_EQ(errors.Text(2, 1), "13");
    EXPECT_EQ(errors.Text(2, 2), "온도 오버");
    EXPECT_EQ(errors.Text(1, 2), "AT 에러");  // gaps keep what they showed
    EXPECT_EQ(errors.Text(3, 2), "보드 에러");
    EXPECT_EQ(errors.Text(5, 2), "알 수 없는 에러 (코드 21)");
}

TEST_F(Decoding, NewEditDeviceBringsItsOwnDecimalPointAndUnitAtOnce) {
    ASSERT_TRUE(decoders.DecodeStatusBlock(0, replies::read(3, StatusValues().dp(1).v)));
    ASSERT_TRUE(decoders.DecodeStatusBlock(1, replies::read(7, StatusValues().dp(2).unit(1).v)));
    EXPECT_EQ(decoders.DecimalPlaces, 1);
    state.EditDeviceIndex = 1;
    decoders.AdoptEditDevice(1);
    EXPECT_EQ(decoders.DecimalPlaces, 2);
    EXPECT_EQ(decoders.TempUnitText, "℉");

    // A controller that has never answered leaves the settings as they are.
    table.resetRows({3, 7, 9});
    decoders.AdoptEditDevice(2);
    EXPECT_EQ(decoders.DecimalPlaces, 2);
}
