#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>
#include <vector>

#include "engine/SharedState.h"

// The texts of the controller clock dialog and the write they make.
namespace zr410 {

// "일" 0 (Sunday) .. "토" 6; any other text gives 0.
int WeekdayCode(const QString& text);
// Weekday name of a date, Sunday "일" first.
QString WeekdayNameOf(const QDate& date);

// The date cell ("2024-05-17"; one-digit month and day are taken too) and the time cell
// ("14:03:25" or "14:03"); nothing for an empty or unreadable text.
std::optional<QDate> ParseDateCell(const QString& text);
std::optional<QTime> ParseTimeCell(const QString& text);

// How the grid shows a moment: date, weekday name, time.
QString DateCellText(const QDate& date);
QString TimeCellText(const QTime& time);
// "YYYY-MM-DD(AAA) HH:MM:SS", AAA the locale's short weekday name.
QString PcClockText(const QDateTime& now, const QLocale& locale);

// The six clock pairs in sending order: weekday, year modulo 100, month, day, hour, minute.
std::vector<WritePair> ClockWrite(int weekdayCode, const QDate& date, const QTime& time);

}  // namespace zr410
