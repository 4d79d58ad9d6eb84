// The one decimating line of both charts: the picture a redraw reduces to must be the picture
// every point would draw, at the edges of the plot as in its middle, and the kept block
// extremes must never fall behind the arrays they summarize.
#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "widgets/DecimatedSeries.h"

using zr410::DecimatedSeries;

namespace {

struct Plot : ::testing::Test {
    Plot() {
        plot.resize(800, 400);
        plot.yAxis->setRange(-1000, 1000);
    }
    DecimatedSeries* add(const std::vector<double>* keys, const std::vector<double>* values) {
        auto* series = new DecimatedSeries(plot.xAxis, plot.yAxis);
        series->setData(keys, values);
        return series;
    }
    double y(double value) const { return plot.yAxis->coordToPixel(value); }
    QCustomPlot plot;
};

std::pair<double, double> Span(const QVector<QPointF>& line) {
    double top = 1e18;
    double bottom = -1e18;
    for (const QPointF& p : line) {
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return {top, bottom};
}

}  // namespace

TEST_F(Plot, DenseLineKeepsEveryPeakIncludingThoseInTheFirstAndLastPixelColumn) {
    std::vector<double> values(200000);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = 100 * std::sin(static_cast<double>(i) / 50.0);
    }
    values[0] = 900;                   // the first point
    values[12345] = 500;               // a spike in the middle
    values[77777] = -300;              // a dip
    values[values.size() - 1] = -800;  // the last point
    DecimatedSeries* series = add(nullptr, &values);
    plot.xAxis->setRange(0, static_cast<double>(values.size() - 1));
    plot.replot();

    bool reduced = false;
    QVector<QPointF> means;
    const QVector<QPointF> line = series->visiblePolyline(&reduced, &means);
    ASSERT_TRUE(reduced);
    const int width = plot.axisRect()->width();
    EXPECT_LE(line.size(), 2 * width + 4);
    EXPECT_GE(means.size(), width - 1);
    const auto [top, bottom] = Span(line);
    EXPECT_DOUBLE_EQ(top, y(900));
    EXPECT_DOUBLE_EQ(bottom, y(-800));
    EXPECT_TRUE(std::any_of(line.begin(), line.end(), [&](QPointF p) { return p.y() == y(500); }));
    EXPECT_TRUE(std::any_of(line.begin(), line.end(), [&](QPointF p) { return p.y() == y(-300); }));
    for (qsizetype i = 1; i < line.size(); ++i) {
        ASSERT_LE(line[i - 1].x(), line[i].x()) << "left to right, never back";
    }
}

TEST_F(Plot, OnePointAndAZoomToAFractionOfAPointStillDraw) {
    std::vector<double> one = {42.0};
    DecimatedSeries* single = add(nullptr, &one);
    plot.xAxis->setRange(-0.5, 0.5);
    plot.replot();
    QVector<QPointF> line = single->visiblePolyline();
    ASSERT_EQ(line.size(), 1);
    EXPECT_DOUBLE_EQ(line[0].y(), y(42));

    // Zoomed in between two points of a keyed series: the two neighbours are drawn, so the
    // line crosses the plot instead of vanishing.
    std::vector<double> keys = {0, 10, 20, 30};
    std::vector<double> values = {1, 2, 3, 4};
    DecimatedSeries* keyed = add(&keys, &values);
    plot.xAxis->setRange(12.25, 12.5);
    plot.replot();
    line = keyed->visiblePolyline();
    ASSERT_EQ(line.size(), 2);
    EXPECT_DOUBLE_EQ(line[0].y(), y(2));
    EXPECT_DOUBLE_EQ(line[1].y(), y(3));
    EXPECT_LT(line[0].x(), plot.axisRect()->left());
    EXPECT_GT(line[1].x(), plot.axisRect()->right());
}

