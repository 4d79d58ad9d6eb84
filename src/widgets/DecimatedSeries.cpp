#include "widgets/DecimatedSeries.h"

#include <algorithm>
#include <cmath>

namespace zr410 {
namespace {

// Light enough that two overlapping envelopes and the mean lines over them stay visible.
constexpr int kEnvelopeAlpha = 70;

// A line reduced to the extremes of each pixel column, as bars: one per column from its lowest
// to its highest point, reaching to where the previous column ended so the line stays joined.
// Filling upright rectangles costs a fraction of stroking the same shape as tall wide lines.
QVector<QRect> ColumnBars(const QVector<QPointF>& line, double width) {
    QVector<QRect> bars;
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
        // Whole pixels: the raster engine fills them as plain spans, several times faster
        // than rectangles with fractional edges.
        const int left = static_cast<int>(std::lround(x - width / 2));
        const int upper = static_cast<int>(std::lround(top - width / 2));
        const int lower = static_cast<int>(std::lround(bottom + width / 2));
        bars.append(
            QRect(left, upper, static_cast<int>(std::lround(width)), std::max(1, lower - upper)));
    }
    return bars;
}

// The extremes and sum of the values get(first) .. get(last - 1) into `e`, kept in registers
// rather than looked up through the indexes.
template <class Extremes, class Get>
void TakeRun(Extremes& e, size_t first, size_t last, const Get& get) {
    double lowValue = get(first);
    double highValue = lowValue;
    size_t low = first;
    size_t high = first;
    double total = 0.0;
    for (size_t k = first; k < last; ++k) {
        const double x = get(k);
        if (x < lowValue) {
            lowValue = x;
            low = k;
        }
        if (!(x < highValue)) {
            highValue = x;
            high = k;
        }
        total += x;
    }
    e.take(low, lowValue, high, highValue);
    e.sum += total;
}

void DrawLine(QCPPainter* painter, const QVector<QPointF>& line) {
    if (line.size() == 1) {
        painter->drawPoint(line.front());
        return;
    }
    // Separate segments draw many times faster than one wide polyline, whose joins the
    // stroker would compute for every point.
    QVector<QLineF> segments;
    segments.reserve(line.size() - 1);
    for (qsizetype i = 1; i < line.size(); ++i) {
        segments.append(QLineF(line[i - 1], line[i]));
    }
    painter->drawLines(segments);
}

}  // namespace

DecimatedSeries::DecimatedSeries(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis) {
    setBrush(Qt::NoBrush);
}

void DecimatedSeries::setData(const std::vector<double>* keys, const std::vector<double>* values,
                              std::shared_ptr<const void> owner) {
    keys_ = keys;
    values_ = values;
    column_ = nullptr;
    owner_ = std::move(owner);
    dataReplaced();
}

void DecimatedSeries::setData(const ValueColumn* values, std::shared_ptr<const void> owner) {
    keys_ = nullptr;
    values_ = nullptr;
    column_ = values;
    owner_ = std::move(owner);
    dataReplaced();
}

DecimatedSeries::Shifts DecimatedSeries::ShiftsFrom(unsigned finest) {
    Shifts shift{};
    for (size_t level = 0; level < shift.size(); ++level) {
        shift[level] = finest + static_cast<unsigned>(level) * kFanOutShift;
    }
    return shift;
}

void DecimatedSeries::setFinestBlock(unsigned shift) {
    shift_ = ShiftsFrom(shift);
    for (auto& blocks : blocks_) {
        blocks = {};
    }
    dataReplaced();
}

qsizetype DecimatedSeries::pointCount() const {
    const size_t values = column_ != nullptr   ? column_->size()
                          : values_ != nullptr ? values_->size()
                                               : 0;
    const size_t n = keys_ != nullptr ? std::min(keys_->size(), values) : values;
    return static_cast<qsizetype>(n);
}

void DecimatedSeries::setDepth(bool on, QPointF offset, const QColor& shade) {
    depth_ = on;
    offset_ = offset;
    shade_ = shade;
}

size_t DecimatedSeries::firstAtOrAfter(double k, size_t from, size_t to) const {
    if (keys_ == nullptr) {
        const double at = std::ceil(k);
        return at <= static_cast<double>(from) ? from
               : at >= static_cast<double>(to) ? to
                                               : static_cast<size_t>(at);
    }
    // Galloping from `from`: a redraw asks for the next pixel column's first key, a few hundred
    // points on, and a search over the whole rest would miss the cache at every step.
    const double* keys = keys_->data();
    if (from >= to || !(keys[from] < k)) {
        return from;
    }
    size_t below = from;  // keys[below] < k
    size_t step = 1;
    size_t probe = from + 1;
    while (probe < to && keys[probe] < k) {
        below = probe;
        step *= 2;
        probe = from + step;
    }
    return static_cast<size_t>(std::lower_bound(keys + below + 1, keys + std::min(probe, to), k) -
                               keys);
}

