#include "sim/SimController.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "protocol/RegisterMap.h"

namespace zr410::sim {
namespace {

using namespace std::chrono;

// Temperature settings that are differences (bands, corrections): converted to Fahrenheit
// without the 32-degree offset.
constexpr std::array kDifferenceTemps = {kRegHeatBand,
                                         kRegCoolBand,
                                         kRegFirstCorrection,
                                         kRegFirstCorrection + 1,
                                         kRegFirstCorrection + 2,
                                         kRegFirstCorrection + 3};

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
    const auto info = FindRegister(reg);
    return info && info->access == Access::Read;
}

bool isClockReading(int reg) {
    return reg >= kRegClockWeekday && reg <= kRegClockSecond;
}

// Measured values a test or a trainer may pin: every reading but the status word and clock.
bool isPinnable(int reg) {
    const auto info = FindRegister(reg);
    return info && info->access == Access::Read && info->block == ReadBlock::Status &&
           reg != kRegStatusWord && !isClockReading(reg);
}

bool isCommand(int reg) {
    return PositionIn(kCommandRegisters, reg) >= 0;
}

int roundToWord(double value) {
    return static_cast<int>(std::clamp(std::lround(value), -32768L, 32767L));
}

}  // namespace

SimController::SimController(int device, std::uint64_t seed, const CalendarTime& wallClock,
                             TimePoint now)
    : device_(device), now_(now), status_(1U << kBitPower), clock_(wallClock, now), thermal_(seed) {
    // A new controller holds its factory settings.
    for (const RegisterInfo& info : AllRegisters()) {
        if (info.access != Access::ReadWrite || isCommand(info.address)) {
            continue;
        }
        if (isStoredTemperature(info.address)) {
            celsius_[info.address] = info.factory;
        } else {
            raw_[info.address] =
                static_cast<int>(std::lround(info.factory * ScaleFactor(info.scale, 0)));
        }
    }
    raw_[kRegControlMode] = 0;
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
        case kRegMoldTemp:
            return toRaw(r.moldC, false);
        case kRegMoldTemp + 1:
            return toRaw(r.mediumC, false);
        case kRegMoldTemp + 2:
            return toRaw(r.returnC, false);
        case kRegMoldTemp + 3:
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
    if (isClockReading(reg)) {
        const CalendarTime t = clock_.at(now_);
        const std::array<int, 7> fields = {
            clock_.weekdayAt(now_), t.year - 2000, t.month, t.day, t.hour, t.minute, t.second};
        return fields[reg - kRegClockWeekday];
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
    if (isCommand(reg)) {
        return statusBit(kCommandStatusBit[PositionIn(kCommandRegisters, reg)]) ? 1 : 0;
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
    if (isCommand(reg)) {
        if (value == kCommandValue) {
            toggleFunction(PositionIn(kCommandRegisters, reg));
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
    if (const int field = PositionIn(kClockSetRegisters, reg); field >= 0) {
        if (!clockEdit) {
            clockEdit = ClockEdit{clock_.at(now_), std::nullopt};
        }
        CalendarTime& t = clockEdit->time;
        switch (field) {
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
    if (isPinnable(reg)) {
        pinned_[reg] = value;
    } else if (reg == kRegStatusWord) {
        status_ = static_cast<std::uint16_t>(value & 0xFFFF);
    } else if (isCommand(reg)) {
        const unsigned mask = 1U << kCommandStatusBit[PositionIn(kCommandRegisters, reg)];
        status_ = static_cast<std::uint16_t>(value != 0 ? (status_ | mask) : (status_ & ~mask));
    } else if (isClockReading(reg)) {
        CalendarTime t = clock_.at(now_);
        std::optional<int> weekday;
        int* const fields[] = {nullptr, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second};
        const int field = reg - kRegClockWeekday;
        if (field == 0) {
            weekday = value;
        } else {
            *fields[field] = field == 1 ? 2000 + value : value;
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
