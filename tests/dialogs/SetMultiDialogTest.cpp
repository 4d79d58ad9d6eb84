#include "monitor/frmZR410_SetMulti.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "TempFolder.h"

using namespace zr410;

namespace {

const QString kFile = QStringLiteral("CFG/SetMulti.INI");
const QByteArray kPumpCp949("\xC6\xDF\xC7\xC1");            // "펌프"
const QByteArray kCoolerCp949("\xB3\xC3\xB0\xA2\xB1\xE2");  // "냉각기"

class SetMultiDialog : public frmZR410_SetMulti {
public:
    using frmZR410_SetMulti::frmZR410_SetMulti;
    QStringList messages;

    QTableWidget* grid() { return findChild<QTableWidget*>("sprdList"); }
    QString use(int device) { return grid()->item(device - 1, 0)->text(); }
    QString name(int device) { return grid()->item(device - 1, 1)->text(); }
    void setUse(int device, const QString& use) { grid()->item(device - 1, 0)->setText(use); }
    void press(const char* button) { findChild<QPushButton*>(button)->click(); }
    QString count() { return findChild<QLabel*>("lblCount")->text(); }

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

QByteArray lines(int from, int to, const QByteArray& line) {
    QByteArray bytes;
    for (int k = from; k <= to; ++k) {
        bytes += line;
    }
    return bytes;
}

}  // namespace

TEST(SetMultiDialog, GridShows99DevicesWithTheFilesFlagsAndNames) {
    TempProgramFolder folder;
    folder.write(kFile, "X\tA\r\nX\t\r\nO\t" + kPumpCp949 + "\r\nX\tB\r\n");
    SetMultiDialog dialog;

    EXPECT_EQ(dialog.windowTitle(), "멀티 설정");
    QTableWidget* grid = dialog.grid();
    ASSERT_EQ(grid->rowCount(), 99);
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "사용 여부");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "채널 명칭");
    EXPECT_EQ(grid->verticalHeaderItem(0)->text(), "1");
    EXPECT_EQ(grid->verticalHeaderItem(98)->text(), "99");
    EXPECT_EQ(dialog.use(1), "X");
    EXPECT_EQ(dialog.name(1), "A");
    EXPECT_EQ(dialog.use(3), "O");
    EXPECT_EQ(dialog.name(3), QStringLiteral("펌프"));
    EXPECT_EQ(dialog.use(5), "X") << "rows beyond the file keep the design content";
    EXPECT_EQ(dialog.name(5), "");
    EXPECT_EQ(dialog.use(99), "X");
    EXPECT_EQ(dialog.count(), "사용: 1대");
    EXPECT_EQ(WidgetsWithoutAccessibleName(dialog), QStringList());
}

