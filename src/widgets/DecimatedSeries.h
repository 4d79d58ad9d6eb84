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
// screenful and every peak stays. The extremes (and sums) of each run of 16, 256 and 4096
// points are kept, and only the new ones are worked out when points are appended, so a redraw
// costs the pixel columns, not the history.
//
// Both charts of the programs build on it: the monitor's trend (keys are sample numbers, the
// history grows) and the viewer's file chart (key = record index, a file of millions).
class DecimatedSeries : public QCPAbstractPlottable {
public:
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
    qsizetype pointCount() const;

    void setDenseLook(DenseLook look) { denseLook_ = look; }
    // Runs of 2^shift points are the finest whose extremes are kept (then 16 and 256 times
    // that). Small runs suit a growing history redrawn at every sample; a file of millions
    // takes 256 for a sixteenth of the memory, its runs of points compared as packed integers.
    void setFinestBlock(unsigned shift);
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
    std::pair<size_t, size_t> keptExtremes(size_t first, size_t last) const;
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
    // The extremes of a run of points read one by one.
    void takePoints(Extremes& e, size_t first, size_t last) const;

    // The values travel with their indexes, so merging blocks never reaches back into the
    // history (whose scattered reads would cost a cache miss each).
    struct Block {
        std::uint32_t low;
        std::uint32_t high;
        double lowValue;
        double highValue;
        double sum;
    };
    // Level L holds blocks of 16^(L+1) points; each is built from 16 of the level below.
    static constexpr int kLevels = 3;
    static constexpr size_t kFanOut = 16;
    std::array<unsigned, kLevels> shift_ = {4, 8, 12};  // log2 of the sizes
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
    mutable std::array<std::vector<Block>, kLevels> blocks_;
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
