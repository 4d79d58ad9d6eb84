#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace zr410 {

class CellGrid;

// Makes every CellGrid reachable by assistive tools as a table: its column headers as column
// header cells, its data cells as table cells, and its button cells as buttons with a
// "Press" action and their on/off state. Installed once; the first CellGrid does it.
void InstallCellGridAccessibility();

// The grid as an accessible table. Children: one header cell per column (when the header is
// shown), then the data cells row by row; this is the numbering the item view itself uses in
// its focus events.
class CellGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CellGridAccessible(CellGrid* grid);
    ~CellGridAccessible() override;

    CellGrid* grid() const;
    bool headerShown() const;

    // QAccessibleInterface
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Row -1 is the header row.
    QAccessibleInterface* cell(int row, int column) const;

private:
    void forgetCells() const;

    mutable QHash<quint64, QAccessible::Id> cells_;
};

// One cell of a CellGrid: a column header cell (row -1), a table cell, or a button.
class CellGridCellAccessible : public QAccessibleInterface,
                               public QAccessibleTableCellInterface,
                               public QAccessibleActionInterface {
public:
    CellGridCellAccessible(CellGrid* grid, int row, int column);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    bool isHeader() const { return row_ < 0; }
    bool isButton() const;
    QModelIndex modelIndex() const;

    QPointer<CellGrid> grid_;
    int row_;
    int column_;
};

}  // namespace zr410
