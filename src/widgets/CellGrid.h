#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTableView>

namespace zr410 {

class TwoRowHeaderView;

// Item data roles a CellGrid's model answers beyond the standard ones. A cell's hint is the
// standard ToolTipRole (shown on hover, and read out as the cell's description).
enum CellGridRole : int {
    ButtonCellRole = Qt::UserRole + 100,  // bool: the cell shows a push button
    ButtonColorRole,                      // QColor: the button's colour
    ButtonOnRole,                         // bool, or no value before the state is known
};

// Paints a button cell as a push button in its colour, with its caption (DisplayRole), sunken
// while it is held down; other cells are painted as usual.
class ButtonCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setPressed(const QModelIndex& index) { pressed_ = index; }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QPersistentModelIndex pressed_;
};

// Names the corner button of a table (it selects every cell) for screen readers.
void NameTableCorner(QTableView& table);

// A table of text cells and button cells, optionally with a two-row header. It reports a
// click in any data cell (cellClicked) and, for button cells, the button's click
// (buttonClicked), by mouse, by Space or Enter on the current cell, and by the "Press" action
// of assistive tools, which see data cells as table cells and button cells as buttons.
// Rows and columns are the model's; the grid has no row header.
class CellGrid : public QTableView {
    Q_OBJECT

public:
    explicit CellGrid(QWidget* parent = nullptr);

    // Replaces the column header with a two-row header and returns it for its groups.
    TwoRowHeaderView* useTwoRowHeader();

    bool isButtonCell(const QModelIndex& index) const;
    // A click on the cell as the operator would make it: cellClicked, and buttonClicked for a
    // button cell. Used by the keyboard and by assistive tools.
    void pressCell(const QModelIndex& index);

signals:
    void cellClicked(int row, int column);
    void buttonClicked(int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPressed(const QModelIndex& index);

    ButtonCellDelegate* delegate_ = nullptr;
    QPersistentModelIndex pressed_;
};

}  // namespace zr410
