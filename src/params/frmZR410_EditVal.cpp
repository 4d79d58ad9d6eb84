#include "params/frmZR410_EditVal.h"

#include "ui_frmZR410_EditVal.h"

#include "model/WriteScaling.h"
#include "params/EntryMessages.h"

namespace zr410 {

frmZR410_EditVal::frmZR410_EditVal(SharedState& state, int editRegister, const QString& caption,
                                   const QString& oldValue, int decimalPlaces, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::frmZR410_EditVal>()),
      state_(state),
      editRegister_(editRegister),
      decimalPlaces_(decimalPlaces) {
    ui->setupUi(this);
    setWindowTitle(caption);
    setAccessibleName(caption + QStringLiteral(" 값 변경"));
    ui->lblOldVal->setText(oldValue);
    ui->lblOldVal->setAccessibleDescription(oldValue);
    ui->txtEditVal->setFocus();
    connect(ui->btnOK, &QPushButton::clicked, this, &frmZR410_EditVal::btnOK_Click);
    connect(ui->btnCancel, &QPushButton::clicked, this, &frmZR410_EditVal::btnCancel_Click);
}

frmZR410_EditVal::~frmZR410_EditVal() = default;

void frmZR410_EditVal::btnOK_Click() {
    const QString text = ui->txtEditVal->text();
    if (text.isEmpty()) {
        ShowMessage(QString::fromUtf8(kEnterNewValue));
        return;
    }
    const std::int64_t word = ScaleEntryForWrite(editRegister_, text, decimalPlaces_);
    if (state_.QueueWrite({{editRegister_, word}}) != WriteOutcome::Queued) {
        ShowMessage(OutOfRangeText(editRegister_, text, decimalPlaces_));
        return;
    }
    accept();
}

void frmZR410_EditVal::btnCancel_Click() {
    reject();
}

void frmZR410_EditVal::ShowMessage(const QString& text) {
    ShowEntryMessage(this, text);
}

}  // namespace zr410