TEST_F(Plot, DenseColumnsMoveAPointAtMostOneColumnBackAndInventNothing) {
    // Keys as the trend has them after a thinning: the older part every second sample.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> noise(-300, 300);
    std::vector<double> keys;
    std::vector<double> values;
    for (int k = 0; k < 400000; k += k < 200000 ? 2 : 1) {
        keys.push_back(k);
        values.push_back(noise(random) + (k % 7919 == 0 ? 650 : 0));  // lone spikes
    }
    DecimatedSeries* series = add(&keys, &values);
    plot.xAxis->setRange(keys.front(), keys.back());
    plot.replot();
    bool reduced = false;
    const QVector<QPointF> line = series->visiblePolyline(&reduced);
    ASSERT_TRUE(reduced);
    // Pixel spans per column: of the points that fall in it, and of what was drawn there.
    std::map<int, std::pair<double, double>> exact;
    std::map<int, std::pair<double, double>> drawn;
    const auto widen = [](auto& spans, int column, double at) {
        auto [it, fresh] = spans.try_emplace(column, at, at);
        it->second = {std::min(it->second.first, at), std::max(it->second.second, at)};
    };
    for (size_t i = 0; i < keys.size(); ++i) {
        widen(exact, static_cast<int>(std::floor(plot.xAxis->coordToPixel(keys[i]))), y(values[i]));
    }
    for (const QPointF& p : line) {
        widen(drawn, static_cast<int>(std::floor(p.x())), p.y());
    }
    const auto spanOf = [](const auto& spans, int from, int to) {
        std::pair<double, double> span{1e18, -1e18};
        for (int c = from; c <= to; ++c) {
            if (auto it = spans.find(c); it != spans.end()) {
                span = {std::min(span.first, it->second.first),
                        std::max(span.second, it->second.second)};
            }
        }
        return span;
    };
    for (const auto& [column, span] : drawn) {
        const auto source = spanOf(exact, column, column + 1);
        ASSERT_GE(span.first, source.first) << column;
        ASSERT_LE(span.second, source.second) << column;
    }
    for (const auto& [column, span] : exact) {
        const auto shown = spanOf(drawn, column - 1, column);
        ASSERT_LE(shown.first, span.first) << column;
        ASSERT_GE(shown.second, span.second) << column;
    }
}

TEST_F(Plot, KeptExtremesFollowAppendsAndAReplacementAsAFullScanWould) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-100, 100);
    std::vector<double> keys;
    std::vector<double> values;
    DecimatedSeries* series = add(&keys, &values);
    std::uniform_int_distribution<size_t> anywhere(0, 1 << 20);
    const auto check = [&](const char* when) {
        // Fixed edges around the kept block sizes, and random ranges of every length.
        std::vector<std::pair<size_t, size_t>> ranges;
        for (size_t first : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(255),
                             size_t(4095), size_t(4097)}) {
            for (size_t length :
                 {size_t(1), size_t(17), size_t(300), size_t(5000), values.size()}) {
                ranges.emplace_back(first, std::min(values.size(), first + length));
            }
        }
        for (int r = 0; r < 40; ++r) {
            const size_t a = anywhere(random) % values.size();
            const size_t b = anywhere(random) % values.size();
            ranges.emplace_back(std::min(a, b), std::max(a, b) + 1);
        }
        for (const auto& [first, last] : ranges) {
            if (first >= last) {
                continue;
            }
            const auto [low, high] = series->extremes(first, last);
            const auto expected =
                std::minmax_element(values.begin() + first, values.begin() + last);
            ASSERT_EQ(low, size_t(expected.first - values.begin())) << when << " " << first;
            ASSERT_EQ(high, size_t(expected.second - values.begin())) << when << " " << first;
        }
    };
    for (int round = 0; round < 100; ++round) {
        for (int k = 0; k < 97; ++k) {  // appends that end inside a block
            keys.push_back(static_cast<double>(keys.size()));
            values.push_back(std::round(noise(random)));  // ties, to check which one is kept
        }
        if (round % 10 == 0 || round == 99) {
            check("after appends");
        }
    }
    // The chart's cap thins the older half in place; the series is told.
    std::vector<double> thinned;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i >= values.size() / 2 || i % 2 == 0) {
            thinned.push_back(values[i] + 1000);
        }
    }
    values = thinned;
    keys.resize(values.size());
    series->dataReplaced();
    check("after thinning");
    // A replacement handed over with a summary worked out apart (the trend's worker does so),
    // then points appended beyond what it covers.
    std::vector<double> prepared(values.rbegin(), values.rend());
    DecimatedSeries::Summary summary =
        DecimatedSeries::Summarize(prepared.data(), prepared.size() - 50, 4, 0);
    values = prepared;
    series->adoptSummary(summary);
    for (int k = 0; k < 300; ++k) {
        keys.push_back(static_cast<double>(keys.size()));
        values.push_back(std::round(noise(random)) * 3);
    }
    check("after adopting a summary");
    // A summary made with other block sizes is not taken, stale as it is here.
    DecimatedSeries::Summary stale =
        DecimatedSeries::Summarize(prepared.data(), prepared.size(), 8, 0);
    series->adoptSummary(stale);
    check("after refusing a summary");
    // A shorter array is noticed even without being told.
    values.resize(100);
    keys.resize(100);
    for (double& v : values) {
        v = -v;
    }
    series->dataReplaced();
    check("after a replacement");
}

