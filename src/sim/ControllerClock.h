#pragma once

#include <chrono>
#include <optional>

#include "sim/SimTypes.h"

namespace zr410::sim {

struct CalendarTime {
    int year = 2000;  // full year
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// The controller's calendar clock. Like a real-time-clock chip it keeps the weekday as its own
// counter: the operator may set a weekday that does not match the date, and it then advances
// at midnight together with the date.
class ControllerClock {
public:
    ControllerClock(const CalendarTime& start, TimePoint now);

    CalendarTime at(TimePoint now) const;
    int weekdayAt(TimePoint now) const;  // 0 Sunday .. 6 Saturday

    // Fields out of range are clamped (month 1..12, day to the month's length, year to
    // 2000..2099). Without a weekday the counter keeps its relation to the date.
    void set(CalendarTime time, std::optional<int> weekday, TimePoint now);

private:
    std::chrono::sys_seconds base_;
    TimePoint baseAt_;
    int weekdayOffset_ = 0;
};

CalendarTime CalendarTimeFromSystemClock();

}  // namespace zr410::sim
