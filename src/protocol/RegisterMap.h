#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

// The controller's registers: the one table that the poll cycle's read lists, the decoders'
// scaling, the write paths, the windows and the simulator all come from. Nothing else in the
// program spells out a register number.
namespace zr410 {

// How a raw register word becomes the number the operator sees.
enum class ScaleClass {
    Temperature,  // raw / 10^DP, DP from register 506
    Pressure,     // raw / 100
    Current,      // raw / 10 (current alarm limits)
    Plain,        // raw
    Bits,         // bit field
};

enum class Access { Read, Write, ReadWrite };

// The read block that carries a register; WriteOnly for registers that are never read back.
enum class ReadBlock {
    Status = 11,
    Reservation = 21,
    Parameter = 22,
    ErrorHistory = 23,
    WriteOnly = 0
};

struct RegisterInfo {
    int address;
    std::string_view label;  // UTF-8 screen label, empty where the screen shows none
    ScaleClass scale;
    Access access;
    ReadBlock block;
    // Factory setting of a writable register, in shown units (degrees Celsius at the factory
    // decimal point, bar, amperes, or the plain value); what a new controller holds.
    double factory = 0;
    int minDigits = 1;  // clock fields are shown with at least two digits (05, 17)
};

std::span<const RegisterInfo> AllRegisters();
std::optional<RegisterInfo> FindRegister(int address);

// Factor between the shown number and the raw word of a scale class: shown × factor = raw.
// dp is the decimal-point setting that temperature-class values use.
double ScaleFactor(ScaleClass scale, int dp);

// The four read lists, in request order; the position in a list is the value's position in
// the reply.
inline constexpr std::array<int, 32> kStatusList = {
    507, 506, 1,   2,   3,   4,   5,   6,   8,   9,   10,  11,  12,  13,  14,  16,
    17,  19,  101, 102, 103, 104, 105, 106, 107, 108, 115, 201, 202, 207, 208, 209};
inline constexpr std::array<int, 10> kReservationList = {602, 610, 611, 612, 613,
                                                         614, 615, 616, 506, 507};
inline constexpr std::array<int, 32> kParameterList = {
    300, 301, 304, 305, 306, 307, 308, 309, 400, 401, 402, 403, 405, 406, 407, 408,
    500, 501, 502, 503, 504, 505, 508, 509, 510, 511, 512, 513, 514, 600, 601, 618};
inline constexpr std::array<int, 20> kErrorHistoryList = {700, 701, 702, 703, 704, 705, 706,
                                                          707, 708, 709, 710, 711, 712, 713,
                                                          714, 715, 716, 717, 718, 719};

// Position of a register in a read list, or -1 when the list does not carry it.
int PositionIn(std::span<const int> list, int address);

// Measured values and status.
inline constexpr int kRegMoldTemp = 1;  // 1..4: mold, medium, return, supply temperature
inline constexpr int kRegPressure = 5;
inline constexpr int kRegStatusWord = 6;
inline constexpr int kRegClockWeekday = 8;  // 8..14: weekday, year, month, day, h, min, s
inline constexpr int kRegClockSecond = 14;
inline constexpr int kRegRemainingHours = 16;
inline constexpr int kRegRemainingMinutes = 17;
inline constexpr int kRegReservationWeekday = 19;
inline constexpr int kRegHeatOutput = 201;
inline constexpr int kRegCoolOutput = 202;
inline constexpr int kRegFirstPhaseCurrent = 207;  // 207..209: R, S, T phase
// Commands, in the order of the operator's buttons: PWR, RUN, AT, PREH, SUCTION, COOL, MOLD,
// BUZZER. Writing 1 switches the function; the controller decides on or off.
inline constexpr std::array<int, 8> kCommandRegisters = {101, 102, 103, 104, 105, 106, 107, 108};
inline constexpr int kCommandValue = 1;
inline constexpr int kRegSetValue = 115;
inline constexpr int kRegControlMode = 200;
// Parameters with a special role.
inline constexpr int kRegCoolingFitted = 300;
inline constexpr int kRegThreePhase = 301;
inline constexpr int kRegHeatBand = 400;
inline constexpr int kRegCoolBand = 405;
inline constexpr int kRegDecimalPoint = 506;
inline constexpr int kRegFirstCorrection = 508;  // 508..511: mold, medium, return, supply
inline constexpr int kRegTempUnit = 507;
inline constexpr int kRegPreheatSv = 512;
// Reservation and clock.
inline constexpr int kRegReservationMode = 602;
// The clock is written as one group: weekday, year, month, day, hour, minute.
inline constexpr std::array<int, 6> kClockSetRegisters = {604, 605, 606, 607, 608, 609};
inline constexpr int kRegWeeklyDays = 610;
inline constexpr int kRegWeeklyStartHour = 611;  // 611, 612: start hour and minute
inline constexpr int kRegWeeklyEndHour = 613;    // 613, 614: end hour and minute
inline constexpr int kRegReserveHours = 615;
inline constexpr int kRegReserveMinutes = 616;
inline constexpr int kRegFirstError = 700;

// The five measured values in screen and chart order: mold, medium, return and supply
// temperature, pressure; and the six values of a data-file record (the five and the SV).
inline constexpr std::array<int, 5> kMeasuredRegisters = {1, 2, 3, 4, 5};
inline constexpr std::array<int, 6> kLoggedRegisters = {1, 2, 3, 4, 5, 115};

// Status word bits.
enum StatusBit : int {
    kBitRun = 0,
    kBitAutoTune = 1,
    kBitPreheat = 2,
    kBitMold = 3,
    kBitCool = 4,
    kBitSuction = 5,
    kBitTimeReservation = 6,
    kBitWeeklyReservation = 7,
    kBitBuzzer = 8,
    kBitPower = 12,
};

constexpr bool StatusBitSet(int statusWord, int bit) {
    return ((statusWord >> bit) & 1) != 0;
}

// The status bit each command register switches, in button order.
inline constexpr std::array<int, 8> kCommandStatusBit = {
    kBitPower, kBitRun, kBitAutoTune, kBitPreheat, kBitSuction, kBitCool, kBitMold, kBitBuzzer};

}  // namespace zr410
