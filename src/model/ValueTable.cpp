#include "model/ValueTable.h"

#include <QBrush>
#include <QColor>

#include <array>

namespace zr410 {
namespace {

constexpr std::array<const char*, 32> kHeaders = {"",
                                                  "통신상태",
                                                  "금형온도",
                                                  "매체온도",
                                                  "회수온도",
                                                  "급수온도",
                                                  "압력",
                                                  "STATUS",
                                                  "요일",
                                                  "년",
                                                  "월",
                                                  "일",
                                                  "시",
                                                  "분",
                                                  "초",
                                                  "남은 예약 시",
                                                  "남은 예약 분",
                                                  "예약 요일",
                                                  "POWER ON/OFF",
                                                  "RUN/STOP",
                                                  "AT ON/OFF",
                                                  "PREH/STOP",
                                                  "SUCTION ON/OFF",
                                                  "COOL ON/OFF",
                                                  "MOLD ON/OFF",
                                                  "BUZZER",
                                                  "SV",
                                                  "가열출력값",
                                                  "냉각출력값",
                                                  "R상 전류값",
                                                  "S상 전류값",
                                                  "T상 전류값"};

}  // namespace

ValueTable::ValueTable(QObject* parent) : QAbstractTableModel(parent) {}

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
    if (column >= 0 && column < static_cast<int>(kHeaders.size())) {
        return QString::fromUtf8(kHeaders[column]);
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
