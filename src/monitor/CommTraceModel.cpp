#include "monitor/CommTraceModel.h"

#include "protocol/FrameCodec.h"

namespace zr410 {

CommTraceModel::CommTraceModel(QObject* parent) : QAbstractTableModel(parent) {}

void CommTraceModel::SetPaused(bool paused) {
    if (paused && !paused_) {
        skipped_ = 0;
    }
    paused_ = paused;
}

int CommTraceModel::ShowCommTrace(const QByteArray& bytes, TraceDirection direction,
                                  const QTime& when) {
    if (bytes.isEmpty()) {
        return 0;
    }
    if (paused_) {
        ++skipped_;
        return 0;
    }
    int added = 0;
    for (qsizetype start = 0; start < bytes.size(); start += kByteColumns) {
        appendRow({bytes.mid(start, kByteColumns), direction, start > 0, when});
        ++added;
    }
    return added;
}

void CommTraceModel::appendRow(Row row) {
    if (RowCount() >= kMaxRows) {
        beginRemoveRows({}, 0, 0);
        rows_.pop_front();
        endRemoveRows();
    }
    const int at = RowCount();
    beginInsertRows({}, at, at);
    rows_.push_back(std::move(row));
    endInsertRows();
}

QByteArray CommTraceModel::Bytes(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].bytes : QByteArray();
}

QString CommTraceModel::DirectionText(int row) const {
    if (row < 0 || row >= RowCount()) {
        return {};
    }
    const Row& r = rows_[static_cast<size_t>(row)];
    QString text =
        r.direction == TraceDirection::Sent ? QStringLiteral("송신") : QStringLiteral("수신");
    return r.continued ? text + QStringLiteral(" 계속") : text;
}

QString CommTraceModel::CellText(int row, int column) const {
    const QByteArray bytes = Bytes(row);
    return column >= 0 && column < bytes.size() ? ByteText(bytes[column]) : QString();
}

QString CommTraceModel::RowText(int row) const {
    if (row < 0 || row >= RowCount()) {
        return {};
    }
    const Row& r = rows_[static_cast<size_t>(row)];
    return r.time.toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char('\t') +
           DirectionText(row) + QLatin1Char('\t') +
           QString::fromLatin1(ReadableFrame(r.bytes, OtherBytes::Hex));
}

QString CommTraceModel::ByteText(char byte) {
    switch (byte) {
        case kSTX:
            return QStringLiteral("STX");
        case kCR:
            return QStringLiteral("CR");
        case kLF:
            return QStringLiteral("LF");
        default:
            break;
    }
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x20 && code < 0x7F) {
        return QString(QLatin1Char(byte));
    }
    return QStringLiteral("<%1>").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

int CommTraceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int CommTraceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kByteColumns;
}

QVariant CommTraceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return CellText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
    }
}

QVariant CommTraceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }
    if (section < 0 || section >= RowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return DirectionText(section);
    }
    if (role == Qt::ToolTipRole) {
        return rows_[static_cast<size_t>(section)].time.toString(QStringLiteral("HH:mm:ss.zzz"));
    }
    return {};
}

}  // namespace zr410
