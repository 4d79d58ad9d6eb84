#pragma once

#include <QTableWidget>

namespace zr410 {

// A small fixed grid of the parameter screens: header texts, data cells that hold texts, and
// a click notification in the grid's own numbering (row 0 and column 0 are the headers, data
// cells start at column 1, row 1). A cell counts as clicked when the mouse releases on it,
// when Enter or Space is pressed on the current cell, and when an assistive tool selects it
// (a table cell's only action), so every way of reaching a cell can open its editor.
class ParameterGrid : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 26;
    static constexpr int kHeaderHeight = 26;

    // rowHeaders empty: the grid has no header column.
    ParameterGrid(const QStringList& columnHeaders, const QStringList& rowHeaders, int dataRows,
                  QWidget* parent = nullptr);

    void SetCellText(int column, int row, const QString& text);
    QString CellText(int column, int row) const;
    // What a cell stands for, read out by screen readers beside its text.
    void SetCellDescription(int column, int row, const QString& description);
    void SetColumnWidth(int column, int width);
    // Sizes the grid to show every cell without scroll bars.
    void FitToContents();

signals:
    void cellClick(int column, int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectionChangedBy(const QItemSelection& selected);
    bool operatorInput_ = false;
    int rowHeaderWidth_ = 0;
};

}  // namespace zr410
