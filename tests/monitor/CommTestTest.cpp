#include "monitor/frmZR410_CommTest.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "SelectionFile.h"
#include "TempFolder.h"
#include "TestMainWindow.h"
#include "engine/SerialLink.h"
#include "protocol/FrameCodec.h"

using namespace zr410;

namespace {

class TestViewer : public frmZR410_CommTest {
public:
    using frmZR410_CommTest::frmZR410_CommTest;
    QStringList messages;

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

// The viewer over a link that the test plays: it reports traffic through the link's signal.
class Viewer : public ::testing::Test {
protected:
    Viewer() {
        state.SetDeviceNumbers({1, 6});
        state.DeviceConnected = {true, true};
        state.EditDeviceIndex = 1;
        state.EditDeviceNo = 6;
    }

    void traffic(TraceDirection direction, const QByteArray& bytes) {
        emit link.indicator(EngineIndicator::TraceOf(direction, bytes));
    }

    void read(const QString& typed) {
        viewer->txtDReg()->setText(typed);
        viewer->btnRead()->click();
    }

    SharedState state;
    SerialLink link{state};
    std::unique_ptr<TestViewer> viewer = std::make_unique<TestViewer>(state, link);
};

const QByteArray kStatusReply =
    "\x02"
    "06DRR,OK,0001\r\n";

}  // namespace

TEST_F(Viewer, EveryBlockIsOneRowWithItsDirectionAndOneByteACell) {
    EXPECT_TRUE(state.CommViewerOpen);
    EXPECT_EQ(WidgetsWithoutAccessibleName(*viewer), QStringList());
    CommTraceModel& trace = viewer->Trace();
    traffic(TraceDirection::Sent,
            "\x02"
            "06DRR,01,0507\r\n");
    traffic(TraceDirection::Received, kStatusReply + kStatusReply);  // two frames, one block
    ASSERT_EQ(trace.RowCount(), 2);
    EXPECT_EQ(trace.DirectionText(0), "송신");
    EXPECT_EQ(trace.DirectionText(1), "수신");
    EXPECT_EQ(trace.CellText(1, 0), "STX");
    EXPECT_EQ(trace.CellText(1, 1), "0");
    EXPECT_EQ(trace.CellText(1, 14), "CR");
    EXPECT_EQ(trace.CellText(1, 15), "LF");
    EXPECT_EQ(trace.CellText(1, 16), "STX");
    EXPECT_EQ(trace.CellText(1, 32), "");
    EXPECT_EQ(trace.columnCount(), 512);
    EXPECT_EQ(CommTraceModel::ByteText('\0'), "<00>");

    // A block longer than a row goes on over the next rows.
    traffic(TraceDirection::Received, QByteArray(600, 'A') + "\r\n");
    ASSERT_EQ(trace.RowCount(), 4);
    EXPECT_EQ(trace.Bytes(2).size(), 512);
    EXPECT_EQ(trace.DirectionText(3), "수신 계속");
    EXPECT_EQ(trace.CellText(3, 89), "LF");
    EXPECT_EQ(viewer->btnCopy_Click().split('\n').size(), 4);

    viewer.reset();
    EXPECT_FALSE(state.CommViewerOpen);
    EXPECT_EQ(state.PendingState, PollState::None);  // only watched: the cycle is left alone
}

TEST_F(Viewer, FullTraceDropsItsOldestRow) {
    CommTraceModel trace;
    for (int i = 0; i < CommTraceModel::kMaxRows; ++i) {
        trace.ShowCommTrace(QByteArray::number(i), TraceDirection::Received);
    }
    ASSERT_EQ(trace.RowCount(), 65535);
    EXPECT_EQ(trace.Bytes(0), "0");
    trace.ShowCommTrace("new", TraceDirection::Sent);
    EXPECT_EQ(trace.RowCount(), 65535);
    EXPECT_EQ(trace.Bytes(0), "1");
    EXPECT_EQ(trace.Bytes(65534), "new");
}

TEST_F(Viewer, PausedTraceCountsBlocksAndCopiesRowsAsLogText) {
    traffic(TraceDirection::Received, kStatusReply);
    viewer->btnPause()->toggle();
    traffic(TraceDirection::Received, kStatusReply);
    traffic(TraceDirection::Sent, "x");
    EXPECT_EQ(viewer->Trace().RowCount(), 1);
    EXPECT_EQ(viewer->Trace().SkippedBlocks(), 2);
    const QString copied = viewer->btnCopy_Click();
    EXPECT_TRUE(copied.endsWith("\t수신\t<STX>06DRR,OK,0001<CR><LF>")) << copied.toStdString();
    viewer->btnPause()->toggle();
    traffic(TraceDirection::Received, kStatusReply);
    EXPECT_EQ(viewer->Trace().RowCount(), 2);
}

TEST_F(Viewer, ReadAsksForTheTypedRegisterAndClosingBringsTheStatusPollBack) {
    read(" 507");
    EXPECT_EQ(state.PendingState, PollState::RawRead);
    EXPECT_EQ(state.PendingRegisters, std::vector<int>{507});
    read("abc");  // not a number: register 0
    EXPECT_EQ(state.PendingRegisters, std::vector<int>{0});
    EXPECT_TRUE(viewer->messages.isEmpty());
    viewer.reset();
    EXPECT_EQ(state.PendingState, PollState::Status);
}

TEST_F(Viewer, RegisterAFrameCannotCarryOrNoControllerIsRefusedWithAMessage) {
    for (const char* typed : {"10000", "-1", "123456789012"}) {
        read(typed);
    }
    EXPECT_EQ(viewer->messages.size(), 3);
    EXPECT_TRUE(viewer->messages[0].contains("0 ~ 9999"));
    EXPECT_EQ(state.PendingState, PollState::None);

    state.EditDeviceNo = 0;  // nobody identified yet
    read("9999");
    EXPECT_EQ(viewer->messages.size(), 4);
    EXPECT_EQ(state.PendingState, PollState::None);
    viewer.reset();
    EXPECT_EQ(state.PendingState, PollState::None);
}

TEST(CommViewerMenu, OfferedAndOpenedFromTheHelpMenu) {
    TempProgramFolder folder;
    folder.write("CFG/SetMulti.INI", SelectionFileServing({1}));
    TestMainWindow w;
    QAction* item = w.findChild<QAction*>("mHelpCommView");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    bool openWhileShown = false;
    w.onDialog = [&](QDialog&) {
        openWhileShown = w.State().CommViewerOpen;
        return int(QDialog::Rejected);
    };
    item->trigger();
    EXPECT_EQ(w.dialogsOpened, QStringList{"frmZR410_CommTest"});
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(w.State().CommViewerOpen);
}
