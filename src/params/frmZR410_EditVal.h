#pragma once

#include <QDialog>

#include <memory>

#include "engine/SharedState.h"

namespace Ui {
class frmZR410_EditVal;
}

namespace zr410 {

// Entry of one new register value ("가열측 P", "SV", ...): shows the value as displayed, takes
// the new one and queues its write to the edit device, scaled the way the register is shown
// (decimal places for temperatures, hundredths for pressures, tenths for current limits).
// OK with an empty entry, or with one no frame can carry, keeps the dialog open as typed.
class frmZR410_EditVal : public QDialog {
    Q_OBJECT

public:
    // decimalPlaces: those of the edit device, which temperature-class entries are scaled by.
    frmZR410_EditVal(SharedState& state, int editRegister, const QString& caption,
                     const QString& oldValue, int decimalPlaces, QWidget* parent = nullptr);
    ~frmZR410_EditVal() override;

    int EditRegister() const { return editRegister_; }

    void btnOK_Click();
    void btnCancel_Click();

protected:
    // Tests replace it.
    virtual void ShowMessage(const QString& text);

private:
    std::unique_ptr<Ui::frmZR410_EditVal> ui;
    SharedState& state_;
    int editRegister_;
    int decimalPlaces_;
};

}  // namespace zr410
