#include "monitor/TrendSeries.h"

#include <algorithm>
#include <cmath>

namespace zr410 {

TrendSeries::TrendSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, const std::vector<double>& keys,
                         const std::vector<double>& values)
    : QCPAbstractPlottable(keyAxis, valueAxis), keys_(keys), values_(values) {}

void TrendSeries::setDepth(bool on, QPointF offset, const QPen& shade) {
    depth_ = on;
    offset_ = offset;
    shade_ = shade;
}

QVector<QPointF> TrendSeries::visiblePolyline() const {
    QVector<QPointF> line;
    QCPAxis* keyAxis = mKeyAxis.data();
    QCPAxis* valueAxis = mValueAxis.data();
    if (keyAxis == nullptr || valueAxis == nullptr || keys_.empty()) {
        return line;
    }
    const QCPRange range = keyAxis->range();
    auto begin = std::lower_bound(keys_.begin(), keys_.end(), range.lower);
    auto end = std::upper_bound(keys_.begin(), keys_.end(), range.upper);
    // One point beyond each edge, so the line runs out of the plot instead of stopping short.
    size_t from = begin == keys_.begin() ? 0 : size_t(begin - keys_.begin()) - 1;
    size_t to = end == keys_.end() ? keys_.size() : size_t(end - keys_.begin()) + 1;
    if (from >= to) {
        return line;
    }
    // Keys map to pixels linearly; work that out once instead of per point.
    const double x0 = keyAxis->coordToPixel(range.lower);
    const double scale = (keyAxis->coordToPixel(range.upper) - x0) / range.size();
    line.reserve(static_cast<int>(std::min<size_t>(to - from, 8 * 4096)));

    if (!(scale > 0)) {
        return line;
    }
    size_t i = from;
    while (i < to) {
        const double column = std::floor(x0 + (keys_[i] - range.lower) * scale);
        // The first key of the next pixel column; the values in between are one contiguous
        // slice, whose extremes a plain scan finds fast.
        const double nextKey = range.lower + (column + 1 - x0) / scale;
        size_t j = size_t(std::lower_bound(keys_.begin() + i + 1, keys_.begin() + to, nextKey) -
                          keys_.begin());
        const double x = x0 + (keys_[i] - range.lower) * scale;
        if (j - i == 1) {
            line.append(QPointF(x, valueAxis->coordToPixel(values_[i])));
        } else {
            // The extremes of the column, in the order they occurred, keep every peak.
            const auto [low, high] = std::minmax_element(values_.begin() + i, values_.begin() + j);
            const bool lowFirst = low < high;
            line.append(QPointF(x, valueAxis->coordToPixel(lowFirst ? *low : *high)));
            line.append(QPointF(x, valueAxis->coordToPixel(lowFirst ? *high : *low)));
        }
        i = j;
    }
    return line;
}

void TrendSeries::draw(QCPPainter* painter) {
    const QVector<QPointF> line = visiblePolyline();
    if (line.size() < 2) {
        return;
    }
    // Separate segments draw many times faster than one wide polyline, whose joins the
    // stroker would compute for every point.
    QVector<QLineF> segments;
    segments.reserve(line.size() - 1);
    for (qsizetype i = 1; i < line.size(); ++i) {
        segments.append(QLineF(line[i - 1], line[i]));
    }
    if (depth_) {
        painter->save();
        painter->setAntialiasing(false);
        painter->translate(offset_);
        painter->setPen(shade_);
        painter->drawLines(segments);
        painter->restore();
    }
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLines(segments);
}

void TrendSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

double TrendSeries::selectTest(const QPointF&, bool, QVariant*) const {
    return -1;
}

QCPRange TrendSeries::getKeyRange(bool& foundRange, QCP::SignDomain) const {
    foundRange = !keys_.empty();
    return foundRange ? QCPRange(keys_.front(), keys_.back()) : QCPRange();
}

QCPRange TrendSeries::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const {
    foundRange = !values_.empty();
    if (!foundRange) {
        return {};
    }
    const auto [low, high] = std::minmax_element(values_.begin(), values_.end());
    return QCPRange(*low, *high);
}

}  // namespace zr410
