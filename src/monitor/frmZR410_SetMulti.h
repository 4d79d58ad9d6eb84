#pragma once

#include <QDialog>

#include <memory>
#include <vector>

#include "engine/DeviceSelection.h"

namespace Ui {
class frmZR410_SetMulti;
}

namespace zr410 {

class ChoiceDelegate;

// Device selection dialog ("멀티 설정"): 99 rows, one per device number, with the use flag
// (an O/X drop-down) and the channel name. OK refuses an empty selection, writes SetMulti.INI
// and hands the served device numbers to the main window through SelectedDeviceNumbers().
class frmZR410_SetMulti : public QDialog {
    Q_OBJECT

public:
    static const QString kNothingSelectedText;

    explicit frmZR410_SetMulti(QWidget* parent = nullptr);
    ~frmZR410_SetMulti() override;

    // What the grid holds now.
    SelectionGrid Entries() const;
    // The device numbers confirmed with OK, ascending; empty until then.
    const std::vector<int>& SelectedDeviceNumbers() const { return selected_; }

protected:
    // A message box with only an OK button; tests replace it.
    virtual void ShowMessage(const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void LoadSelectionGrid();
    void btnOK_Click();
    void btnCancel_Click();

    void setAllUse(const QString& use);
    void setUse(int row, const QString& use);
    void showUse(int row);
    void showCount();
    void commitOpenEditor();

    std::unique_ptr<Ui::frmZR410_SetMulti> ui;
    ChoiceDelegate* useDelegate_ = nullptr;
    std::vector<int> selected_;
};

}  // namespace zr410
