#include "monitor/TrendChart.h"

#include <QScrollBar>

#include "widgets/DecimatedSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zr410 {

// The thinned arrays as they will be once the cap is reached: the older half of the first
// `half * 2` points thinned, the rest copied up to `copied`, and each series' block extremes.
struct TrendChart::Thinned {
    size_t half = 0;
    size_t copied = 0;
    std::vector<double> keys;
    std::vector<qint64> times;
    std::array<std::vector<double>, kSeriesCount> values;
    std::array<DecimatedSeries::Summary, kSeriesCount> summaries;

    // Reads a word of every page, so the redraw that first draws them finds the pages mapped
    // and their tables cached.
    void touch() const {
        volatile double sink = 0;
        const auto pages = [&sink](const auto& points) {
            const size_t step = 4096 / sizeof(points[0]);
            for (size_t i = 0; i < points.size(); i += step) {
                sink = sink + static_cast<double>(points[i]);
            }
        };
        pages(keys);
        pages(times);
        for (const auto& line : values) {
            pages(line);
        }
    }
};

namespace {

// Every second point of the older half goes; the newer half keeps full resolution.
template <class T>
void ThinInto(std::vector<T>& out, const T* points, size_t half, size_t count, size_t capacity) {
    out.reserve(capacity);
    for (size_t i = 0; i < half; i += 2) {
        out.push_back(points[i]);
    }
    out.insert(out.end(), points + half, points + count);
}

}  // namespace

// X-axis labels are the sample times of the points, not their index.
class TimeLabelTicker : public QCPAxisTicker {
public:
    TimeLabelTicker(const std::vector<double>& keys, const std::vector<qint64>& times)
        : keys_(keys), times_(times) {}

protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, QCPAxisTicker::getTickStep(range));
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        // Only points that exist are labelled: a tick past the last sample (the axis runs on
        // while the first minutes fill it) would repeat the last time.
        if (keys_.empty() || tick > keys_.back() + 0.5 || tick < keys_.front() - 0.5) {
            return {};
        }
        auto it = std::lower_bound(keys_.begin(), keys_.end(), tick);
        if (it == keys_.end() || (it != keys_.begin() && tick - *(it - 1) < *it - tick)) {
            --it;
        }
        const qint64 ms = times_[it - keys_.begin()];
        if (ms == 0) {
            return {};
        }
        return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
    }

private:
    const std::vector<double>& keys_;
    const std::vector<qint64>& times_;
};

namespace {

const std::array<const char*, TrendChart::kSeriesCount> kLegends = {"금형온도", "매체온도",
                                                                    "회수온도", "급수온도", "압력"};
const std::array<QColor, TrendChart::kSeriesCount> kDesignColors = {
    QColor(0xFF, 0x00, 0x00), QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0x80, 0xFF),
    QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0x00, 0x00)};

}  // namespace

TrendChart::TrendChart(QWidget* parent) : ChartBase(kSeriesCount, 4, 0, parent) {
    setAccessibleName(QStringLiteral("실시간 트렌드 그래프"));
    ChartFX1 = plot();
    ChartFX1->setObjectName(QStringLiteral("ChartFX1"));
    ChartFX1->setAccessibleName(QStringLiteral("실시간 트렌드 그래프"));
    ChartFX1->setMinimumHeight(200);
    scrollBar()->setObjectName(QStringLiteral("ChartScrollBar"));
    scrollBar()->setAccessibleName(QStringLiteral("그래프 스크롤 막대"));
    connect(scrollBar(), &QScrollBar::valueChanged, this, &TrendChart::onScroll);
    // Queued: the work runs at the next turn of the event loop, after the redraw is shown.
    connect(ChartFX1, &QCustomPlot::afterReplot, this, &TrendChart::afterRedraw,
            Qt::QueuedConnection);

    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setData(&keys_, &values_[s]);
        series(s)->setPen(QPen(kDesignColors[s], 2));
    }
    set3D(true);
    ticker_ = new TimeLabelTicker(keys_, times_);
    ChartFX1->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(ticker_));
    ChartFX1->xAxis->setTickLabelRotation(0);
    ChartFX1->legend->setBrush(QColor(255, 255, 255, 220));
    ChartFX1->setBackground(QColor(0xF4, 0xF6, 0xFA));
    ResetTrendChart();
    SetupTrendChart();
}