template <class Finest>
void DecimatedSeries::Extend(Levels& levels, const Shifts& shift, size_t from, size_t count,
                             const Finest& finest) {
    // Each level again from the block that held the first point not yet covered: only the
    // last, partly filled blocks and the new ones are worked out.
    for (size_t level = 0; level < levels.size(); ++level) {
        std::vector<Block>& blocks = levels[level];
        const size_t size = size_t(1) << shift[level];
        size_t start = from / size * size;
        blocks.resize(start / size);
        for (; start < count; start += size) {
            const size_t end = std::min(start + size, count);
            if (level == 0) {
                const Extremes e = finest(start, end);
                blocks.push_back({static_cast<std::uint32_t>(e.low),
                                  static_cast<std::uint32_t>(e.high), e.lowValue, e.highValue,
                                  e.sum});
                continue;
            }
            const std::vector<Block>& below = levels[level - 1];
            const unsigned part = shift[level - 1];
            Block block = below[start >> part];
            for (size_t k = (start >> part) + 1; k < ((end - 1) >> part) + 1; ++k) {
                const Block& next = below[k];
                if (next.lowValue < block.lowValue) {
                    block.low = next.low;
                    block.lowValue = next.lowValue;
                }
                if (!(next.highValue < block.highValue)) {
                    block.high = next.high;
                    block.highValue = next.highValue;
                }
                block.sum += next.sum;
            }
            blocks.push_back(block);
        }
    }
}

void DecimatedSeries::summarize() const {
    const size_t n = static_cast<size_t>(pointCount());
    if (summarized_ > n) {
        summarized_ = 0;
    }
    if (summarized_ == n && n > 0) {
        return;
    }
    Extend(blocks_, shift_, summarized_, n, [this](size_t start, size_t end) {
        Extremes e{start, start, value(start), value(start), 0.0};
        takePoints(e, start, end);
        return e;
    });
    summarized_ = n;
}

DecimatedSeries::Summary DecimatedSeries::Summarize(const double* values, size_t count,
                                                    unsigned finestShift, size_t capacity) {
    Summary summary;
    summary.shift_ = ShiftsFrom(finestShift);
    Reserve(summary.blocks_, summary.shift_, std::max(count, capacity));
    Extend(summary.blocks_, summary.shift_, 0, count, [values](size_t start, size_t end) {
        Extremes e{start, start, values[start], values[start], 0.0};
        TakeDoubles(e, values, start, end);
        return e;
    });
    summary.points_ = count;
    return summary;
}

void DecimatedSeries::adoptSummary(Summary& summary) {
    if (summary.shift_ != shift_ || summary.points_ > static_cast<size_t>(pointCount())) {
        dataReplaced();  // not made for these arrays: worked out afresh instead
        return;
    }
    blocks_.swap(summary.blocks_);
    summarized_ = summary.points_;
}

void DecimatedSeries::Reserve(Levels& levels, const Shifts& shift, size_t points) {
    for (size_t level = 0; level < levels.size(); ++level) {
        levels[level].reserve((points >> shift[level]) + 1);
    }
}

void DecimatedSeries::reservePoints(size_t points) {
    Reserve(blocks_, shift_, points);
}

std::pair<size_t, size_t> DecimatedSeries::extremes(size_t first, size_t last) const {
    summarize();
    const Extremes e = keptExtremes(first, last);
    return {e.low, e.high};
}

void DecimatedSeries::takePoints(Extremes& e, size_t first, size_t last) const {
    if (first >= last) {
        return;
    }
    if (const std::int16_t* raw = packedOrNull()) {
        // Compared as the integers they are kept as: the order is the same, and only the two
        // found are divided out.
        int lowRaw = raw[first];
        int highRaw = raw[first];
        size_t low = first;
        size_t high = first;
        std::int64_t total = 0;
        for (size_t k = first; k < last; ++k) {
            const int r = raw[k];
            if (r < lowRaw) {
                lowRaw = r;
                low = k;
            }
            if (r >= highRaw) {
                highRaw = r;
                high = k;
            }
            total += r;
        }
        const double divisor = column_->divisor();
        e.take(low, lowRaw / divisor, high, highRaw / divisor);
        e.sum += static_cast<double>(total) / divisor;
        return;
    }
    if (const double* v = doublesOrNull()) {
        TakeDoubles(e, v, first, last);
        return;
    }
    TakeRun(e, first, last, [this](size_t k) { return value(k); });
}

void DecimatedSeries::TakeDoubles(Extremes& e, const double* v, size_t first, size_t last) {
    if (first >= last) {
        return;
    }
    TakeRun(e, first, last, [v](size_t k) { return v[k]; });
}

