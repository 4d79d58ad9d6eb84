#include "widgets/CellGridAccessible.h"

#include <QHeaderView>
#include <QTimer>

#include <mutex>

#include "widgets/CellGrid.h"

namespace zr410 {
namespace {

QAccessibleInterface* CreateCellGridAccessible(const QString& key, QObject* object) {
    // Asked once per class up the object's class chain: answering for CellGrid's own name
    // serves its subclasses too.
    if (key != QLatin1String(CellGrid::staticMetaObject.className())) {
        return nullptr;
    }
    auto* grid = qobject_cast<CellGrid*>(object);
    return grid != nullptr ? new CellGridAccessible(grid) : nullptr;
}

quint64 CellKey(int row, int column) {
    return (static_cast<quint64>(static_cast<quint32>(row + 1)) << 32) |
           static_cast<quint32>(column);
}

QString OnOffText(const QVariant& on) {
    if (!on.isValid()) {
        return {};
    }
    return on.toBool() ? QStringLiteral("켜짐") : QStringLiteral("꺼짐");
}

}  // namespace

void InstallCellGridAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(CreateCellGridAccessible); });
}

CellGridAccessible::CellGridAccessible(CellGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table) {}

CellGridAccessible::~CellGridAccessible() {
    forgetCells();
}

CellGrid* CellGridAccessible::grid() const {
    return static_cast<CellGrid*>(widget());
}

bool CellGridAccessible::headerShown() const {
    return !grid()->horizontalHeader()->isHidden();
}

int CellGridAccessible::rowCount() const {
    return grid()->model() != nullptr ? grid()->model()->rowCount() : 0;
}

int CellGridAccessible::columnCount() const {
    return grid()->model() != nullptr ? grid()->model()->columnCount() : 0;
}

QAccessibleInterface* CellGridAccessible::cell(int row, int column) const {
    if (row < -1 || row >= rowCount() || column < 0 || column >= columnCount() ||
        (row == -1 && !headerShown())) {
        return nullptr;
    }
    const quint64 key = CellKey(row, column);
    const auto found = cells_.constFind(key);
    if (found != cells_.constEnd()) {
        if (QAccessibleInterface* known = QAccessible::accessibleInterface(*found)) {
            return known;
        }
    }
    auto* created = new CellGridCellAccessible(grid(), row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(created));
    return created;
}

QAccessibleInterface* CellGridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0) {
        return nullptr;
    }
    const int row = index / columns - (headerShown() ? 1 : 0);
    return cell(row, index % columns);
}

int CellGridAccessible::childCount() const {
    return (rowCount() + (headerShown() ? 1 : 0)) * columnCount();
}

int CellGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cellIface = dynamic_cast<const CellGridCellAccessible*>(child);
    if (cellIface == nullptr || !cellIface->isValid()) {
        return -1;
    }
    const int row = cellIface->rowIndex() + (headerShown() ? 1 : 0);
    return row * columnCount() + cellIface->columnIndex();
}

QAccessibleInterface* CellGridAccessible::childAt(int x, int y) const {
    const QPoint global(x, y);
    QHeaderView* header = grid()->horizontalHeader();
    if (headerShown() && header->rect().contains(header->mapFromGlobal(global))) {
        return cell(-1, header->logicalIndexAt(header->mapFromGlobal(global)));
    }
    const QModelIndex index = grid()->indexAt(grid()->viewport()->mapFromGlobal(global));
    return index.isValid() ? cell(index.row(), index.column()) : nullptr;
}

QAccessibleInterface* CellGridAccessible::focusChild() const {
    const QModelIndex current = grid()->currentIndex();
    if (!grid()->hasFocus() || !current.isValid()) {
        return nullptr;
    }
    return cell(current.row(), current.column());
}

void* CellGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* CellGridAccessible::cellAt(int row, int column) const {
    return row >= 0 ? cell(row, column) : nullptr;
}

int CellGridAccessible::selectedCellCount() const {
    return static_cast<int>(selectedCells().size());
}

QList<QAccessibleInterface*> CellGridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> out;
    if (grid()->selectionModel() == nullptr) {
        return out;
    }
    for (const QModelIndex& index : grid()->selectionModel()->selectedIndexes()) {
        if (QAccessibleInterface* selected = cell(index.row(), index.column())) {
            out << selected;
        }
    }
    return out;
}

