#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zr410 {

// The per-device value table: one row per served controller, holding display texts (link
// state, status values, parameter and reservation blocks, decimal places, unit code). The
// chart, the logger, the parameter screen and the run table all read it; the main window
// listens to its change notifications. Rows and columns are addressed as the program has
// always numbered them: row = device index + 1, column 0 = device number, 1..74 the values.
class ValueTable : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 75;

    // Columns with a fixed meaning.
    static constexpr int kColLinkState = 1;
    static constexpr int kColFirstParameter = 33;
    static constexpr int kColFirstReservation = 65;
    static constexpr int kColDecimalPlaces = 73;
    static constexpr int kColUnitCode = 74;

    // Where a register's value is kept, by the block that reads it; -1 when that block does
    // not carry it. The status block fills columns 2..31 in request order (506 and 507 go to
    // 73 and 74), the parameter block 33..64 and the reservation block 65..74.
    static int StatusColumn(int address);
    static int ParameterColumn(int address);
    static int ReservationColumn(int address);

    explicit ValueTable(QObject* parent = nullptr);

    // Rebuilds the rows for a new device list; every value cell starts empty.
    void resetRows(const std::vector<int>& deviceNumbers);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    bool isRow(int row) const { return row >= 1 && row <= RowCount(); }

    // Cell access by row (from 1) and column; an unwritten cell reads as empty.
    QString Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);
    std::optional<std::uint32_t> Background(int row, int column) const;  // 0xRRGGBB
    void SetCell(int row, int column, const QString& text, std::uint32_t background);

    static QString HeaderText(int column);

    // QAbstractTableModel: model row i is table row i + 1.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Cell {
        QString text;
        std::optional<std::uint32_t> background;
    };
    bool valid(int row, int column) const;

    std::vector<std::vector<Cell>> rows_;
};

}  // namespace zr410
