// Trend chart tick cost: one append plus an immediate redraw, with the chart already holding
// a long run. Prints mean and worst tick times for each size, with 3D on and off.
//
//   QT_QPA_PLATFORM=offscreen trend_chart_bench [ticks [points]]

#include <qcustomplot.h>
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "monitor/TrendChart.h"

using namespace zr410;

namespace {

std::array<double, TrendChart::kSeriesCount> sample(int n) {
    const double t = n / 600.0;
    return {80 + 5 * std::sin(t), 78 + 4 * std::sin(t + 0.3), 70 + 3 * std::cos(t),
            30 + std::sin(t * 3), 2.5 + 0.2 * std::sin(t * 7)};
}

void measure(int points, bool depth, bool scroll, int ticks) {
    TrendChart chart;
    chart.resize(1000, 420);
    chart.show();
    chart.set3D(depth);
    chart.setScrollBarVisible(scroll);
    // UTC keeps the setup of half a million points quick; a live chart adds one a second.
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int n = 1; n <= points; ++n) {
        chart.AppendTrendPoint(n, sample(n), start.addSecs(n));
    }
    chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
    double total = 0;
    double worst = 0;
    double atCap = 0;  // the tick whose sample reached the cap
    for (int i = 1; i <= ticks; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.AppendTrendPoint(points + i, sample(points + i), start.addSecs(points + i));
        chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        worst = std::max(worst, ms);
        if (points + i == TrendChart::kPointCap) {
            atCap = ms;
        }
        // Untimed, as between two samples: the chart's idle work after a redraw runs here.
        QCoreApplication::processEvents();
    }
    std::printf("%8d points per series, 3D %-3s scroll %-3s: tick mean %6.2f ms, worst %6.2f ms",
                points, depth ? "on" : "off", scroll ? "on" : "off", total / ticks, worst);
    if (atCap > 0) {
        std::printf(", at the cap %6.2f ms", atCap);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // A second argument measures that one size alone (with 3D on), for a profiler.
    if (argc > 2) {
        measure(std::max(10, std::atoi(argv[2])), true, false, ticks);
        return 0;
    }
    for (int points : {86400, 500000}) {
        for (bool depth : {true, false}) {
            measure(points, depth, false, ticks);
        }
        measure(points, true, true, ticks);
    }
    // Ticks from before the 700,000-point cap to past it, so the worst tick includes the
    // thinning of the older half, which the chart prepares on a worker thread meanwhile.
    const int before = 1100;
    for (bool depth : {true, false}) {
        measure(TrendChart::kPointCap - before, depth, false, before + ticks);
    }
    measure(TrendChart::kPointCap - before, true, true, before + ticks);
    return 0;
}
