#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "../monitor/TestMainWindow.h"
#include "SelectionFile.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "monitor/MonitoringArea.h"
#include "widgets/GradientLabel.h"

using namespace zr410;

namespace {

QString connectionText(TestMainWindow& w, int row) {
    QTableWidgetItem* item = w.sprdStatusGrid()->item(row, 1);
    return item ? item->text() : QString();
}

// The main window, started in an empty program folder whose settings point at the simulator.
class MainWindowOnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
        folder.write("Comm.CFG", sim.linkPath().toUtf8() + "\r\n115200\r\nE\r\n8\r\n1\r\nSUM\r\n");
        folder.write("CFG/SetMulti.INI", SelectionFileServing({1, 2, 3}));
        window = std::make_unique<TestMainWindow>();
        window->show();
    }

    SimProcess sim{{"--devices", "1,3", "--protocol", "SUM", "--baud", "115200"}};
    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
};

}  // namespace

TEST_F(MainWindowOnSimulator, OpeningThePortScansTheDevicesAndGoesOnLine) {
    TestMainWindow& w = *window;
    w.mSetPortOpenAction()->trigger();
    EXPECT_EQ(w.mSetPortOpenAction()->text(), "통신포트 닫기[&C]");
    EXPECT_EQ(w.btnMenuButton(1)->text(), "통신포트 닫기");
    EXPECT_TRUE(w.ConnectCheckLabel()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.picRunArea()->isVisible(); }, 20000));
    EXPECT_EQ(connectionText(w, 0), "양호");
    EXPECT_EQ(connectionText(w, 1), "불량");
    EXPECT_EQ(connectionText(w, 2), "양호");
    EXPECT_FALSE(w.ConnectCheckLabel()->isVisible());
    EXPECT_EQ(w.EditDeviceLabel()->text(), "1");
    EXPECT_FALSE(w.btnMenuButton(0)->isEnabled());
    EXPECT_TRUE(w.btnMenuButton(4)->isEnabled());

    // Picking device 3 makes it the edit device.
    w.SelectEditDevice(3);
    EXPECT_EQ(w.EditDeviceLabel()->text(), "3");
    EXPECT_EQ(w.State().EditDeviceNo, 3);
    w.SelectEditDevice(2);  // not connected: nothing changes
    EXPECT_EQ(w.State().EditDeviceNo, 3);
    // By keyboard: arrows to a row, Space or Enter chooses it.
    QTableWidget* list = w.sprdStatusGrid();
    list->setFocus();
    list->setCurrentCell(2, 0);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(w.State().EditDeviceNo, 1);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(w.State().EditDeviceNo, 3);
    const QColor good = list->item(0, 1)->background().color();

    w.btnMenu_Click(1);
    // Closed: the last states stay readable but no longer look live.
    EXPECT_EQ(connectionText(w, 0), "양호");
    EXPECT_NE(list->item(0, 1)->background().color(), good);
    EXPECT_TRUE(list->item(0, 1)->data(Qt::AccessibleTextRole).toString().contains("닫힘"));
    EXPECT_EQ(w.mSetPortOpenAction()->text(), "통신포트 열기[&O]");
    EXPECT_EQ(w.btnMenuButton(1)->text(), "통신포트 열기");
    EXPECT_FALSE(w.picRunArea()->isVisible());
    EXPECT_TRUE(w.btnMenuButton(0)->isEnabled());
    EXPECT_FALSE(w.Link().isOpen());
}

TEST_F(MainWindowOnSimulator, RunCommandReachesTheControllerAndTheButtonTurnsRed) {
    TestMainWindow& w = *window;
    w.mSetPortOpen_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.picRunArea()->isVisible(); }, 20000));
    MonitoringArea* area = w.Monitor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return area->lblSV()->text() != ""; }, 10000));
    EXPECT_EQ(area->CommandColor(1), MonitoringArea::kOff);
    const QString before = area->lblPV(1)->text();

    QTest::mouseClick(area->btnCMD(1), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.writes().contains("1 102 1"); }, 10000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return area->CommandColor(1) == MonitoringArea::kOn; }, 10000));
    // The controller now heats towards its set value.
    EXPECT_TRUE(QTest::qWaitFor([&] { return area->lblPV(1)->text() != before; }, 15000));
}

TEST_F(MainWindowOnSimulator, NewSelectionWhileOpenStartsANewScan) {
    TestMainWindow& w = *window;
    w.mSetPortOpen_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.picRunArea()->isVisible(); }, 20000));
    w.ConfirmDeviceSelection({3});
    EXPECT_FALSE(w.picRunArea()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.picRunArea()->isVisible(); }, 20000));
    EXPECT_EQ(w.State().EditDeviceNo, 3);
    EXPECT_EQ(connectionText(w, 0), "양호");
}

TEST_F(MainWindowOnSimulator, TwoRunningControllersAreLoggedToTwoFiles) {
    QTemporaryDir data;
    folder.write("CFG/SaveData.INI", QByteArray("Yes\r\n1\r\n") + QStringLiteral("초").toUtf8() +
                                         "\r\n" + data.path().toUtf8() + "\r\nLINE\r\n");
    window = std::make_unique<TestMainWindow>();
    ASSERT_TRUE(window->Saving().Enabled());
    ASSERT_TRUE(sim.setRunning(1, true));
    ASSERT_TRUE(sim.setRunning(3, true));
    window->mSetPortOpen_Click();
    const QString first = data.filePath("LINE_01.DAT");
    const QString second = data.filePath("LINE_03.DAT");
    auto lines = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count("\r\n") : 0;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines(first) >= 2 && lines(second) >= 2; }, 30000));
    EXPECT_FALSE(QFile::exists(data.filePath("LINE_02.DAT")));  // device 2 is not on the line
    QFile file(first);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> record = file.readLine().trimmed().split('\t');
    ASSERT_EQ(record.size(), 8);
    EXPECT_TRUE(QDate::fromString(QString::fromLatin1(record[0]), "yyyy-MM-dd").isValid());
    EXPECT_TRUE(QTime::fromString(QString::fromLatin1(record[1]), "HH:mm:ss").isValid());
    EXPECT_TRUE(record[2].contains('.'));  // one decimal, as the controller reports it
    EXPECT_EQ(record[6].count('.'), 1);    // pressure in hundredths
}
