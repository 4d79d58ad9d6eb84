#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>

#include "sim/ControllerClock.h"
#include "sim/SimTypes.h"
#include "sim/ThermalModel.h"

namespace zr410::sim {

// One simulated controller: its register bank, status word, clock, reservation countdown and
// thermal model. Time comes in from the caller; reads answer for the instant of the last
// advance(), so every value of one read request belongs to one moment.
//
// Temperature-class settings are kept in °C and converted with the current decimal point (506)
// and unit (507) when read or written, so changing either keeps their physical meaning.
class SimController {
public:
    SimController(int device, std::uint64_t seed, const CalendarTime& wallClock, TimePoint now);

    int device() const { return device_; }

    void advance(TimePoint now);
    int read(int reg) const;  // signed 16-bit; registers without a meaning read 0
    // The pairs of one write request, in order. Writing 1 to 101..108 toggles a function; the
    // clock-setting pairs 604..609 of one request are applied together, seconds set to 0.
    void write(std::span<const RegisterWrite> writes, TimePoint now);

    // Operator override from the control channel. Measured values (1..5, 16, 17, 19, 201, 202,
    // 207..209) stay pinned at the value until released; 6 sets the status word, 101..108 a
    // function state, 8..14 a clock field; anything else acts like a write of the master.
    void force(int reg, int value, TimePoint now);
    void release(int reg);
    void releaseAll();
    void setRunning(bool on, TimePoint now);

    std::uint16_t statusWord() const { return status_; }
    bool statusBit(int bit) const { return (status_ >> bit) & 1U; }

private:
    struct ClockEdit {
        CalendarTime time;
        std::optional<int> weekday;
    };

    void applyWrite(int reg, int value, std::optional<ClockEdit>& clockEdit);
    void toggleFunction(int commandIndex);
    void setReservationMode(int mode);
    void startTimeReservation();
    void stepModel(TimePoint until);
    ThermalInputs thermalInputs() const;

    int raw(int reg) const;
    int decimalPlaces() const;
    bool fahrenheit() const;
    int toRaw(double celsius, bool difference) const;
    double fromRaw(int raw, bool difference) const;

    int device_;
    TimePoint now_;
    std::uint16_t status_;
    std::map<int, int> raw_;         // plain registers, as written
    std::map<int, double> celsius_;  // temperature-class settings
    std::map<int, int> pinned_;
    ControllerClock clock_;
    std::optional<TimePoint> reservationEnd_;
    ThermalModel thermal_;
};

}  // namespace zr410::sim
