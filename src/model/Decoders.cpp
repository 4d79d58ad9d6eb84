#include "model/Decoders.h"

#include "model/ErrorHistory.h"
#include "model/TextForms.h"
#include "model/ValueTable.h"
#include "protocol/FrameCodec.h"

namespace zr410 {
namespace {

// Form of each status-block column (the column number equals the value's position).
QString statusText(int column, int value, int dp) {
    switch (column) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 26:
            return ScaledText(value, dp);
        case 6:
            return ScaledText(value, 2);  // pressure: hundredths whatever the decimal point
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
            return TwoDigitText(value);
        default:
            return IntegerText(value);
    }
}

// Form of each parameter-block value, by its position in the parameter list.
QString parameterText(int position, int value, int dp) {
    switch (position) {
        case 2:  // 304, 305 temperature alarms
        case 3:
        case 8:   // 400 heating P
        case 12:  // 405 cooling P
        case 20:  // 504, 505 usable range
        case 21:
        case 22:  // 508..512 corrections and preheat SV
        case 23:
        case 24:
        case 25:
        case 26:
            return ScaledText(value, dp);
        case 4:  // 306, 307 pressure alarms
        case 5:
            return ScaledText(value, 2);
        case 6:  // 308, 309 current alarms
        case 7:
            return ScaledText(value, 1);
        default:
            return IntegerText(value);
    }
}

}  // namespace

DeviceDecoders::DeviceDecoders(SharedState& state, ValueTable& table, ErrorHistory& errors,
                               QObject* parent)
    : QObject(parent), state_(state), table_(table), errors_(errors) {}

bool DeviceDecoders::DecodeStatusBlock(int deviceIndex, QByteArrayView frame) {
    const int row = deviceIndex + 1;
    if (!table_.isRow(row)) {
        return true;
    }
    const auto unitCode = ReplyValue(frame, 0);
    const auto decimalPoint = ReplyValue(frame, 1);
    if (!unitCode || !decimalPoint) {
        return false;
    }
    const int dp = ClampDecimalPlaces(*decimalPoint);
    const bool isEdit = deviceIndex == state_.EditDeviceIndex;
    if (isEdit) {
        DecimalPlaces = dp;
        TempUnitText = zr410::TempUnitText(*unitCode);
        emit editDeviceUnitChanged(TempUnitText);
    }
    table_.SetText(row, ValueTable::kColDecimalPlaces, IntegerText(*decimalPoint));
    table_.SetText(row, ValueTable::kColUnitCode, IntegerText(*unitCode));

    bool complete = true;
    for (int column = 2; column <= 31; ++column) {
        const auto value = ReplyValue(frame, column);
        if (!value) {
            complete = false;
            break;
        }
        table_.SetText(row, column, statusText(column, *value, dp));
        if (column == ValueTable::kColStatus && state_.IsDeviceIndex(deviceIndex)) {
            // Every controller's own RUN bit, so the logger knows who is running.
            state_.DeviceRunning[deviceIndex] = (*value & 0x0001) != 0;
        }
    }
    if (isEdit) {
        emit editDeviceStatusDecoded(deviceIndex);
    }
    return complete;
}

bool DeviceDecoders::DecodeReservationBlock(QByteArrayView frame) {
    const int row = state_.EditDeviceIndex + 1;
    std::optional<int> values[10];
    for (int k = 0; k < 10; ++k) {
        values[k] = ReplyValue(frame, k);
        if (!values[k]) {
            return false;
        }
        table_.SetText(row, ValueTable::kColFirstReservation + k, IntegerText(*values[k]));
    }
    DecimalPlaces = ClampDecimalPlaces(*values[8]);
    TempUnitText = zr410::TempUnitText(*values[9]);
    emit editDeviceUnitChanged(TempUnitText);
    return true;
}

bool DeviceDecoders::DecodeParameterBlock(QByteArrayView frame) {
    const int row = state_.EditDeviceIndex + 1;
    for (int k = 0; k < 32; ++k) {
        const auto value = ReplyValue(frame, k);
        if (!value) {
            return false;
        }
        table_.SetText(row, ValueTable::kColFirstParameter + k,
                       parameterText(k, *value, DecimalPlaces));
    }
    return true;
}

bool DeviceDecoders::DecodeErrorHistory(QByteArrayView frame) {
    bool complete = true;
    for (int k = 0; k < ErrorHistory::kEntries; ++k) {
        const auto code = ReplyValue(frame, k);
        if (!code) {
            complete = false;
            break;
        }
        if (*code > 0) {
            errors_.SetEntry(k + 1, *code);
        }
    }
    emit errorHistoryDecoded();
    return complete;
}

}  // namespace zr410
