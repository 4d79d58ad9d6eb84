#include "monitor/TrendChart.h"

#include <QScrollBar>

#include "widgets/DecimatedSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zr410 {

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

TrendChart::~TrendChart() = default;

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
        keys_.assign({0.0, 1.0});
        times_.assign({now.addSecs(-1).toMSecsSinceEpoch(), now.toMSecsSinceEpoch()});
        for (int s = 0; s < kSeriesCount; ++s) {
            values_[s].assign({values[s], values[s]});
        }
        recomputeValueRanges();
    } else {
        if (static_cast<int>(keys_.size()) >= cap_) {
            thinOlderHalf();
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

void TrendChart::thinOlderHalf() {
    // Every second point of the older half goes; the newer half keeps full resolution.
    const size_t half = keys_.size() / 2;
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
    recomputeValueRanges();
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
        // The series summarizes its points afresh, as its next redraw needs anyway; the
        // extremes then come from its blocks instead of another pass over the history.
        series(s)->dataReplaced();
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
