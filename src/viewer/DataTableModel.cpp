#include "viewer/DataTableModel.h"

#include <QColor>

#include <limits>

#include "viewer/ChartView.h"

namespace zr410 {

void DataTableModel::setContents(std::shared_ptr<const DataFileContents> contents) {
    beginResetModel();
    contents_ = std::move(contents);
    endResetModel();
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !contents_) {
        return 0;
    }
    // A view addresses rows with int; beyond that the chart still shows every point.
    return static_cast<int>(
        std::min<qsizetype>(contents_->size(), std::numeric_limits<int>::max()));
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFixedColumns + kDataSeriesCount;
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (!contents_ || !index.isValid()) {
        return QVariant();
    }
    const int row = index.row();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            if (column == 0) {
                return QString::number(row + 1);
            }
            if (column == 1) {
                return contents_->dates.at(row);
            }
            if (column == 2) {
                return contents_->times.at(row);
            }
            return QString::number(contents_->series[column - kFixedColumns][row], 'g', 12);
        case Qt::BackgroundRole:
            return row % 2 == 0 ? QColor(Qt::white) : QColor(0xC0, 0xFF, 0xC0);
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return column >= kFixedColumns || column == 0
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant(Qt::AlignCenter);
        default:
            return QVariant();
    }
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QString fixed[kFixedColumns] = {QStringLiteral("No"), QStringLiteral("Date"),
                                                 QStringLiteral("Time")};
    if (section < kFixedColumns) {
        return fixed[section];
    }
    if (section < kFixedColumns + kDataSeriesCount) {
        return ChartView::SeriesNames()[section - kFixedColumns];
    }
    return QVariant();
}

}  // namespace zr410
