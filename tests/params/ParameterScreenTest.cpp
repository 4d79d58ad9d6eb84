#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "../dialogs/DialogTestSupport.h"
#include "ScreenHarness.h"
#include "params/OptionButtons.h"
#include "params/ParameterGrid.h"
#include "protocol/RegisterMap.h"
#include "widgets/CommitLineEdit.h"

using namespace zr410;
using G = OptionGroupId;
using F = TextFieldId;

namespace {

class ParameterScreen : public ScreenHarness {
protected:
    QString cell(ParamGridId grid, int column, int row) {
        return screen->Grid(grid)->CellText(column, row);
    }
    int selected(G group) { return screen->Options(group)->SelectedIndex(); }
    std::vector<bool> days() {
        std::vector<bool> checked;
        for (int i = 0; i < kWeekdayCount; ++i) {
            checked.push_back(screen->DayBox(i)->isChecked());
        }
        return checked;
    }
    // The refresh the engine arms, run now rather than 50 ms later.
    void refresh() {
        ASSERT_TRUE(screen->RefreshTimer().isActive()) << "the engine did not arm the refresh";
        screen->tmrRefresh_Timer();
    }
    void expectPending(std::vector<int> registers, std::vector<int> values) {
        EXPECT_EQ(state.PendingRegisters, registers);
        EXPECT_EQ(state.PendingValues, values);
    }
};

}  // namespace

TEST_F(ParameterScreen, OpeningReadsBothBlocksAndTheRefreshFillsEveryWidget) {
    open();
    EXPECT_TRUE(state.ParamScreenOpen);
    EXPECT_EQ(screen->EditIdLabel()->text(), "7");
    // Design state before the first refresh.
    EXPECT_EQ(selected(G::DP), 1);
    EXPECT_EQ(selected(G::RMode), 0);
    EXPECT_EQ(screen->Field(F::TempH)->text(), "");

    EXPECT_TRUE(tick().contains("DRR,10,0602,0610,0611,0612,0613,0614,0615,0616,0506,0507"));
    reply(replies::read(kEditNo, reservation));
    EXPECT_FALSE(screen->RefreshTimer().isActive());
    EXPECT_TRUE(tick().contains("DRR,32,0300,0301"));
    reply(replies::read(kEditNo, parameters));
    refresh();

    EXPECT_FALSE(screen->Refreshing());
    // Copying the controller's values in echoes nothing back as a write.
    EXPECT_EQ(state.PendingState, PollState::None);

    EXPECT_EQ(cell(ParamGridId::LimitVal, 1, 1), "85.0");
    EXPECT_EQ(cell(ParamGridId::LimitVal, 1, 2), "10.0");
    EXPECT_EQ(cell(ParamGridId::LimitVal, 2, 1), "1.25");
    EXPECT_EQ(cell(ParamGridId::LimitVal, 3, 1), "15.3");
    EXPECT_EQ(cell(ParamGridId::CTRL, 1, 1), "2.5");
    EXPECT_EQ(cell(ParamGridId::CTRL, 1, 2), "120");
    EXPECT_EQ(cell(ParamGridId::CTRL, 2, 1), "15.0");
    // 507 = 1: the P row's unit follows it, the alarm header keeps its "℃".
    EXPECT_EQ(cell(ParamGridId::CTRL, 3, 1), "℉");
    EXPECT_EQ(cell(ParamGridId::CTRL, 3, 2), "초");
    EXPECT_EQ(screen->Grid(ParamGridId::LimitVal)->horizontalHeaderItem(0)->text(), "온도(℃)");
    EXPECT_EQ(decoders.TempUnitText, "℉");
    EXPECT_EQ(decoders.DecimalPlaces, 1);

    EXPECT_EQ(cell(ParamGridId::Time_SE, 1, 1), "07:05");
    EXPECT_EQ(cell(ParamGridId::Time_SE, 2, 1), "∼");
    EXPECT_EQ(cell(ParamGridId::Time_SE, 3, 1), "18:30");
    EXPECT_EQ(cell(ParamGridId::ResevedT, 1, 1), "2");
    EXPECT_EQ(cell(ParamGridId::ResevedT, 2, 1), "30");
    EXPECT_EQ(days(), (std::vector<bool>{true, false, false, false, false, false, true}));

    EXPECT_EQ(screen->Field(F::TempH)->text(), "180.0");
    EXPECT_EQ(screen->Field(F::RevTemp0)->text(), "-2.0");  // FFEC
    EXPECT_EQ(screen->Field(F::RevTemp3)->text(), "-1.5");
    EXPECT_EQ(screen->Field(F::PRS0)->text(), "10");
    EXPECT_EQ(screen->Field(F::FillTM)->text(), "30");

    EXPECT_EQ(selected(G::OutC), 1);
    EXPECT_EQ(selected(G::Sens3), 2);
    EXPECT_EQ(selected(G::Sens4), -1);  // 5 has no option: none is shown
    EXPECT_EQ(selected(G::DP), 1);
    EXPECT_EQ(selected(G::Option1), 0);  // 0 is "ON"
    EXPECT_EQ(selected(G::Option2), 1);
    EXPECT_EQ(selected(G::RMode), 2);
    EXPECT_EQ(selected(G::CtrlMode), 0);  // written only, never read back
}

