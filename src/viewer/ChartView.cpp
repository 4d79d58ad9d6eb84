#include "viewer/ChartView.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "viewer/IndexLabelTicker.h"
#include "widgets/DecimatedSeries.h"

namespace zr410 {
namespace {

std::shared_ptr<const DataFileContents> zeroFrame(int points) {
    auto contents = std::make_shared<DataFileContents>();
    for (auto& values : contents->series) {
        values.assign(static_cast<size_t>(points), 0.0);
    }
    for (int i = 0; i < points; ++i) {
        contents->stamps.append({}, {});
    }
    return contents;
}

QCPRange paddedRange(double low, double high, bool primary) {
    if (!(high - low > 1e-12)) {
        if (low == 0.0) {
            return primary ? QCPRange(0, 100) : QCPRange(0, 10);
        }
        return QCPRange(low - std::fabs(low) * 0.1, high + std::fabs(high) * 0.1);
    }
    const double pad = (high - low) * 0.05;
    return QCPRange(low - pad, high + pad);
}

}  // namespace

const std::array<QString, ChartView::kSeriesCount>& ChartView::SeriesNames() {
    static const std::array<QString, kSeriesCount> names = {
        QStringLiteral("금형온도"), QStringLiteral("매체온도"), QStringLiteral("회수온도"),
        QStringLiteral("급수온도"), QStringLiteral("압력"),     QStringLiteral("SV")};
    return names;
}

const std::array<QColor, ChartView::kSeriesCount>& ChartView::DefaultColours() {
    static const std::array<QColor, kSeriesCount> colours = {
        QColor(214, 39, 40),  QColor(31, 119, 180),  QColor(44, 160, 44),
        QColor(255, 127, 14), QColor(148, 103, 189), QColor(40, 40, 40)};
    return colours;
}

ChartView::ChartView(QWidget* parent) : ChartBase(kSeriesCount, kPressureSeries, 1, parent) {
    plot_ = plot();
    plot_->setObjectName(QStringLiteral("plot"));
    plot_->setAccessibleName(QStringLiteral("그래프 그림"));
    plot_->setPlottingHint(QCP::phFastPolylines, false);
    scrollBar()->setObjectName(QStringLiteral("scrollBar"));
    scrollBar()->setAccessibleName(QStringLiteral("그래프 가로 스크롤 막대"));

    // The button-face colour around the plot, as the window around it; printing uses white.
    plot_->setBackground(palette().color(QPalette::Button));
    plot_->axisRect()->setBackground(Qt::white);

    // The title in the first row; the legend has a row of its own under it, so it never
    // covers a curve.
    title_ = new QCPTextElement(plot_, QString(), QFont(font().family(), 12, QFont::Bold));
    plot_->plotLayout()->addElement(0, 0, title_);
    plot_->plotLayout()->setMargins(QMargins(4, 4, 4, 0));
    plot_->legend->setBrush(Qt::white);
    plot_->legend->setMargins(QMargins(6, 2, 6, 2));

    // Files run to millions of records: extremes kept per 256 records cost a sixteenth of
    // those per 16, and the runs between them are compared as packed integers.
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setFinestBlock(8);
    }

    ticker_ = QSharedPointer<IndexLabelTicker>::create();
    ticker_->setTickCount(8);
    plot_->xAxis->setTicker(ticker_);
    plot_->xAxis->setSubTicks(false);
    plot_->yAxis2->setVisible(true);
    plot_->yAxis2->setTickLabels(true);

    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setPen(QPen(DefaultColours()[s], lineWidth_));
        series(s)->setDenseLook(DecimatedSeries::DenseLook::Envelope);
        series(s)->setMarkersWhenSparse(true);
    }

    border_ = new QCPItemRect(plot_);
    border_->setLayer(QStringLiteral("overlay"));
    border_->setClipToAxisRect(false);
    border_->topLeft->setType(QCPItemPosition::ptViewportRatio);
    border_->bottomRight->setType(QCPItemPosition::ptViewportRatio);
    border_->topLeft->setCoords(0, 0);
    border_->bottomRight->setCoords(1, 1);
    border_->setBrush(Qt::NoBrush);
    border_->setVisible(false);
    setBorderColour(borderColour_);

    connect(plot_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &ChartView::onXRangeChanged);
    connect(scrollBar(), &QScrollBar::valueChanged, this, &ChartView::onScrollBarMoved);
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, [this] {
        if (zoomEnabled()) {
            showWholeFile();
        }
    });
    setZoomEnabled(true);
    SetupChartSeries();
    ClearChart();
}

ChartView::~ChartView() = default;