QString CellGridAccessible::columnDescription(int column) const {
    QAbstractItemModel* model = grid()->model();
    if (model == nullptr) {
        return {};
    }
    const QString spoken =
        model->headerData(column, Qt::Horizontal, Qt::AccessibleTextRole).toString();
    return spoken.isEmpty() ? model->headerData(column, Qt::Horizontal).toString() : spoken;
}

QString CellGridAccessible::rowDescription(int row) const {
    QAbstractItemModel* model = grid()->model();
    return model != nullptr ? model->headerData(row, Qt::Vertical).toString() : QString();
}

int CellGridAccessible::selectedColumnCount() const {
    return static_cast<int>(selectedColumns().size());
}

int CellGridAccessible::selectedRowCount() const {
    return static_cast<int>(selectedRows().size());
}

QList<int> CellGridAccessible::selectedColumns() const {
    QList<int> out;
    if (grid()->selectionModel() != nullptr) {
        for (const QModelIndex& index : grid()->selectionModel()->selectedColumns()) {
            out << index.column();
        }
    }
    return out;
}

QList<int> CellGridAccessible::selectedRows() const {
    QList<int> out;
    if (grid()->selectionModel() != nullptr) {
        for (const QModelIndex& index : grid()->selectionModel()->selectedRows()) {
            out << index.row();
        }
    }
    return out;
}

bool CellGridAccessible::isColumnSelected(int column) const {
    return grid()->selectionModel() != nullptr &&
           grid()->selectionModel()->isColumnSelected(column, {});
}

bool CellGridAccessible::isRowSelected(int row) const {
    return grid()->selectionModel() != nullptr && grid()->selectionModel()->isRowSelected(row, {});
}

bool CellGridAccessible::selectRow(int row) {
    if (grid()->selectionMode() == QAbstractItemView::NoSelection) {
        return false;
    }
    grid()->selectRow(row);
    return true;
}

bool CellGridAccessible::selectColumn(int column) {
    if (grid()->selectionMode() == QAbstractItemView::NoSelection) {
        return false;
    }
    grid()->selectColumn(column);
    return true;
}