DecimatedSeries::Extremes DecimatedSeries::keptExtremes(size_t first, size_t last) const {
    const double* v = doublesOrNull();
    Extremes e{first, first, value(first), value(first), 0.0};
    // Left to right, each step the largest kept block that starts here and fits, and the
    // points between blocks in one run.
    size_t k = first + 1;
    while (k < last) {
        const int level = LevelAt(k, last);
        if (level < 0) {
            const size_t size = BlockSize(0);
            const size_t next = std::min(last, (k + size) & ~(size - 1));
            if (v != nullptr) {
                // The common case of a redraw, a few points at each column's edges: inline.
                for (; k < next; ++k) {
                    e.take(k, v[k], k, v[k]);
                }
            } else {
                takePoints(e, k, next);
                k = next;
            }
        } else {
            const Block& block = blocks_[static_cast<size_t>(level)][k >> shift_[level]];
            e.take(block.low, block.lowValue, block.high, block.highValue);
            k += BlockSize(level);
        }
    }
    return e;
}

double DecimatedSeries::sum(size_t first, size_t last) const {
    Extremes e{first, first, value(first), value(first), 0.0};
    size_t k = first;
    while (k < last) {
        const int level = LevelAt(k, last);
        if (level < 0) {
            const size_t size = BlockSize(0);
            const size_t next = std::min(last, (k + size) & ~(size - 1));
            takePoints(e, k, next);
            k = next;
        } else {
            e.sum += blocks_[static_cast<size_t>(level)][k >> shift_[level]].sum;
            k += BlockSize(level);
        }
    }
    return e.sum;
}

QVector<QPointF> DecimatedSeries::visiblePolyline(bool* reduced, QVector<QPointF>* means) const {
    QVector<QPointF> line;
    if (reduced != nullptr) {
        *reduced = false;
    }
    if (means != nullptr) {
        means->clear();
    }
    QCPAxis* keyAxis = mKeyAxis.data();
    QCPAxis* valueAxis = mValueAxis.data();
    const size_t n = static_cast<size_t>(pointCount());
    if (keyAxis == nullptr || valueAxis == nullptr || n == 0) {
        return line;
    }
    const QCPRange range = keyAxis->range();
    // One point beyond each edge, so the line runs out of the plot instead of stopping short.
    size_t from = firstAtOrAfter(range.lower, 0, n);
    from = from > 0 ? from - 1 : 0;
    size_t to = firstAtOrAfter(std::nextafter(range.upper, HUGE_VAL), from, n);
    to = std::min(to + 1, n);
    if (from >= to) {
        return line;
    }
    // Keys map to pixels linearly; work that out once instead of per point.
    const double x0 = keyAxis->coordToPixel(0.0);
    const double scale = keyAxis->coordToPixel(1.0) - x0;
    const auto x = [&](size_t i) { return x0 + key(i) * scale; };
    const auto y = [&](double value) { return valueAxis->coordToPixel(value); };
    const double spanPixels = std::fabs(x(to - 1) - x(from));
    if (!(scale > 0) || static_cast<double>(to - from) <= 2.0 * spanPixels + 2.0) {
        line.reserve(static_cast<qsizetype>(to - from));
        for (size_t i = from; i < to; ++i) {
            line.append(QPointF(x(i), y(value(i))));
        }
        return line;
    }
    if (reduced != nullptr) {
        *reduced = true;
    }
    summarize();
    line.reserve(static_cast<qsizetype>(spanPixels + 2) * 2);
    if (means != nullptr) {
        means->reserve(static_cast<qsizetype>(spanPixels) + 2);
    }
    // Where columns hold many points, each column's end moves on to the next edge of a kept
    // block half a column long or less, so a column is a few whole blocks, read in
    // order from one array, and no point of the history is read for it: gathering the edges
    // of every column from points and small blocks would cost a cache miss each. The move is
    // a fraction of a pixel; no peak is lost, at most it lands on the column beside its own.
    size_t grain = 1;
    for (int level = kLevels - 1; level >= 0; --level) {
        if (2.0 * static_cast<double>(BlockSize(level)) * spanPixels <=
            static_cast<double>(to - from)) {
            grain = BlockSize(level);
            break;
        }
    }
    size_t guess = 0;  // where the next column most likely ends: as wide as the previous one
    size_t i = from;
    while (i < to) {
        const double column = std::floor(x(i));
        // The first key of the next pixel column; the points in between are one slice.
        const double nextKey = (column + 1 - x0) / scale;
        // Searched from the guess when the column ends there or beyond, else up to it.
        const bool guessed = guess > i + 1 && guess < to;
        size_t j = guessed && key(guess - 1) < nextKey
                       ? firstAtOrAfter(nextKey, guess, to)
                       : std::max(i + 1, firstAtOrAfter(nextKey, i + 1, guessed ? guess : to));
        // The key found by arithmetic may round to the other side of the column's edge.
        while (j > i + 1 && std::floor(x(j - 1)) > column) {
            --j;
        }
        while (j < to && std::floor(x(j)) <= column) {
            ++j;
        }
        guess = j + (j - i);
        j = std::min(to, (j + grain - 1) & ~(grain - 1));
        const double at = column + 0.5;
        if (j - i == 1) {
            line.append(QPointF(at, y(value(i))));
        } else {
            // The extremes of the column, in the order they occurred, keep every peak.
            const Extremes e = keptExtremes(i, j);
            const bool lowFirst = e.low < e.high;
            line.append(QPointF(at, y(lowFirst ? e.lowValue : e.highValue)));
            line.append(QPointF(at, y(lowFirst ? e.highValue : e.lowValue)));
        }
        if (means != nullptr) {
            means->append(QPointF(at, y(sum(i, j) / static_cast<double>(j - i))));
        }
        i = j;
    }
    return line;
}

