#include "monitor/TrendChart.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

#include "ReplyFrames.h"
#include "SelectionFile.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "monitor/MonitoringArea.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/DecimatedSeries.h"
#include "widgets/GradientLabel.h"

using namespace zr410;

namespace {

class ChartWindow : public TestMainWindow {
public:
    QColor nextColor;
    QColor PickColor(const QColor&) override { return nextColor; }
};

// A main window with device 4 as its connected edit device, fed status replies directly.
class TrendTick : public ::testing::Test {
protected:
    TrendTick() {
        folder.write("CFG/SetMulti.INI", SelectionFileServing({4}));
        window = std::make_unique<ChartWindow>();
        window->DisplayTimer().stop();
        window->State().DeviceConnected[0] = true;
        chart = window->Chart();
    }

    void status(bool run, int mold = 853, int unit = 0) {
        std::vector<int> v(32, 0);
        v[0] = unit;
        v[1] = 1;
        v[2] = mold;
        v[6] = 125;
        v[7] = run ? 0x1001 : 0x1000;
        window->Decoders().DecodeStatusBlock(0, replies::read(4, v));
    }

    TempProgramFolder folder;
    std::unique_ptr<ChartWindow> window;
    TrendChart* chart = nullptr;
};

}  // namespace

TEST_F(TrendTick, StartsWithTenZeroPointsAndTheDesignTitles) {
    EXPECT_EQ(chart->pointCount(), 10);
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(chart->value(0, p), 0.0);
        EXPECT_TRUE(chart->label(p).isEmpty());
    }
    EXPECT_EQ(chart->axisTitle(0), "온도(℃)");
    EXPECT_EQ(chart->axisTitle(1), "압력");
    EXPECT_EQ(chart->axisTitle(2), "시간");
    EXPECT_EQ(chart->legend(0), "금형온도");
    EXPECT_EQ(chart->legend(4), "압력");
    EXPECT_TRUE(chart->is3D());
    EXPECT_FALSE(chart->scrollBarVisible());
    // Stopped controller: the frame never changes.
    status(false);
    window->tmrDispGraph_Timer();
    EXPECT_EQ(chart->pointCount(), 10);
}

TEST_F(TrendTick, FirstRunningTickDrawsTwoEqualPointsOneSecondApart) {
    status(true);
    window->tmrDispGraph_Timer();
    EXPECT_EQ(window->Sampler().ChartPointCount, 1);
    ASSERT_EQ(chart->pointCount(), 2);
    EXPECT_DOUBLE_EQ(chart->value(0, 0), 85.3);
    EXPECT_DOUBLE_EQ(chart->value(0, 1), 85.3);
    EXPECT_DOUBLE_EQ(chart->value(4, 1), 1.25);
    const QTime first = QTime::fromString(chart->label(0), "HH:mm:ss");
    const QTime second = QTime::fromString(chart->label(1), "HH:mm:ss");
    ASSERT_TRUE(first.isValid() && second.isValid());
    EXPECT_EQ((first.secsTo(second) + 86400) % 86400, 1);

    status(true, 900);
    window->tmrDispGraph_Timer();
    EXPECT_EQ(chart->pointCount(), 3);
    EXPECT_DOUBLE_EQ(chart->key(2), 2.0);
    EXPECT_DOUBLE_EQ(chart->value(0, 2), 90.0);
}

TEST_F(TrendTick, StopResetsTheCountAndLostConnectionKeepsIt) {
    status(true);
    window->tmrDispGraph_Timer();
    window->tmrDispGraph_Timer();
    EXPECT_EQ(window->Sampler().ChartPointCount, 2);
    window->State().DeviceConnected[0] = false;
    window->tmrDispGraph_Timer();
    EXPECT_EQ(window->Sampler().ChartPointCount, 2);
    EXPECT_EQ(chart->pointCount(), 3);
    window->State().DeviceConnected[0] = true;
    status(false);
    window->tmrDispGraph_Timer();
    EXPECT_EQ(window->Sampler().ChartPointCount, 0);
    EXPECT_EQ(chart->pointCount(), 3);  // unchanged until the next run starts
    status(true);
    window->tmrDispGraph_Timer();
    EXPECT_EQ(chart->pointCount(), 2);
}

