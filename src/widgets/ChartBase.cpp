#include "widgets/ChartBase.h"

#include <qcustomplot.h>

#include <QScrollBar>
#include <QVBoxLayout>

#include "widgets/DecimatedSeries.h"

namespace zr410 {

ChartBase::ChartBase(int count, int rightAxisSeries, int legendRow, QWidget* parent)
    : QWidget(parent) {
    plot_ = new QCustomPlot(this);
    plot_->setNoAntialiasingOnDrag(true);
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(plot_, 1);
    layout->addWidget(scrollBar_);

    for (int row = 0; row <= legendRow; ++row) {
        plot_->plotLayout()->insertRow(row);
        plot_->plotLayout()->setRowStretchFactor(row, 0.001);
    }
    plot_->axisRect()->insetLayout()->take(plot_->legend);
    plot_->plotLayout()->addElement(legendRow, 0, plot_->legend);
    plot_->plotLayout()->setRowSpacing(2);
    plot_->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot_->legend->setWrap(count);
    plot_->legend->setVisible(true);
    plot_->legend->setLayer(QStringLiteral("legend"));
    plot_->yAxis2->setVisible(true);
    plot_->yAxis2->setTickLabels(true);

    for (int s = 0; s < count; ++s) {
        QCPAxis* valueAxis = s == rightAxisSeries ? plot_->yAxis2 : plot_->yAxis;
        series_.push_back(new DecimatedSeries(plot_->xAxis, valueAxis));
    }
}

ChartBase::~ChartBase() = default;

DecimatedSeries* ChartBase::series(int series) const {
    return series_.at(static_cast<size_t>(series));
}

QColor ChartBase::seriesColour(int series) const {
    return this->series(series)->pen().color();
}

void ChartBase::setSeriesColour(int series, const QColor& colour) {
    if (series < 0 || series >= seriesCount()) {
        return;
    }
    QPen pen = this->series(series)->pen();
    pen.setColor(colour);
    this->series(series)->setPen(pen);
    applyDepth(series);
    replotSoon();
}

QPointF ChartBase::depthOffset(int) const {
    return {2, 2};
}

QColor ChartBase::depthShade(const QColor& line) const {
    // Opaque, mixed with a pale grey by hand: translucent wide lines are many times slower.
    return QColor((line.red() + 3 * 200) / 4, (line.green() + 3 * 200) / 4,
                  (line.blue() + 3 * 210) / 4);
}

void ChartBase::applyDepth(int series) {
    DecimatedSeries* line = this->series(series);
    line->setDepth(depth_, depthOffset(series), depthShade(line->pen().color()));
}

void ChartBase::set3D(bool on) {
    depth_ = on;
    for (int s = 0; s < seriesCount(); ++s) {
        applyDepth(s);
    }
    depthChanged(on);
    replotSoon();
}

bool ChartBase::scrollBarVisible() const {
    return !scrollBar_->isHidden();
}

void ChartBase::setScrollBarVisible(bool visible) {
    scrollBar_->setVisible(visible);
    scrollBarShown(visible);
    replotSoon();
}

void ChartBase::replotSoon() {
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace zr410