void ChartView::ClearChart() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setContents(zeroFrame(kZeroFramePoints));
    zeroFrame_ = true;
    QApplication::restoreOverrideCursor();
}

void ChartView::SetupChartSeries() {
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setName(SeriesNames()[s]);
        series(s)->setValueAxis(s == kPressureSeries ? plot_->yAxis2 : plot_->yAxis);
    }
    plot_->yAxis->setLabel(QStringLiteral("온도(℃)"));
    plot_->yAxis2->setLabel(QStringLiteral("압력"));
    plot_->xAxis->setLabel(QStringLiteral("시간"));
    rebuildLegend();
    replotSoon();
}

void ChartView::setContents(std::shared_ptr<const DataFileContents> contents) {
    contents_ = std::move(contents);
    zeroFrame_ = false;
    ticker_->setContents(contents_);
    for (int s = 0; s < kSeriesCount; ++s) {
        series(s)->setData(&contents_->series[static_cast<size_t>(s)], contents_);
    }
    limitsSet_ = false;
    showWholeFile();
    rescaleValueAxes();
    replotSoon();
}

void ChartView::contentsGrew(qsizetype previousCount) {
    if (!contents_ || zeroFrame_) {
        return;
    }
    const double oldLast = std::max<double>(1.0, static_cast<double>(previousCount - 1));
    const double newLast = std::max<double>(1.0, static_cast<double>(contents_->size() - 1));
    const QCPRange shown = plot_->xAxis->range();
    if (shown.upper >= oldLast - 0.5) {
        if (shown.lower <= 0.5) {
            showWholeFile();
        } else {
            plot_->xAxis->setRange(newLast - shown.size(), newLast);
        }
    }
    syncScrollBar();
    if (!limitsSet_) {
        rescaleValueAxes();
    }
    replotSoon();
}

void ChartView::rescaleValueAxes() {
    for (int axis = 0; axis < 2; ++axis) {
        double low = 0;
        double high = 0;
        bool any = false;
        for (int s = 0; s < kSeriesCount; ++s) {
            if ((s == kPressureSeries) != (axis == 1) || (!series(s)->visible() && axis == 0)) {
                continue;
            }
            const double lo = contents_->minimum[s];
            const double hi = contents_->maximum[s];
            low = any ? std::min(low, lo) : lo;
            high = any ? std::max(high, hi) : hi;
            any = true;
        }
        if (any) {
            (axis == 0 ? plot_->yAxis : plot_->yAxis2)->setRange(paddedRange(low, high, axis == 0));
        }
    }
}

bool ChartView::isSeriesVisible(int series) const {
    return this->series(series)->visible();
}

void ChartView::setSeriesVisible(int series, bool visible) {
    this->series(series)->setVisible(visible);
    if (series == kPressureSeries) {
        // The right axis and its title belong to pressure alone.
        plot_->yAxis2->setVisible(visible);
    }
    rebuildLegend();
    replotSoon();
}

QString ChartView::seriesName(int series) const {
    return this->series(series)->name();
}

void ChartView::rebuildLegend() {
    plot_->legend->clearItems();
    for (int s = 0; s < kSeriesCount; ++s) {
        if (series(s)->visible()) {
            series(s)->addToLegend();
        }
    }
}

QString ChartView::titleText(int slot) const {
    switch (slot) {
        case LeftAxisTitle:
            return plot_->yAxis->label();
        case RightAxisTitle:
            return plot_->yAxis2->label();
        case ChartTitle:
            return title_->text();
        case BottomAxisTitle:
            return plot_->xAxis->label();
        default:
            return QString();
    }
}

void ChartView::setTitleText(int slot, const QString& text) {
    switch (slot) {
        case LeftAxisTitle:
            plot_->yAxis->setLabel(text);
            break;
        case RightAxisTitle:
            plot_->yAxis2->setLabel(text);
            break;
        case ChartTitle:
            title_->setText(text);
            break;
        case BottomAxisTitle:
            plot_->xAxis->setLabel(text);
            break;
        default:
            return;
    }
    replotSoon();
}

bool ChartView::setAxisLimits(int axis, double minimum, double maximum) {
    QCPAxis* target = axis == 0 ? plot_->yAxis : plot_->yAxis2;
    const QCPRange wanted = QCPRange(minimum, maximum);  // orders an inverted pair
    if (!std::isfinite(minimum) || !std::isfinite(maximum) ||
        !QCPRange::validRange(wanted.lower, wanted.upper)) {
        return false;
    }
    target->setRange(wanted);
    limitsSet_ = true;
    replotSoon();
    return true;
}

