#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>

#include <vector>

class QCustomPlot;
class QScrollBar;

namespace zr410 {

class DecimatedSeries;

// What the monitor's trend chart and the viewer's file chart share: the plot with a horizontal
// scroll bar under it, the legend in a row of its own above the plot (inside it, any corner
// hides the points drawn there), one DecimatedSeries per line with one of them on the right
// axis, series colours, and the depth look. Each chart decides what its keys are, how its
// axes follow the data and what the scroll bar scrolls over.
class ChartBase : public QWidget {
    Q_OBJECT

public:
    ~ChartBase() override;

    QCustomPlot* plot() const { return plot_; }
    int seriesCount() const { return static_cast<int>(series_.size()); }
    DecimatedSeries* series(int series) const;

    QColor seriesColour(int series) const;
    // The line keeps its width; its shade follows the new colour.
    void setSeriesColour(int series, const QColor& colour);

    bool is3D() const { return depth_; }
    void set3D(bool on);

    bool scrollBarVisible() const;
    void setScrollBarVisible(bool visible);

    // A redraw at the next turn of the event loop; several requests make one redraw.
    void replotSoon();

protected:
    // The chart with `count` series, `rightAxisSeries` on the right axis, and the legend in
    // row `legendRow` of the plot layout (rows above it are the chart's own, such as a title).
    ChartBase(int count, int rightAxisSeries, int legendRow, QWidget* parent);

    QScrollBar* scrollBar() const { return scrollBar_; }
    void applyDepth(int series);

    // Where and in what colour a series' shade lies in the depth look.
    virtual QPointF depthOffset(int series) const;
    virtual QColor depthShade(const QColor& line) const;
    // The depth look was switched (a chart may change more than the lines).
    virtual void depthChanged(bool) {}
    // The scroll bar was shown or hidden: the chart sets its range and position.
    virtual void scrollBarShown(bool) {}

private:
    QCustomPlot* plot_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    std::vector<DecimatedSeries*> series_;
    bool depth_ = false;
};

}  // namespace zr410
