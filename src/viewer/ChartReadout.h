#pragma once

#include <QString>

#include <array>
#include <optional>

#include "logging/DataFile.h"

namespace zr410 {

struct SeriesStatistics {
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
};

// Minimum, maximum and mean of every series over records first..last (clamped to the file);
// nothing when the range holds no record.
std::optional<std::array<SeriesStatistics, kDataSeriesCount>> StatisticsOver(
    const DataFileContents& contents, qsizetype first, qsizetype last);

// The records' date and time as one text: "2024-05-17 23:59:58".
QString RecordTimestamp(const DataFileContents& contents, qsizetype index);

// Seconds from record a to record b by their dates and times; nothing when either is no valid
// date and time (a file's texts are what the logger wrote, or what an editor left).
std::optional<qint64> SecondsBetween(const DataFileContents& contents, qsizetype a, qsizetype b);

// "00:00:05", "-01:23:20", "2일 03:04:05".
QString DurationText(qint64 seconds);

// A value for the read-out: as few digits as show it, never "1e+06" for a plain reading.
QString ReadoutNumber(double value);

}  // namespace zr410
