#pragma once

#include <QObject>

class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;

namespace zr410 {

// The two cursor lines A and B over a chart, each standing on a record. Only draws: where the
// cursors are is the window's state.
class ChartCursors : public QObject {
    Q_OBJECT

public:
    explicit ChartCursors(QCustomPlot* plot);

    void setVisible(bool visible);
    // Record index of cursor 0 (A) or 1 (B).
    void setPosition(int cursor, double key);
    bool isVisible() const { return visible_; }

private:
    QCustomPlot* plot_;
    QCPItemStraightLine* lines_[2] = {};
    QCPItemText* labels_[2] = {};
    bool visible_ = false;
};

}  // namespace zr410
