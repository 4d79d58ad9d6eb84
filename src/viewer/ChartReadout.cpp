#include "viewer/ChartReadout.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zr410 {

std::optional<std::array<SeriesStatistics, kDataSeriesCount>> StatisticsOver(
    const DataFileContents& contents, qsizetype first, qsizetype last) {
    first = std::max<qsizetype>(first, 0);
    last = std::min<qsizetype>(last, contents.size() - 1);
    if (first > last) {
        return std::nullopt;
    }
    std::array<SeriesStatistics, kDataSeriesCount> result{};
    for (std::size_t s = 0; s < kDataSeriesCount; ++s) {
        const ValueColumn::Span span =
            contents.series[s].span(static_cast<size_t>(first), static_cast<size_t>(last) + 1);
        result[s] = {span.low, span.high, span.sum / static_cast<double>(last - first + 1)};
    }
    return result;
}

QString RecordTimestamp(const DataFileContents& contents, qsizetype index) {
    if (index < 0 || index >= contents.size()) {
        return QString();
    }
    return (contents.stamps.date(index) + QLatin1Char(' ') + contents.stamps.time(index)).trimmed();
}

namespace {
std::optional<QDateTime> recordTime(const DataFileContents& contents, qsizetype index) {
    if (index < 0 || index >= contents.size()) {
        return std::nullopt;
    }
    if (const auto seconds = contents.stamps.seconds(index)) {
        return QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC);
    }
    const QDate date =
        QDate::fromString(contents.stamps.date(index).trimmed(), QStringLiteral("yyyy-MM-dd"));
    const QTime time =
        QTime::fromString(contents.stamps.time(index).trimmed(), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    // Wall-clock texts: counted without zone, so a change of daylight saving time cannot
    // make an hour vanish from a difference.
    return QDateTime(date, time, Qt::UTC);
}
}  // namespace

std::optional<qint64> SecondsBetween(const DataFileContents& contents, qsizetype a, qsizetype b) {
    const auto from = recordTime(contents, a);
    const auto to = recordTime(contents, b);
    if (!from || !to) {
        return std::nullopt;
    }
    return from->secsTo(*to);
}

QString DurationText(qint64 seconds) {
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const qint64 total = std::llabs(seconds);
    const qint64 days = total / 86400;
    const QString clock = QStringLiteral("%1:%2:%3")
                              .arg(total % 86400 / 3600, 2, 10, QLatin1Char('0'))
                              .arg(total % 3600 / 60, 2, 10, QLatin1Char('0'))
                              .arg(total % 60, 2, 10, QLatin1Char('0'));
    return days > 0 ? QStringLiteral("%1%2일 %3").arg(sign).arg(days).arg(clock) : sign + clock;
}

QString ReadoutNumber(double value) {
    if (!std::isfinite(value)) {
        return QStringLiteral("--");
    }
    // Readings carry at most a few decimals; rounding to six drops the binary noise of a mean
    // or a difference (0.30000000000000004) without hiding a digit the file has.
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

}  // namespace zr410
