#include "sim/SimController.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/RegisterMap.h"

namespace zr410::sim {
namespace {

using namespace std::chrono;

constexpr std::array kDifferenceTemps = {400, 405, 508, 509, 510, 511};
constexpr std::array kPinnable = {1, 2, 3, 4, 5, 16, 17, 19, 201, 202, 207, 208, 209};

constexpr int kRegRemainingHours = 16;
constexpr int kRegRemainingMinutes = 17;
constexpr int kRegReservationWeekday = 19;
constexpr int kRegHeatOutput = 201;
constexpr int kRegCoolOutput = 202;
constexpr int kRegFirstPhaseCurrent = 207;
constexpr int kRegReservationMode = 602;
constexpr int kRegWeeklyDays = 610;
constexpr int kRegReserveHours = 615;
constexpr int kRegReserveMinutes = 616;
constexpr int kRegPreheatSv = 512;
constexpr int kRegHeatBand = 400;
constexpr int kRegCoolBand = 405;
constexpr int kRegCoolingFitted = 300;
constexpr int kRegThreePhase = 301;

bool contains(std::span<const int> list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool isDifference(int reg) {
    return contains(kDifferenceTemps, reg);
}

// Settings of the temperature class that the controller stores (the measured temperatures
// 1..4 come from the model instead).
bool isStoredTemperature(int reg) {
    if (reg == kRegSetValue) {
        return true;
    }
    const auto info = FindRegister(reg);
    return info && info->scale == ScaleClass::Temperature && info->block == ReadBlock::Parameter;
}

// Readings and state the controller produces itself; the master cannot write them.
bool isReadOnly(int reg) {
    return (reg >= 1 && reg <= kRegStatusWord) || (reg >= 8 && reg <= 19) ||
           reg == kRegHeatOutput || reg == kRegCoolOutput ||
           (reg >= kRegFirstPhaseCurrent && reg <= kRegFirstPhaseCurrent + 2);
}

int roundToWord(double value) {
    return static_cast<int>(std::clamp(std::lround(value), -32768L, 32767L));
}

}  // namespace

SimController::SimController(int device, std::uint64_t seed, const CalendarTime& wallClock,
                             TimePoint now)
    : device_(device), now_(now), status_(1U << kBitPower), clock_(wallClock, now), thermal_(seed) {
    raw_ = {
        {kRegControlMode, 0},
        {kRegCoolingFitted, 1},
        {kRegThreePhase, 1},
        {306, 600},  // pressure alarms 6.00 / 0.50 bar
        {307, 50},
        {308, 300},  // current alarms 30.0 / 0.0 A
        {309, 0},
        {401, 120},
        {402, 30},
        {403, 2},
        {406, 60},
        {407, 15},
        {408, 4},
        {500, 0},
        {501, 0},
        {502, 1},
        {503, 1},
        {kRegDecimalPoint, 1},
        {kRegTempUnit, 0},
        {513, 10},  // 4..20 mA spans 0..10 bar
        {514, 0},
        {600, 0},
        {601, 0},
        {618, 30},
        {kRegReservationMode, 0},
        {kRegWeeklyDays, 0b0111110},  // Monday to Friday
        {611, 8},
        {612, 0},
        {613, 17},
        {614, 30},
        {kRegReserveHours, 2},
        {kRegReserveMinutes, 30},
    };
    celsius_ = {
        {kRegSetValue, 60.0}, {304, 120.0}, {305, 10.0}, {kRegHeatBand, 10.0},
        {kRegCoolBand, 15.0}, {504, 180.0}, {505, 0.0},  {508, 0.0},
        {509, 0.0},           {510, 0.0},   {511, 0.0},  {kRegPreheatSv, 40.0},
    };
    // A short error history that differs a little between devices; entry 3 is empty.
    const int entries = 3 + device % 3;
    for (int k = 0; k < entries; ++k) {
        raw_[kRegFirstError + k] = k == 2 ? 0 : (k * 7 + device) % 15 + 1;
    }
}

void SimController::advance(TimePoint now) {
    if (now <= now_) {
        return;
    }
    if (reservationEnd_ && *reservationEnd_ <= now) {
        // The time reservation ends between two reads: the controller starts there.
        stepModel(std::max(*reservationEnd_, now_));
        reservationEnd_.reset();
        raw_[kRegReservationMode] = 0;
        status_ &= ~((1U << kBitTimeReservation) | (1U << kBitWeeklyReservation));
        status_ |= (1U << kBitRun) | (1U << kBitPower);
    }
    stepModel(now);
}

void SimController::stepModel(TimePoint until) {
    thermal_.advance(thermalInputs(), duration<double>(until - now_).count());
    now_ = until;
}

ThermalInputs SimController::thermalInputs() const {
    ThermalInputs in;
    in.running = statusBit(kBitRun);
    in.moldControl = statusBit(kBitMold);
    in.setpointC = celsius_.at(statusBit(kBitPreheat) ? kRegPreheatSv : kRegSetValue);
    in.heatBandC = celsius_.at(kRegHeatBand);
    in.coolBandC = celsius_.at(kRegCoolBand);
    in.coolingFitted = raw(kRegCoolingFitted) != 0;
    in.threePhase = raw(kRegThreePhase) != 0;
    return in;
}

int SimController::read(int reg) const {
    if (auto pin = pinned_.find(reg); pin != pinned_.end()) {
        return pin->second;
    }
    const ThermalReading r = thermal_.reading();
    switch (reg) {
        case 1:
            return toRaw(r.moldC, false);
        case 2:
            return toRaw(r.mediumC, false);
        case 3:
            return toRaw(r.returnC, false);
        case 4:
            return toRaw(r.supplyC, false);
        case kRegPressure:
            return roundToWord(r.pressureBar * 100.0);
        case kRegStatusWord:
            return ToSigned16(status_);
        case kRegHeatOutput:
            return roundToWord(r.heatPercent);
        case kRegCoolOutput:
            return roundToWord(r.coolPercent);
        case kRegFirstPhaseCurrent:
        case kRegFirstPhaseCurrent + 1:
        case kRegFirstPhaseCurrent + 2:
            return roundToWord(r.phaseAmps[reg - kRegFirstPhaseCurrent]);
        default:
            break;
    }
    if (reg >= 8 && reg <= 14) {
        const CalendarTime t = clock_.at(now_);
        const std::array<int, 7> fields = {
            clock_.weekdayAt(now_), t.year - 2000, t.month, t.day, t.hour, t.minute, t.second};
        return fields[reg - 8];
    }
    if (reg == kRegRemainingHours || reg == kRegRemainingMinutes) {
        if (!reservationEnd_ || !statusBit(kBitTimeReservation)) {
            return 0;
        }
        // Rounded up, so a fresh 2 h 30 min reservation shows 2:30 rather than 2:29.
        const auto left = ceil<minutes>(*reservationEnd_ - now_).count();
        return static_cast<int>(reg == kRegRemainingHours ? left / 60 : left % 60);
    }
    if (reg == kRegReservationWeekday) {
        if (!statusBit(kBitWeeklyReservation)) {
            return 0;
        }
        // The next day, today included, on which the weekly reservation runs.
        const int today = clock_.weekdayAt(now_);
        const int days = raw(kRegWeeklyDays);
        for (int d = 0; d < 7; ++d) {
            if (days & (1 << ((today + d) % 7))) {
                return (today + d) % 7;
            }
        }
        return today;
    }
    if (reg >= kRegFirstCommand && reg < kRegFirstCommand + 8) {
        return statusBit(kCommandStatusBit[reg - kRegFirstCommand]) ? 1 : 0;
    }
    if (auto t = celsius_.find(reg); t != celsius_.end()) {
        return toRaw(t->second, isDifference(reg));
    }
    return raw(reg);
}

void SimController::write(std::span<const RegisterWrite> writes, TimePoint now) {
    advance(now);
    std::optional<ClockEdit> clockEdit;
    for (const RegisterWrite& w : writes) {
        applyWrite(w.reg, ToSigned16(w.value), clockEdit);
    }
    if (clockEdit) {
        clockEdit->time.second = 0;
        clock_.set(clockEdit->time, clockEdit->weekday, now_);
    }
}

void SimController::applyWrite(int reg, int value, std::optional<ClockEdit>& clockEdit) {
    if (reg >= kRegFirstCommand && reg < kRegFirstCommand + 8) {
        if (value == 1) {
            toggleFunction(reg - kRegFirstCommand);
        }
        return;
    }
    if (isReadOnly(reg)) {
        return;
    }
    if (isStoredTemperature(reg)) {
        celsius_[reg] = fromRaw(value, isDifference(reg));
        return;
    }
    raw_[reg] = value;
    if (reg >= kRegClockSetFirst && reg < kRegClockSetFirst + 6) {
        if (!clockEdit) {
            clockEdit = ClockEdit{clock_.at(now_), std::nullopt};
        }
        CalendarTime& t = clockEdit->time;
        switch (reg - kRegClockSetFirst) {
            case 0:
                clockEdit->weekday = value;
                break;
            case 1:
                t.year = 2000 + ((value % 100) + 100) % 100;
                break;
            case 2:
                t.month = value;
                break;
            case 3:
                t.day = value;
                break;
            case 4:
                t.hour = value;
                break;
            default:
                t.minute = value;
                break;
        }
    } else if (reg == kRegReservationMode) {
        setReservationMode(value);
    } else if ((reg == kRegReserveHours || reg == kRegReserveMinutes) &&
               statusBit(kBitTimeReservation)) {
        startTimeReservation();
    }
}

void SimController::toggleFunction(int commandIndex) {
    const int bit = kCommandStatusBit[commandIndex];
    const bool on = !statusBit(bit);
    status_ ^= static_cast<std::uint16_t>(1U << bit);
    // Running needs power; cutting power stops everything that heats.
    if (bit == kBitRun && on) {
        status_ |= 1U << kBitPower;
    }
    if (bit == kBitPower && !on) {
        status_ &= ~((1U << kBitRun) | (1U << kBitAutoTune) | (1U << kBitPreheat));
    }
}

void SimController::setReservationMode(int mode) {
    status_ &= ~((1U << kBitTimeReservation) | (1U << kBitWeeklyReservation));
    reservationEnd_.reset();
    if (mode == 1) {
        status_ |= 1U << kBitTimeReservation;
        startTimeReservation();
    } else if (mode == 2) {
        status_ |= 1U << kBitWeeklyReservation;
    }
}

void SimController::startTimeReservation() {
    const int total =
        std::max(0, raw(kRegReserveHours)) * 60 + std::max(0, raw(kRegReserveMinutes));
    reservationEnd_ = now_ + minutes{total};
}

void SimController::force(int reg, int value, TimePoint now) {
    advance(now);
    value = ToSigned16(value);
    if (contains(kPinnable, reg)) {
        pinned_[reg] = value;
    } else if (reg == kRegStatusWord) {
        status_ = static_cast<std::uint16_t>(value & 0xFFFF);
    } else if (reg >= kRegFirstCommand && reg < kRegFirstCommand + 8) {
        const unsigned mask = 1U << kCommandStatusBit[reg - kRegFirstCommand];
        status_ = static_cast<std::uint16_t>(value != 0 ? (status_ | mask) : (status_ & ~mask));
    } else if (reg >= 8 && reg <= 14) {
        CalendarTime t = clock_.at(now_);
        std::optional<int> weekday;
        int* const fields[] = {nullptr, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second};
        if (reg == 8) {
            weekday = value;
        } else {
            *fields[reg - 8] = reg == 9 ? 2000 + value : value;
        }
        clock_.set(t, weekday, now_);
    } else {
        const RegisterWrite w{reg, value};
        write(std::span(&w, 1), now);
    }
}

void SimController::release(int reg) {
    pinned_.erase(reg);
}

void SimController::releaseAll() {
    pinned_.clear();
}

void SimController::setRunning(bool on, TimePoint now) {
    advance(now);
    if (on) {
        status_ |= (1U << kBitRun) | (1U << kBitPower);
    } else {
        status_ &= ~(1U << kBitRun);
    }
}

int SimController::raw(int reg) const {
    auto it = raw_.find(reg);
    return it == raw_.end() ? 0 : it->second;
}

int SimController::decimalPlaces() const {
    return std::clamp(raw(kRegDecimalPoint), 0, 3);
}

bool SimController::fahrenheit() const {
    return raw(kRegTempUnit) > 0;
}

int SimController::toRaw(double celsius, bool difference) const {
    double shown = celsius;
    if (fahrenheit()) {
        shown = difference ? celsius * 1.8 : celsius * 1.8 + 32.0;
    }
    return roundToWord(shown * std::pow(10.0, decimalPlaces()));
}

double SimController::fromRaw(int raw, bool difference) const {
    const double shown = raw / std::pow(10.0, decimalPlaces());
    if (!fahrenheit()) {
        return shown;
    }
    return difference ? shown / 1.8 : (shown - 32.0) / 1.8;
}

}  // namespace zr410::sim
