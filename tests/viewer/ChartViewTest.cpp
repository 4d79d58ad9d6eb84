// The chart: what the operator sees for a loaded file, and that the per-pixel reduction of a
// million points draws exactly the extremes that every point would.
#include <qcustomplot.h>
#include <QBuffer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "viewer/ChartReadout.h"
#include "viewer/ChartView.h"
#include "widgets/DecimatedSeries.h"

using namespace zr410;

namespace {

std::shared_ptr<DataFileContents> makeContents(qsizetype n, std::uint32_t seed = 1) {
    auto contents = std::make_shared<DataFileContents>();
    QRandomGenerator rng(seed);
    contents->minimum.fill(1e300);
    contents->maximum.fill(-1e300);
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArray time =
            QTime(0, 0).addSecs(static_cast<int>(i)).toString("HH:mm:ss").toLatin1();
        contents->stamps.append("2024-05-17", time);
        for (int s = 0; s < kDataSeriesCount; ++s) {
            const double v = s == 4 ? 1.0 + rng.generateDouble() : 20 + 60 * rng.generateDouble();
            contents->series[s].push_back(v);
            contents->minimum[s] = std::min(contents->minimum[s], v);
            contents->maximum[s] = std::max(contents->maximum[s], v);
        }
    }
    return contents;
}

std::shared_ptr<DataFileContents> threeRecords(const std::vector<QByteArray>& times,
                                               const std::vector<QByteArray>& dates = {}) {
    auto contents = makeContents(0);
    for (size_t i = 0; i < times.size(); ++i) {
        contents->stamps.append(i < dates.size() ? dates[i] : "2024-05-17", times[i]);
        for (int s = 0; s < kDataSeriesCount; ++s) {
            contents->series[s].push_back(s == 4 ? 1.25 : 80.0 + static_cast<double>(i));
        }
    }
    contents->minimum = {80, 80, 80, 80, 1.25, 80};
    contents->maximum = {82, 82, 82, 82, 1.25, 82};
    return contents;
}

class Chart : public ::testing::Test {
protected:
    Chart() {
        view.resize(900, 500);
        view.show();
        view.plot()->replot();
    }
    ChartView view;
};

}  // namespace

TEST_F(Chart, StartsAsTheZeroFrameWithNamesAndTitles) {
    EXPECT_TRUE(view.showsZeroFrame());
    for (int s = 0; s < ChartView::kSeriesCount; ++s) {
        ASSERT_EQ(view.series(s)->pointCount(), ChartView::kZeroFramePoints);
        EXPECT_EQ(view.contents()->maximum[s], 0.0);
    }
    EXPECT_EQ(view.contents()->stamps.time(0), "");
    EXPECT_EQ(view.seriesName(0), "금형온도");
    EXPECT_EQ(view.seriesName(5), "SV");
    EXPECT_EQ(view.titleText(ChartView::LeftAxisTitle), "온도(℃)");
    EXPECT_EQ(view.titleText(ChartView::RightAxisTitle), "압력");
    EXPECT_EQ(view.titleText(ChartView::BottomAxisTitle), "시간");
    EXPECT_EQ(view.titleText(ChartView::ChartTitle), "");
}

TEST_F(Chart, ThreeRecordsShowThreePointsLabelledWithTheirTimesAndEachNewDay) {
    auto contents = threeRecords({"23:59:58", "00:00:03", "00:00:08"},
                                 {"2024-05-17", "2024-05-18", "2024-05-18"});
    view.setContents(contents);
    view.plot()->replot();
    EXPECT_FALSE(view.showsZeroFrame());
    EXPECT_EQ(view.series(0)->visiblePolyline().size(), 3);
    const QVector<QString> labels = view.plot()->xAxis->tickVectorLabels();
    const QVector<double> ticks = view.plot()->xAxis->tickVector();
    std::map<double, QString> shown;
    for (int i = 0; i < ticks.size(); ++i) {
        shown[ticks[i]] = labels[i];
    }
    // The time as recorded; the date under the first label of each day, not repeated.
    EXPECT_EQ(shown[0], "23:59:58\n2024-05-17");
    EXPECT_EQ(shown[1], "00:00:03\n2024-05-18");
    EXPECT_EQ(shown[2], "00:00:08");
}

TEST_F(Chart, PressureIsDrawnAgainstTheSecondaryAxis) {
    view.setContents(threeRecords({"10:00:00", "10:00:01", "10:00:02"}));
    view.plot()->replot();
    EXPECT_EQ(view.series(4)->valueAxis(), view.plot()->yAxis2);
    EXPECT_EQ(view.series(0)->valueAxis(), view.plot()->yAxis);
    EXPECT_TRUE(view.plot()->yAxis2->range().contains(1.25));
    const QPointF first = view.series(4)->visiblePolyline().front();
    EXPECT_NEAR(first.y(), view.plot()->yAxis2->coordToPixel(1.25), 1e-9);
}

