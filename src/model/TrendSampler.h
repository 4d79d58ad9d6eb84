#pragma once

#include <QColor>

#include <array>
#include <optional>

namespace zr410 {

struct SharedState;
class ValueTable;

// What the trend chart samples at each display tick: the five measured values of the edit
// device while it runs (its own RUN bit, the same flag the data logger goes by) and answers
// the poll, and the colours of the five series. A device that stops running ends its chart
// run; the next sample after that, or after the edit device changes, starts a new chart.
class TrendSampler {
public:
    static constexpr int kSeriesCount = 5;

    struct Sample {
        bool startsNewChart = false;
        int point = 0;  // 1, 2, ... within the chart run
        std::array<double, kSeriesCount> values{};
    };

    static QColor DefaultColor(int series);

    // One display tick; nothing when the edit device is not running or not answering.
    std::optional<Sample> Tick(const SharedState& state, const ValueTable& table);
    // The next sample starts a new chart (edit device changed, port opened).
    void Restart() { ChartPointCount = 0; }

    QColor SeriesColor(int series) const { return colors_.at(static_cast<size_t>(series)); }
    void SetSeriesColor(int series, const QColor& color) {
        colors_.at(static_cast<size_t>(series)) = color;
    }

    // Samples taken in the current chart run.
    int ChartPointCount = 0;

private:
    std::array<QColor, kSeriesCount> colors_{DefaultColor(0), DefaultColor(1), DefaultColor(2),
                                             DefaultColor(3), DefaultColor(4)};
};

}  // namespace zr410