TrendChart::~TrendChart() {
    abandonThinning();
    if (disposal_.valid()) {
        disposal_.get();
    }
}

void TrendChart::afterRedraw() {
    // Work for other threads starts once a redraw is done, in the idle second before the next
    // sample, so it never competes with a redraw for the memory bus or the page tables; what
    // they made is taken in the same idle time.
    if (retired_ != nullptr) {
        // The replaced arrays go back to the system there: returning tens of megabytes takes
        // milliseconds on some machines.
        if (disposal_.valid()) {
            disposal_.get();
        }
        disposal_ = std::async(std::launch::async, [old = std::move(retired_)] {});
    }
    if (thinningDue_ && !thinning_.valid()) {
        startThinning();
    }
    if (thinning_.valid() &&
        thinning_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        prepared_ = thinning_.get();
        prepared_->touch();
    }
}

void TrendChart::SetupTrendChart() {
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setName(QString::fromUtf8(kLegends[s]));
    }
    ChartFX1->yAxis->setLabel(QStringLiteral("온도(℃)"));
    ChartFX1->yAxis2->setLabel(QStringLiteral("압력"));
    ChartFX1->xAxis->setLabel(QStringLiteral("시간"));
    replotSoon();
}

void TrendChart::ResetTrendChart() {
    setCursor(Qt::BusyCursor);
    abandonThinning();
    keys_.clear();
    times_.clear();
    for (int k = 0; k < kResetPoints; ++k) {
        keys_.push_back(k);
        times_.push_back(0);
    }
    for (auto& values : values_) {
        values.assign(kResetPoints, 0.0);
    }
    following_ = true;
    dataReplaced();
    recomputeValueRanges();
    unsetCursor();
    updateRange();
    replotSoon();
}

void TrendChart::AppendTrendPoint(int n, const std::array<double, kSeriesCount>& values,
                                  const QDateTime& now) {
    if (n < 1) {
        return;
    }
    if (n == 1) {
        abandonThinning();
        reserveToCap();
        keys_.assign({0.0, 1.0});
        times_.assign({now.addSecs(-1).toMSecsSinceEpoch(), now.toMSecsSinceEpoch()});
        for (int s = 0; s < kSeriesCount; ++s) {
            values_[s].assign({values[s], values[s]});
        }
        dataReplaced();
        recomputeValueRanges();
    } else {
        const size_t count = keys_.size();
        if (count >= static_cast<size_t>(cap_)) {
            thinOlderHalf();
        } else {
            thinningDue_ = count + thinningLead() >= static_cast<size_t>(cap_);
        }
        keys_.push_back(n);
        times_.push_back(now.toMSecsSinceEpoch());
        for (int s = 0; s < kSeriesCount; ++s) {
            values_[s].push_back(values[s]);
        }
        include(values);
    }
    updateRange();
}

size_t TrendChart::thinningLead() const {
    // Long before the cap at the slowest sampling the worker needs, and short enough that the
    // second set of arrays is held for minutes, not hours.
    return std::min<size_t>(static_cast<size_t>(cap_) / 4, 1024);
}

void TrendChart::SetPointCap(int cap) {
    abandonThinning();
    cap_ = std::max(cap, 4);
}

void TrendChart::reserveToCap() {
    // Appends up to the cap then never move the arrays, which the worker reads meanwhile.
    const auto size = static_cast<size_t>(cap_);
    keys_.reserve(size);
    times_.reserve(size);
    for (auto& values : values_) {
        values.reserve(size);
    }
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->reservePoints(size);
    }
}

