#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "../monitor/TestMainWindow.h"
#include "SelectionFile.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "model/TextForms.h"
#include "monitor/frmZR410_CommTest.h"
#include "monitor/frmZR410_RunMulti.h"
#include "protocol/FrameCodec.h"
#include "protocol/RegisterMap.h"
#include "widgets/CellGrid.h"

using namespace zr410;

namespace {

constexpr int kRun = 9;  // the RUN button column of the run table

// The main window on line with the simulator serving devices 1, 3 and 5; 1 is the edit device.
class WindowsOnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
        folder.write("Comm.CFG", sim.linkPath().toUtf8() + "\r\n115200\r\nE\r\n8\r\n1\r\nSUM\r\n");
        folder.write("CFG/SetMulti.INI", SelectionFileServing({1, 3, 5}));
        window = std::make_unique<TestMainWindow>();
        window->show();
        window->mSetPortOpen_Click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->picRunArea()->isVisible(); }, 20000));
        ASSERT_EQ(window->State().EditDeviceNo, 1);
        // Every request put on the wire, as the engine reports it.
        QObject::connect(&window->Link(), &SerialLink::indicator,
                         [this](const EngineIndicator& indicator) {
                             if (indicator.kind == EngineIndicator::Kind::Trace &&
                                 indicator.direction == TraceDirection::Sent) {
                                 sent.push_back(indicator.bytes);
                             }
                         });
    }

    bool isStatusRead(const QByteArray& frame) const {
        for (int device : {1, 3, 5}) {
            if (frame == *BuildReadFrame(device, kStatusList, 2)) {
                return true;
            }
        }
        return false;
    }

    SimProcess sim{{"--devices", "1,3,5", "--protocol", "SUM", "--baud", "115200"}};
    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
    std::vector<QByteArray> sent;
};

}  // namespace

TEST_F(WindowsOnSimulator, RunTableShowsEveryControllerAndRunGoesToTheClickedOne) {
    ASSERT_TRUE(sim.clearWrites());
    bool filled = false;
    window->onDialog = [&](QDialog& dialog) {
        auto& table = static_cast<frmZR410_RunMulti&>(dialog);
        RunTableModel& t = table.Table();
        filled = QTest::qWaitFor(
            [&] {
                for (int row = 1; row <= 3; ++row) {
                    if (t.Text(row, RunTableModel::kColLink) != "양호" ||
                        t.Text(row, 2).isEmpty() || !t.ButtonOn(row, kRun).has_value()) {
                        return false;
                    }
                }
                return true;
            },
            20000);
        if (!filled || *t.ButtonOn(3, kRun)) {
            return int(QDialog::Rejected);
        }
        // RUN in the row of device 5 pressed the way a screen reader presses it.
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(table.sprdMulti());
        QAccessibleInterface* run = grid->tableInterface()->cellAt(2, kRun);
        run->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim.writes().contains("5 102 1"); }, 10000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return t.ButtonOn(3, kRun) == true; }, 10000));
        return int(QDialog::Rejected);
    };
    window->mOnlineMulti_Click();
    ASSERT_TRUE(filled);
    EXPECT_EQ(window->State().EditDeviceNo, 5);
    EXPECT_EQ(window->EditDeviceLabel()->text(), "5");
    EXPECT_FALSE(sim.writes().contains("1 102 1"));
    EXPECT_FALSE(window->State().RunMultiOpen);
}

TEST_F(WindowsOnSimulator, ErrorListShowsTheControllersHistory) {
    // The simulator's own history, with an empty entry among the recorded ones.
    std::vector<int> history;
    for (int k = 0; k < 20; ++k) {
        const std::optional<int> code = sim.getRegister(1, kRegFirstError + k);
        ASSERT_TRUE(code.has_value());
        history.push_back(*code);
    }
    ASSERT_GT(history[0], 0);
    ASSERT_EQ(history[2], 0);
    bool shown = false;
    window->onDialog = [&](QDialog&) {
        shown = QTest::qWaitFor([&] { return !window->Errors().Text(1, 1).isEmpty(); }, 10000);
        return int(QDialog::Accepted);
    };
    window->mOnlineError_Click();
    ASSERT_TRUE(shown);
    for (int k = 0; k < 20; ++k) {
        const int code = history[static_cast<size_t>(k)];
        EXPECT_EQ(window->Errors().Text(k + 1, 1), code > 0 ? QString::number(code) : QString())
            << "entry " << k;
        EXPECT_EQ(window->Errors().Text(k + 1, 2), code > 0 ? ErrorName(code) : QString());
    }
}

TEST_F(WindowsOnSimulator, ViewerReadPutsOneRegisterReadsOnTheWireUntilItCloses) {
    const QByteArray read507 = *BuildReadFrame(1, std::vector<int>{kRegTempUnit}, 2);
    size_t firstRead = 0;
    int repliesShown = 0;
    window->onDialog = [&](QDialog& dialog) {
        auto& viewer = static_cast<frmZR410_CommTest&>(dialog);
        viewer.txtDReg()->setText("507");
        viewer.btnRead()->click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::count(sent.begin(), sent.end(), read507) >= 3; }, 20000));
        firstRead =
            static_cast<size_t>(std::find(sent.begin(), sent.end(), read507) - sent.begin());
        CommTraceModel& trace = viewer.Trace();
        for (int row = 0; row < trace.RowCount(); ++row) {
            repliesShown += trace.DirectionText(row) == "수신" && trace.Bytes(row).startsWith(
                                                                      "\x02"
                                                                      "01DRR,OK,");
        }
        return int(QDialog::Accepted);
    };
    window->mHelpCommView_Click();
    ASSERT_LT(firstRead, sent.size());
    // From the first read on, nothing but that read went out while the viewer was open.
    const size_t closedAt = sent.size();
    EXPECT_TRUE(std::all_of(sent.begin() + static_cast<std::ptrdiff_t>(firstRead), sent.end(),
                            [&](const QByteArray& frame) { return frame == read507; }));
    EXPECT_GE(repliesShown, 2);

    // Closed: the status poll comes back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.size() > closedAt && isStatusRead(sent.back()); },
                                10000));
    EXPECT_EQ(window->Link().engine().State(), PollState::Status);
}
