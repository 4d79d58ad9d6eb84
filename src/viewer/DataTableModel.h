#pragma once

#include <QAbstractTableModel>

#include <memory>

#include "logging/DataFile.h"

namespace zr410 {

// The records of the loaded file for the data grid `sprdGRP_Data`: columns "No", "Date",
// "Time" and the six series, rows alternating white and light green. Reads the chart's own
// arrays, so a million records cost no copy.
class DataTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kFixedColumns = 3;

    using QAbstractTableModel::QAbstractTableModel;

    void setContents(std::shared_ptr<const DataFileContents> contents);
    // The shared contents gained records at their end.
    void contentsGrew();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const DataFileContents> contents_;
    int rows_ = 0;  // what the view was told, so rows are added between begin and end
};

}  // namespace zr410
