// The MQTT settings dialog and the broker indication of the main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "../dialogs/DialogTestSupport.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "monitor/frmZR410_SetMqtt.h"

using namespace zr410;

namespace {

class TestSetMqtt : public frmZR410_SetMqtt {
public:
    using frmZR410_SetMqtt::frmZR410_SetMqtt;
    QStringList messages;

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

}  // namespace

TEST(MqttSettingsDialog, CommandsAreRefusedWithoutTlsAndALoginAndNothingIsSaved) {
    TempProgramFolder folder;
    TestSetMqtt dialog{MqttSettings{}};
    EXPECT_EQ(WidgetsWithoutAccessibleName(dialog), QStringList());
    dialog.chbEnabled()->setChecked(true);
    dialog.chbCommands()->setChecked(true);
    dialog.btnOK_Click();
    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].contains("TLS"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(MqttSettingsPath()));

    dialog.txtHost()->clear();
    dialog.chbCommands()->setChecked(false);
    dialog.btnOK_Click();
    EXPECT_EQ(dialog.messages.size(), 2) << "an empty broker address is refused";
    EXPECT_FALSE(QFile::exists(MqttSettingsPath()));
}

TEST(MqttSettingsDialog, ConfirmedSettingsAreSavedAndTheBrokerStateIsShown) {
    TempProgramFolder folder;
    TestMainWindow window;
    window.show();
    // A line without a broker keeps its status bar as it was.
    EXPECT_FALSE(window.MqttStatusLabel()->isVisible());

    window.onDialog = [](QDialog& d) {
        auto& dialog = static_cast<frmZR410_SetMqtt&>(d);
        dialog.chbEnabled()->setChecked(true);
        dialog.txtHost()->setText("127.0.0.1");
        dialog.findChild<QSpinBox*>("spnPort")->setValue(1);  // nobody listens there
        dialog.findChild<QLineEdit*>("txtLineName")->setText("사출 2");
        dialog.btnOK_Click();
        return dialog.result();
    };
    window.mSetMqttAction()->trigger();
    EXPECT_EQ(window.dialogsOpened, QStringList{"frmZR410_SetMqtt"});

    const MqttSettings saved = LoadMqttSettings(MqttSettingsPath());
    EXPECT_TRUE(saved.Enabled);
    EXPECT_EQ(saved.Port, 1);
    EXPECT_EQ(saved.LineName, "사출 2");
    EXPECT_TRUE(window.Mqtt().isRunning());
    EXPECT_TRUE(window.MqttStatusLabel()->isVisible());
    EXPECT_TRUE(window.MqttStatusLabel()->text().startsWith("MQTT 연결 중"));
    // Connection refused: the reason is shown, and the window never waited for it.
    QTRY_VERIFY_WITH_TIMEOUT(window.MqttStatusLabel()->text().contains(":"), 5000);
}
