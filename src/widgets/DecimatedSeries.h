#pragma once

#include <qcustomplot.h>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/ValueColumn.h"

namespace zr410 {

// One line of a chart drawn straight from its owner's arrays, without a copy into the chart's
// own containers. A redraw reduces the visible points to the lowest and highest value of each
// pixel column, in the order they occurred, so half a million points draw about as fast as a
// screenful and every peak stays. The extremes (and sums) of each run of 16, 64, 256, 1024 and
// 4096 points are kept, and only the new ones are worked out when points are appended, so a
// redraw costs the pixel columns, not the history.
//
// Both charts of the programs build on it: the monitor's trend (keys are sample numbers, the
// history grows) and the viewer's file chart (key = record index, a file of millions).
class DecimatedSeries : public QCPAbstractPlottable {
    // The values travel with their indexes, so merging blocks never reaches back into the
    // history (whose scattered reads would cost a cache miss each).
    struct Block {
        std::uint32_t low;
        std::uint32_t high;
        double lowValue;
        double highValue;
        double sum;
    };
    // Level L holds blocks of 4^L times the finest size, each built from 4 of the level below:
    // four rather than sixteen, so a pixel column's edges take fewer blocks to cover.
    static constexpr int kLevels = 5;
    static constexpr unsigned kFanOutShift = 2;
    using Shifts = std::array<unsigned, kLevels>;  // log2 of the block sizes
    using Levels = std::array<std::vector<Block>, kLevels>;
    static Shifts ShiftsFrom(unsigned finest);

public:
    // The kept block extremes of an array of values, worked out apart from any chart (on a
    // worker thread, say) for an array that is about to replace the drawn one.
    class Summary {
    public:
        size_t points() const { return points_; }

    private:
        friend class DecimatedSeries;
        Levels blocks_;
        Shifts shift_{};
        size_t points_ = 0;
    };
    // Room is made for the blocks of `capacity` points, so appends up to it never move them.
    static Summary Summarize(const double* values, size_t count, unsigned finestShift,
                             size_t capacity);

    // How a line with several points per pixel column is drawn.
    enum class DenseLook {
        Bars,      // one bar per column from its lowest to its highest point, in the pen colour
        Envelope,  // the same extremes translucent, under the line through each column's mean
    };

