#include "params/ParameterScreenMap.h"

#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

constexpr const char* kSensors[3] = {"Pt100Ω", "K-TYPE", "J-TYPE"};

constexpr std::array<OptionGroupInfo, kOptionGroupCount> kOptionGroups = {{
    {"optCtrlMode", kRegControlMode, "제어모드", {"자동", "수동", ""}, 2},
    {"optOutC", kRegCoolingFitted, "냉각출력", {"미사용", "사용", ""}, 2},
    {"optOutH", kRegThreePhase, "가열출력", {"단상", "3상", ""}, 2},
    {"optSens1", kSensorTypeRegisters[0], "금형센서", {kSensors[0], kSensors[1], kSensors[2]}, 3},
    {"optSens2", kSensorTypeRegisters[1], "매체센서", {kSensors[0], kSensors[1], kSensors[2]}, 3},
    {"optSens3", kSensorTypeRegisters[2], "회수센서", {kSensors[0], kSensors[1], kSensors[2]}, 3},
    {"optSens4", kSensorTypeRegisters[3], "급수센서", {kSensors[0], kSensors[1], kSensors[2]}, 3},
    {"optDP", kRegDecimalPoint, "소수점", {"0", "0.1", ""}, 2},
    {"optTUnit", kRegTempUnit, "섭씨/화씨", {"℃", "℉", ""}, 2},
    // For both options 0 means on.
    {"optOption1", kRegSuctionOption, "SUCTION", {"ON", "OFF", ""}, 2, "SUCTION 옵션"},
    {"optOption2", kRegCoolingOption, "COOLING", {"ON", "OFF", ""}, 2, "COOLING 옵션"},
    {"optRMode", kRegReservationMode, "예약모드", {"예약없음", "시간예약", "주간예약"}, 3},
}};

constexpr std::array<TextFieldInfo, kTextFieldCount> kTextFields = {{
    {"txtPRS_0", kPressureRangeRegisters[0], "사용압력 20㎃의 압력"},
    {"txtPRS_1", kPressureRangeRegisters[1], "사용압력 4㎃의 압력"},
    {"txtTempH", kRegUsableTempHigh, "사용온도 상한온도"},
    {"txtTempL", kRegUsableTempLow, "사용온도 하한온도"},
    {"txtRevTemp1_0", kRegFirstCorrection, "온도보정 금형온도"},
    {"txtRevTemp1_1", kRegFirstCorrection + 1, "온도보정 매체온도"},
    {"txtRevTemp1_2", kRegFirstCorrection + 2, "온도보정 회수온도"},
    {"txtRevTemp1_3", kRegFirstCorrection + 3, "온도보정 급수온도"},
    {"txtPreSV", kRegPreheatSv, "예열SV"},
    {"txtFill_TM", kRegRefillTime, "매체보충시간 (초)"},
}};

using G = ParamGridId;

constexpr GridCellInfo kGridCells[] = {
    {G::CTRL, 1, 1, kHeatControlRegisters[0], "가열측 P", false},
    {G::CTRL, 1, 2, kHeatControlRegisters[1], "가열측 I", false},
    {G::CTRL, 1, 3, kHeatControlRegisters[2], "가열측 D", false},
    {G::CTRL, 1, 4, kHeatControlRegisters[3], "가열측 제어주기", false},
    {G::CTRL, 2, 1, kCoolControlRegisters[0], "냉각측 P", false},
    {G::CTRL, 2, 2, kCoolControlRegisters[1], "냉각측 I", false},
    {G::CTRL, 2, 3, kCoolControlRegisters[2], "냉각측 D", false},
    {G::CTRL, 2, 4, kCoolControlRegisters[3], "냉각측 제어주기", false},
    {G::LimitVal, 1, 1, kAlarmLimitRegisters[0], "온도 상한경보값", false},
    {G::LimitVal, 1, 2, kAlarmLimitRegisters[1], "온도 하한경보값", false},
    {G::LimitVal, 2, 1, kAlarmLimitRegisters[2], "압력 상한경보값", false},
    {G::LimitVal, 2, 2, kAlarmLimitRegisters[3], "압력 하한경보값", false},
    {G::LimitVal, 3, 1, kAlarmLimitRegisters[4], "전류 상한경보값", false},
    {G::LimitVal, 3, 2, kAlarmLimitRegisters[5], "전류 하한경보값", false},
    {G::ResevedT, 1, 0, kRegReserveHours, "시간예약 - 시간", false},
    {G::ResevedT, 2, 0, kRegReserveMinutes, "시간예약 - 분", false},
    {G::Time_SE, 1, 0, kRegWeeklyStartHour, "주간예약 - 시작시간", true},
    {G::Time_SE, 3, 0, kRegWeeklyEndHour, "주간예약 - 종료시간", true},
};

}  // namespace

const OptionGroupInfo& OptionGroup(OptionGroupId id) {
    return kOptionGroups[static_cast<size_t>(id)];
}

const TextFieldInfo& TextField(TextFieldId id) {
    return kTextFields[static_cast<size_t>(id)];
}

std::span<const GridCellInfo> GridCells() {
    return kGridCells;
}

const GridCellInfo* FindGridCell(ParamGridId grid, int column, int row) {
    if (column < 1 || row < 1) {
        return nullptr;  // a header
    }
    for (const GridCellInfo& cell : kGridCells) {
        if (cell.grid == grid && cell.column == column && (cell.row == 0 || cell.row == row)) {
            return &cell;
        }
    }
    return nullptr;
}

int ScreenColumn(int address) {
    const int column = ValueTable::ParameterColumn(address);
    return column >= 0 ? column : ValueTable::ReservationColumn(address);
}

}  // namespace zr410
