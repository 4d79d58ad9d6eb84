#include "viewer/DataTableModel.h"

#include <QColor>

#include <limits>

#include "viewer/ChartView.h"

namespace zr410 {

namespace {
// A view addresses rows with int; beyond that the chart still shows every point.
int shownRows(const DataFileContents* contents) {
    return contents == nullptr ? 0
                               : static_cast<int>(std::min<qsizetype>(
                                     contents->size(), std::numeric_limits<int>::max()));
}
}  // namespace

void DataTableModel::setContents(std::shared_ptr<const DataFileContents> contents) {
    beginResetModel();
    contents_ = std::move(contents);
    rows_ = shownRows(contents_.get());
    endResetModel();
}

void DataTableModel::contentsGrew() {
    const int rows = shownRows(contents_.get());
    if (rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
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
                return contents_->stamps.date(row);
            }
            if (column == 2) {
                return contents_->stamps.time(row);
            }
            return DataValueText(*contents_, row, column - kFixedColumns);
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
