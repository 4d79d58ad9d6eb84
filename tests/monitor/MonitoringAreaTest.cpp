#include "monitor/MonitoringArea.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "ReplyFrames.h"
#include "SelectionFile.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/GradientLabel.h"

using namespace zr410;

namespace {

// A main window serving devices 3 and 7, with 3 as the edit device, fed status replies
// straight into its decoders.
class EditDeviceView : public ::testing::Test {
protected:
    EditDeviceView() {
        folder.write("CFG/SetMulti.INI", SelectionFileServing({3, 7}));
        window = std::make_unique<TestMainWindow>();
        window->State().EditDeviceIndex = 0;
        window->State().EditDeviceNo = 3;
        area = window->Monitor();
    }

    void status(int deviceIndex, std::vector<int> values) {
        values.resize(32, 0);
        window->Decoders().DecodeStatusBlock(deviceIndex, replies::read(3, values));
    }

    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
    MonitoringArea* area = nullptr;
};

std::vector<int> statusWith(int word) {
    std::vector<int> v(32, 0);
    v[1] = 1;  // one decimal
    v[7] = word;
    return v;
}

}  // namespace

TEST_F(EditDeviceView, DesignStateBeforeAnyReply) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(area->lblPV(i)->text(), "0");
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(area->lblUnit(i)->text(), "℃");
    }
    EXPECT_EQ(area->lblSV_Title()->text(), "SV");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(area->CommandColor(i), MonitoringArea::kOff);
    }
    EXPECT_EQ(area->txtDispTime()->text(), "5");
    EXPECT_TRUE(area->chb3D()->isChecked());
    EXPECT_FALSE(area->chbScroll()->isChecked());
}

TEST_F(EditDeviceView, RunAndPowerBitsPaintTheirButtonsAndLeaveReservationsDark) {
    status(0, statusWith(0x1001));
    EXPECT_EQ(area->CommandColor(0), MonitoringArea::kOn);  // PWR
    EXPECT_EQ(area->CommandColor(1), MonitoringArea::kOn);  // RUN
    for (int i = 2; i < 8; ++i) {
        EXPECT_EQ(area->CommandColor(i), MonitoringArea::kOff) << i;
    }
    EXPECT_FALSE(area->shpReseved(0)->isLit());
    EXPECT_FALSE(area->shpReseved(1)->isLit());
    EXPECT_EQ(area->lblSV_Title()->text(), "매체온도 SV");
    EXPECT_EQ(area->lblReserve_RestTime()->text(), "--시간 --분");
    EXPECT_EQ(area->lblWK_Name()->text(), "-요일");
    EXPECT_TRUE(window->State().DeviceRunning[0]);
}

TEST_F(EditDeviceView, MoldBitAndTimeReservationSwitchTitlesAndLamp) {
    std::vector<int> v = statusWith((1 << 3) | (1 << 6));
    v[15] = 3;   // remaining hours
    v[16] = 25;  // remaining minutes
    status(0, v);
    EXPECT_EQ(area->CommandColor(6), MonitoringArea::kOn);
    EXPECT_EQ(area->lblSV_Title()->text(), "금형온도 SV");
    EXPECT_EQ(area->lblTT(0)->leftColor(), QColor(0xFF, 0x80, 0x00));
    EXPECT_EQ(area->lblTT(1)->leftColor(), QColor(0x00, 0xFF, 0x00));
    EXPECT_TRUE(area->shpReseved(0)->isLit());
    EXPECT_EQ(area->lblReserve_RestTime()->text(), "3시간 25분");
    EXPECT_EQ(area->lblWK_Name()->text(), "-요일");
}

TEST_F(EditDeviceView, ValuesClockAndUnitsOfTheEditDevice) {
    std::vector<int> v(32, 0);
    v[0] = 1;  // Fahrenheit
    v[1] = 1;
    v[2] = 853;
    v[6] = 125;
    v[8] = 2;
    v[9] = 7;
    v[10] = 4;
    v[11] = 17;
    v[12] = 0;
    v[13] = 59;
    v[14] = 5;
    v[26] = 900;
    v[27] = 45;
    v[29] = 12;
    status(0, v);
    EXPECT_EQ(area->lblPV(0)->text(), "85.3");
    EXPECT_EQ(area->lblPV(4)->text(), "1.25");
    EXPECT_EQ(area->lblUnit(0)->text(), "℉");
    EXPECT_EQ(area->lblCurr_DT(0)->text(), "2007년04월17일");
    EXPECT_EQ(area->lblCurr_DT(1)->text(), "화요일");
    EXPECT_EQ(area->lblCurr_DT(2)->text(), "00시59분05초");
    EXPECT_EQ(area->lblSV()->text(), "90.0");
    EXPECT_EQ(area->lblOutput(0)->text(), "45");
    EXPECT_EQ(area->lblAmpare(0)->text(), "12");
}

