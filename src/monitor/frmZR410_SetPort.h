#pragma once

#include <QDialog>

#include <memory>

#include "engine/PortSettings.h"

namespace Ui {
class frmZR410_SetPort;
}

namespace zr410 {

// Port settings dialog ("통신포트 설정"): six editable boxes for the line settings of
// Comm.CFG. OK writes Comm.CFG and hands the new settings back through Settings(); the main
// window applies them to its status bar and uses them at the next opening of the port.
class frmZR410_SetPort : public QDialog {
    Q_OBJECT

public:
    explicit frmZR410_SetPort(const PortSettings& current, QWidget* parent = nullptr);
    ~frmZR410_SetPort() override;

    // The settings confirmed with OK; until then the ones the dialog was opened with.
    const PortSettings& Settings() const { return settings_; }
    // What the six boxes hold now, exactly as typed or chosen.
    PortSettings DialogSettings() const;

    // Tries to open the port named by the text (COMn or a device path) and closes it again;
    // shows why it cannot be opened (no such port, in use, no permission) in lblMsg, clears
    // lblMsg when it opens, and leaves lblMsg alone for any other failure.
    void TestPort(const QString& portText);
    // Writes the six texts to Comm.CFG; false when the file could not be written.
    bool WriteDialogSettings();

protected:
    // A message box with only an OK button; tests replace it.
    virtual void ShowMessage(const QString& text);

private:
    void Form_Load();
    void cmbPort_Click(int index);
    void btnOK_Click();
    void btnCancel_Click();

    std::unique_ptr<Ui::frmZR410_SetPort> ui;
    PortSettings settings_;
};

}  // namespace zr410