TEST_F(ParameterScreen, WholeDegreesAndAllOrNoDays) {
    open();
    reservation = {0, 127, 0, 0, 23, 59, 0, 0, 0, 0};
    readBlocks();
    refresh();
    EXPECT_EQ(cell(ParamGridId::LimitVal, 1, 1), "850");
    EXPECT_EQ(cell(ParamGridId::CTRL, 3, 1), "℃");
    EXPECT_EQ(days(), std::vector<bool>(7, true));
    EXPECT_EQ(cell(ParamGridId::Time_SE, 1, 1), "00:00");
    EXPECT_EQ(selected(G::DP), 0);

    reservation[1] = 0;
    state.QueueRequest(PollState::Reservation);
    readBlocks();
    refresh();
    EXPECT_EQ(days(), std::vector<bool>(7, false));
    EXPECT_EQ(state.PendingState, PollState::None);
}

TEST_F(ParameterScreen, RejectedReplyOrAnotherDeviceLeavesTheScreenAsItWas) {
    open();
    readBlocks();
    refresh();
    ASSERT_EQ(cell(ParamGridId::CTRL, 2, 1), "15.0");

    parameters[12] = 25;  // 405 after the operator's write
    state.QueueWrite({{kRegCoolBand, 25}});
    tick();
    reply(replies::ack(kEditNo));
    tick();
    reply(replies::read(kEditNo, reservation));
    tick();
    // A parameter reply short of values: not taken, not shown, asked again.
    reply(replies::read(kEditNo, std::vector<int>(parameters.begin(), parameters.begin() + 20)));
    EXPECT_FALSE(screen->RefreshTimer().isActive());
    EXPECT_EQ(cell(ParamGridId::CTRL, 2, 1), "15.0");
    EXPECT_TRUE(tick().contains("DRR,32,0300"));
    reply(replies::read(kEditNo, parameters));
    refresh();
    EXPECT_EQ(cell(ParamGridId::CTRL, 2, 1), "2.5");

    // Blocks read for a controller that is not the edit device do not arm the refresh.
    emit link.indicator(EngineIndicator::ForDevice(EngineIndicator::Kind::ParameterRefresh, 0));
    EXPECT_FALSE(screen->RefreshTimer().isActive());
}

TEST_F(ParameterScreen, OptionsDaysAndFieldsQueueTheirPairs) {
    open();
    readBlocks();
    refresh();

    screen->Options(G::RMode)->Option(1)->click();
    expectPending({kRegReservationMode}, {1});
    EXPECT_EQ(state.PendingState, PollState::WriteOne);
    screen->Options(G::Option1)->Option(1)->click();
    expectPending({kRegSuctionOption}, {1});

    // 일 and 토 were ticked; now 월, 수, 금 only.
    for (int i = 0; i < kWeekdayCount; ++i) {
        screen->DayBox(i)->setChecked(i == 1 || i == 3 || i == 5);
    }
    expectPending({kRegWeeklyDays}, {42});

    screen->TextField_Commit(F::TempH, "120.5");
    expectPending({kRegUsableTempHigh}, {1205});
    screen->TextField_Commit(F::RevTemp2, "-1.5");
    expectPending({kRegFirstCorrection + 2}, {-15});
    screen->TextField_Commit(F::PRS0, "100");
    expectPending({kPressureRangeRegisters[0]}, {100});
    screen->TextField_Commit(F::FillTM, "");  // an empty entry is written as 0
    expectPending({kRegRefillTime}, {0});
    decoders.DecimalPlaces = 0;
    screen->TextField_Commit(F::TempH, "120.5");
    expectPending({kRegUsableTempHigh}, {120});
}