TEST_F(EditDeviceView, AnotherControllersReplyChangesNothingOnScreen) {
    status(0, statusWith(0));
    std::vector<int> other = statusWith(0x1009);
    other[2] = 999;
    other[0] = 1;
    status(1, other);
    EXPECT_EQ(area->lblPV(0)->text(), "0.0");
    EXPECT_EQ(area->CommandColor(1), MonitoringArea::kOff);
    EXPECT_EQ(area->lblUnit(0)->text(), "℃");
    EXPECT_EQ(window->sprdMulti().Text(2, 2), "99.9");
}

TEST_F(EditDeviceView, ClickingTheSetValueOpensTheEntryAndEnterQueuesTheWrite) {
    status(0, [] {
        std::vector<int> v = statusWith(0);
        v[26] = 853;
        return v;
    }());
    window->SetOnlineControls(true);
    window->show();
    EXPECT_TRUE(area->lblSV()->isVisible());
    QTest::mouseClick(area->lblSV(), Qt::LeftButton);
    EXPECT_FALSE(area->lblSV()->isVisible());
    EXPECT_EQ(area->txtSV()->text(), "85.3");
    area->txtSV()->setText("90");
    QTest::keyClick(area->txtSV(), Qt::Key_Return);
    EXPECT_TRUE(area->lblSV()->isVisible());
    EXPECT_EQ(area->lblSV()->text(), "85.3");  // until the controller reports the new value
    EXPECT_EQ(window->State().PendingRegisters, std::vector<int>{115});
    EXPECT_EQ(window->State().PendingValues, std::vector<int>{900});

    window->State().PendingState = PollState::None;
    QTest::mouseClick(area->lblSV(), Qt::LeftButton);
    QTest::keyClick(area->txtSV(), Qt::Key_Escape);
    EXPECT_TRUE(area->lblSV()->isVisible());
    EXPECT_EQ(window->State().PendingState, PollState::None);
}

TEST_F(EditDeviceView, CommandButtonsQueueTheirRegister) {
    window->SetOnlineControls(true);
    window->show();
    QTest::mouseClick(area->btnCMD(1), Qt::LeftButton);
    EXPECT_EQ(window->State().PendingRegisters, std::vector<int>{102});
    QTest::mouseClick(area->btnCMD(7), Qt::LeftButton);
    EXPECT_EQ(window->State().PendingRegisters, std::vector<int>{108});
    EXPECT_EQ(window->State().PendingValues, std::vector<int>{1});
}

TEST_F(EditDeviceView, AssistiveToolsHearValuesAndCommandStatesNotColours) {
    std::vector<int> v = statusWith(0x1001);  // power and run on
    v[2] = 853;
    status(0, v);
    // The label keeps its stable name and says what it shows.
    QAccessibleInterface* pv = QAccessible::queryAccessibleInterface(area->lblPV(0));
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(pv->text(QAccessible::Name), area->lblPV(0)->accessibleName());
    EXPECT_FALSE(pv->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(pv->text(QAccessible::Description), "85.3");
    EXPECT_EQ(pv->text(QAccessible::Value), "85.3");
    v[2] = 861;
    status(0, v);
    EXPECT_EQ(pv->text(QAccessible::Description), "86.1");

    // RUN is checked because the controller says so; a click sends the command but leaves the
    // state to the controller's next reply.
    QPushButton* run = area->btnCMD(1);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(run);
    EXPECT_TRUE(button->state().checkable);
    EXPECT_TRUE(button->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(area->btnCMD(2))->state().checked);
    run->click();
    EXPECT_TRUE(run->isChecked());
    status(0, statusWith(0x1000));
    EXPECT_FALSE(run->isChecked());
    area->btnCMD(2)->click();
    EXPECT_FALSE(area->btnCMD(2)->isChecked());
}

TEST_F(EditDeviceView, TheSvDisplayOpensItsEntryFromTheKeyboard) {
    status(0, statusWith(0x1001));
    window->show();
    GradientLabel* sv = area->lblSV();
    EXPECT_NE(sv->focusPolicy() & Qt::TabFocus, 0);
    sv->setFocus();
    QTest::keyClick(sv, Qt::Key_Return);
    // The entry replaces the display (the area itself shows only on line).
    EXPECT_TRUE(sv->isHidden());
    EXPECT_EQ(area->txtSV()->text(), sv->text());
}
