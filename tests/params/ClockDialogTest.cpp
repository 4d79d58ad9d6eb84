#include <QAccessible>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "params/ClockEntry.h"
#include "params/frmZR410_SetDT.h"

using namespace zr410;

namespace {

class SetDTDialog : public frmZR410_SetDT {
public:
    using frmZR410_SetDT::frmZR410_SetDT;
    QStringList messages;
    QString pcText() { return findChild<QLabel*>("lblDT")->text(); }

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

struct ClockDialog : ::testing::Test {
    SharedState state;
    // Friday 17 May 2024, 14:03:25, moved on by the test.
    QDateTime pc{QDate(2024, 5, 17), QTime(14, 3, 25)};
    SetDTDialog dialog{state};

    void SetUp() override {
        dialog.SetPcClock([this] { return pc; });
    }
    void type(const QString& date, const QString& weekday, const QString& time) {
        dialog.SetCellText(1, date);
        if (!weekday.isNull()) {
            dialog.SetCellText(2, weekday);
        }
        dialog.SetCellText(3, time);
    }
};

}  // namespace

TEST_F(ClockDialog, FollowModeFillsTheGridEachTickUntilSwitchedOff) {
    EXPECT_TRUE(dialog.TickTimer().isActive());
    EXPECT_FALSE(dialog.FollowPcClock());
    dialog.tmrDT_Timer();
    EXPECT_EQ(dialog.CellText(1), "");  // follow off: the grid stays as it is

    dialog.findChild<QPushButton*>("btnSameDT1")->click();
    EXPECT_TRUE(dialog.FollowPcClock());
    dialog.tmrDT_Timer();
    EXPECT_TRUE(dialog.pcText().startsWith("2024-05-17("));
    EXPECT_TRUE(dialog.pcText().endsWith(") 14:03:25"));
    EXPECT_EQ(dialog.CellText(1), "2024-05-17");
    EXPECT_EQ(dialog.CellText(2), "금");
    EXPECT_EQ(dialog.CellText(3), "14:03:25");
    EXPECT_TRUE(dialog.TickTimer().isActive());

    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingState, PollState::WriteClock);
    EXPECT_EQ(state.PendingRegisters, (std::vector<int>{604, 605, 606, 607, 608, 609}));
    EXPECT_EQ(state.PendingValues, (std::vector<int>{5, 24, 5, 17, 14, 3}));

    // An assistive tool's toggle switches follow mode off; the grid freezes at the last tick.
    QAccessibleInterface* button =
        QAccessible::queryAccessibleInterface(dialog.findChild<QPushButton*>("btnSameDT1"));
    button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(dialog.FollowPcClock());
    EXPECT_EQ(button->text(QAccessible::Description), "꺼짐");
    pc = pc.addSecs(61);
    dialog.tmrDT_Timer();
    EXPECT_TRUE(dialog.pcText().endsWith("14:04:26"));
    EXPECT_EQ(dialog.CellText(3), "14:03:25");
}

TEST_F(ClockDialog, TypedDateGetsItsWeekdayAndTheCellsAreWritten) {
    type("2025-01-01", QString(), "08:30");
    EXPECT_EQ(dialog.CellText(2), "수");
    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingValues, (std::vector<int>{3, 25, 1, 1, 8, 30}));

    type("2099-12-31", QString(), "23:59:59");
    EXPECT_EQ(dialog.CellText(2), "목");
    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingValues, (std::vector<int>{4, 99, 12, 31, 23, 59}));

    // The weekday is the cell's, whatever the date; an unknown name is Sunday.
    type("2100-01-01", "토", "00:00");
    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingValues, (std::vector<int>{6, 0, 1, 1, 0, 0}));
    type("2024-5-7", "x", "7:5");
    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingValues, (std::vector<int>{0, 24, 5, 7, 7, 5}));
}

TEST_F(ClockDialog, EmptyOrUnreadableCellsWriteNothingAndSayWhy) {
    dialog.btnSet_Click();  // follow mode never on: the grid is empty
    type("2024-02-30", QString(), "10:00");
    EXPECT_EQ(dialog.CellText(2), "");
    dialog.btnSet_Click();
    type("2024-02-29", QString(), "25:00");
    dialog.btnSet_Click();
    EXPECT_EQ(state.PendingState, PollState::None);
    ASSERT_EQ(dialog.messages.size(), 3);
    EXPECT_TRUE(dialog.messages[0].contains("날짜"));
    EXPECT_TRUE(dialog.messages[1].contains("날짜"));
    EXPECT_TRUE(dialog.messages[2].contains("시각"));
    EXPECT_TRUE(WidgetsWithoutAccessibleName(dialog).isEmpty())
        << WidgetsWithoutAccessibleName(dialog).join(' ').toStdString();
}

TEST(ClockEntry, PcClockTextUsesTheLocalesShortWeekday) {
    const QDateTime t(QDate(2024, 5, 17), QTime(14, 3, 25));
    EXPECT_EQ(PcClockText(t, QLocale(QLocale::Korean)), "2024-05-17(금) 14:03:25");
    EXPECT_EQ(PcClockText(t, QLocale(QLocale::English)), "2024-05-17(Fri) 14:03:25");
}