TEST_F(TrendTick, SamplingPeriodBoxIsClampedAndFractionsAreKeptInMilliseconds) {
    CommitLineEdit* box = window->Monitor()->txtDispTime();
    box->setText("0");
    EXPECT_EQ(box->text(), "1");
    box->setText("75");
    EXPECT_EQ(box->text(), "60");
    box->setText("2.5");
    EXPECT_EQ(box->text(), "2.5");
    EXPECT_EQ(window->DisplayTimer().interval(), 1000);  // not before the entry is confirmed
    emit box->committed(box->text());
    EXPECT_EQ(window->DisplayTimer().interval(), 2500);
}

TEST_F(TrendTick, ChosenColourAppliesAtTheNextTickAndCancelChangesNothing) {
    window->nextColor = QColor(Qt::blue);
    emit window->Monitor()->picGcolor(4)->clicked();
    EXPECT_EQ(window->Monitor()->picGcolor(4)->color(), QColor(Qt::blue));
    EXPECT_EQ(chart->seriesColour(4), QColor(Qt::black));
    window->tmrDispGraph_Timer();  // also while the controller is stopped
    EXPECT_EQ(chart->seriesColour(4), QColor(Qt::blue));
    window->nextColor = QColor();
    emit window->Monitor()->picGcolor(4)->clicked();
    EXPECT_EQ(window->Monitor()->picGcolor(4)->color(), QColor(Qt::blue));
}

TEST_F(TrendTick, FahrenheitControllerRetitlesTheTemperatureAxis) {
    status(false, 853, 1);
    EXPECT_EQ(chart->axisTitle(0), "온도(℉)");
}

TEST_F(TrendTick, ViewSwitchesFollowTheirBoxes) {
    window->Monitor()->chbScroll()->setChecked(true);
    EXPECT_TRUE(chart->scrollBarVisible());
    window->Monitor()->chb3D()->setChecked(false);
    EXPECT_FALSE(chart->is3D());
}

TEST(TrendChartMemory, LongRunsThinTheOlderHalfAndKeepRecentPointsWhole) {
    TrendChart chart;
    chart.SetPointCap(1000);
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int n = 1; n <= 1500; ++n) {
        chart.AppendTrendPoint(n, {double(n), 0, 0, 0, 0}, start.addSecs(n));
    }
    EXPECT_LE(chart.pointCount(), 1000);
    EXPECT_GT(chart.pointCount(), 700);
    const int last = chart.pointCount() - 1;
    EXPECT_DOUBLE_EQ(chart.key(last), 1500.0);
    EXPECT_DOUBLE_EQ(chart.value(0, last), 1500.0);
    EXPECT_DOUBLE_EQ(chart.key(last - 1), 1499.0);  // recent points are all there
    EXPECT_EQ(chart.label(last), start.addSecs(1500).toString("HH:mm:ss"));
    for (int p = 1; p <= last; ++p) {
        ASSERT_LT(chart.key(p - 1), chart.key(p));  // keys stay sorted
    }
}

