#include "params/ClockEntry.h"

#include <QStringList>

#include "model/TextForms.h"
#include "protocol/RegisterMap.h"

namespace zr410 {

int WeekdayCode(const QString& text) {
    for (int i = 0; i < static_cast<int>(WeekdayNames.size()); ++i) {
        if (text == QString::fromUtf8(WeekdayNames[static_cast<size_t>(i)])) {
            return i;
        }
    }
    return 0;
}

QString WeekdayNameOf(const QDate& date) {
    return WeekdayName(date.dayOfWeek() % 7);  // Qt counts Monday 1 .. Sunday 7
}

std::optional<QDate> ParseDateCell(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const char* format : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d"}) {
        const QDate date = QDate::fromString(trimmed, QString::fromLatin1(format));
        if (date.isValid()) {
            return date;
        }
    }
    return std::nullopt;
}

std::optional<QTime> ParseTimeCell(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const char* format : {"H:m:s", "H:m"}) {
        const QTime time = QTime::fromString(trimmed, QString::fromLatin1(format));
        if (time.isValid()) {
            return time;
        }
    }
    return std::nullopt;
}

QString DateCellText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString TimeCellText(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString PcClockText(const QDateTime& now, const QLocale& locale) {
    return DateCellText(now.date()) + QLatin1Char('(') +
           locale.dayName(now.date().dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(") ") +
           TimeCellText(now.time());
}

std::vector<WritePair> ClockWrite(int weekdayCode, const QDate& date, const QTime& time) {
    const int values[] = {weekdayCode, date.year() % 100, date.month(),
                          date.day(),  time.hour(),       time.minute()};
    std::vector<WritePair> pairs;
    for (size_t i = 0; i < kClockSetRegisters.size(); ++i) {
        pairs.push_back({kClockSetRegisters[i], values[i]});
    }
    return pairs;
}

}  // namespace zr410
