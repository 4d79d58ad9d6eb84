#include "model/ErrorHistory.h"

#include "model/TextForms.h"

namespace zr410 {

ErrorHistory::ErrorHistory(QObject* parent) : QAbstractTableModel(parent) {}

void ErrorHistory::Open() {
    beginResetModel();
    entries_.fill({});
    open_ = true;
    endResetModel();
}

QString ErrorHistory::Text(int row, int column) const {
    if (row < 1 || row > kEntries) {
        return {};
    }
    const Entry& entry = entries_[row - 1];
    return column == 1 ? entry.code : column == 2 ? entry.name : QString();
}

void ErrorHistory::SetEntry(int row, int code) {
    if (row < 1 || row > kEntries) {
        return;
    }
    entries_[row - 1] = {IntegerText(code), ErrorName(code)};
    emit dataChanged(index(row - 1, 0), index(row - 1, 1));
}

int ErrorHistory::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kEntries;
}

int ErrorHistory::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ErrorHistory::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return Text(index.row() + 1, index.column() + 1);
}

QVariant ErrorHistory::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section == 0 ? QStringLiteral("에러 번호") : QStringLiteral("에러 명칭");
}

}  // namespace zr410
