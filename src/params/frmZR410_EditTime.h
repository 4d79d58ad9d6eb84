#pragma once

#include <QDialog>

#include <memory>

#include "engine/SharedState.h"

namespace Ui {
class frmZR410_EditTime;
}

namespace zr410 {

// Entry of a new time of day for the weekly reservation: hours and minutes, written together
// as the pair (hour register, hours), (hour register + 1, minutes). Hours above 23 or minutes
// above 59 are sent as entered; only empty fields and entries no frame can carry are refused.
class frmZR410_EditTime : public QDialog {
    Q_OBJECT

public:
    frmZR410_EditTime(SharedState& state, int editRegister, const QString& caption,
                      const QString& oldValue, QWidget* parent = nullptr);
    ~frmZR410_EditTime() override;

    int EditRegister() const { return editRegister_; }

    void btnOK_Click();
    void btnCancel_Click();

protected:
    // Tests replace it.
    virtual void ShowMessage(const QString& text);

private:
    std::unique_ptr<Ui::frmZR410_EditTime> ui;
    SharedState& state_;
    int editRegister_;
};

}  // namespace zr410
