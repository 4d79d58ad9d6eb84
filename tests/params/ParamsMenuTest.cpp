#include <gtest/gtest.h>

#include "../monitor/TestMainWindow.h"
#include "TempFolder.h"

using namespace zr410;

// The menu items and side buttons 5 and 6 open the two windows; only the parameter screen
// asks for a read, and only it marks itself open while it is.
TEST(ParamsMenu, ParameterScreenAsksForItsBlocksAndClockDialogForNothing) {
    TempProgramFolder folder;
    TestMainWindow w;
    PollState pendingAtOpen = PollState::None;
    bool openFlag = false;
    w.onDialog = [&](QDialog&) {
        pendingAtOpen = w.State().PendingState;
        openFlag = w.State().ParamScreenOpen;
        return int(QDialog::Accepted);
    };
    w.btnMenu_Click(5);
    EXPECT_EQ(w.dialogsOpened, QStringList{"frmZR410_PRMT"});
    EXPECT_EQ(pendingAtOpen, PollState::Reservation);
    EXPECT_TRUE(openFlag);
    EXPECT_FALSE(w.State().ParamScreenOpen);

    w.State().PendingState = PollState::None;
    w.btnMenu_Click(6);
    EXPECT_EQ(w.dialogsOpened.last(), "frmZR410_SetDT");
    EXPECT_EQ(pendingAtOpen, PollState::None);
    EXPECT_TRUE(w.messages.isEmpty());
}
