#include "params/frmZR410_EditTime.h"

#include "ui_frmZR410_EditTime.h"

#include "model/WriteScaling.h"
#include "params/EntryMessages.h"
#include "protocol/FrameCodec.h"

namespace zr410 {

frmZR410_EditTime::frmZR410_EditTime(SharedState& state, int editRegister, const QString& caption,
                                     const QString& oldValue, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::frmZR410_EditTime>()),
      state_(state),
      editRegister_(editRegister) {
    ui->setupUi(this);
    setWindowTitle(caption);
    setAccessibleName(caption + QStringLiteral(" 시각 변경"));
    ui->lblOldVal->setText(oldValue);
    ui->lblOldVal->setAccessibleDescription(oldValue);
    ui->txtEditTime_0->setFocus();
    connect(ui->btnOK, &QPushButton::clicked, this, &frmZR410_EditTime::btnOK_Click);
    connect(ui->btnCancel, &QPushButton::clicked, this, &frmZR410_EditTime::btnCancel_Click);
}

frmZR410_EditTime::~frmZR410_EditTime() = default;

void frmZR410_EditTime::btnOK_Click() {
    const QString hours = ui->txtEditTime_0->text();
    const QString minutes = ui->txtEditTime_1->text();
    if (hours.isEmpty() || minutes.isEmpty()) {
        ShowMessage(QString::fromUtf8(kEnterNewValue));
        return;
    }
    const int minuteRegister = editRegister_ + 1;
    const std::int64_t h = ScaleEntryForWrite(editRegister_, hours, 0);
    const std::int64_t m = ScaleEntryForWrite(minuteRegister, minutes, 0);
    if (state_.QueueWrite({{editRegister_, h}, {minuteRegister, m}}) != WriteOutcome::Queued) {
        const bool hoursBad = h < kMinWordValue || h > kMaxWordValue;
        ShowMessage(hoursBad ? OutOfRangeText(editRegister_, hours, 0)
                             : OutOfRangeText(minuteRegister, minutes, 0));
        return;
    }
    accept();
}

void frmZR410_EditTime::btnCancel_Click() {
    reject();
}

void frmZR410_EditTime::ShowMessage(const QString& text) {
    ShowEntryMessage(this, text);
}

}  // namespace zr410
