#include "monitor/frmZR410_RunMulti.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "ReplyFrames.h"
#include "SelectionFile.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "params/frmZR410_EditVal.h"
#include "protocol/RegisterMap.h"
#include "widgets/CellGrid.h"

using namespace zr410;

namespace {

constexpr int kRun = 9;  // the RUN button column

// A status reply of a controller with one decimal, the given registers set.
QByteArray statusReply(int device, const std::map<int, int>& registers) {
    std::vector<int> values(kStatusList.size(), 0);
    values[static_cast<size_t>(PositionIn(kStatusList, kRegDecimalPoint))] = 1;
    for (auto [address, value] : registers) {
        values[static_cast<size_t>(PositionIn(kStatusList, address))] = value;
    }
    return replies::read(device, values);
}

// The main window serving devices 2 and 5 with device 2 as the edit device; the test plays
// the poll cycle, handing status replies to the decoders and indicators to the link's signal.
class RunTable : public ::testing::Test {
protected:
    RunTable() {
        folder.write("CFG/SetMulti.INI", SelectionFileServing({2, 5}));
        window = std::make_unique<TestMainWindow>();
        window->State().EditDeviceIndex = 0;
        window->State().EditDeviceNo = 2;
    }

    void answer(int deviceIndex, const std::map<int, int>& registers) {
        emit window->Link().indicator(EngineIndicator::Link(deviceIndex, LinkMark::Good));
        window->Decoders().DecodeStatusBlock(
            deviceIndex, statusReply(window->State().DeviceNumbers[deviceIndex], registers));
    }

    // Opens the run table from the menu and runs `step` while it is open; a dialog the table
    // opens is answered by onEntry.
    void withTable(const std::function<void(frmZR410_RunMulti&)>& step) {
        window->onDialog = [&](QDialog& dialog) {
            if (auto* table = qobject_cast<frmZR410_RunMulti*>(&dialog)) {
                step(*table);
                return int(QDialog::Rejected);
            }
            return onEntry(dialog);
        };
        window->mOnlineMulti_Click();
    }

    std::function<int(QDialog&)> onEntry = [](QDialog&) { return int(QDialog::Rejected); };

    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
};

}  // namespace

TEST_F(RunTable, OneRowPerServedControllerFilledByEachStatusReply) {
    answer(0, {});  // device 2 answered before the table opened; 5 has not yet
    withTable([&](frmZR410_RunMulti& w) {
        RunTableModel& t = w.Table();
        EXPECT_TRUE(window->State().RunMultiOpen);
        ASSERT_EQ(t.RowCount(), 2);
        EXPECT_EQ(t.Text(1, 0), "2");
        EXPECT_EQ(t.Text(2, 0), "5");
        EXPECT_EQ(t.Text(1, RunTableModel::kColLink), "");  // filled by the next reply only
        EXPECT_EQ(t.ButtonColor(2, kRun), RunTableModel::kButtonUnknown);

        answer(1, {{1, 853}, {5, 125}, {115, 900}, {kRegStatusWord, 1 << 12 | 1 << 0}});
        EXPECT_EQ(t.Text(2, RunTableModel::kColLink), "양호");
        EXPECT_EQ(t.Background(2, RunTableModel::kColLink), 0x00FF00u);
        EXPECT_EQ(t.Text(2, 2), "85.3");
        EXPECT_EQ(t.Text(2, 6), "1.25");
        EXPECT_EQ(t.Text(2, RunTableModel::kColSetValue), "90.0");
        EXPECT_EQ(t.ButtonColor(2, 8), RunTableModel::kButtonOn);  // PWR
        EXPECT_EQ(t.ButtonColor(2, kRun), RunTableModel::kButtonOn);
        for (int column = 10; column <= 15; ++column) {
            EXPECT_EQ(t.ButtonColor(2, column), RunTableModel::kButtonOff) << column;
        }
        EXPECT_EQ(t.Text(1, 2), "");  // device 2 has not answered since the table opened

        // A time-out marks only the link cell; the values stay.
        emit window->Link().indicator(
            EngineIndicator::ForDevice(EngineIndicator::Kind::RunTableTimeout, 1));
        EXPECT_EQ(t.Text(2, RunTableModel::kColLink), "불량");
        EXPECT_EQ(t.Background(2, RunTableModel::kColLink), 0xFF0000u);
        EXPECT_EQ(t.Text(2, 2), "85.3");

        // The SV hint was decided when the table opened: 2 had answered, 5 had not.
        EXPECT_EQ(t.Hint(1, RunTableModel::kColSetValue), "클릭하면 데이터 수정 가능");
        EXPECT_EQ(t.Hint(2, RunTableModel::kColSetValue), "");
    });
    EXPECT_FALSE(window->State().RunMultiOpen);
    answer(1, {{1, 100}});  // no table any more: nothing to update, nothing breaks
}

