#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "params/frmZR410_EditVal.h"
#include "protocol/RegisterMap.h"

using namespace zr410;

namespace {

// The value dialog with its message boxes answered by the test.
class EditValDialog : public frmZR410_EditVal {
public:
    using frmZR410_EditVal::frmZR410_EditVal;
    QStringList messages;

    void type(const QString& text) { findChild<QLineEdit*>("txtEditVal")->setText(text); }
    QString typed() { return findChild<QLineEdit*>("txtEditVal")->text(); }

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

struct EditVal : ::testing::Test {
    SharedState state;
};

}  // namespace

TEST_F(EditVal, OkQueuesTheEntryScaledForItsRegister) {
    struct Case {
        int reg;
        const char* entry;
        int dp;
        int word;
    };
    const Case cases[] = {{kRegCoolBand, "2.5", 1, 25},
                          {306, "1.25", 1, 125},
                          {309, "0.5", 1, 5},
                          {401, "120", 1, 120},
                          {kRegSetValue, "85.25", 1, 852},
                          {kRegSetValue, "85.6", 0, 86}};
    for (const Case& c : cases) {
        EditValDialog dialog(state, c.reg, "caption", "old", c.dp);
        dialog.type(QString::fromLatin1(c.entry));
        dialog.btnOK_Click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.reg;
        EXPECT_EQ(state.PendingState, PollState::WriteOne);
        EXPECT_EQ(state.PendingRegisters, std::vector<int>{c.reg});
        EXPECT_EQ(state.PendingValues, std::vector<int>{c.word}) << c.entry;
    }
}

TEST_F(EditVal, ShowsTheOldValueAndOpensEmpty) {
    EditValDialog dialog(state, kRegSetValue, "SV", "85.3", 1);
    EXPECT_EQ(dialog.windowTitle(), "SV");
    auto* old = dialog.findChild<QLabel*>("lblOldVal");
    EXPECT_EQ(old->text(), "85.3");
    EXPECT_EQ(old->accessibleDescription(), "85.3");
    EXPECT_EQ(dialog.typed(), "");
    EXPECT_TRUE(WidgetsWithoutAccessibleName(dialog).isEmpty())
        << WidgetsWithoutAccessibleName(dialog).join(' ').toStdString();
}

TEST_F(EditVal, EmptyOrUncarriableEntryKeepsTheDialogOpenAndQueuesNothing) {
    EditValDialog dialog(state, kRegHeatBand, "가열측 P", "10.0", 1);
    dialog.btnOK_Click();
    EXPECT_EQ(dialog.messages, QStringList{"변경값을 입력하시오."});
    dialog.type("9999.9");  // 99999 at one decimal
    dialog.btnOK_Click();
    ASSERT_EQ(dialog.messages.size(), 2);
    EXPECT_TRUE(dialog.messages[1].contains("-3276.8 ~ 6553.5"))
        << dialog.messages[1].toStdString();
    EXPECT_EQ(dialog.typed(), "9999.9");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.PendingState, PollState::None);

    dialog.findChild<QPushButton*>("btnCancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(state.PendingState, PollState::None);
}

TEST_F(EditVal, EmptyEntryMessageIsAPlainBoxWithOnlyOk) {
    frmZR410_EditVal dialog(state, 401, "가열측 I", "120", 1);
    QString shown;
    bool onlyOk = false;
    bool noIcon = false;
    MessageBoxWatcher watcher([&](QMessageBox& box) {
        shown = box.text();
        onlyOk = box.standardButtons() == QMessageBox::Ok;
        noIcon = box.icon() == QMessageBox::NoIcon;
    });
    dialog.btnOK_Click();
    EXPECT_TRUE(watcher.seen());
    EXPECT_EQ(shown, "변경값을 입력하시오.");
    EXPECT_TRUE(onlyOk);
    EXPECT_TRUE(noIcon);
}
