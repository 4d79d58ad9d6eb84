#include "sim/ControllerClock.h"

#include <algorithm>
#include <ctime>

namespace zr410::sim {
namespace {

using namespace std::chrono;

sys_seconds toSeconds(const CalendarTime& t) {
    const int year = std::clamp(t.year, 2000, 2099);
    const int month = std::clamp(t.month, 1, 12);
    const year_month_day_last last{std::chrono::year{year} /
                                   std::chrono::month{static_cast<unsigned>(month)} /
                                   std::chrono::last};
    const int day = std::clamp(t.day, 1, static_cast<int>(static_cast<unsigned>(last.day())));
    const sys_days date{std::chrono::year{year} / month / day};
    return date + hours{std::clamp(t.hour, 0, 23)} + minutes{std::clamp(t.minute, 0, 59)} +
           seconds{std::clamp(t.second, 0, 59)};
}

int trueWeekday(sys_seconds t) {
    return static_cast<int>(weekday{floor<days>(t)}.c_encoding());
}

}  // namespace

ControllerClock::ControllerClock(const CalendarTime& start, TimePoint now)
    : base_(toSeconds(start)), baseAt_(now) {}

CalendarTime ControllerClock::at(TimePoint now) const {
    const sys_seconds t = base_ + floor<seconds>(now - baseAt_);
    const sys_days date = floor<days>(t);
    const year_month_day ymd{date};
    const hh_mm_ss<seconds> time{t - date};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count())};
}

int ControllerClock::weekdayAt(TimePoint now) const {
    const sys_seconds t = base_ + floor<seconds>(now - baseAt_);
    return (trueWeekday(t) + weekdayOffset_) % 7;
}

void ControllerClock::set(CalendarTime time, std::optional<int> weekday, TimePoint now) {
    base_ = toSeconds(time);
    baseAt_ = now;
    if (weekday) {
        weekdayOffset_ = (std::clamp(*weekday, 0, 6) - trueWeekday(base_) + 7) % 7;
    }
}

CalendarTime CalendarTimeFromSystemClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
}

}  // namespace zr410::sim
