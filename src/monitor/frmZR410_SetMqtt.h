#pragma once

#include <QDialog>

#include "publish/MqttSettings.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QSpinBox;

namespace zr410 {

// "MQTT 설정": where this line publishes, how it logs in, and whether the plant may send
// commands. OK writes CFG/MQTT.INI and hands the settings to the main window, which restarts
// the publisher with them.
class frmZR410_SetMqtt : public QDialog {
    Q_OBJECT

public:
    explicit frmZR410_SetMqtt(const MqttSettings& current, QWidget* parent = nullptr);

    // The settings as the fields stand.
    MqttSettings DialogSettings() const;
    // The settings confirmed with OK; until then the ones the dialog was opened with.
    const MqttSettings& Settings() const { return settings_; }

    QCheckBox* chbEnabled() const { return chbEnabled_; }
    QLineEdit* txtHost() const { return txtHost_; }
    QCheckBox* chbCommands() const { return chbCommands_; }

    void btnOK_Click();

protected:
    virtual void ShowMessage(const QString& text);
    // Asks for a file; an empty text when cancelled.
    virtual QString ChooseFile(const QString& title, const QString& start);

private:
    QLineEdit* fileField(const QString& text, const QString& accessible, const QString& title,
                         QGridLayout* grid, int row);
    void showEnabledState();

    MqttSettings settings_;
    QCheckBox* chbEnabled_ = nullptr;
    QLineEdit* txtHost_ = nullptr;
    QSpinBox* spnPort_ = nullptr;
    QLineEdit* txtClientId_ = nullptr;
    QLineEdit* txtPrefix_ = nullptr;
    QLineEdit* txtLine_ = nullptr;
    QLineEdit* txtUser_ = nullptr;
    QLineEdit* txtPasswordFile_ = nullptr;
    QLineEdit* txtCaFile_ = nullptr;
    QLineEdit* txtCertFile_ = nullptr;
    QLineEdit* txtKeyFile_ = nullptr;
    QComboBox* cboQos_ = nullptr;
    QSpinBox* spnKeepAlive_ = nullptr;
    QCheckBox* chbCommands_ = nullptr;
    QLineEdit* txtAllowDevices_ = nullptr;
    QLineEdit* txtAllowCommands_ = nullptr;
    QWidget* connectionBox_ = nullptr;
};

}  // namespace zr410
