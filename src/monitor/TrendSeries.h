#pragma once

#include <qcustomplot.h>

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
    const std::vector<double>& keys_;
    const std::vector<double>& values_;
    bool depth_ = false;
    QPointF offset_;
    QPen shade_;
};

}  // namespace zr410
