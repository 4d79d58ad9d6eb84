#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "SelectionFile.h"
#include "TabWalk.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "monitor/MonitoringArea.h"
#include "monitor/frmZR410_Set_DSave.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/GradientLabel.h"

using namespace zr410;

namespace {

void expectOnlineControls(TestMainWindow& w, bool online) {
    EXPECT_EQ(w.mSetPortAction()->isEnabled(), !online);
    EXPECT_EQ(w.btnMenuButton(0)->isEnabled(), !online);
    EXPECT_EQ(w.btnMenuButton(2)->isEnabled(), !online);
    EXPECT_TRUE(w.mSetMultiAction()->isEnabled());
    EXPECT_EQ(w.mOnlineMenu()->menuAction()->isEnabled(), online);
    for (int i = 4; i <= 7; ++i) {
        EXPECT_EQ(w.btnMenuButton(i)->isEnabled(), online) << "button " << i;
    }
    EXPECT_EQ(w.picRunArea()->isVisibleTo(&w), online);
}

}  // namespace

TEST(MainWindow, FirstStartWritesDefaultPortSettingsAndStaysOffLine) {
    TempProgramFolder folder;
    TestMainWindow w;
    EXPECT_EQ(folder.read("Comm.CFG"), QByteArray("COM1\r\n9600\r\nE\r\n8\r\n1\r\nSUM\r\n"));
    EXPECT_TRUE(QDir(folder.file("CFG")).exists());
    EXPECT_EQ(w.windowTitle(), "ZR410 V1.0.0");
    expectOnlineControls(w, false);
    EXPECT_EQ(w.StatusPanel(1)->text(), "COM1");
    EXPECT_EQ(w.StatusPanel(2)->text(), "9600,E,8,1");
    EXPECT_EQ(w.StatusPanel(5)->text(), "SUM");
    EXPECT_EQ(w.mSetPortOpenAction()->text(), "통신포트 열기[&O]");
    EXPECT_EQ(w.btnMenuButton(1)->text(), "통신포트 열기");
    EXPECT_FALSE(w.ConnectCheckLabel()->isVisibleTo(&w));
    EXPECT_EQ(w.State().ChecksumLength, 2);
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Enable")->text(), "No");
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Intv")->text(), "1");
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Unit")->text(), "분");
}

TEST(MainWindow, SelectionFileBuildsTheDeviceListAndGrids) {
    TempProgramFolder folder;
    folder.write("CFG/SetMulti.INI", SelectionFileServing({3, 7}));
    TestMainWindow w;
    EXPECT_EQ(w.State().DeviceNumbers, (std::vector<int>{3, 7}));
    ASSERT_EQ(w.sprdStatusGrid()->rowCount(), 2);
    EXPECT_EQ(w.sprdStatusGrid()->item(0, 0)->text(), "3");
    EXPECT_EQ(w.sprdStatusGrid()->item(1, 0)->text(), "7");
    EXPECT_EQ(w.sprdMulti().RowCount(), 2);
    EXPECT_EQ(w.sprdMulti().Text(2, 0), "7");
}

TEST(MainWindow, PortThatCannotBeOpenedIsExplainedAndEverythingReturnsToClosed) {
    TempProgramFolder folder;
    folder.write("CFG/SetMulti.INI", SelectionFileServing({1}));
    folder.write("Comm.CFG", "/dev/zr410-no-such-port\r\n9600\r\nE\r\n8\r\n1\r\nSTD\r\n");
    TestMainWindow w;
    EXPECT_EQ(w.State().ChecksumLength, 0);
    w.mSetPortOpen_Click();
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("/dev/zr410-no-such-port"));
    EXPECT_TRUE(w.messages[0].contains("없습니다"));
    EXPECT_EQ(w.mSetPortOpenAction()->text(), "통신포트 열기[&O]");
    EXPECT_EQ(w.btnMenuButton(1)->text(), "통신포트 열기");
    EXPECT_FALSE(w.ConnectCheckLabel()->isVisibleTo(&w));
    EXPECT_FALSE(w.Link().isOpen());
    EXPECT_FALSE(w.Link().tmrSend.isActive());
}

TEST(MainWindow, OpeningWithNoSelectedDeviceIsRefused) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.btnMenu_Click(1);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("멀티 설정"));
    EXPECT_EQ(w.mSetPortOpenAction()->text(), "통신포트 열기[&O]");
}

