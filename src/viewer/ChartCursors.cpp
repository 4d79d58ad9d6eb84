#include "viewer/ChartCursors.h"

#include <qcustomplot.h>

namespace zr410 {

ChartCursors::ChartCursors(QCustomPlot* plot) : QObject(plot), plot_(plot) {
    const QColor colours[2] = {QColor(0xc0, 0x00, 0x60), QColor(0x00, 0x60, 0xc0)};
    const char* names[2] = {"A", "B"};
    for (int c = 0; c < 2; ++c) {
        auto* line = new QCPItemStraightLine(plot);
        line->setLayer(QStringLiteral("overlay"));
        line->setPen(QPen(colours[c], 1, Qt::DashLine));
        line->point1->setCoords(0, 0);
        line->point2->setCoords(0, 1);
        line->setVisible(false);
        lines_[c] = line;

        auto* label = new QCPItemText(plot);
        label->setLayer(QStringLiteral("overlay"));
        label->setText(QString::fromLatin1(names[c]));
        label->setColor(Qt::white);
        label->setBrush(colours[c]);
        label->setPadding(QMargins(3, 1, 3, 1));
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(0, 0);
        label->setVisible(false);
        labels_[c] = label;
    }
}

void ChartCursors::setVisible(bool visible) {
    visible_ = visible;
    for (int c = 0; c < 2; ++c) {
        lines_[c]->setVisible(visible);
        labels_[c]->setVisible(visible);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void ChartCursors::setPosition(int cursor, double key) {
    // A vertical line through two points of the same key, whatever the value axis shows.
    lines_[cursor]->point1->setCoords(key, 0);
    lines_[cursor]->point2->setCoords(key, 1);
    labels_[cursor]->position->setCoords(key, 0);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace zr410
