#include "params/frmZR410_PRMT.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "common/NumberEntry.h"
#include "engine/SerialLink.h"
#include "engine/SharedState.h"
#include "model/Decoders.h"
#include "model/TextForms.h"
#include "model/ValueTable.h"
#include "model/WriteScaling.h"
#include "params/EntryMessages.h"
#include "params/OptionButtons.h"
#include "params/ParameterGrid.h"
#include "params/frmZR410_EditTime.h"
#include "params/frmZR410_EditVal.h"
#include "protocol/RegisterMap.h"
#include "widgets/CommitLineEdit.h"

namespace zr410 {
namespace {

// N(Val(t)): the leading number of a table text, rounded halves to even; 0 for an empty cell.
int numberIn(const QString& text) {
    return static_cast<int>(RoundHalfEven(ParseLeadingNumber(text)));
}

// The unit cell of the P row, beside the heating and cooling P.
constexpr int kUnitColumn = 3;

}  // namespace

frmZR410_PRMT::frmZR410_PRMT(SharedState& state, ValueTable& sprdMulti, DeviceDecoders& decoders,
                             SerialLink& link, QWidget* parent)
    : QDialog(parent), state_(state), sprdMulti_(sprdMulti), decoders_(decoders) {
    setObjectName(QStringLiteral("frmZR410_PRMT"));
    setWindowTitle(QStringLiteral("파라메터 설정"));
    setAccessibleName(QStringLiteral("파라메터 설정"));
    setModal(true);
    tmrRefresh.setSingleShot(true);
    tmrRefresh.setInterval(kRefreshMs);
    buildLayout();

    for (int g = 0; g < kOptionGroupCount; ++g) {
        const auto group = static_cast<OptionGroupId>(g);
        connect(opt_[static_cast<size_t>(g)], &OptionButtons::optionSelected, this,
                [this, group](int index) { Option_Click(group, index); });
    }
    for (int i = 0; i < kWeekdayCount; ++i) {
        // Toggled, not clicked: an assistive tool's toggle changes the state without a click.
        connect(chbWName[static_cast<size_t>(i)], &QCheckBox::toggled, this,
                [this, i] { chbWName_Click(i); });
    }
    for (int f = 0; f < kTextFieldCount; ++f) {
        const auto field = static_cast<TextFieldId>(f);
        CommitLineEdit* edit = txt_[static_cast<size_t>(f)];
        connect(edit, &CommitLineEdit::committed, this,
                [this, field](const QString& text) { TextField_Commit(field, text); });
        connect(edit, &QLineEdit::textChanged, this, [this, f] {
            if (!Refreshing_) {
                typed_[static_cast<size_t>(f)] = true;
            }
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, field, edit, f] {
            if (typed_[static_cast<size_t>(f)]) {
                TextField_Commit(field, edit->text());
            }
        });
    }
    for (int g = 0; g < static_cast<int>(sprd_.size()); ++g) {
        const auto id = static_cast<ParamGridId>(g);
        connect(sprd_[static_cast<size_t>(g)], &ParameterGrid::cellClick, this,
                [this, id](int column, int row) { Grid_Click(id, column, row); });
    }
    connect(btnClose, &QPushButton::clicked, this, &frmZR410_PRMT::btnClose_Click);
    connect(&tmrRefresh, &QTimer::timeout, this, &frmZR410_PRMT::tmrRefresh_Timer);
    // The connection ends with the window.
    connect(&link, &SerialLink::indicator, this, &frmZR410_PRMT::ShowIndicator);
    Form_Load();
}

frmZR410_PRMT::~frmZR410_PRMT() {
    Form_Unload();
}

void frmZR410_PRMT::Form_Load() {
    state_.ParamScreenOpen = true;
    lblEdit_ID->setText(QString::number(state_.EditDeviceNo));
    lblEdit_ID->setAccessibleDescription(lblEdit_ID->text());
    // Design state until the first refresh: every group at its first option, the decimal
    // point at "0.1". Selecting them is no operator's choice.
    Refreshing_ = true;
    for (OptionButtons* group : opt_) {
        group->Select(0);
    }
    Options(OptionGroupId::DP)->Select(1);
    Refreshing_ = false;
}

void frmZR410_PRMT::Form_Unload() {
    tmrRefresh.stop();
    state_.ParamScreenOpen = false;
}

void frmZR410_PRMT::ShowIndicator(const EngineIndicator& indicator) {
    // Both blocks of the edit device have just been read and decoded into its row.
    if (indicator.kind == EngineIndicator::Kind::ParameterRefresh &&
        indicator.deviceIndex == state_.EditDeviceIndex) {
        tmrRefresh.start();
    }
}

QString frmZR410_PRMT::RowText(int address) const {
    return sprdMulti_.Text(state_.EditDeviceIndex + 1, ScreenColumn(address));
}

void frmZR410_PRMT::tmrRefresh_Timer() {
    tmrRefresh.stop();
    Refreshing_ = true;

    const int dp = numberIn(RowText(kRegDecimalPoint));
    Options(OptionGroupId::DP)->Select(dp);
    decoders_.DecimalPlaces = ClampDecimalPlaces(dp);
    const QString unitText = RowText(kRegTempUnit);
    Options(OptionGroupId::TUnit)->Select(numberIn(unitText));
    decoders_.TempUnitText = zr410::TempUnitText(ParseLeadingNumber(unitText) > 0 ? 1 : 0);

    for (int g = 0; g < kOptionGroupCount; ++g) {
        const OptionGroupInfo& info = OptionGroup(static_cast<OptionGroupId>(g));
        // The control mode is only ever written; no block reads it back.
        if (ScreenColumn(info.address) >= 0) {
            opt_[static_cast<size_t>(g)]->Select(numberIn(RowText(info.address)));
        }
    }

    for (const GridCellInfo& cell : GridCells()) {
        ParameterGrid* g = Grid(cell.grid);
        const int row = cell.row == 0 ? 1 : cell.row;
        if (cell.time) {
            ShowTime(cell.column, cell.address);
        } else {
            // Shown exactly as decoded; the screen never reformats a value.
            g->SetCellText(cell.column, row, RowText(cell.address));
        }
    }
    // The alarm header keeps its design "℃"; only the P row's unit cell follows the unit.
    Grid(ParamGridId::CTRL)->SetCellText(kUnitColumn, 1, decoders_.TempUnitText);

    for (int f = 0; f < kTextFieldCount; ++f) {
        txt_[static_cast<size_t>(f)]->setText(
            RowText(TextField(static_cast<TextFieldId>(f)).address));
        typed_[static_cast<size_t>(f)] = false;
    }

    const int days = numberIn(RowText(kRegWeeklyDays));
    for (int i = 0; i < kWeekdayCount; ++i) {
        chbWName[static_cast<size_t>(i)]->setChecked(((days >> i) & 1) != 0);
    }
    Refreshing_ = false;
}

// A weekly time as hh:mm from its hour and minute registers (7 and 5 give 07:05).
void frmZR410_PRMT::ShowTime(int column, int hourAddress) {
    const QString hours = RowText(hourAddress);
    const QString minutes = RowText(hourAddress + 1);
    QString text;
    if (!hours.isEmpty() || !minutes.isEmpty()) {
        text = TwoDigitText(numberIn(hours)) + QLatin1Char(':') + TwoDigitText(numberIn(minutes));
    }
    Grid(ParamGridId::Time_SE)->SetCellText(column, 1, text);
}

void frmZR410_PRMT::Option_Click(OptionGroupId group, int index) {
    if (Refreshing_) {
        return;
    }
    state_.QueueWrite({{OptionGroup(group).address, index}});
}

void frmZR410_PRMT::chbWName_Click(int) {
    if (Refreshing_) {
        return;
    }
    // All seven boxes make the mask; the one clicked plays no other role.
    int mask = 0;
    for (int i = 0; i < kWeekdayCount; ++i) {
        if (chbWName[static_cast<size_t>(i)]->isChecked()) {
            mask |= 1 << i;
        }
    }
    state_.QueueWrite({{kRegWeeklyDays, mask}});
}

void frmZR410_PRMT::TextField_Commit(TextFieldId field, const QString& text) {
    if (Refreshing_) {
        return;
    }
    typed_[static_cast<size_t>(field)] = false;
    const int address = TextField(field).address;
    // An empty or non-numeric entry is written as 0, as the screen always did.
    const std::int64_t word = ScaleEntryForWrite(address, text, decoders_.DecimalPlaces);
    if (state_.QueueWrite({{address, word}}) != WriteOutcome::Queued) {
        ShowMessage(OutOfRangeText(address, text, decoders_.DecimalPlaces));
    }
}

void frmZR410_PRMT::Grid_Click(ParamGridId grid, int column, int row) {
    const GridCellInfo* cell = FindGridCell(grid, column, row);
    if (cell == nullptr) {
        return;
    }
    const QString caption = QString::fromUtf8(cell->caption);
    const QString oldValue = Grid(grid)->CellText(column, row);
    if (cell->time) {
        frmZR410_EditTime dialog(state_, cell->address, caption, oldValue, this);
        ExecDialog(dialog);
    } else {
        frmZR410_EditVal dialog(state_, cell->address, caption, oldValue, decoders_.DecimalPlaces,
                                this);
        ExecDialog(dialog);
    }
}

void frmZR410_PRMT::btnClose_Click() {
    accept();
}

OptionButtons* frmZR410_PRMT::Options(OptionGroupId group) const {
    return opt_[static_cast<size_t>(group)];
}

CommitLineEdit* frmZR410_PRMT::Field(TextFieldId field) const {
    return txt_[static_cast<size_t>(field)];
}

ParameterGrid* frmZR410_PRMT::Grid(ParamGridId grid) const {
    return sprd_[static_cast<size_t>(grid)];
}

int frmZR410_PRMT::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

void frmZR410_PRMT::ShowMessage(const QString& text) {
    ShowEntryMessage(this, text);
}

}  // namespace zr410