TEST(MainWindow, OnlineControlsFollowTheLink) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.SetOnlineControls(true);
    expectOnlineControls(w, true);
    w.SetOnlineControls(false);
    expectOnlineControls(w, false);
}

TEST(MainWindow, CommandsFillTheWriteSlotAndTheLastOneWins) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.QueueCommand(1);
    EXPECT_EQ(w.State().PendingRegisters, std::vector<int>{102});
    EXPECT_EQ(w.State().PendingState, PollState::WriteOne);
    w.QueueCommand(0);
    EXPECT_EQ(w.State().PendingRegisters, std::vector<int>{101});
    EXPECT_EQ(w.State().PendingValues, std::vector<int>{1});
}

TEST(MainWindow, SetValueEntryIsScaledAndOutOfRangeEntriesAreRefused) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.Decoders().DecimalPlaces = 1;
    w.CommitSetValue("85.25");
    EXPECT_EQ(w.State().PendingRegisters, std::vector<int>{115});
    EXPECT_EQ(w.State().PendingValues, std::vector<int>{852});
    w.CommitSetValue("");
    EXPECT_EQ(w.State().PendingValues, std::vector<int>{0});
    w.CommitSetValue("-12.5");
    EXPECT_EQ(w.State().PendingValues, std::vector<int>{-125});

    w.State().PendingState = PollState::None;
    w.CommitSetValue("7000");  // 70000 raw does not fit a register word
    EXPECT_EQ(w.State().PendingState, PollState::None);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("7000"));
    // The allowed range in the operator's units, and the typed text back for correction.
    EXPECT_TRUE(w.messages[0].contains(QStringLiteral("−3276.8 … 6553.5 ℃")))
        << w.messages[0].toStdString();
    EXPECT_TRUE(w.Monitor()->lblSV()->isHidden());
    EXPECT_EQ(w.Monitor()->txtSV()->text(), "7000");
}

TEST(MainWindow, PickingADeviceNeedsAnOpenPortAndAConnectedDevice) {
    TempProgramFolder folder;
    folder.write("CFG/SetMulti.INI", SelectionFileServing({3, 7}));
    TestMainWindow w;
    w.State().DeviceConnected = {true, true};
    w.SelectEditDevice(2);  // port closed: nothing happens
    EXPECT_EQ(w.State().EditDeviceNo, 0);
    EXPECT_EQ(w.State().PendingState, PollState::None);
}

TEST(MainWindow, SideButtonsRunTheirMenuCommands) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.btnMenu_Click(0);
    w.btnMenu_Click(2);
    w.btnMenu_Click(3);
    w.btnMenu_Click(8);
    EXPECT_EQ(w.dialogsOpened, (QStringList{"frmZR410_SetPort", "frmZR410_SetMulti",
                                            "frmZR410_Set_DSave", "frmZR410_About"}));
}

TEST(MainWindow, ConfirmedSaveSettingsReachTheLabelsAndTheLogger) {
    TempProgramFolder folder;
    TestMainWindow w;
    w.onDialog = [](QDialog& dialog) {
        auto* save = dynamic_cast<frmZR410_Set_DSave*>(&dialog);
        if (save == nullptr) {
            return int(QDialog::Rejected);
        }
        save->findChild<QComboBox*>("cmbSave")->setCurrentText("Yes");
        save->findChild<QLineEdit*>("txtSaveInterval")->setText("10");
        save->findChild<QComboBox*>("cmbUnit")->setCurrentText("초");
        QMetaObject::invokeMethod(save->findChild<QPushButton*>("btnOK"), "click");
        return save->result();
    };
    w.mSetSaveData_Click();
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Enable")->text(), "Yes");
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Intv")->text(), "10");
    EXPECT_EQ(w.findChild<QLabel*>("lblDSave_Unit")->text(), "초");
    EXPECT_TRUE(w.Saving().Enabled());
    EXPECT_EQ(w.Saving().IntervalSeconds(), 10);
}

TEST(MainWindow, EveryControlIsReachedByTab) {
    TempProgramFolder folder;
    folder.write("CFG/SetMulti.INI", SelectionFileServing({3, 7}));
    TestMainWindow w;
    w.show();
    EXPECT_EQ(UnreachedByTab(&w, w.btnMenuButton(0)), QStringList());
    w.SetOnlineControls(true);  // the monitoring area: commands, SV, chart settings
    EXPECT_EQ(UnreachedByTab(&w, w.btnMenuButton(1)), QStringList());
}
