#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QTime>

#include <deque>
#include <vector>

#include "engine/EngineIndicator.h"

namespace zr410 {

// The traffic viewer's trace: one row per block on the line (a request sent or a block
// received), one byte per column, at most kMaxRows rows with the oldest dropped first. A block
// longer than a row continues on the next rows. While paused, blocks are counted, not kept.
// Model rows count from 0; the row header shows the direction.
class CommTraceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kByteColumns = 512;
    static constexpr int kMaxRows = 65535;

    explicit CommTraceModel(QObject* parent = nullptr);

    // Appends the block; returns how many rows it took (0 while paused or for no bytes).
    int ShowCommTrace(const QByteArray& bytes, TraceDirection direction,
                      const QTime& when = QTime::currentTime());

    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // Blocks left out since the trace was last paused.
    int SkippedBlocks() const { return skipped_; }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    QByteArray Bytes(int row) const;
    QString DirectionText(int row) const;
    QString CellText(int row, int column) const;
    // A row as one line of text, for the clipboard: time, direction and the bytes in the
    // communication log's spelling (<STX>, <CR>, <LF>, <1B>).
    QString RowText(int row) const;

    // "STX", "CR" and "LF" for those bytes, printable characters as themselves, and every
    // other byte as its hexadecimal code in angle brackets ("<00>").
    static QString ByteText(char byte);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        QByteArray bytes;
        TraceDirection direction = TraceDirection::Received;
        bool continued = false;  // the rest of the block on the row above
        QTime time;
    };
    void appendRow(Row row);

    std::deque<Row> rows_;
    bool paused_ = false;
    int skipped_ = 0;
};

}  // namespace zr410