bool CellGridAccessible::unselectRow(int row) {
    if (grid()->selectionModel() == nullptr || grid()->model() == nullptr) {
        return false;
    }
    const QModelIndex index = grid()->model()->index(row, 0);
    grid()->selectionModel()->select(index,
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

bool CellGridAccessible::unselectColumn(int column) {
    if (grid()->selectionModel() == nullptr || grid()->model() == nullptr) {
        return false;
    }
    const QModelIndex index = grid()->model()->index(0, column);
    grid()->selectionModel()->select(index,
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Columns);
    return true;
}

// Cells are looked up by position, so after rows or columns change every cached cell is
// dropped and made again on demand, as the tools ask for them anew.
void CellGridAccessible::modelChange(QAccessibleTableModelChangeEvent* /*event*/) {
    forgetCells();
}

void CellGridAccessible::forgetCells() const {
    const auto ids = cells_.values();
    cells_.clear();
    for (QAccessible::Id id : ids) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

CellGridCellAccessible::CellGridCellAccessible(CellGrid* grid, int row, int column)
    : grid_(grid), row_(row), column_(column) {}

QModelIndex CellGridCellAccessible::modelIndex() const {
    if (grid_ == nullptr || grid_->model() == nullptr || isHeader()) {
        return {};
    }
    return grid_->model()->index(row_, column_);
}

bool CellGridCellAccessible::isValid() const {
    if (grid_ == nullptr || grid_->model() == nullptr) {
        return false;
    }
    const QAbstractItemModel* model = grid_->model();
    return row_ >= -1 && row_ < model->rowCount() && column_ >= 0 && column_ < model->columnCount();
}

bool CellGridCellAccessible::isButton() const {
    return !isHeader() && grid_ != nullptr && grid_->isButtonCell(modelIndex());
}

QAccessibleInterface* CellGridCellAccessible::parent() const {
    return grid_ != nullptr ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
}

QString CellGridCellAccessible::text(QAccessible::Text type) const {
    if (!isValid()) {
        return {};
    }
    if (isHeader()) {
        if (type != QAccessible::Name) {
            return {};
        }
        const QString spoken =
            grid_->model()->headerData(column_, Qt::Horizontal, Qt::AccessibleTextRole).toString();
        return spoken.isEmpty() ? grid_->model()->headerData(column_, Qt::Horizontal).toString()
                                : spoken;
    }
    const QModelIndex index = modelIndex();
    switch (type) {
        case QAccessible::Name: {
            const QString spoken = index.data(Qt::AccessibleTextRole).toString();
            return spoken.isEmpty() ? index.data(Qt::DisplayRole).toString() : spoken;
        }
        case QAccessible::Description: {
            QStringList parts;
            if (isButton()) {
                parts << OnOffText(index.data(ButtonOnRole));
            }
            parts << index.data(Qt::AccessibleDescriptionRole).toString()
                  << index.data(Qt::ToolTipRole).toString();
            parts.removeAll(QString());
            return parts.join(QStringLiteral(", "));
        }
        case QAccessible::Value:
            return isButton() ? OnOffText(index.data(ButtonOnRole))
                              : index.data(Qt::DisplayRole).toString();
        default:
            return {};
    }
}

QRect CellGridCellAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    if (isHeader()) {
        QHeaderView* header = grid_->horizontalHeader();
        const QRect local(header->sectionViewportPosition(column_), 0, header->sectionSize(column_),
                          header->height());
        return QRect(header->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    const QRect local = grid_->visualRect(modelIndex());
    return QRect(grid_->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role CellGridCellAccessible::role() const {
    if (isHeader()) {
        return QAccessible::ColumnHeader;
    }
    return isButton() ? QAccessible::Button : QAccessible::Cell;
}

QAccessible::State CellGridCellAccessible::state() const {
    QAccessible::State st;
    if (!isValid()) {
        st.invalid = true;
        return st;
    }
    const QRect visible = grid_->viewport()->rect();
    if (!isHeader()) {
        const QModelIndex index = modelIndex();
        if (!visible.intersects(grid_->visualRect(index))) {
            st.offscreen = true;
        }
        st.focusable = true;
        st.focused = grid_->hasFocus() && grid_->currentIndex() == index;
        st.selectable = grid_->selectionMode() != QAbstractItemView::NoSelection;
        st.selected = isSelected();
        if (isButton()) {
            st.checked = index.data(ButtonOnRole).toBool();
        }
    }
    if (!grid_->isVisible()) {
        st.invisible = true;
    }
    return st;
}

void* CellGridCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface) {
        return static_cast<QAccessibleTableCellInterface*>(this);
    }
    if (type == QAccessible::ActionInterface && !isHeader()) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

bool CellGridCellAccessible::isSelected() const {
    return !isHeader() && grid_ != nullptr && grid_->selectionModel() != nullptr &&
           grid_->selectionModel()->isSelected(modelIndex());
}

QList<QAccessibleInterface*> CellGridCellAccessible::columnHeaderCells() const {
    QAccessibleInterface* table = parent();
    auto* gridIface = table != nullptr ? dynamic_cast<CellGridAccessible*>(table) : nullptr;
    if (gridIface == nullptr) {
        return {};
    }
    QAccessibleInterface* header = gridIface->cell(-1, column_);
    return header != nullptr ? QList<QAccessibleInterface*>{header}
                             : QList<QAccessibleInterface*>{};
}

QStringList CellGridCellAccessible::actionNames() const {
    return isValid() && !isHeader() ? QStringList{pressAction()} : QStringList{};
}

void CellGridCellAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !isValid() || isHeader()) {
        return;
    }
    // Pressed after the call returns, as a button's animated click is: the press may open a
    // modal window, and the assistive tool must not wait on the operator for its answer.
    const QPersistentModelIndex index = modelIndex();
    QTimer::singleShot(0, grid_.data(), [grid = grid_, index] {
        if (grid != nullptr && index.isValid()) {
            grid->setCurrentIndex(index);
            grid->pressCell(index);
        }
    });
}

QStringList CellGridCellAccessible::keyBindingsForAction(const QString& actionName) const {
    return actionName == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
}

}  // namespace zr410
