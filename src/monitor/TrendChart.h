#pragma once

#include <QDateTime>

#include <array>
#include <future>
#include <memory>
#include <vector>

#include "widgets/ChartBase.h"

namespace zr410 {

class TimeLabelTicker;

// The real-time trend of the edit device's five values: four temperatures on the left axis,
// pressure on the right one, each point labelled with the PC's time of its sample.
//
// A run keeps every point up to kPointCap (more than eight days at one sample a second), then
// the older half is thinned to every second point, so a controller left running for weeks
// never exhausts memory and recent history keeps its full resolution. The thinned arrays and
// their block extremes are prepared on a worker thread shortly before the cap is reached, so
// the sample that reaches it costs little more than any other; a chart that is never redrawn
// thins in place instead, to the same result.
class TrendChart : public ChartBase {
    Q_OBJECT

public:
    static constexpr int kSeriesCount = 5;
    static constexpr int kResetPoints = 10;
    static constexpr int kPointCap = 700000;
    static constexpr int kScrollWindow = 300;

    explicit TrendChart(QWidget* parent = nullptr);
    ~TrendChart() override;

    // Legends, the pressure series on the right axis and the three axis titles.
    void SetupTrendChart();
    // Ten zero points in every series, ready for a new run.
    void ResetTrendChart();
    // Appends sample n (n >= 1); sample 1 also writes point 0, a copy labelled one second
    // earlier, so the first sample already draws a line.
    void AppendTrendPoint(int n, const std::array<double, kSeriesCount>& values,
                          const QDateTime& now);

    // The cap is a constant of the program; tests lower it to exercise the thinning.
    void SetPointCap(int cap);

    void setTemperatureUnit(const QString& unitText);

    // What is drawn, for tests and benchmarks.
    int pointCount() const;
    double value(int series, int point) const;
    double key(int point) const;
    QString label(int point) const;
    QString axisTitle(int axis) const;  // 0 left, 1 right, 2 bottom
    QString legend(int series) const;
    // Thinnings done with arrays a worker prepared ahead, rather than in place.
    int thinningsPrepared() const { return thinningsPrepared_; }

protected:
    // Each series' shade a little further out, so the five read as layers.
    QPointF depthOffset(int series) const override;
    QColor depthShade(const QColor& line) const override;
    void scrollBarShown(bool visible) override;

private:
    struct Thinned;
    // Points before the cap at which the worker starts preparing the thinned arrays.
    size_t thinningLead() const;
    void startThinning();
    void afterRedraw();
    // Waits for a prepared thinning and drops it: the arrays are about to change otherwise.
    void abandonThinning();
    void reserveToCap();
    void thinOlderHalf();
    void dataReplaced();
    void updateRange();
    void include(const std::array<double, kSeriesCount>& values);
    void recomputeValueRanges();
    void onScroll(int value);

    QCustomPlot* ChartFX1 = nullptr;
    TimeLabelTicker* ticker_ = nullptr;
    std::vector<double> keys_;
    std::array<std::vector<double>, kSeriesCount> values_;
    std::vector<qint64> times_;  // ms since the epoch, one per point; 0 for the reset frame
    // Value spans of the points held, kept as points arrive so no tick rescans the data.
    double temperatureLow_ = 0.0;
    double temperatureHigh_ = 0.0;
    double pressureLow_ = 0.0;
    double pressureHigh_ = 0.0;
    int cap_ = kPointCap;
    bool following_ = true;
    int thinningsPrepared_ = 0;
    bool thinningDue_ = false;  // the cap is near: the worker starts after the next redraw
    std::future<std::unique_ptr<Thinned>> thinning_;
    std::unique_ptr<Thinned> prepared_;  // what the worker made, waiting for the cap
    std::unique_ptr<Thinned> retired_;   // what the last thinning replaced, to be freed
    std::future<void> disposal_;         // ... on another thread, after the next redraw
};

}  // namespace zr410
