#include "model/ValueTable.h"

#include <QBrush>
#include <QColor>

#include <array>

#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

constexpr int kFirstStatusValueColumn = 2;
constexpr int kLastStatusColumn = 31;

}  // namespace

ValueTable::ValueTable(QObject* parent) : QAbstractTableModel(parent) {}

int ValueTable::StatusColumn(int address) {
    if (address == kRegDecimalPoint) {
        return kColDecimalPlaces;
    }
    if (address == kRegTempUnit) {
        return kColUnitCode;
    }
    const int position = PositionIn(kStatusList, address);
    return position >= kFirstStatusValueColumn ? position : -1;
}

int ValueTable::ParameterColumn(int address) {
    const int position = PositionIn(kParameterList, address);
    return position >= 0 ? kColFirstParameter + position : -1;
}

int ValueTable::ReservationColumn(int address) {
    const int position = PositionIn(kReservationList, address);
    return position >= 0 ? kColFirstReservation + position : -1;
}

void ValueTable::resetRows(const std::vector<int>& deviceNumbers) {
    beginResetModel();
    rows_.assign(deviceNumbers.size(), std::vector<Cell>(kColumnCount));
    for (size_t i = 0; i < deviceNumbers.size(); ++i) {
        rows_[i][0].text = QString::number(deviceNumbers[i]);
    }
    endResetModel();
}

bool ValueTable::valid(int row, int column) const {
    return isRow(row) && column >= 0 && column < kColumnCount;
}

QString ValueTable::Text(int row, int column) const {
    return valid(row, column) ? rows_[row - 1][column].text : QString();
}

void ValueTable::SetText(int row, int column, const QString& text) {
    if (!valid(row, column)) {
        return;
    }
    Cell& cell = rows_[row - 1][column];
    if (cell.text == text) {
        return;
    }
    cell.text = text;
    const QModelIndex at = index(row - 1, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

std::optional<std::uint32_t> ValueTable::Background(int row, int column) const {
    return valid(row, column) ? rows_[row - 1][column].background : std::nullopt;
}

void ValueTable::SetCell(int row, int column, const QString& text, std::uint32_t background) {
    if (!valid(row, column)) {
        return;
    }
    Cell& cell = rows_[row - 1][column];
    if (cell.text == text && cell.background == background) {
        return;
    }
    cell.text = text;
    cell.background = background;
    const QModelIndex at = index(row - 1, column);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::BackgroundRole});
}

QString ValueTable::HeaderText(int column) {
    if (column == 0) {
        return {};
    }
    if (column == kColLinkState) {
        return QStringLiteral("통신상태");
    }
    if (column >= kFirstStatusValueColumn && column <= kLastStatusColumn) {
        // The status columns carry the screen labels of their registers.
        const auto info = FindRegister(kStatusList[column]);
        return info ? QString::fromUtf8(info->label.data(),
                                        static_cast<qsizetype>(info->label.size()))
                    : QString();
    }
    return QString::number(column);
}

int ValueTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int ValueTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ValueTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const Cell& cell = rows_[index.row()][index.column()];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return cell.text;
        case Qt::BackgroundRole:
            if (cell.background) {
                return QBrush(QColor::fromRgb(*cell.background));
            }
            return {};
        default:
            return {};
    }
}

QVariant ValueTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return HeaderText(section);
    }
    return section >= 0 && section < RowCount() ? rows_[section][0].text : QString();
}

}  // namespace zr410
