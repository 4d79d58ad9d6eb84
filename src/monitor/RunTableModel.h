#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "widgets/TwoRowHeaderView.h"

namespace zr410 {

class ValueTable;

// The run table: one row per served controller with its link state, the five measured values,
// the set value, the eight operating states and the reservation state, copied from the value
// table after each status reply of that controller. Rows are addressed from 1 as the value
// table's are (row = device index + 1); model row i is table row i + 1.
class RunTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 18;
    static constexpr int kColDeviceNo = 0;
    static constexpr int kColLink = 1;
    static constexpr int kColFirstValue = 2;  // 2..6: mold, medium, return, supply, pressure
    static constexpr int kColSetValue = 7;
    static constexpr int kColFirstButton = 8;  // 8..15: PWR, RUN, AT, PREH, SUCTION, COOL, ...
    static constexpr int kButtonCount = 8;
    static constexpr int kColReserveMode = 16;
    static constexpr int kColReserveText = 17;

    static const QColor kButtonOn;       // red
    static const QColor kButtonOff;      // light grey
    static const QColor kButtonUnknown;  // the grey of a row not yet updated
    static const QString kSetValueHint;

    explicit RunTableModel(const ValueTable& values, QObject* parent = nullptr);

    // The window opens: one row per row of the value table with its device number; the SV
    // hint on rows whose last poll was good. Every other cell stays empty until the row's
    // first update.
    void Load();
    // A status reply of the row's controller has been written to the value table.
    void UpdateRunMultiRow(int row);
    // A request to the row's controller got no reply.
    void MarkTimeout(int row);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    bool isRow(int row) const { return row >= 1 && row <= RowCount(); }
    QString Text(int row, int column) const;
    std::optional<std::uint32_t> Background(int row, int column) const;  // 0xRRGGBB
    QString Hint(int row, int column) const;
    // The state a button cell shows; no value before the row's first update.
    std::optional<bool> ButtonOn(int row, int column) const;
    QColor ButtonColor(int row, int column) const;

    // The upper header row: "PV" over the five values, "CONTROL" over the buttons, "예약" over
    // the reservation columns; the other columns span both rows.
    static std::vector<TwoRowHeaderView::Group> HeaderGroups();

    static bool IsButtonColumn(int column);
    // Index of the command a button column sends (0 = PWR), or -1.
    static int CommandIndex(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::array<QString, kColumnCount> text;
        std::optional<std::uint32_t> linkBackground;
        std::array<std::optional<bool>, kButtonCount> on;
        QString hint;
    };
    void rowChanged(int row);

    const ValueTable& values_;
    std::vector<Row> rows_;
};

}  // namespace zr410