void TrendChart::startThinning() {
    reserveToCap();
    const size_t count = keys_.size();
    const size_t half = static_cast<size_t>(cap_) / 2;
    const size_t capacity = static_cast<size_t>(cap_);
    const unsigned finest = series(0)->finestBlock();
    std::array<const double*, kSeriesCount> values{};
    for (int s = 0; s < kSeriesCount; ++s) {
        values[s] = values_[s].data();
    }
    // Only the first `count` points are read, and the arrays cannot move before the cap: the
    // samples appended meanwhile land beyond them, in reserved room.
    thinning_ = std::async(std::launch::async, [keys = keys_.data(), times = times_.data(), values,
                                                count, half, capacity, finest] {
        auto thinned = std::make_unique<Thinned>();
        thinned->half = half;
        thinned->copied = count;
        ThinInto(thinned->keys, keys, half, count, capacity);
        ThinInto(thinned->times, times, half, count, capacity);
        for (int s = 0; s < kSeriesCount; ++s) {
            std::vector<double>& line = thinned->values[s];
            ThinInto(line, values[s], half, count, capacity);
            thinned->summaries[s] =
                DecimatedSeries::Summarize(line.data(), line.size(), finest, capacity);
        }
        return thinned;
    });
}

void TrendChart::abandonThinning() {
    thinningDue_ = false;
    if (thinning_.valid()) {
        thinning_.get();
    }
    prepared_.reset();
}

void TrendChart::thinOlderHalf() {
    const size_t count = keys_.size();
    thinningDue_ = false;
    std::unique_ptr<Thinned> ready = std::move(prepared_);
    if (ready == nullptr && thinning_.valid()) {
        ready = thinning_.get();
    }
    if (ready != nullptr && ready->half == count / 2 && ready->copied <= count) {
        // Prepared ahead: only the samples since the worker's copy are added.
        ready->keys.insert(ready->keys.end(), keys_.begin() + ready->copied, keys_.end());
        ready->times.insert(ready->times.end(), times_.begin() + ready->copied, times_.end());
        keys_.swap(ready->keys);
        times_.swap(ready->times);
        for (int s = 0; s < kSeriesCount; ++s) {
            std::vector<double>& line = ready->values[s];
            line.insert(line.end(), values_[s].begin() + ready->copied, values_[s].end());
            values_[s].swap(line);
            series(s)->adoptSummary(ready->summaries[s]);
        }
        retired_ = std::move(ready);
        ++thinningsPrepared_;
    } else {
        const size_t half = count / 2;
        auto thin = [half](auto& points) {
            size_t out = 0;
            for (size_t i = 0; i < points.size(); ++i) {
                if (i >= half || i % 2 == 0) {
                    points[out++] = points[i];
                }
            }
            points.resize(out);
        };
        thin(keys_);
        thin(times_);
        for (auto& values : values_) {
            thin(values);
        }
        dataReplaced();
    }
    recomputeValueRanges();
}

void TrendChart::dataReplaced() {
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->dataReplaced();
    }
}

void TrendChart::include(const std::array<double, kSeriesCount>& values) {
    for (int s = 0; s < 4; ++s) {
        temperatureLow_ = std::min(temperatureLow_, values[s]);
        temperatureHigh_ = std::max(temperatureHigh_, values[s]);
    }
    pressureLow_ = std::min(pressureLow_, values[4]);
    pressureHigh_ = std::max(pressureHigh_, values[4]);
}

void TrendChart::recomputeValueRanges() {
    temperatureLow_ = pressureLow_ = std::numeric_limits<double>::max();
    temperatureHigh_ = pressureHigh_ = std::numeric_limits<double>::lowest();
    for (int s = 0; s < kSeriesCount; ++s) {
        // From the series' kept blocks, which its next redraw needs anyway, instead of another
        // pass over the history.
        if (values_[s].empty()) {
            continue;
        }
        const auto [lowAt, highAt] = series(s)->extremes(0, values_[s].size());
        double& low = s < 4 ? temperatureLow_ : pressureLow_;
        double& high = s < 4 ? temperatureHigh_ : pressureHigh_;
        low = std::min(low, values_[s][lowAt]);
        high = std::max(high, values_[s][highAt]);
    }
}