TEST_F(ParameterScreen, TypedFieldIsConfirmedByEnterOrLeavingItUnlessNoFrameCarriesIt) {
    open();
    readBlocks();
    refresh();
    CommitLineEdit* field = screen->Field(F::PreSV);
    field->setText("55.5");
    emit field->editingFinished();  // the operator leaves the field
    expectPending({kRegPreheatSv}, {555});

    state.PendingState = PollState::None;
    emit field->editingFinished();  // left again without typing: nothing new
    EXPECT_EQ(state.PendingState, PollState::None);

    field->clear();
    QTest::keyClicks(field, "60");
    QTest::keyClick(field, Qt::Key_Return);
    expectPending({kRegPreheatSv}, {600});

    // A word no frame can carry: refused with the range, left as typed, nothing queued.
    field->setText("9999.9");
    emit field->editingFinished();
    ASSERT_EQ(screen->messages.size(), 1);
    EXPECT_TRUE(screen->messages[0].contains("-3276.8 ~ 6553.5"));
    EXPECT_EQ(field->text(), "9999.9");
    expectPending({kRegPreheatSv}, {600});
}

TEST_F(ParameterScreen, GridCellsOpenTheirDialogsAndQueueTheExactPairs) {
    open();
    readBlocks();
    refresh();
    QString oldValue;
    screen->onDialog = [&](QDialog& dialog) {
        oldValue = dialog.findChild<QLabel*>("lblOldVal")->text();
        return Answer(dialog, {"2.5"});
    };
    screen->Grid_Click(ParamGridId::CTRL, 2, 1);
    EXPECT_EQ(screen->dialogCaptions.last(), "냉각측 P");
    EXPECT_EQ(oldValue, "15.0");
    expectPending({kRegCoolBand}, {25});

    screen->onDialog = [](QDialog& d) { return Answer(d, {"1.25"}); };
    screen->Grid_Click(ParamGridId::LimitVal, 2, 1);
    expectPending({kAlarmLimitRegisters[2]}, {125});
    screen->onDialog = [](QDialog& d) { return Answer(d, {"45"}); };
    screen->Grid_Click(ParamGridId::ResevedT, 2, 1);
    EXPECT_EQ(screen->dialogCaptions.last(), "시간예약 - 분");
    expectPending({kRegReserveMinutes}, {45});

    screen->onDialog = [&](QDialog& dialog) {
        oldValue = dialog.findChild<QLabel*>("lblOldVal")->text();
        return Answer(dialog, {"7", "5"});
    };
    screen->Grid_Click(ParamGridId::Time_SE, 3, 1);
    EXPECT_EQ(screen->dialogCaptions.last(), "주간예약 - 종료시간");
    EXPECT_EQ(oldValue, "18:30");
    expectPending({kRegWeeklyEndHour, kRegWeeklyEndHour + 1}, {7, 5});
    EXPECT_EQ(state.PendingState, PollState::WriteTwo);

    // Headers, the unit column and the separator open nothing.
    const int opened = static_cast<int>(screen->dialogCaptions.size());
    screen->Grid_Click(ParamGridId::CTRL, 3, 1);
    screen->Grid_Click(ParamGridId::CTRL, 0, 1);
    screen->Grid_Click(ParamGridId::CTRL, 1, 0);
    screen->Grid_Click(ParamGridId::Time_SE, 2, 1);
    EXPECT_EQ(screen->dialogCaptions.size(), opened);
}

TEST_F(ParameterScreen, AssistiveToolsReachOptionsDaysAndCells) {
    open();
    readBlocks();
    refresh();
    auto toggle = [](QObject* target) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(target);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->actionInterface(), nullptr);
        a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    toggle(screen->Options(G::OutH)->Option(1));
    expectPending({kRegThreePhase}, {1});
    toggle(screen->DayBox(2));
    expectPending({kRegWeeklyDays}, {65 + 4});

    screen->onDialog = [](QDialog& d) { return Answer(d, {"3"}); };
    QAccessibleInterface* grid =
        QAccessible::queryAccessibleInterface(screen->Grid(ParamGridId::CTRL));
    ASSERT_NE(grid->tableInterface(), nullptr);
    QAccessibleInterface* cellP = grid->tableInterface()->cellAt(0, 1);
    ASSERT_NE(cellP, nullptr);
    EXPECT_EQ(cellP->text(QAccessible::Name), "15.0");
    cellP->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(screen->dialogCaptions.value(0), "냉각측 P");
    expectPending({kRegCoolBand}, {30});

    EXPECT_TRUE(WidgetsWithoutAccessibleName(*screen).isEmpty())
        << WidgetsWithoutAccessibleName(*screen).join(' ').toStdString();
}

TEST_F(ParameterScreen, ClosingEndsTheScreenButNotTheReads) {
    open();
    tick();
    reply(replies::read(kEditNo, reservation));
    screen.reset();
    EXPECT_FALSE(state.ParamScreenOpen);
    tick();
    reply(replies::read(kEditNo, parameters));
    // The decoded values still land in the table; the poll goes back to the status reads.
    EXPECT_EQ(table.Text(kEditIndex + 1, ValueTable::ParameterColumn(kRegCoolBand)), "15.0");
    EXPECT_EQ(engine.State(), PollState::Status);
}