TEST_F(Plot, PackedValuesDrawAndFindExtremesExactlyAsTheirDoublesDo) {
    // A file's column kept as packed integers (with and without an outlier among them), with
    // the coarser blocks the viewer keeps, against the same values as doubles.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> tenths(-2000, 2000);
    for (const bool outlier : {false, true}) {
        zr410::ValueColumn packed(1);
        std::vector<double> doubles;
        for (int i = 0; i < 300'000; ++i) {
            const double v = i == 123'457 && outlier ? 1234.56 : tenths(random) / 10.0;
            packed.push_back(v);
            doubles.push_back(v);
        }
        ASSERT_TRUE(packed.packed());
        ASSERT_EQ(packed.hasOutliers(), outlier);
        auto* fromPacked = new DecimatedSeries(plot.xAxis, plot.yAxis);
        fromPacked->setFinestBlock(8);
        fromPacked->setData(&packed);
        DecimatedSeries* fromDoubles = add(nullptr, &doubles);
        std::uniform_int_distribution<size_t> anywhere(0, doubles.size() - 1);
        for (int r = 0; r < 200; ++r) {
            const size_t a = anywhere(random);
            const size_t b = r % 2 ? anywhere(random) : a + static_cast<size_t>(r) * 7 % 700;
            const size_t first = std::min(a, b);
            const size_t last = std::min(doubles.size(), std::max(a, b) + 1);
            const auto expected =
                std::minmax_element(doubles.begin() + first, doubles.begin() + last);
            const auto [low, high] = fromPacked->extremes(first, last);
            ASSERT_EQ(low, size_t(expected.first - doubles.begin())) << first << ".." << last;
            ASSERT_EQ(high, size_t(expected.second - doubles.begin())) << first << ".." << last;
        }
        for (const auto& [lower, upper] : std::vector<std::pair<double, double>>{
                 {-0.5, 299'999.5}, {1000.3, 91'000.7}, {123'000, 124'500}, {5.2, 900.9}}) {
            plot.xAxis->setRange(lower, upper);
            bool reducedPacked = false;
            bool reducedDoubles = false;
            QVector<QPointF> meansPacked;
            QVector<QPointF> meansDoubles;
            EXPECT_EQ(fromPacked->visiblePolyline(&reducedPacked, &meansPacked),
                      fromDoubles->visiblePolyline(&reducedDoubles, &meansDoubles))
                << lower;
            EXPECT_EQ(reducedPacked, reducedDoubles);
            ASSERT_EQ(meansPacked.size(), meansDoubles.size());
            for (qsizetype i = 0; i < meansPacked.size(); ++i) {
                EXPECT_NEAR(meansPacked[i].y(), meansDoubles[i].y(), 1e-6) << lower << " " << i;
            }
        }
        plot.removePlottable(fromPacked);
        plot.removePlottable(fromDoubles);
    }
}