TEST(SetMultiDialog, NothingSelectedIsRefusedWithTheMessageAndTheFileUntouched) {
    TempProgramFolder folder;
    const QByteArray file = "O\t1\r\n" + lines(2, 99, "X\t\r\n");
    folder.write(kFile, file);
    SetMultiDialog dialog;
    dialog.show();
    dialog.press("btnAllX");
    EXPECT_EQ(dialog.count(), "사용: 0대");
    dialog.press("btnOK");

    EXPECT_EQ(dialog.messages, QStringList{"사용 여부에 최소 하나는 O 를 선택해야만 합니다."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(folder.read(kFile), file);
    EXPECT_TRUE(dialog.SelectedDeviceNumbers().empty());
}

TEST(SetMultiDialog, NothingSelectedMessageIsAPlainBoxWithOnlyOk) {
    TempProgramFolder folder;
    frmZR410_SetMulti dialog;
    dialog.show();
    QString text;
    QMessageBox::StandardButtons buttons;
    MessageBoxWatcher watcher([&](QMessageBox& box) {
        text = box.text();
        buttons = box.standardButtons();
    });
    dialog.findChild<QPushButton*>("btnOK")->click();

    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(text, "사용 여부에 최소 하나는 O 를 선택해야만 합니다.");
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(QFile::exists(folder.file(kFile)));
}

TEST(SetMultiDialog, ConfirmingWrites99LinesEvenWhenTheFileHadFewer) {
    TempProgramFolder folder;
    folder.write(kFile, "X\tA\r\nO\tB\r\n");
    SetMultiDialog dialog;
    dialog.setUse(9, "O");
    dialog.grid()->item(0, 1)->setText(QStringLiteral("냉각기"));
    dialog.press("btnOK");

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.messages.isEmpty());
    EXPECT_EQ(folder.read(kFile), "X\t" + kCoolerCp949 + "\r\nO\tB\r\n" + lines(3, 8, "X\t\r\n") +
                                      "O\t\r\n" + lines(10, 99, "X\t\r\n"));
    EXPECT_EQ(dialog.SelectedDeviceNumbers(), (std::vector<int>{2, 9}));
}

TEST(SetMultiDialog, CancelLeavesTheFileAsItWas) {
    TempProgramFolder folder;
    const QByteArray file("O\tA\r\nX\tB\r\n");
    folder.write(kFile, file);
    SetMultiDialog dialog;
    dialog.setUse(2, "O");
    dialog.grid()->item(0, 1)->setText("changed");
    dialog.press("btnCancel");

    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(folder.read(kFile), file);
    EXPECT_TRUE(dialog.SelectedDeviceNumbers().empty());
}

TEST(SetMultiDialog, NameStillBeingTypedWhenOkIsPressedIsSaved) {
    TempProgramFolder folder;
    folder.write(kFile, "O\t\r\n");
    SetMultiDialog dialog;
    dialog.show();
    QTableWidget* grid = dialog.grid();
    const QModelIndex cell = grid->model()->index(0, 1);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    editor->setText("Line 1");
    // Alt+O presses OK without taking the focus from the editor.
    dialog.press("btnOK");

    EXPECT_TRUE(folder.read(kFile).startsWith("O\tLine 1\r\nX\t\r\n"));
}

TEST(SetMultiDialog, UseCellIsADropDownOfOAndX) {
    TempProgramFolder folder;
    SetMultiDialog dialog;
    QTableWidget* grid = dialog.grid();
    const QModelIndex cell = grid->model()->index(4, 0);
    QAbstractItemDelegate* delegate = grid->itemDelegateForIndex(cell);
    QStyleOptionViewItem option;
    std::unique_ptr<QWidget> editor(delegate->createEditor(grid->viewport(), option, cell));
    auto* box = qobject_cast<QComboBox*>(editor.get());
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), "O");
    EXPECT_EQ(box->itemText(1), "X");
    EXPECT_FALSE(box->isEditable());

    delegate->setEditorData(box, cell);
    EXPECT_EQ(box->currentText(), "X");
    box->setCurrentIndex(0);
    delegate->setModelData(box, grid->model(), cell);
    EXPECT_EQ(dialog.use(5), "O");
    EXPECT_EQ(dialog.count(), "사용: 1대");
    EXPECT_NE(grid->item(4, 0)->background(), grid->item(5, 0)->background())
        << "served rows stand out";
}

TEST(SetMultiDialog, PickingAnEntryFromTheDropDownStoresItAndClosesIt) {
    TempProgramFolder folder;
    SetMultiDialog dialog;
    dialog.show();
    QTableWidget* grid = dialog.grid();
    const QModelIndex cell = grid->model()->index(10, 0);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* box = qobject_cast<QComboBox*>(grid->indexWidget(cell));
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(box->findText("O"));
    emit box->activated(box->currentIndex());

    EXPECT_EQ(dialog.use(11), "O");
    QApplication::processEvents();
    EXPECT_EQ(grid->indexWidget(cell), nullptr) << "the drop-down closes after the pick";
}

TEST(SetMultiDialog, KeysOXAndSpaceSetTheUseFlagOfTheCurrentRow) {
    TempProgramFolder folder;
    SetMultiDialog dialog;
    dialog.show();
    QTableWidget* grid = dialog.grid();
    grid->setCurrentCell(6, 0);
    QTest::keyClick(grid, Qt::Key_O);
    EXPECT_EQ(dialog.use(7), "O");
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(dialog.use(7), "X");
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(dialog.use(7), "O");
    QTest::keyClick(grid, Qt::Key_X);
    EXPECT_EQ(dialog.use(7), "X");

    // In the name column the same keys are typed into the name.
    grid->setCurrentCell(6, 1);
    QTest::keyClick(grid, Qt::Key_O);
    EXPECT_EQ(dialog.use(7), "X");
    EXPECT_NE(grid->indexWidget(grid->currentIndex()), nullptr) << "the name editor is open";
}

TEST(SetMultiDialog, MarkAllButtonsSetEveryRow) {
    TempProgramFolder folder;
    SetMultiDialog dialog;
    dialog.press("btnAllO");
    EXPECT_EQ(dialog.Entries()[0].use, "O");
    EXPECT_EQ(dialog.Entries()[98].use, "O");
    EXPECT_EQ(dialog.count(), "사용: 99대");
    dialog.press("btnOK");
    EXPECT_EQ(dialog.SelectedDeviceNumbers().size(), 99u);
    EXPECT_EQ(folder.read(kFile), lines(1, 99, "O\t\r\n"));
}