void TrendChart::updateRange() {
    const double last = keys_.empty() ? 0.0 : keys_.back();
    const double first = keys_.empty() ? 0.0 : keys_.front();
    QScrollBar* scroll = scrollBar();
    if (scrollBarVisible()) {
        const int span = std::max(0, static_cast<int>(last - first) - kScrollWindow);
        const bool atEnd = scroll->value() >= scroll->maximum();
        const QSignalBlocker block(scroll);
        scroll->setRange(0, span);
        scroll->setPageStep(kScrollWindow);
        if (following_ || atEnd) {
            scroll->setValue(span);
            following_ = true;
        }
        const double from = first + scroll->value();
        ChartFX1->xAxis->setRange(from, std::max(from + kScrollWindow, from + 1.0));
    } else {
        ChartFX1->xAxis->setRange(first, std::max(last, first + kResetPoints - 1.0));
    }
    // Value axes follow the data; a fresh frame of zeros gets a sensible span.
    const QCPRange temperatures(temperatureLow_, temperatureHigh_);
    const QCPRange pressure(pressureLow_, pressureHigh_);
    auto padded = [](QCPRange r, double minimumSpan) {
        if (r.size() < minimumSpan) {
            const double centre = r.center();
            r = QCPRange(centre - minimumSpan / 2, centre + minimumSpan / 2);
        }
        const double pad = r.size() * 0.08;
        return QCPRange(r.lower - pad, r.upper + pad);
    };
    ChartFX1->yAxis->setRange(padded(temperatures, 10.0));
    ChartFX1->yAxis2->setRange(padded(pressure, 1.0));
}

void TrendChart::onScroll(int) {
    following_ = scrollBar()->value() >= scrollBar()->maximum();
    updateRange();
    replotSoon();
}

QPointF TrendChart::depthOffset(int series) const {
    return QPointF(3 + series, -(3 + series));
}

QColor TrendChart::depthShade(const QColor& line) const {
    // An opaque shade, mixed with the plot background by hand: translucent wide lines are
    // many times slower to draw.
    const QColor background(0xF4, 0xF6, 0xFA);
    const QColor dark = line.darker(160);
    return QColor((dark.red() + background.red()) / 2, (dark.green() + background.green()) / 2,
                  (dark.blue() + background.blue()) / 2);
}

void TrendChart::setTemperatureUnit(const QString& unitText) {
    const QString title = QStringLiteral("온도(") + unitText + QLatin1Char(')');
    if (ChartFX1->yAxis->label() != title) {
        ChartFX1->yAxis->setLabel(title);
        replotSoon();
    }
}

void TrendChart::scrollBarShown(bool) {
    following_ = true;
    updateRange();
}

int TrendChart::pointCount() const {
    return static_cast<int>(keys_.size());
}

double TrendChart::value(int series, int point) const {
    const auto& values = values_.at(series);
    return point >= 0 && point < static_cast<int>(values.size()) ? values[point] : 0.0;
}

double TrendChart::key(int point) const {
    return point >= 0 && point < pointCount() ? keys_[point] : 0.0;
}

QString TrendChart::label(int point) const {
    if (point < 0 || point >= pointCount() || times_[point] == 0) {
        return {};
    }
    return QDateTime::fromMSecsSinceEpoch(times_[point]).toString(QStringLiteral("HH:mm:ss"));
}

QString TrendChart::axisTitle(int axis) const {
    switch (axis) {
        case 0:
            return ChartFX1->yAxis->label();
        case 1:
            return ChartFX1->yAxis2->label();
        default:
            return ChartFX1->xAxis->label();
    }
}

QString TrendChart::legend(int series) const {
    return this->series(series)->name();
}

}  // namespace zr410