    DecimatedSeries(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The arrays to draw. Without keys, point i sits at key i. `owner` keeps shared arrays
    // alive for as long as the series draws them. The arrays may grow between redraws (the
    // kept block extremes follow); anything else (cleared, thinned, changed in place) must be
    // followed by dataReplaced().
    void setData(const std::vector<double>* keys, const std::vector<double>* values,
                 std::shared_ptr<const void> owner = {});
    // Values as a file gave them, point i at key i; the packed ones are compared as they are
    // kept and turned into doubles only where they are drawn.
    void setData(const ValueColumn* values, std::shared_ptr<const void> owner = {});
    void dataReplaced() { summarized_ = 0; }
    // The arrays were replaced by ones whose first summary.points() values `summary` was
    // worked out from, at this series' finest block; points beyond it are summarized at the
    // next redraw, so a replacement prepared ahead costs the redraw nothing. The blocks it
    // replaces are left in `summary`, to be freed where that takes no time from a redraw.
    void adoptSummary(Summary& summary);
    // Room for the blocks of `points` points, so a growing history never moves them: moving
    // megabytes of blocks would hold up the redraw that crosses a doubling.
    void reservePoints(size_t points);
    qsizetype pointCount() const;

    void setDenseLook(DenseLook look) { denseLook_ = look; }
    // Runs of 2^shift points are the finest whose extremes are kept (then 16 and 256 times
    // that). Small runs suit a growing history redrawn at every sample; a file of millions
    // takes 256 for a sixteenth of the memory, its runs of points compared as packed integers.
    void setFinestBlock(unsigned shift);
    unsigned finestBlock() const { return shift_[0]; }
    // The depth look: a shade of the line drawn `offset` pixels away, behind it.
    void setDepth(bool on, QPointF offset, const QColor& shade);
    bool depth() const { return depth_; }
    // A dot on each point when the points stand at least kMarkerSpacing pixels apart, so a
    // series of one or two points still shows.
    void setMarkersWhenSparse(bool on) { markers_ = on; }
    static constexpr double kMarkerSpacing = 12.0;

    // The polyline in pixels for the current axis ranges, as draw() paints it; `reduced` tells
    // whether it was cut down to the extremes of each pixel column, and `means` (if given)
    // then receives the line through each column's mean.
    QVector<QPointF> visiblePolyline(bool* reduced = nullptr,
                                     QVector<QPointF>* means = nullptr) const;

    // Index of the first lowest and the last highest value of [first, last), as
    // std::minmax_element finds them, from the kept blocks.
    std::pair<size_t, size_t> extremes(size_t first, size_t last) const;

    double selectTest(const QPointF& pos, bool onlySelectable,
                      QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange,
                         QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    double key(size_t i) const { return keys_ != nullptr ? (*keys_)[i] : static_cast<double>(i); }
    double value(size_t i) const { return column_ != nullptr ? (*column_)[i] : (*values_)[i]; }
    const double* doublesOrNull() const {
        return column_ != nullptr   ? (column_->packed() ? nullptr : column_->doubles())
               : values_ != nullptr ? values_->data()
                                    : nullptr;
    }
    // The packed integers when every value of the column is one of them.
    const std::int16_t* packedOrNull() const {
        return column_ != nullptr && column_->packed() && !column_->hasOutliers() ? column_->raw()
                                                                                  : nullptr;
    }
    // The first point whose key is not below `k`, within [from, to].
    size_t firstAtOrAfter(double k, size_t from, size_t to) const;
    double sum(size_t first, size_t last) const;
    void summarize() const;
    struct Extremes {
        size_t low;
        size_t high;
        double lowValue;
        double highValue;
        double sum;

        // Ties keep the first lowest and the last highest, as minmax_element does.
        void take(size_t lowAt, double lowAtValue, size_t highAt, double highAtValue) {
            if (lowAtValue < lowValue) {
                low = lowAt;
                lowValue = lowAtValue;
            }
            if (!(highAtValue < highValue)) {
                high = highAt;
                highValue = highAtValue;
            }
        }
    };
    Extremes keptExtremes(size_t first, size_t last) const;
    // The extremes of a run of points read one by one.
    void takePoints(Extremes& e, size_t first, size_t last) const;
    static void TakeDoubles(Extremes& e, const double* v, size_t first, size_t last);
    // Extends `blocks` from the first point they do not cover, `from`, to `count` points;
    // `finest(start, end)` gives the extremes of a run of points.
    static void Reserve(Levels& levels, const Shifts& shift, size_t points);
    template <class Finest>
    static void Extend(Levels& blocks, const Shifts& shift, size_t from, size_t count,
                       const Finest& finest);

    Shifts shift_ = ShiftsFrom(4);
    size_t BlockSize(int level) const { return size_t(1) << shift_[static_cast<size_t>(level)]; }
    // The largest level whose block starts at k and ends by `last`; -1 for none.
    int LevelAt(size_t k, size_t last) const {
        for (int level = kLevels - 1; level >= 0; --level) {
            const size_t size = BlockSize(level);
            if ((k & (size - 1)) == 0 && k + size <= last) {
                return level;
            }
        }
        return -1;
    }
    mutable Levels blocks_;
    mutable size_t summarized_ = 0;  // points covered by blocks_

    const std::vector<double>* keys_ = nullptr;
    const std::vector<double>* values_ = nullptr;
    const ValueColumn* column_ = nullptr;
    std::shared_ptr<const void> owner_;
    DenseLook denseLook_ = DenseLook::Bars;
    bool depth_ = false;
    QPointF offset_;
    QColor shade_;
    bool markers_ = false;
};

}  // namespace zr410