double ChartView::axisMinimum(int axis) const {
    return (axis == 0 ? plot_->yAxis : plot_->yAxis2)->range().lower;
}

double ChartView::axisMaximum(int axis) const {
    return (axis == 0 ? plot_->yAxis : plot_->yAxis2)->range().upper;
}

double ChartView::xMinimum() const {
    return plot_->xAxis->range().lower;
}

double ChartView::xMaximum() const {
    return plot_->xAxis->range().upper;
}

void ChartView::setXRange(double lower, double upper) {
    plot_->xAxis->setRange(lower, upper);
    replotSoon();
}

void ChartView::setLineWidth(int width) {
    lineWidth_ = width;
    for (int s = 0; s < kSeriesCount; ++s) {
        QPen pen = series(s)->pen();
        pen.setWidth(width);
        series(s)->setPen(pen);
    }
    replotSoon();
}

void ChartView::depthChanged(bool on) {
    if (on) {
        QLinearGradient wall(0, 0, 0, 1);
        wall.setCoordinateMode(QGradient::ObjectBoundingMode);
        wall.setColorAt(0, QColor(250, 251, 255));
        wall.setColorAt(1, QColor(214, 220, 232));
        plot_->axisRect()->setBackground(QBrush(wall));
    } else {
        plot_->axisRect()->setBackground(Qt::white);
    }
    replotSoon();
}

bool ChartView::zoomEnabled() const {
    return plot_->interactions().testFlag(QCP::iRangeZoom);
}

void ChartView::setZoomEnabled(bool on) {
    plot_->setInteraction(QCP::iRangeZoom, on);
    plot_->setInteraction(QCP::iRangeDrag, on);
    plot_->axisRect()->setRangeZoom(Qt::Horizontal);
    plot_->axisRect()->setRangeDrag(Qt::Horizontal);
    plot_->axisRect()->setRangeZoomAxes(plot_->xAxis, nullptr);
    plot_->axisRect()->setRangeDragAxes(plot_->xAxis, nullptr);
}

void ChartView::scrollBarShown(bool) {
    syncScrollBar();
}

bool ChartView::borderEnabled() const {
    return border_->visible();
}

void ChartView::setBorderEnabled(bool on) {
    border_->setVisible(on);
    replotSoon();
}

void ChartView::setBorderColour(const QColor& colour) {
    borderColour_ = colour;
    // Half the pen lies outside the widget, so 4 shows a 2-pixel frame.
    border_->setPen(QPen(colour, 4));
    replotSoon();
}

void ChartView::showWholeFile() {
    const auto [first, last] = keyLimits();
    plot_->xAxis->setRange(first, last);
    replotSoon();
}

std::pair<double, double> ChartView::keyLimits() const {
    const qsizetype n = contents_ ? contents_->size() : 0;
    if (n > 0 && n <= kFewPoints) {
        // Half a point of room at each end, so a single record is drawn inside the plot and
        // its time label does not hang off the edge.
        return {-0.5, static_cast<double>(n - 1) + 0.5};
    }
    return {0.0, std::max<double>(1.0, static_cast<double>(n - 1))};
}

void ChartView::onXRangeChanged(const QCPRange& range) {
    if (clamping_ || !contents_) {
        return;
    }
    // Zoom and pan stay inside the file and never closer than a few points.
    const auto [first, last] = keyLimits();
    const double span = last - first;
    const double size = std::clamp(range.size(), std::min(4.0, span), span);
    const double lower = std::clamp(range.lower, first, last - size);
    clamping_ = true;
    if (lower != range.lower || size != range.size()) {
        plot_->xAxis->setRange(lower, lower + size);
    }
    clamping_ = false;
    syncScrollBar();
}

void ChartView::syncScrollBar() {
    QScrollBar* bar = scrollBar();
    if (!contents_ || bar->isHidden()) {
        return;
    }
    const QCPRange range = plot_->xAxis->range();
    const double last = std::max<double>(1.0, contents_->size() - 1);
    const QSignalBlocker block(bar);
    bar->setRange(0, static_cast<int>(std::lround(std::max(0.0, last - range.size()))));
    bar->setPageStep(std::max(1, static_cast<int>(std::lround(range.size()))));
    bar->setSingleStep(std::max(1, static_cast<int>(std::lround(range.size() / 20))));
    bar->setValue(static_cast<int>(std::lround(range.lower)));
}

void ChartView::onScrollBarMoved(int value) {
    const double size = plot_->xAxis->range().size();
    plot_->xAxis->setRange(value, value + size);
    replotSoon();
}

}  // namespace zr410
