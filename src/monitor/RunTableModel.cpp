#include "monitor/RunTableModel.h"

#include "engine/EngineIndicator.h"
#include "model/TextForms.h"
#include "model/ValueTable.h"
#include "monitor/CommandCaptions.h"
#include "protocol/RegisterMap.h"
#include "widgets/CellGrid.h"

namespace zr410 {
namespace {

// Lower header row (or the whole header of a column outside every group).
constexpr std::array<const char*, RunTableModel::kColumnCount> kHeaderTexts = {
    "기기번호", "통신상태", "금형온도", "매체온도", "회수온도", "급수온도",
    "압력",     "SV",       "",         "",         "",         "",
    "",         "",         "",         "",         "모드",     "잔여시간 or 요일"};

const QString kNoReservation = QStringLiteral("예약없음");
const QString kTimeReservation = QStringLiteral("시간예약");
const QString kWeeklyReservation = QStringLiteral("주간예약");
const QString kBothReservations = QStringLiteral("ERROR");
constexpr std::uint32_t kTimeoutRed = 0xFF0000;

QColor FromRgb(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

const QColor RunTableModel::kButtonOn(0xFF, 0x00, 0x00);
const QColor RunTableModel::kButtonOff(0xE0, 0xE0, 0xE0);
const QColor RunTableModel::kButtonUnknown(0xC0, 0xC0, 0xC0);
const QString RunTableModel::kSetValueHint = QStringLiteral("클릭하면 데이터 수정 가능");

RunTableModel::RunTableModel(const ValueTable& values, QObject* parent)
    : QAbstractTableModel(parent), values_(values) {}

std::vector<TwoRowHeaderView::Group> RunTableModel::HeaderGroups() {
    return {{kColFirstValue, kColSetValue - 1, QStringLiteral("PV")},
            {kColFirstButton, kColFirstButton + kButtonCount - 1, QStringLiteral("CONTROL")},
            {kColReserveMode, kColReserveText, QStringLiteral("예약")}};
}

bool RunTableModel::IsButtonColumn(int column) {
    return CommandIndex(column) >= 0;
}

int RunTableModel::CommandIndex(int column) {
    const int index = column - kColFirstButton;
    return index >= 0 && index < kButtonCount ? index : -1;
}

void RunTableModel::Load() {
    beginResetModel();
    rows_.assign(static_cast<size_t>(values_.RowCount()), Row{});
    const QString good = QString::fromUtf8(LinkMarkText(LinkMark::Good));
    for (int r = 1; r <= values_.RowCount(); ++r) {
        Row& row = rows_[static_cast<size_t>(r - 1)];
        row.text[kColDeviceNo] = values_.Text(r, 0);
        for (int i = 0; i < kButtonCount; ++i) {
            row.text[static_cast<size_t>(kColFirstButton + i)] =
                QString::fromLatin1(kCommandCaptions[static_cast<size_t>(i)]);
        }
        // Set once: a controller that answers only later gets no hint while the table is open.
        row.hint = values_.Text(r, ValueTable::kColLinkState) == good ? kSetValueHint : QString();
    }
    endResetModel();
}

void RunTableModel::UpdateRunMultiRow(int r) {
    if (!isRow(r) || !values_.isRow(r)) {
        return;
    }
    Row& row = rows_[static_cast<size_t>(r - 1)];
    auto status = [&](int address) { return values_.Text(r, ValueTable::StatusColumn(address)); };

    row.text[kColLink] = values_.Text(r, ValueTable::kColLinkState);
    row.linkBackground = values_.Background(r, ValueTable::kColLinkState);
    for (size_t i = 0; i < kMeasuredRegisters.size(); ++i) {
        row.text[kColFirstValue + i] = status(kMeasuredRegisters[i]);
    }
    row.text[kColSetValue] = status(kRegSetValue);

    const int word = status(kRegStatusWord).toInt();
    for (size_t i = 0; i < kButtonCount; ++i) {
        row.on[i] = StatusBitSet(word, kCommandStatusBit[i]);
    }
    const bool timed = StatusBitSet(word, kBitTimeReservation);
    const bool weekly = StatusBitSet(word, kBitWeeklyReservation);
    QString& mode = row.text[kColReserveMode];
    QString& rest = row.text[kColReserveText];
    if (timed && weekly) {
        mode = kBothReservations;
        rest = QStringLiteral("xxx");
    } else if (timed) {
        mode = kTimeReservation;
        rest = status(kRegRemainingHours) + QStringLiteral("시간 ") + status(kRegRemainingMinutes) +
               QStringLiteral("분");
    } else if (weekly) {
        mode = kWeeklyReservation;
        rest = WeekdayName(status(kRegReservationWeekday).toInt()) + QStringLiteral("요일");
    } else {
        mode = kNoReservation;
        rest = QStringLiteral("---");
    }
    rowChanged(r);
}

void RunTableModel::MarkTimeout(int r) {
    if (!isRow(r)) {
        return;
    }
    Row& row = rows_[static_cast<size_t>(r - 1)];
    row.text[kColLink] = QStringLiteral("불량");
    row.linkBackground = kTimeoutRed;
    const QModelIndex cell = index(r - 1, kColLink);
    emit dataChanged(cell, cell);
}

void RunTableModel::rowChanged(int r) {
    emit dataChanged(index(r - 1, 0), index(r - 1, kColumnCount - 1));
}

QString RunTableModel::Text(int r, int column) const {
    if (!isRow(r) || column < 0 || column >= kColumnCount) {
        return {};
    }
    return rows_[static_cast<size_t>(r - 1)].text[static_cast<size_t>(column)];
}

std::optional<std::uint32_t> RunTableModel::Background(int r, int column) const {
    if (!isRow(r) || column != kColLink) {
        return std::nullopt;
    }
    return rows_[static_cast<size_t>(r - 1)].linkBackground;
}

QString RunTableModel::Hint(int r, int column) const {
    return isRow(r) && column == kColSetValue ? rows_[static_cast<size_t>(r - 1)].hint : QString();
}

std::optional<bool> RunTableModel::ButtonOn(int r, int column) const {
    const int command = CommandIndex(column);
    if (!isRow(r) || command < 0) {
        return std::nullopt;
    }
    return rows_[static_cast<size_t>(r - 1)].on[static_cast<size_t>(command)];
}

QColor RunTableModel::ButtonColor(int r, int column) const {
    const std::optional<bool> on = ButtonOn(r, column);
    if (!on) {
        return kButtonUnknown;
    }
    return *on ? kButtonOn : kButtonOff;
}

int RunTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int RunTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int r = index.row() + 1;
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return Text(r, column);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::BackgroundRole:
            if (const auto rgb = Background(r, column)) {
                return FromRgb(*rgb);
            }
            return {};
        case Qt::ForegroundRole:
            if (const auto rgb = Background(r, column)) {
                return FromRgb(*rgb).lightness() < 140 ? QColor(Qt::white) : QColor(Qt::black);
            }
            return {};
        case Qt::ToolTipRole:
            return Hint(r, column).isEmpty() ? QVariant() : QVariant(Hint(r, column));
        case ButtonCellRole:
            return IsButtonColumn(column);
        case ButtonColorRole:
            return IsButtonColumn(column) ? QVariant(ButtonColor(r, column)) : QVariant();
        case ButtonOnRole: {
            const std::optional<bool> on = ButtonOn(r, column);
            return on ? QVariant(*on) : QVariant();
        }
        default:
            return {};
    }
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }
    if (section < 0 || section >= kColumnCount) {
        return {};
    }
    const QString lower = QString::fromUtf8(kHeaderTexts[static_cast<size_t>(section)]);
    if (role == Qt::DisplayRole) {
        return lower;
    }
    if (role == Qt::AccessibleTextRole) {
        // Read out whole: the group's word and the column's own ("PV 금형온도", "CONTROL RUN").
        const QString own =
            IsButtonColumn(section)
                ? QString::fromLatin1(kCommandCaptions[static_cast<size_t>(CommandIndex(section))])
                : lower;
        for (const auto& group : HeaderGroups()) {
            if (section >= group.first && section <= group.last) {
                return group.text + QLatin1Char(' ') + own;
            }
        }
        return own;
    }
    return {};
}

}  // namespace zr410
