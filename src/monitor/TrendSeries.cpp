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
    summarize();
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
            const auto [low, high] = extremes(i, j);
            const bool lowFirst = low < high;
            line.append(QPointF(x, valueAxis->coordToPixel(values_[lowFirst ? low : high])));
            line.append(QPointF(x, valueAxis->coordToPixel(values_[lowFirst ? high : low])));
        }
        i = j;
    }
    return line;
}

void TrendSeries::summarize() const {
    if (summarized_ > values_.size()) {
        summarized_ = 0;
    }
    if (summarized_ == 0) {
        blocks_.clear();
    }
    // Only the last, partly filled block and the new ones are looked at again.
    size_t start = summarized_ / kBlock * kBlock;
    blocks_.resize(start / kBlock);
    for (; start < values_.size(); start += kBlock) {
        const size_t end = std::min(start + kBlock, values_.size());
        Block block{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(start)};
        for (size_t k = start + 1; k < end; ++k) {
            if (values_[k] < values_[block.low]) {
                block.low = static_cast<std::uint32_t>(k);
            }
            if (!(values_[k] < values_[block.high])) {
                block.high = static_cast<std::uint32_t>(k);
            }
        }
        blocks_.push_back(block);
    }
    summarized_ = values_.size();
}

std::pair<size_t, size_t> TrendSeries::extremes(size_t first, size_t last) const {
    size_t low = first;
    size_t high = first;
    // Ties keep the first lowest and the last highest, as minmax_element does.
    const auto take = [&](size_t lowAt, size_t highAt) {
        if (values_[lowAt] < values_[low]) {
            low = lowAt;
        }
        if (!(values_[highAt] < values_[high])) {
            high = highAt;
        }
    };
    size_t k = first + 1;
    for (; k < last && k % kBlock != 0; ++k) {
        take(k, k);
    }
    for (; k + kBlock <= last; k += kBlock) {
        const Block& block = blocks_[k / kBlock];
        take(block.low, block.high);
    }
    for (; k < last; ++k) {
        take(k, k);
    }
    return {low, high};
}

namespace {

// A line reduced to the extremes of each pixel column, as bars: one per column from its lowest
// to its highest point, reaching to where the previous column ended so the line stays joined.
// Filling upright rectangles costs a fraction of stroking the same shape as tall wide lines.
QVector<QRectF> columnBars(const QVector<QPointF>& line, double width) {
    QVector<QRectF> bars;
    bars.reserve(line.size() / 2 + 1);
    double previous = line.front().y();
    for (qsizetype i = 0; i < line.size();) {
        const double x = line[i].x();
        double top = previous;
        double bottom = previous;
        for (; i < line.size() && line[i].x() == x; ++i) {
            top = std::min(top, line[i].y());
            bottom = std::max(bottom, line[i].y());
            previous = line[i].y();
        }
        bars.append(QRectF(x - width / 2, top - width / 2, width, bottom - top + width));
    }
    return bars;
}

}  // namespace

void TrendSeries::draw(QCPPainter* painter) {
    const QVector<QPointF> line = visiblePolyline();
    if (line.size() < 2) {
        return;
    }
    // More points than pixel columns: the line was reduced to each column's extremes and is
    // drawn as bars, without smoothing, which would cost more than the rest of a redraw and
    // show nothing.
    if (line.size() > static_cast<qsizetype>(mKeyAxis->axisRect()->width())) {
        const QVector<QRectF> bars = columnBars(line, std::max(1.0, mPen.widthF()));
        painter->save();
        painter->setAntialiasing(false);
        painter->setPen(Qt::NoPen);
        if (depth_) {
            painter->translate(offset_);
            painter->setBrush(shade_.color());
            painter->drawRects(bars);
            painter->translate(-offset_);
        }
        painter->setBrush(mPen.color());
        painter->drawRects(bars);
        painter->restore();
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
