#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "../monitor/TestMainWindow.h"
#include "SelectionFile.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "params/ParameterGrid.h"
#include "params/frmZR410_PRMT.h"
#include "params/frmZR410_SetDT.h"
#include "protocol/FrameCodec.h"
#include "protocol/RegisterMap.h"

using namespace zr410;

namespace {

// The main window in an empty program folder, on line with the simulated controller 1.
class ParamsOnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
        folder.write("Comm.CFG", sim.linkPath().toUtf8() + "\r\n115200\r\nE\r\n8\r\n1\r\nSUM\r\n");
        folder.write("CFG/SetMulti.INI", SelectionFileServing({1}));
        window = std::make_unique<TestMainWindow>();
        window->show();
        QObject::connect(&window->Link(), &SerialLink::indicator, [this](const EngineIndicator& i) {
            if (i.kind == EngineIndicator::Kind::Trace && i.direction == TraceDirection::Sent) {
                sent << i.bytes;
            }
        });
        window->mSetPortOpen_Click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->picRunArea()->isVisible(); }, 20000));
    }

    SimProcess sim{{"--devices", "1", "--protocol", "SUM", "--baud", "115200"}};
    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
    QList<QByteArray> sent;
};

// Answers the next value dialog as the operator would: types the entry and presses OK.
class EditValAnswer {
public:
    explicit EditValAnswer(const QString& entry) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this, entry] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal->objectName() != "frmZR410_EditVal") {
                return;
            }
            timer_.stop();
            modal->findChild<QLineEdit*>("txtEditVal")->setText(entry);
            modal->findChild<QPushButton*>("btnOK")->click();
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

}  // namespace

TEST_F(ParamsOnSimulator, CoolingSidePWrittenAndShownAfterTheReRead) {
    bool shown = false;
    bool reShown = false;
    window->onDialog = [&](QDialog& dialog) {
        auto& screen = static_cast<frmZR410_PRMT&>(dialog);
        ParameterGrid* ctrl = screen.Grid(ParamGridId::CTRL);
        // The factory setting, read when the screen opened.
        shown = QTest::qWaitFor([&] { return ctrl->CellText(2, 1) == "15.0"; }, 10000);
        if (shown) {
            EditValAnswer answer("2.5");
            screen.Grid_Click(ParamGridId::CTRL, 2, 1);
            reShown = QTest::qWaitFor([&] { return ctrl->CellText(2, 1) == "2.5"; }, 10000);
        }
        return int(QDialog::Accepted);
    };
    window->btnMenu_Click(5);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(reShown);
    const int reg = kCoolControlRegisters[0];
    // The write on the wire: device 1, one pair, register 0405, word 0019.
    const QByteArray write = *BuildWriteFrame(1, std::vector<int>{reg}, std::vector<int>{25}, 2);
    EXPECT_TRUE(
        write.startsWith("\x02"
                         "01DWR,01,0405,0019"));
    EXPECT_GE(sent.count(write), 1);
    EXPECT_EQ(sim.getRegister(1, reg), 25);
    EXPECT_FALSE(window->State().ParamScreenOpen);
}

TEST_F(ParamsOnSimulator, ClockSetInTheDialogShowsInTheNextStatusPoll) {
    ValueTable& table = window->sprdMulti();
    auto clockIs = [&](std::vector<QString> fields) {
        for (int k = 0; k < 6; ++k) {
            const int column = ValueTable::StatusColumn(kRegClockWeekday + k);
            if (table.Text(1, column) != fields[static_cast<size_t>(k)]) {
                return false;
            }
        }
        return true;
    };
    bool readBack = false;
    window->onDialog = [&](QDialog& dialog) {
        auto& clock = static_cast<frmZR410_SetDT&>(dialog);
        clock.SetCellText(1, "2031-03-04");  // a Tuesday: the weekday cell follows
        clock.SetCellText(3, "05:06:30");
        clock.btnSet_Click();
        readBack = QTest::qWaitFor(
            [&] {
                return clockIs({"2", "31", "03", "04", "05", "06"});
            },
            10000);
        return int(QDialog::Accepted);
    };
    window->btnMenu_Click(6);
    EXPECT_TRUE(readBack);
    const QStringList writes = sim.writes();
    for (const char* w : {"1 604 2", "1 605 31", "1 606 3", "1 607 4", "1 608 5", "1 609 6"}) {
        EXPECT_TRUE(writes.contains(QString::fromLatin1(w))) << w;
    }
}
