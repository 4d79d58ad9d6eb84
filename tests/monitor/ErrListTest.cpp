#include "monitor/frmZR410_ErrList.h"

#include <QTableView>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "ReplyFrames.h"
#include "SelectionFile.h"
#include "TempFolder.h"
#include "TestMainWindow.h"

using namespace zr410;

namespace {

QByteArray history(std::vector<int> codes) {
    codes.resize(20, 0);
    return replies::read(4, codes);
}

// The main window with device 4 as the edit device; the test delivers the history reply.
class ErrorList : public ::testing::Test {
protected:
    ErrorList() {
        folder.write("CFG/SetMulti.INI", SelectionFileServing({4}));
        window = std::make_unique<TestMainWindow>();
        window->State().EditDeviceIndex = 0;
        window->State().EditDeviceNo = 4;
    }

    // Opens the list from the menu; `step` runs while it is open.
    void open(const std::function<void(frmZR410_ErrList&)>& step) {
        window->onDialog = [&](QDialog& dialog) {
            step(static_cast<frmZR410_ErrList&>(dialog));
            return int(QDialog::Accepted);
        };
        window->mOnlineError_Click();
    }

    QString cell(frmZR410_ErrList& w, int row, int column) {
        const QAbstractItemModel* model = w.sprdErr()->model();
        return model->index(row - 1, column - 1).data().toString();
    }

    TempProgramFolder folder;
    std::unique_ptr<TestMainWindow> window;
};

}  // namespace

TEST_F(ErrorList, OpeningReadsTheHistoryOnceAndShowsCodesWithNames) {
    open([&](frmZR410_ErrList& w) {
        EXPECT_EQ(window->State().PendingState, PollState::ErrorHistory);
        EXPECT_EQ(w.sprdErr()->model()->rowCount(), 20);
        EXPECT_EQ(WidgetsWithoutAccessibleName(w), QStringList());
        EXPECT_EQ(cell(w, 1, 1), "");
        ASSERT_TRUE(window->Decoders().DecodeErrorHistory(history({5, 0, 12, 0, 16})));
        EXPECT_EQ(cell(w, 1, 1), "5");
        EXPECT_EQ(cell(w, 1, 2), "ADC 에러");
        EXPECT_EQ(cell(w, 2, 1), "");  // a gap stays an empty row in place
        EXPECT_EQ(cell(w, 3, 1), "12");
        EXPECT_EQ(cell(w, 3, 2), "압력 오버");
        EXPECT_EQ(cell(w, 5, 2), "알 수 없는 에러 (코드 16)");
        for (int row = 6; row <= 20; ++row) {
            EXPECT_EQ(cell(w, row, 1), "") << row;
        }
    });
    // The second opening starts empty and reads again.
    window->State().PendingState = PollState::None;
    open([&](frmZR410_ErrList& w) {
        EXPECT_EQ(window->State().PendingState, PollState::ErrorHistory);
        EXPECT_EQ(cell(w, 1, 1), "");
        ASSERT_TRUE(window->Decoders().DecodeErrorHistory(history({7})));
        EXPECT_EQ(cell(w, 1, 2), "EEPROM 에러");
        EXPECT_EQ(cell(w, 3, 1), "");
    });
}

TEST_F(ErrorList, ReplyAfterClosingIsNotTakenIn) {
    open([](frmZR410_ErrList&) {});
    // The read never went out: closing takes it back instead of leaving it for nobody.
    EXPECT_EQ(window->State().PendingState, PollState::None);
    // A reply of a read that did go out arrives late: accepted on the line, shown nowhere.
    EXPECT_TRUE(window->Decoders().DecodeErrorHistory(history({3, 3, 3})));
    EXPECT_EQ(window->Errors().Text(1, 1), "");
    EXPECT_EQ(window->dialogsOpened, QStringList{"frmZR410_ErrList"});
}
