#pragma once

#include <qcustomplot.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace zr410 {

// One line of the trend chart, drawn straight from the chart's arrays. Each redraw reduces the
// visible points to the lowest and highest value of every pixel column, so a run
// of half a million points draws about as fast as a screenful and looks the same. With the
// depth look, a shaded copy of the same polyline is drawn a few pixels behind the line.
class TrendSeries : public QCPAbstractPlottable {
public:
    TrendSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, const std::vector<double>& keys,
                const std::vector<double>& values);

    void setDepth(bool on, QPointF offset, const QPen& shade);
    // The arrays were replaced or thinned, not only appended to: the block extremes are built
    // again at the next draw.
    void valuesReplaced() { summarized_ = 0; }

    // The polyline in pixels for the current axis ranges, as draw() paints it.
    QVector<QPointF> visiblePolyline() const;

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
    // Index of the first lowest and the last highest value of values_[first, last), the same
    // two minmax_element finds, taking whole blocks from their kept extremes.
    std::pair<size_t, size_t> extremes(size_t first, size_t last) const;
    void summarize() const;

    // Extremes of each run of kBlock values, kept up to date as points are appended, so a
    // pixel column of a long history costs its blocks, not its points: a redraw no longer
    // grows with the history.
    static constexpr size_t kBlock = 64;
    struct Block {
        std::uint32_t low;
        std::uint32_t high;
    };
    mutable std::vector<Block> blocks_;
    mutable size_t summarized_ = 0;  // values covered by blocks_

    const std::vector<double>& keys_;
    const std::vector<double>& values_;
    bool depth_ = false;
    QPointF offset_;
    QPen shade_;
};

}  // namespace zr410
