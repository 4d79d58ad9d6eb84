#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

// The controller's registers: one table that the poll cycle's read lists, the decoders, the
// write paths and the simulator's defaults all come from.
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
};

std::span<const RegisterInfo> AllRegisters();
std::optional<RegisterInfo> FindRegister(int address);

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

// Registers with a special role.
inline constexpr int kRegMoldTemp = 1;
inline constexpr int kRegPressure = 5;
inline constexpr int kRegStatusWord = 6;
inline constexpr int kRegFirstCommand =
    101;  // 101..108: PWR, RUN, AT, PREH, SUCTION, COOL, MOLD, BUZZER
inline constexpr int kRegSetValue = 115;
inline constexpr int kRegControlMode = 200;
inline constexpr int kRegDecimalPoint = 506;
inline constexpr int kRegTempUnit = 507;
inline constexpr int kRegClockSetFirst = 604;  // 604..609: weekday, year, month, day, hour, minute
inline constexpr int kRegFirstError = 700;

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

// The status bit each command register (101 + index) switches, in button order.
inline constexpr std::array<int, 8> kCommandStatusBit = {
    kBitPower, kBitRun, kBitAutoTune, kBitPreheat, kBitSuction, kBitCool, kBitMold, kBitBuzzer};

}  // namespace zr410