void DecimatedSeries::draw(QCPPainter* painter) {
    bool reduced = false;
    QVector<QPointF> means;
    const bool envelope = denseLook_ == DenseLook::Envelope;
    const QVector<QPointF> line = visiblePolyline(&reduced, envelope ? &means : nullptr);
    if (line.isEmpty()) {
        return;
    }
    QPen shadow = mPen;
    shadow.setColor(shade_);
    if (reduced && !envelope) {
        // Without smoothing, which would cost more than the rest of a redraw and show nothing.
        const QVector<QRect> bars = ColumnBars(line, std::max(1.0, mPen.widthF()));
        painter->save();
        painter->setAntialiasing(false);
        painter->setPen(Qt::NoPen);
        if (depth_) {
            painter->translate(offset_);
            painter->setBrush(shade_);
            painter->drawRects(bars);
            painter->translate(-offset_);
        }
        painter->setBrush(mPen.color());
        painter->drawRects(bars);
        painter->restore();
        return;
    }
    if (reduced) {
        // The envelope of every column stays, honest about the spread, but translucent, with
        // the line of column means on top: drawn opaque, the last series' envelope would cover
        // every series below it.
        painter->setAntialiasing(false);
        if (depth_) {
            painter->save();
            painter->translate(offset_);
            painter->setPen(shadow);
            DrawLine(painter, means);
            painter->restore();
        }
        QPen pale = mPen;
        QColor colour = pale.color();
        colour.setAlpha(kEnvelopeAlpha);
        pale.setColor(colour);
        pale.setWidth(1);
        painter->setPen(pale);
        DrawLine(painter, line);
        painter->setPen(mPen);
        DrawLine(painter, means);
        return;
    }
    if (depth_) {
        painter->save();
        painter->setAntialiasing(false);
        painter->translate(offset_);
        painter->setPen(shadow);
        DrawLine(painter, line);
        painter->restore();
    }
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    DrawLine(painter, line);
    if (markers_ && (line.size() == 1 || line[1].x() - line[0].x() >= kMarkerSpacing)) {
        painter->setBrush(mPen.color());
        painter->setPen(Qt::NoPen);
        const double radius = std::max(2.5, mPen.widthF() + 1.5);
        for (const QPointF& point : line) {
            painter->drawEllipse(point, radius, radius);
        }
    }
}

void DecimatedSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    applyDefaultAntialiasingHint(painter);
    QPen pen = mPen;
    pen.setWidthF(std::max(2.0, pen.widthF()));
    painter->setPen(pen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

double DecimatedSeries::selectTest(const QPointF&, bool, QVariant*) const {
    return -1;
}

QCPRange DecimatedSeries::getKeyRange(bool& foundRange, QCP::SignDomain) const {
    const qsizetype n = pointCount();
    foundRange = n > 0;
    return foundRange ? QCPRange(key(0), key(static_cast<size_t>(n - 1))) : QCPRange();
}

QCPRange DecimatedSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                        const QCPRange& inKeyRange) const {
    const size_t n = static_cast<size_t>(pointCount());
    size_t first = 0;
    size_t last = n;
    if (n > 0 && inKeyRange != QCPRange()) {
        first = firstAtOrAfter(inKeyRange.lower, 0, n);
        last = firstAtOrAfter(std::nextafter(inKeyRange.upper, HUGE_VAL), first, n);
    }
    foundRange = first < last;
    if (!foundRange) {
        return {};
    }
    const auto [low, high] = extremes(first, last);
    const double lo = value(low);
    const double hi = value(high);
    if ((inSignDomain == QCP::sdPositive && hi <= 0) ||
        (inSignDomain == QCP::sdNegative && lo >= 0)) {
        foundRange = false;
    }
    return QCPRange(lo, hi);
}

}  // namespace zr410
