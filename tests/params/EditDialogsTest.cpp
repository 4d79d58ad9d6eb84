#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "params/frmZR410_EditTime.h"
#include "params/frmZR410_EditVal.h"
#include "protocol/RegisterMap.h"

using namespace zr410;

namespace {

void type(QDialog& dialog, const char* field, const QString& text) {
    dialog.findChild<QLineEdit*>(field)->setText(text);
}

}  // namespace

TEST(EditVal, EmptyOrUncarriableEntryKeepsTheDialogOpenThenOkQueuesTheScaledWord) {
    SharedState state;
    frmZR410_EditVal dialog(state, kRegSetValue, "SV", "85.3", 1);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblOldVal")->accessibleDescription(), "85.3");
    QStringList shown;
    bool plainBox = true;
    MessageBoxWatcher first([&](QMessageBox& box) {
        shown << box.text();
        plainBox = box.icon() == QMessageBox::NoIcon && box.standardButtons() == QMessageBox::Ok;
    });
    dialog.btnOK_Click();
    EXPECT_EQ(shown, QStringList{"변경값을 입력하시오."});
    EXPECT_TRUE(plainBox);

    MessageBoxWatcher second([&](QMessageBox& box) { shown << box.text(); });
    type(dialog, "txtEditVal", "9999.9");  // 99999 at one decimal
    dialog.btnOK_Click();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].contains("-3276.8 ~ 6553.5")) << shown[1].toStdString();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtEditVal")->text(), "9999.9");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.PendingState, PollState::None);

    type(dialog, "txtEditVal", "85.25");
    dialog.btnOK_Click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.PendingState, PollState::WriteOne);
    EXPECT_EQ(state.PendingRegisters, std::vector<int>{kRegSetValue});
    EXPECT_EQ(state.PendingValues, std::vector<int>{852});
    EXPECT_TRUE(WidgetsWithoutAccessibleName(dialog).isEmpty());
}

TEST(EditTime, BothFieldsMakeOneTwoPairRequest) {
    SharedState state;
    frmZR410_EditTime dialog(state, kRegWeeklyStartHour, "주간예약 - 시작시간", "08:00");
    QStringList shown;
    MessageBoxWatcher watcher([&](QMessageBox& box) { shown << box.text(); });
    type(dialog, "txtEditTime_0", "7");
    dialog.btnOK_Click();  // minutes still empty
    EXPECT_EQ(shown, QStringList{"변경값을 입력하시오."});
    EXPECT_EQ(state.PendingState, PollState::None);

    type(dialog, "txtEditTime_1", "5");
    dialog.btnOK_Click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.PendingState, PollState::WriteTwo);
    EXPECT_EQ(state.PendingRegisters, (std::vector<int>{611, 612}));
    EXPECT_EQ(state.PendingValues, (std::vector<int>{7, 5}));
    EXPECT_TRUE(WidgetsWithoutAccessibleName(dialog).isEmpty());
}