TEST_F(RunTable, ReservationColumnsFollowTheStatusWord) {
    withTable([&](frmZR410_RunMulti& w) {
        RunTableModel& t = w.Table();
        auto reservation = [&](int word, std::map<int, int> registers = {}) {
            registers[kRegStatusWord] = word;
            answer(0, registers);
            return std::make_pair(t.Text(1, 16), t.Text(1, 17));
        };
        using Texts = std::pair<QString, QString>;
        EXPECT_EQ(reservation(1 << 6 | 1 << 7), Texts("ERROR", "xxx"));
        EXPECT_EQ(reservation(0), Texts("예약없음", "---"));
        EXPECT_EQ(reservation(1 << 6, {{kRegRemainingHours, 1}, {kRegRemainingMinutes, 5}}),
                  Texts("시간예약", "1시간 5분"));
        EXPECT_EQ(reservation(1 << 7, {{kRegReservationWeekday, 3}}), Texts("주간예약", "수요일"));
    });
}

TEST_F(RunTable, ButtonInTheEditDevicesRowSwitchesItsFunction) {
    withTable([&](frmZR410_RunMulti& w) {
        w.sprdMulti()->pressCell(w.Table().index(0, kRun));
        EXPECT_EQ(window->State().PendingState, PollState::WriteOne);
        EXPECT_EQ(window->State().PendingRegisters, std::vector<int>{102});
        EXPECT_EQ(window->State().PendingValues, std::vector<int>{1});
    });
}

TEST_F(RunTable, SetValueCellOpensTheEntryWithTheShownValueAndWritesItScaled) {
    QString caption;
    QString shown;
    onEntry = [&](QDialog& dialog) {
        auto* entry = qobject_cast<frmZR410_EditVal*>(&dialog);
        EXPECT_NE(entry, nullptr);
        caption = dialog.windowTitle();
        shown = dialog.findChild<QLabel*>("lblOldVal")->text();
        dialog.findChild<QLineEdit*>("txtEditVal")->setText("90.25");
        entry->btnOK_Click();
        return dialog.result();
    };
    withTable([&](frmZR410_RunMulti& w) {
        answer(0, {{kRegSetValue, 853}});
        w.sprdMulti()->pressCell(w.Table().index(0, RunTableModel::kColSetValue));
    });
    EXPECT_EQ(caption, "SV");
    EXPECT_EQ(shown, "85.3");
    EXPECT_EQ(window->State().PendingState, PollState::WriteOne);
    EXPECT_EQ(window->State().PendingRegisters, std::vector<int>{kRegSetValue});
    EXPECT_EQ(window->State().PendingValues, std::vector<int>{902});  // 902.5 to the even 902
}

TEST_F(RunTable, CommandForAControllerThatCannotBeSelectedGoesNowhere) {
    // The port is closed, so device 5 cannot become the edit device: the RUN clicked in its
    // row must not start device 2 instead.
    withTable([&](frmZR410_RunMulti& w) {
        w.sprdMulti_ButtonClicked(kRun, 2);
        w.sprdMulti_Click(RunTableModel::kColSetValue, 2);
    });
    EXPECT_EQ(window->State().PendingState, PollState::None);
    EXPECT_EQ(window->State().EditDeviceNo, 2);
    ASSERT_EQ(window->messages.size(), 2);
    EXPECT_TRUE(window->messages[0].contains("기기 5"));
    EXPECT_EQ(window->dialogsOpened, QStringList{"frmZR410_RunMulti"});
}

TEST_F(RunTable, ClicksOutsideTheButtonsAndTheSetValueOpenNothing) {
    withTable([&](frmZR410_RunMulti& w) {
        w.sprdMulti_Click(RunTableModel::kColSetValue, 0);  // header row
        for (int column = 0; column < RunTableModel::kColumnCount; ++column) {
            if (column != RunTableModel::kColSetValue) {
                w.sprdMulti_Click(column, 1);
            }
        }
        w.sprdMulti_ButtonClicked(RunTableModel::kColSetValue, 1);
    });
    EXPECT_EQ(window->State().PendingState, PollState::None);
    EXPECT_EQ(window->dialogsOpened, QStringList{"frmZR410_RunMulti"});
    EXPECT_TRUE(window->messages.isEmpty());
}

TEST_F(RunTable, ButtonCellsAreButtonsWithTheirStateForAssistiveTools) {
    answer(0, {});
    withTable([&](frmZR410_RunMulti& w) {
        answer(0, {{kRegStatusWord, 1 << 0}});
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w.sprdMulti());
        ASSERT_NE(grid, nullptr);
        QAccessibleInterface* run = grid->tableInterface()->cellAt(0, kRun);
        EXPECT_EQ(run->role(), QAccessible::Button);
        EXPECT_EQ(run->text(QAccessible::Name), "RUN");
        EXPECT_TRUE(run->state().checked);
        EXPECT_EQ(grid->tableInterface()->columnDescription(kRun), "CONTROL RUN");
        EXPECT_EQ(grid->tableInterface()->columnDescription(2), "PV 금형온도");
        QAccessibleInterface* sv = grid->tableInterface()->cellAt(0, RunTableModel::kColSetValue);
        EXPECT_EQ(sv->role(), QAccessible::Cell);
        EXPECT_TRUE(sv->text(QAccessible::Description).contains("클릭하면"));
        EXPECT_EQ(WidgetsWithoutAccessibleName(w), QStringList());
    });
}