TEST(TrendChartMemory, ThinningPreparedAheadGivesWhatThinningInPlaceGives) {
    // One chart redrawn as a live one is, so its worker prepares each thinning in the idle
    // time after a redraw; its twin is never redrawn and thins in place at the cap.
    TrendChart ahead;
    TrendChart inPlace;
    for (TrendChart* chart : {&ahead, &inPlace}) {
        chart->SetPointCap(1000);
        chart->plot()->setViewport(QRect(0, 0, 800, 400));
    }
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int n = 1; n <= 2600; ++n) {
        const double t = n / 37.0;
        const std::array<double, TrendChart::kSeriesCount> values = {
            80 + 5 * std::sin(t), 60.0 + n % 13, 40 - std::cos(t * 3), 30.0 + (n % 97 == 0), 2.5};
        ahead.AppendTrendPoint(n, values, start.addSecs(n));
        inPlace.AppendTrendPoint(n, values, start.addSecs(n));
        if (n % 25 == 0) {
            ahead.plot()->replot(QCustomPlot::rpImmediateRefresh);
            QCoreApplication::processEvents();
        }
    }
    EXPECT_GE(ahead.thinningsPrepared(), 3);
    EXPECT_EQ(inPlace.thinningsPrepared(), 0);
    ASSERT_EQ(ahead.pointCount(), inPlace.pointCount());
    for (int p = 0; p < ahead.pointCount(); ++p) {
        ASSERT_EQ(ahead.key(p), inPlace.key(p)) << p;
        ASSERT_EQ(ahead.label(p), inPlace.label(p)) << p;
        for (int s = 0; s < TrendChart::kSeriesCount; ++s) {
            ASSERT_EQ(ahead.value(s, p), inPlace.value(s, p)) << s << " " << p;
        }
    }
    // The same picture: axes, and every line from the blocks each chart keeps.
    inPlace.plot()->replot(QCustomPlot::rpImmediateRefresh);
    ahead.plot()->replot(QCustomPlot::rpImmediateRefresh);
    EXPECT_EQ(ahead.plot()->yAxis->range(), inPlace.plot()->yAxis->range());
    EXPECT_EQ(ahead.plot()->yAxis2->range(), inPlace.plot()->yAxis2->range());
    for (int s = 0; s < TrendChart::kSeriesCount; ++s) {
        EXPECT_EQ(ahead.series(s)->visiblePolyline(), inPlace.series(s)->visiblePolyline()) << s;
        const auto n = static_cast<size_t>(ahead.pointCount());
        EXPECT_EQ(ahead.series(s)->extremes(0, n), inPlace.series(s)->extremes(0, n)) << s;
    }
}

TEST(TrendChartMemory, ANewRunWhileAThinningIsPreparedStartsCleanAndThinsAgain) {
    TrendChart chart;
    chart.SetPointCap(2000);
    chart.plot()->setViewport(QRect(0, 0, 800, 400));
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    const auto run = [&](int samples, double level) {
        for (int n = 1; n <= samples; ++n) {
            chart.AppendTrendPoint(n, {level, level, level, level, 1}, start.addSecs(n));
            chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
            QCoreApplication::processEvents();
        }
    };
    run(1900, 50);  // the worker has been started on the first run's arrays
    chart.ResetTrendChart();
    run(2500, 70);  // a new run; nothing of the first survives its thinning
    EXPECT_GE(chart.thinningsPrepared(), 1);
    EXPECT_LE(chart.pointCount(), 2000);
    for (int p = 0; p < chart.pointCount(); ++p) {
        ASSERT_EQ(chart.value(0, p), 70.0) << p;
    }
    EXPECT_EQ(chart.key(chart.pointCount() - 1), 2500.0);
}

TEST_F(TrendTick, OnlyExistingPointsAreLabelledAndTheLegendHidesNoSample) {
    status(true);
    for (int tick = 0; tick < 3; ++tick) {
        window->tmrDispGraph_Timer();
    }
    chart->plot()->setViewport(QRect(0, 0, 800, 400));  // the window is never shown here
    chart->plot()->replot(QCustomPlot::rpImmediateRefresh);
    ASSERT_EQ(chart->pointCount(), 4);
    // The axis runs on to the frame's width; past the last sample no tick shows a time.
    const QVector<double> ticks = chart->plot()->xAxis->tickVector();
    const QVector<QString> labels = chart->plot()->xAxis->tickVectorLabels();
    ASSERT_GT(ticks.size(), 4);
    QStringList shown;
    for (int i = 0; i < ticks.size(); ++i) {
        if (ticks[i] > chart->key(3) + 0.5) {
            EXPECT_TRUE(labels[i].isEmpty()) << ticks[i];
        } else if (!labels[i].isEmpty()) {
            shown << labels[i];
        }
    }
    const qsizetype labelled = shown.size();
    shown.removeDuplicates();
    EXPECT_GE(labelled, 2);
    EXPECT_EQ(shown.size(), labelled);  // no time twice
    // The legend lies outside the plotted area, so it covers no sample anywhere.
    const QRect legend = chart->plot()->legend->outerRect();
    EXPECT_FALSE(legend.intersects(chart->plot()->axisRect()->rect()));
    EXPECT_TRUE(chart->plot()->legend->visible());
}
