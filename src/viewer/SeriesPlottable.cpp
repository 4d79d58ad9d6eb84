#include "viewer/SeriesPlottable.h"

#include <algorithm>
#include <cmath>

namespace zr410 {

namespace {
// Light enough that two overlapping envelopes and the mean lines under them stay visible.
constexpr int kEnvelopeAlpha = 70;
// Points at least this many pixels apart get a dot each.
constexpr double kMarkerSpacing = 12.0;
}  // namespace

SeriesPlottable::SeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis) {
    setBrush(Qt::NoBrush);
}

void SeriesPlottable::setContents(std::shared_ptr<const DataFileContents> contents, int series) {
    contents_ = std::move(contents);
    series_ = series;
}

const std::vector<double>* SeriesPlottable::values() const {
    return contents_ ? &contents_->series[static_cast<std::size_t>(series_)] : nullptr;
}

qsizetype SeriesPlottable::pointCount() const {
    const auto* v = values();
    return v ? static_cast<qsizetype>(v->size()) : 0;
}

double SeriesPlottable::selectTest(const QPointF&, bool, QVariant*) const {
    return -1;
}

QCPRange SeriesPlottable::getKeyRange(bool& foundRange, QCP::SignDomain) const {
    const qsizetype n = pointCount();
    foundRange = n > 0;
    return n > 0 ? QCPRange(0, static_cast<double>(n - 1)) : QCPRange();
}

QCPRange SeriesPlottable::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                        const QCPRange& inKeyRange) const {
    const auto* v = values();
    foundRange = v != nullptr && !v->empty();
    if (!foundRange) {
        return QCPRange();
    }
    double low = contents_->minimum[static_cast<std::size_t>(series_)];
    double high = contents_->maximum[static_cast<std::size_t>(series_)];
    if (inKeyRange != QCPRange()) {
        const auto n = static_cast<qsizetype>(v->size());
        const qsizetype first = std::clamp<qsizetype>(std::ceil(inKeyRange.lower), 0, n - 1);
        const qsizetype last = std::clamp<qsizetype>(std::floor(inKeyRange.upper), 0, n - 1);
        const auto [lo, hi] = std::minmax_element(v->begin() + first, v->begin() + last + 1);
        low = *lo;
        high = *hi;
    }
    if (inSignDomain == QCP::sdPositive && high <= 0) {
        foundRange = false;
    } else if (inSignDomain == QCP::sdNegative && low >= 0) {
        foundRange = false;
    }
    return QCPRange(low, high);
}

QVector<QPointF> SeriesPlottable::visiblePolyline(bool* reduced, QVector<QPointF>* means) const {
    QVector<QPointF> points;
    if (reduced != nullptr) {
        *reduced = false;
    }
    if (means != nullptr) {
        means->clear();
    }
    const auto* v = values();
    QCPAxis* keyAxis = mKeyAxis.data();
    QCPAxis* valueAxis = mValueAxis.data();
    if (v == nullptr || v->empty() || keyAxis == nullptr || valueAxis == nullptr) {
        return points;
    }
    const auto n = static_cast<qsizetype>(v->size());
    const QCPRange range = keyAxis->range();
    // One point beyond each edge, so the line runs out of the plot rather than stopping short.
    const qsizetype first = std::clamp<qsizetype>(std::floor(range.lower) - 1, 0, n - 1);
    const qsizetype last = std::clamp<qsizetype>(std::ceil(range.upper) + 1, 0, n - 1);
    const double x0 = keyAxis->coordToPixel(0.0);
    const double dx = keyAxis->coordToPixel(1.0) - x0;
    const auto y = [&](double value) { return valueAxis->coordToPixel(value); };
    const qsizetype count = last - first + 1;
    const double spanPixels = std::fabs(dx) * static_cast<double>(count - 1);

    if (dx <= 0.0 || static_cast<double>(count) <= 2.0 * spanPixels + 2.0) {
        points.reserve(count);
        for (qsizetype i = first; i <= last; ++i) {
            points.append(QPointF(x0 + dx * static_cast<double>(i), y((*v)[i])));
        }
        return points;
    }
    // Several points per pixel: each pixel column keeps its lowest and highest value, in the
    // order they come, which draws the same picture as every point would.
    if (reduced != nullptr) {
        *reduced = true;
    }
    const double* data = v->data();
    const auto columnOf = [&](qsizetype i) { return std::floor(x0 + dx * static_cast<double>(i)); };
    points.reserve((static_cast<qsizetype>(spanPixels) + 2) * 2);
    if (means != nullptr) {
        means->reserve(static_cast<qsizetype>(spanPixels) + 2);
    }
    qsizetype i = first;
    while (i <= last) {
        const double column = columnOf(i);
        auto end = static_cast<qsizetype>(std::ceil((column + 1.0 - x0) / dx)) - 1;
        end = std::clamp(end, i, last);
        while (end > i && columnOf(end) > column) {
            --end;
        }
        while (end < last && columnOf(end + 1) <= column) {
            ++end;
        }
        // One pass over the column for its extremes and, when asked, its mean.
        const double* lo = data + i;
        const double* hi = data + i;
        double sum = 0.0;
        for (const double* p = data + i; p <= data + end; ++p) {
            lo = *p < *lo ? p : lo;
            hi = *p > *hi ? p : hi;
            sum += *p;
        }
        const double x = column + 0.5;
        if (means != nullptr) {
            means->append(QPointF(x, y(sum / static_cast<double>(end - i + 1))));
        }
        if (lo < hi) {
            points.append(QPointF(x, y(*lo)));
            points.append(QPointF(x, y(*hi)));
        } else {
            points.append(QPointF(x, y(*hi)));
            points.append(QPointF(x, y(*lo)));
        }
        i = end + 1;
    }
    return points;
}