TEST_F(Chart, DecimatedLineKeepsEveryPixelColumnsExtremes) {
    const auto contents = makeContents(300'000, 7);
    view.setContents(contents);
    view.plot()->replot();
    for (const auto& [lower, upper] : {std::pair{0.0, 299'999.0}, std::pair{12'345.5, 98'765.25}}) {
        view.setXRange(lower, upper);
        view.plot()->replot();
        zr410::DecimatedSeries* series = view.series(1);
        QVector<QPointF> means;
        const QVector<QPointF> line = series->visiblePolyline(nullptr, &means);
        QCPAxis* x = view.plot()->xAxis;
        QCPAxis* y = view.plot()->yAxis;
        // Brute force: every point's pixel column and height.
        std::map<long, std::pair<double, double>> expected;
        std::map<long, std::pair<double, int>> sums;
        const auto& values = contents->series[1];
        // The visible points and one beyond each edge.
        const long first = std::max(0L, static_cast<long>(std::ceil(lower)) - 1);
        const long last =
            std::min<long>(values.size() - 1, static_cast<long>(std::floor(upper)) + 1);
        const double x0 = x->coordToPixel(0);
        const double dx = x->coordToPixel(1) - x0;
        for (long i = first; i <= last; ++i) {
            const long column = static_cast<long>(std::floor(x0 + dx * i));
            const double py = y->coordToPixel(values[i]);
            auto [it, inserted] = expected.try_emplace(column, py, py);
            it->second.first = std::min(it->second.first, py);
            it->second.second = std::max(it->second.second, py);
            sums[column].first += values[i];
            ++sums[column].second;
        }
        ASSERT_EQ(static_cast<size_t>(means.size()), sums.size());
        for (const QPointF& p : means) {
            const auto& [sum, count] = sums[static_cast<long>(std::floor(p.x()))];
            EXPECT_NEAR(p.y(), y->coordToPixel(sum / count), 1e-6);
        }
        std::map<long, std::pair<double, double>> drawn;
        for (const QPointF& p : line) {
            const long column = static_cast<long>(std::floor(p.x()));
            auto [it, inserted] = drawn.try_emplace(column, p.y(), p.y());
            it->second.first = std::min(it->second.first, p.y());
            it->second.second = std::max(it->second.second, p.y());
        }
        ASSERT_EQ(drawn.size(), expected.size());
        for (const auto& [column, range] : expected) {
            ASSERT_TRUE(drawn.count(column)) << column;
            EXPECT_DOUBLE_EQ(drawn[column].first, range.first) << column;
            EXPECT_DOUBLE_EQ(drawn[column].second, range.second) << column;
        }
        EXPECT_LE(line.size(), 2 * static_cast<qsizetype>(expected.size()));
    }
}

TEST_F(Chart, ADenseSeriesDoesNotHideTheSeriesDrawnBeforeIt) {
    // A flat series under another that swings across it in every pixel column: the swinging
    // series' envelope must not paint the flat line over.
    auto contents = makeContents(0);
    for (int i = 0; i < 200'000; ++i) {
        contents->stamps.append("2024-05-17", "00:00:00");
        for (int s = 0; s < kDataSeriesCount; ++s) {
            contents->series[s].push_back(s == 0 ? 45.0 : s == 1 ? (i % 2 ? 0.0 : 70.0) : 10.0);
        }
    }
    contents->minimum = {45, 0, 10, 10, 10, 10};
    contents->maximum = {45, 70, 10, 10, 10, 10};
    view.setContents(contents);
    view.setAxisLimits(0, 0, 100);
    view.plot()->replot();
    const QImage image = view.plot()->toPixmap().toImage();
    const QColor flat = view.seriesColour(0);
    const QColor swinging = view.seriesColour(1);
    const auto distance = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    const int x = static_cast<int>(view.plot()->xAxis->coordToPixel(100'000));
    const int y = static_cast<int>(std::lround(view.plot()->yAxis->coordToPixel(45)));
    int best = 1000;
    for (int dy = -1; dy <= 1; ++dy) {
        best = std::min(best, distance(image.pixelColor(x, y + dy), flat));
    }
    EXPECT_LT(best, distance(swinging, flat) / 2);
}

TEST_F(Chart, ZoomedInFarEnoughEveryPointIsDrawnWhereItIs) {
    const auto contents = makeContents(5000, 3);
    view.setContents(contents);
    view.setXRange(1000, 1100);
    view.plot()->replot();
    const QVector<QPointF> line = view.series(2)->visiblePolyline();
    ASSERT_EQ(line.size(), 103);  // one beyond each edge
    EXPECT_NEAR(line[1].x(), view.plot()->xAxis->coordToPixel(1000), 1e-6);
    EXPECT_NEAR(line[1].y(), view.plot()->yAxis->coordToPixel(contents->series[2][1000]), 1e-6);
}

TEST_F(Chart, PanAndZoomStayInsideTheFile) {
    view.setContents(makeContents(1000));
    view.setXRange(-500, 200);
    EXPECT_EQ(view.xMinimum(), 0.0);
    EXPECT_NEAR(view.xMaximum(), 700.0, 1e-9);
    view.setXRange(10, 10.5);
    EXPECT_GE(view.xMaximum() - view.xMinimum(), 4.0);
    view.setXRange(-1e9, 1e9);
    EXPECT_EQ(view.xMinimum(), 0.0);
    EXPECT_EQ(view.xMaximum(), 999.0);
}

TEST_F(Chart, AxisLimitsApplyInEitherOrderAndOnlyAnEmptyRangeIsRefused) {
    view.setContents(threeRecords({"a", "b", "c"}));
    ASSERT_TRUE(view.setAxisLimits(0, -10, 0));
    EXPECT_EQ(view.axisMinimum(0), -10.0);
    EXPECT_EQ(view.axisMaximum(0), 0.0);
    // An inverted pair is drawn lowest to highest, not refused.
    EXPECT_TRUE(view.setAxisLimits(0, 300, 200));
    EXPECT_EQ(view.axisMinimum(0), 200.0);
    EXPECT_EQ(view.axisMaximum(0), 300.0);
    EXPECT_FALSE(view.setAxisLimits(0, 50, 50));
    EXPECT_FALSE(view.setAxisLimits(1, 0, 1e300 * 10));
    EXPECT_EQ(view.axisMinimum(0), 200.0);
    EXPECT_EQ(view.axisMaximum(0), 300.0);
}

TEST_F(Chart, HiddenSeriesLeaveTheLegend) {
    EXPECT_EQ(view.plot()->legend->itemCount(), 6);
    view.setSeriesVisible(4, false);
    EXPECT_FALSE(view.isSeriesVisible(4));
    EXPECT_EQ(view.plot()->legend->itemCount(), 5);
    view.setSeriesVisible(4, true);
    EXPECT_EQ(view.plot()->legend->itemCount(), 6);
}

TEST(Readout, DurationsAndNumbersReadAsAnOperatorWritesThem) {
    EXPECT_EQ(DurationText(0), "00:00:00");
    EXPECT_EQ(DurationText(-5000), "-01:23:20");
    EXPECT_EQ(DurationText(2 * 86400 + 3 * 3600 + 4 * 60 + 5), "2일 03:04:05");
    EXPECT_EQ(ReadoutNumber(85.4 - 85.2), "0.2");
    EXPECT_EQ(ReadoutNumber(-0.0000001), "0");
    EXPECT_EQ(ReadoutNumber(1e6), "1000000");
    EXPECT_EQ(ReadoutNumber(std::nan("")), "--");
    // A record whose date or time is no date or time gives no difference, not a wrong one.
    auto contents = threeRecords({"10:00:00", "10:00:07", "99:00:00"});
    EXPECT_EQ(SecondsBetween(*contents, 0, 1), 7);
    EXPECT_EQ(SecondsBetween(*contents, 1, 0), -7);
    EXPECT_FALSE(SecondsBetween(*contents, 0, 2).has_value());
    EXPECT_FALSE(SecondsBetween(*contents, 0, 3).has_value());
    EXPECT_FALSE(StatisticsOver(*contents, 2, 1).has_value());
    EXPECT_EQ(StatisticsOver(*contents, -5, 99)->at(0).mean, 81.0);
}

TEST(Readout, StatisticsOfAFilesPackedValuesMatchEveryValueRead) {
    // Values as a file keeps them: packed counts of tenths, "--" read as 0, and values kept
    // aside because they do not fit (late in the file, past the lines that choose the
    // storage); any stretch, ends included.
    QByteArray bytes;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray v = i % 97 == 5 ? QByteArray("--")
                             : i > 3000 && i % 89 == 3
                                 ? QByteArray::number(50000 + i)
                                 : QByteArray::number(20 + i % 37 / 10.0, 'f', 1);
        bytes += "2024-05-17\t10:00:00\t" + v + "\t1\t2\t3\t1.25\t85.0\n";
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const DataFileContents contents = ReadDataFile(buffer).contents;
    ASSERT_TRUE(contents.series[0].hasOutliers());
    const std::vector<double> values = contents.series[0].toVector();
    for (const auto& [first, last] : std::vector<std::pair<qsizetype, qsizetype>>{
             {0, 3999}, {3, 3}, {5, 5}, {4, 300}, {3029, 3029}, {2990, 3999}, {3028, 3030}}) {
        const auto stats = StatisticsOver(contents, first, last);
        ASSERT_TRUE(stats.has_value());
        const auto begin = values.begin() + first;
        const auto end = values.begin() + last + 1;
        EXPECT_EQ(stats->at(0).minimum, *std::min_element(begin, end)) << first;
        EXPECT_EQ(stats->at(0).maximum, *std::max_element(begin, end)) << first;
        EXPECT_NEAR(stats->at(0).mean,
                    std::accumulate(begin, end, 0.0) / static_cast<double>(last - first + 1), 1e-9)
            << first;
    }
}
