#include "model/Decoders.h"

#include "model/ErrorHistory.h"
#include "model/TextForms.h"
#include "model/ValueTable.h"
#include "protocol/FrameCodec.h"
#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

// The form of value `position` of a read list, from the register table.
QString listText(std::span<const int> list, int position, int raw, int dp) {
    const auto info = FindRegister(list[position]);
    return info ? RegisterText(*info, raw, dp) : IntegerText(raw);
}

}  // namespace

DeviceDecoders::DeviceDecoders(SharedState& state, ValueTable& table, ErrorHistory& errors,
                               QObject* parent)
    : QObject(parent), state_(state), table_(table), errors_(errors) {}

void DeviceDecoders::setEditDisplay(int decimalPlaces, int unitCode) {
    DecimalPlaces = ClampDecimalPlaces(decimalPlaces);
    TempUnitText = zr410::TempUnitText(unitCode);
    emit editDeviceUnitChanged(TempUnitText);
}

void DeviceDecoders::AdoptEditDevice(int deviceIndex) {
    const int row = deviceIndex + 1;
    const QString dp = table_.Text(row, ValueTable::kColDecimalPlaces);
    const QString unit = table_.Text(row, ValueTable::kColUnitCode);
    if (!dp.isEmpty() && !unit.isEmpty()) {
        setEditDisplay(dp.toInt(), unit.toInt());
    }
}

bool DeviceDecoders::DecodeStatusBlock(int deviceIndex, QByteArrayView frame) {
    const int row = deviceIndex + 1;
    if (!table_.isRow(row)) {
        return true;
    }
    const auto unitCode = ReplyValue(frame, PositionIn(kStatusList, kRegTempUnit));
    const auto decimalPoint = ReplyValue(frame, PositionIn(kStatusList, kRegDecimalPoint));
    if (!unitCode || !decimalPoint) {
        return false;
    }
    const int dp = ClampDecimalPlaces(*decimalPoint);
    const bool isEdit = deviceIndex == state_.EditDeviceIndex;
    if (isEdit) {
        setEditDisplay(*decimalPoint, *unitCode);
    }
    table_.SetText(row, ValueTable::kColDecimalPlaces, IntegerText(*decimalPoint));
    table_.SetText(row, ValueTable::kColUnitCode, IntegerText(*unitCode));

    bool complete = true;
    for (int position = 0; position < static_cast<int>(kStatusList.size()); ++position) {
        const int column = ValueTable::StatusColumn(kStatusList[position]);
        if (column == ValueTable::kColDecimalPlaces || column == ValueTable::kColUnitCode) {
            continue;  // written first, above
        }
        const auto value = ReplyValue(frame, position);
        if (!value) {
            complete = false;
            break;
        }
        // Every row with its own controller's decimal places.
        table_.SetText(row, column, listText(kStatusList, position, *value, dp));
        if (kStatusList[position] == kRegStatusWord && state_.IsDeviceIndex(deviceIndex)) {
            // Every controller's own RUN bit, so the logger and the chart know who is running.
            state_.DeviceRunning[deviceIndex] = StatusBitSet(*value, kBitRun);
        }
    }
    if (isEdit) {
        emit editDeviceStatusDecoded(deviceIndex);
    }
    emit statusDecoded(deviceIndex);
    if (complete) {
        emit statusComplete(deviceIndex);
    }
    return complete;
}

bool DeviceDecoders::DecodeReservationBlock(int deviceIndex, QByteArrayView frame) {
    const int row = deviceIndex + 1;
    std::array<int, kReservationList.size()> values{};
    for (size_t k = 0; k < values.size(); ++k) {
        const auto value = ReplyValue(frame, static_cast<int>(k));
        if (!value) {
            return false;  // nothing written: a short reply never leaves half a block
        }
        values[k] = *value;
    }
    if (table_.isRow(row)) {
        for (size_t k = 0; k < values.size(); ++k) {
            table_.SetText(row, ValueTable::ReservationColumn(kReservationList[k]),
                           IntegerText(values[k]));
        }
    }
    if (deviceIndex == state_.EditDeviceIndex) {
        setEditDisplay(values[PositionIn(kReservationList, kRegDecimalPoint)],
                       values[PositionIn(kReservationList, kRegTempUnit)]);
    }
    return true;
}

bool DeviceDecoders::DecodeParameterBlock(int deviceIndex, QByteArrayView frame) {
    const int row = deviceIndex + 1;
    std::array<int, kParameterList.size()> values{};
    for (size_t k = 0; k < values.size(); ++k) {
        const auto value = ReplyValue(frame, static_cast<int>(k));
        if (!value) {
            return false;
        }
        values[k] = *value;
    }
    if (!table_.isRow(row)) {
        return true;
    }
    // The edit device's decimal places, read with the reservation block just before; a
    // device that stopped being the edit device meanwhile keeps its own.
    const int dp =
        deviceIndex == state_.EditDeviceIndex
            ? DecimalPlaces
            : ClampDecimalPlaces(table_.Text(row, ValueTable::kColDecimalPlaces).toInt());
    for (size_t k = 0; k < values.size(); ++k) {
        table_.SetText(row, ValueTable::ParameterColumn(kParameterList[k]),
                       listText(kParameterList, static_cast<int>(k), values[k], dp));
    }
    return true;
}

bool DeviceDecoders::DecodeErrorHistory(QByteArrayView frame) {
    if (!errors_.IsOpen()) {
        return true;  // the list was closed before its reply came: nobody to show it to
    }
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