void SeriesPlottable::draw(QCPPainter* painter) {
    bool dense = false;
    QVector<QPointF> means;
    const QVector<QPointF> points = visiblePolyline(&dense, &means);
    if (points.isEmpty()) {
        return;
    }
    // Reduced lines are vertical strokes one pixel apart: smoothing them costs much and shows
    // nothing, so only lines through single points are antialiased.
    if (dense) {
        painter->setAntialiasing(false);
    } else {
        applyDefaultAntialiasingHint(painter);
    }
    const auto polyline = [&](const QVector<QPointF>& line) {
        if (line.size() == 1) {
            painter->drawPoint(line.front());
        } else {
            painter->drawPolyline(line.constData(), static_cast<int>(line.size()));
        }
    };
    // Dense data: the envelope of every column stays, honest about the spread, but translucent,
    // with the line of column means on top; drawn opaque, the last series' envelope would
    // cover every series below it.
    const QVector<QPointF>& line = dense ? means : points;
    if (depthLook_) {
        // The raised look: a pale copy of the line just below and to the right, opaque so it
        // costs no blending.
        const QColor base = mPen.color();
        const QColor shade((base.red() + 3 * 200) / 4, (base.green() + 3 * 200) / 4,
                           (base.blue() + 3 * 210) / 4);
        QPen shadow = mPen;
        shadow.setColor(shade);
        painter->setPen(shadow);
        painter->save();
        painter->translate(2, 2);
        polyline(line);
        painter->restore();
    }
    if (dense) {
        QPen envelope = mPen;
        QColor colour = envelope.color();
        colour.setAlpha(kEnvelopeAlpha);
        envelope.setColor(colour);
        envelope.setWidth(1);
        painter->setPen(envelope);
        polyline(points);
    }
    painter->setPen(mPen);
    polyline(line);
    // Few points far apart: a dot on each, so a file of one or two records still shows its
    // values rather than a line too short to see.
    if (!dense && (points.size() == 1 || points[1].x() - points[0].x() >= kMarkerSpacing)) {
        applyDefaultAntialiasingHint(painter);
        painter->setBrush(mPen.color());
        painter->setPen(Qt::NoPen);
        const double radius = std::max(2.5, mPen.widthF() + 1.5);
        for (const QPointF& point : points) {
            painter->drawEllipse(point, radius, radius);
        }
    }
}

void SeriesPlottable::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    applyDefaultAntialiasingHint(painter);
    QPen pen = mPen;
    pen.setWidthF(std::max(2.0, pen.widthF()));
    painter->setPen(pen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

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
    return contents_->times.at(static_cast<qsizetype>(index));
}

QVector<QString> IndexLabelTicker::createLabelVector(const QVector<double>& ticks,
                                                     const QLocale& locale, QChar formatChar,
                                                     int precision) {
    QVector<QString> labels;
    labels.reserve(ticks.size());
    QByteArrayView shownDate;
    bool anyShown = false;
    for (const double tick : ticks) {
        QString label = getTickLabel(tick, locale, formatChar, precision);
        if (!label.isEmpty() && contents_) {
            const auto index = static_cast<qsizetype>(std::round(tick));
            const QByteArrayView date =
                index < contents_->dates.size() ? contents_->dates.view(index) : QByteArrayView();
            if (!date.isEmpty() && (!anyShown || date != shownDate)) {
                label += QLatin1Char('\n') + QString::fromUtf8(date);
            }
            shownDate = date;
            anyShown = true;
        }
        labels.append(label);
    }
    return labels;
}

}  // namespace zr410
