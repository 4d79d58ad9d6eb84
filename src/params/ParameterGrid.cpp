#include "params/ParameterGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

namespace zr410 {

ParameterGrid::ParameterGrid(const QStringList& columnHeaders, const QStringList& rowHeaders,
                             int dataRows, QWidget* parent)
    : QTableWidget(dataRows, static_cast<int>(columnHeaders.size()), parent) {
    setHorizontalHeaderLabels(columnHeaders);
    if (rowHeaders.isEmpty()) {
        verticalHeader()->hide();
    } else {
        setVerticalHeaderLabels(rowHeaders);
        verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    }
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignCenter);
            setItem(r, c, item);
        }
    }
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setFixedHeight(kHeaderHeight);
    horizontalHeader()->setHighlightSections(false);
    // The corner would select every cell; nothing here is chosen that way.
    setCornerButtonEnabled(false);
    for (QAbstractButton* corner : findChildren<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("표 모서리"));
    }
    verticalHeader()->setHighlightSections(false);

    connect(this, &QTableWidget::cellClicked, this,
            [this](int r, int c) { emit cellClick(c + 1, r + 1); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) { selectionChangedBy(selected); });
}

void ParameterGrid::SetCellText(int column, int row, const QString& text) {
    if (QTableWidgetItem* cell = item(row - 1, column - 1)) {
        cell->setText(text);
    }
}

QString ParameterGrid::CellText(int column, int row) const {
    const QTableWidgetItem* cell = item(row - 1, column - 1);
    return cell != nullptr ? cell->text() : QString();
}

void ParameterGrid::SetCellDescription(int column, int row, const QString& description) {
    if (QTableWidgetItem* cell = item(row - 1, column - 1)) {
        cell->setData(Qt::AccessibleDescriptionRole, description);
        cell->setToolTip(description);
    }
}

void ParameterGrid::SetColumnWidth(int column, int width) {
    if (column == 0) {
        rowHeaderWidth_ = width;
        verticalHeader()->setFixedWidth(width);
    } else {
        setColumnWidth(column - 1, width);
    }
}

void ParameterGrid::FitToContents() {
    int width = 2 * frameWidth();
    if (!verticalHeader()->isHidden()) {
        width += rowHeaderWidth_;
    }
    for (int c = 0; c < columnCount(); ++c) {
        width += columnWidth(c);
    }
    int height = 2 * frameWidth() + kHeaderHeight;
    for (int r = 0; r < rowCount(); ++r) {
        height += rowHeight(r);
    }
    setFixedSize(width, height);
}

void ParameterGrid::mousePressEvent(QMouseEvent* event) {
    operatorInput_ = true;
    QTableWidget::mousePressEvent(event);
    operatorInput_ = false;
}

void ParameterGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        currentIndex().isValid()) {
        emit cellClick(currentColumn() + 1, currentRow() + 1);
        event->accept();
        return;
    }
    operatorInput_ = true;
    QTableWidget::keyPressEvent(event);
    operatorInput_ = false;
}

// A selection that no mouse press or key made comes from an assistive tool selecting a cell:
// that is its click. It is handled after the tool's request has returned, and the selection
// is cleared so that the next selection of the same cell clicks again.
void ParameterGrid::selectionChangedBy(const QItemSelection& selected) {
    if (operatorInput_ || selected.indexes().isEmpty()) {
        return;
    }
    const QModelIndex cell = selected.indexes().first();
    QTimer::singleShot(0, this, [this, column = cell.column(), row = cell.row()] {
        clearSelection();
        emit cellClick(column + 1, row + 1);
    });
}

}  // namespace zr410
