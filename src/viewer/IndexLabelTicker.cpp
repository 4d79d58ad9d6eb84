#include "viewer/IndexLabelTicker.h"

#include <algorithm>
#include <cmath>

namespace zr410 {

double IndexLabelTicker::getTickStep(const QCPRange& range) {
    // Whole points only, on a 1-2-5 ladder, about tickCount() ticks across the range.
    const double raw = range.size() / std::max(1, tickCount());
    if (!(raw > 1.0)) {
        return 1.0;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
        if (mantissa * magnitude >= raw) {
            return std::max(1.0, mantissa * magnitude);
        }
    }
    return 10.0 * magnitude;
}

QString IndexLabelTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    const double index = std::round(tick);
    if (!contents_ || std::fabs(tick - index) > 1e-6 || index < 0 ||
        index >= static_cast<double>(contents_->size())) {
        return QString();
    }
    return contents_->stamps.time(static_cast<qsizetype>(index));
}

QVector<QString> IndexLabelTicker::createLabelVector(const QVector<double>& ticks,
                                                     const QLocale& locale, QChar formatChar,
                                                     int precision) {
    QVector<QString> labels;
    labels.reserve(ticks.size());
    QString shownDate;
    bool anyShown = false;
    for (const double tick : ticks) {
        QString label = getTickLabel(tick, locale, formatChar, precision);
        if (!label.isEmpty() && contents_) {
            const auto index = static_cast<qsizetype>(std::round(tick));
            const QString date =
                index < contents_->size() ? contents_->stamps.date(index) : QString();
            if (!date.isEmpty() && (!anyShown || date != shownDate)) {
                label += QLatin1Char('\n') + date;
            }
            shownDate = date;
            anyShown = true;
        }
        labels.append(label);
    }
    return labels;
}

}  // namespace zr410
