#pragma once

#include <QColor>
#include <QSharedPointer>

#include <array>
#include <memory>
#include <utility>

#include "logging/DataFile.h"
#include "widgets/ChartBase.h"

class QCPItemRect;
class QCPRange;
class QCPTextElement;

namespace zr410 {

class IndexLabelTicker;

// The viewer's chart `ChartFX1`: six series over the records of one file, pressure on the
// secondary (right) axis, the record times as X labels, and the switches of the set-up panel.
class ChartView : public ChartBase {
    Q_OBJECT

public:
    static constexpr int kSeriesCount = kDataSeriesCount;
    // Files this short get room at the ends and markers on their points.
    static constexpr int kFewPoints = 20;
    static constexpr int kPressureSeries = 4;
    static constexpr int kZeroFramePoints = 300;

    // Title slots: 0 primary Y axis, 1 secondary Y axis, 2 chart title, 3 X axis.
    enum TitleSlot { LeftAxisTitle = 0, RightAxisTitle = 1, ChartTitle = 2, BottomAxisTitle = 3 };

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    static const std::array<QString, kSeriesCount>& SeriesNames();
    static const std::array<QColor, kSeriesCount>& DefaultColours();

    // 6 series x 300 zero points with blank labels.
    void ClearChart();
    // Series names, pressure on the secondary axis, the three fixed titles.
    void SetupChartSeries();
    // The one hand-over of a loaded file: shared, not copied. Shows the whole file.
    void setContents(std::shared_ptr<const DataFileContents> contents);
    // The shared contents gained records after `previousCount` (a followed file grew). A view
    // that showed the last record moves on with the new ones, keeping its width; the value
    // axes widen to new extremes unless the operator set their limits.
    void contentsGrew(qsizetype previousCount);
    const std::shared_ptr<const DataFileContents>& contents() const { return contents_; }
    bool showsZeroFrame() const { return zeroFrame_; }

    bool isSeriesVisible(int series) const;
    void setSeriesVisible(int series, bool visible);
    QString seriesName(int series) const;

    QString titleText(int slot) const;
    void setTitleText(int slot, const QString& text);

    // Axis 0 primary, 1 secondary. Both ends are applied as given, in either order: an
    // inverted pair is drawn lowest to highest. Only a pair that leaves no range (equal ends,
    // or an end that is not a finite number) is refused, the axis keeping its range; returns
    // whether it applied.
    bool setAxisLimits(int axis, double minimum, double maximum);
    double axisMinimum(int axis) const;
    double axisMaximum(int axis) const;
    double xMinimum() const;
    double xMaximum() const;
    void setXRange(double lower, double upper);

    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int width);
    bool zoomEnabled() const;
    void setZoomEnabled(bool on);
    bool borderEnabled() const;
    void setBorderEnabled(bool on);
    QColor borderColour() const { return borderColour_; }
    void setBorderColour(const QColor& colour);

    // Back to the whole file along X, keeping the Y limits.
    void showWholeFile();

protected:
    // The 3D look also shades the plot's back wall.
    void depthChanged(bool on) override;
    void scrollBarShown(bool visible) override;

private:
    void rescaleValueAxes();
    void rebuildLegend();
    void onXRangeChanged(const QCPRange& range);
    void onScrollBarMoved(int value);
    void syncScrollBar();
    // The key range of the whole file.
    std::pair<double, double> keyLimits() const;

    QCustomPlot* plot_ = nullptr;
    QCPTextElement* title_ = nullptr;
    QCPItemRect* border_ = nullptr;
    QSharedPointer<IndexLabelTicker> ticker_;
    std::shared_ptr<const DataFileContents> contents_;
    QColor borderColour_ = Qt::black;
    int lineWidth_ = 1;
    bool zeroFrame_ = true;
    bool clamping_ = false;
    bool limitsSet_ = false;  // the operator typed axis limits for this file
};

}  // namespace zr410
