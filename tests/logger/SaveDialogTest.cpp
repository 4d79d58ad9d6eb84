// The data save settings dialog as the operator meets it: what it shows on opening, the
// interval box, the folder label, and what OK and Cancel do to SaveData.INI and the settings.
#include "monitor/frmZR410_Set_DSave.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../dialogs/DialogTestSupport.h"
#include "TempFolder.h"

using namespace zr410;

namespace {

const QByteArray kCp949Seconds("\xC3\xCA");
const QByteArray kCp949Minutes("\xBA\xD0");

// The dialog with its message boxes and folder picker answered by the test.
class SaveDialog : public frmZR410_Set_DSave {
public:
    using frmZR410_Set_DSave::frmZR410_Set_DSave;

    QStringList messages;
    QStringList pickerStarts;
    QString pickerAnswer;  // empty: the operator cancels the picker

    QComboBox* combo(const char* name) { return findChild<QComboBox*>(name); }
    QLineEdit* box(const char* name) { return findChild<QLineEdit*>(name); }
    QLabel* label(const char* name) { return findChild<QLabel*>(name); }
    QPushButton* button(const char* name) { return findChild<QPushButton*>(name); }

    // Key presses, focus changes and access keys need the window up and active.
    void showActive() {
        show();
        activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
    }
    // Types into the interval box and leaves it with Tab, as an operator would.
    void typeInterval(const QString& text) {
        QLineEdit* interval = box("txtSaveInterval");
        interval->setFocus();
        interval->selectAll();
        QTest::keyClicks(interval, text);
        QTest::keyClick(interval, Qt::Key_Tab);
    }
    void choose(const char* comboName, const QString& item) {
        QComboBox* c = combo(comboName);
        c->setCurrentIndex(c->findText(item));
    }

protected:
    void ShowMessage(const QString& text) override { messages << text; }
    QString ChooseFolder(const QString& start) override {
        pickerStarts << start;
        return pickerAnswer;
    }
};

SaveSettings inUse() {
    SaveSettings s;
    s.SaveEnabled = "Yes";
    s.SaveInterval = 30;
    s.SaveUnit = "초";
    s.SaveFolder = "/srv/in-use";
    s.SaveFileName = "InUse";
    return s;
}

const QByteArray kFileBytes = "No\r\n10\r\n" + kCp949Minutes + "\r\n/srv/log\r\nLine3\r\n";

}  // namespace

// ---- Opening -------------------------------------------------------------------------------

TEST(SaveDialogOpening, ShowsTheFileAsItStandsWithTheDesignedCaptions) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", kFileBytes);
    SaveDialog dialog(inUse());

    EXPECT_EQ(dialog.DialogTexts(), (QStringList{"No", "10", "분", "/srv/log", "Line3"}));
    EXPECT_EQ(dialog.windowTitle(), "데이터 저장 설정");
    const auto items = [&](const char* name) {
        QStringList texts;
        for (int i = 0; i < dialog.combo(name)->count(); ++i) {
            texts << dialog.combo(name)->itemText(i);
        }
        return texts;
    };
    EXPECT_EQ(items("cmbSave"), (QStringList{"Yes", "No"}));
    EXPECT_EQ(items("cmbUnit"), (QStringList{"초", "분"}));
    QStringList captions;
    for (const char* name : {"lblCaptionSave", "lblCaptionInterval", "lblCaptionUnit",
                             "lblCaptionFolder", "lblCaptionFName"}) {
        captions << dialog.label(name)->text();
    }
    EXPECT_EQ(captions, (QStringList{"저장여부", "저장주기", "단위", "저장폴더", "파일명"}));
    EXPECT_EQ(dialog.label("lblNote")->text(),
              "기기번호에 따라 _01.DAT ~ _99.DAT 가 입력된 파일명 뒤에 붙여서 생성됩니다.");
    EXPECT_EQ(dialog.label("lblFolder")->toolTip(), "클릭하면 폴더를 바꿀 수 있습니다.");
    EXPECT_EQ(dialog.button("btnOK")->text(), "확인[&O]");
    EXPECT_EQ(dialog.button("btnCancel")->text(), "취소[&C]");
    EXPECT_EQ(WidgetsWithoutAccessibleName(dialog), QStringList());
    for (const char* name : {"txtSaveInterval", "txtFName"}) {
        EXPECT_FALSE(dialog.box(name)->accessibleName().isEmpty()) << name;
    }
}

TEST(SaveDialogOpening, AnUnreadableOrShortFileShowsTheSettingsInUse) {
    const QStringList shown{"Yes", "30", "초", "/srv/in-use", "InUse"};
    {
        TempProgramFolder folder;  // no CFG at all: it is created
        SaveDialog dialog(inUse());
        EXPECT_EQ(dialog.DialogTexts(), shown);
        EXPECT_TRUE(QFileInfo(folder.file("CFG")).isDir());
    }
    {
        TempProgramFolder folder;
        ASSERT_TRUE(QDir().mkpath(folder.file("CFG/SaveData.INI")));
        EXPECT_EQ(SaveDialog(inUse()).DialogTexts(), shown);
    }
    {
        TempProgramFolder folder;
        folder.write("CFG/SaveData.INI", "No\r\n10\r\n" + kCp949Minutes + "\r\n/srv/log\r\n");
        EXPECT_EQ(SaveDialog(inUse()).DialogTexts(), shown);
    }
}

TEST(SaveDialogOpening, TextsOutsideTheListsAreShownAndKeptAsTheFileHasThem) {
    TempProgramFolder folder;
    const QByteArray odd = "yes\r\n5\r\nsec\r\n/srv/log\r\nLine3\r\n";
    folder.write("CFG/SaveData.INI", odd);
    SaveDialog dialog(inUse());
    EXPECT_EQ(dialog.combo("cmbSave")->currentText(), "yes");
    EXPECT_EQ(dialog.combo("cmbUnit")->currentText(), "sec");
    dialog.button("btnOK")->click();
    EXPECT_EQ(folder.read("CFG/SaveData.INI"), odd);
    EXPECT_FALSE(dialog.Settings().Enabled());
}

TEST(SaveDialogOpening, AnIntervalOutOfRangeInTheFileIsShownCorrected) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", "Yes\r\n75\r\n" + kCp949Seconds + "\r\n/srv/log\r\nA\r\n");
    EXPECT_EQ(SaveDialog(inUse()).box("txtSaveInterval")->text(), "60");
}

// ---- Interval box --------------------------------------------------------------------------

TEST(SaveDialogInterval, CorrectedWhenTheOperatorLeavesTheBox) {
    TempProgramFolder folder;
    SaveDialog dialog(inUse());
    dialog.showActive();
    QLineEdit* interval = dialog.box("txtSaveInterval");
    const std::pair<const char*, const char*> cases[] = {{"0", "1"},   {"75", "60"}, {"2.5", "2.5"},
                                                         {"abc", "1"}, {"-3", "1"},  {"45", "45"}};
    for (const auto& [typed, shown] : cases) {
        dialog.typeInterval(QString::fromUtf8(typed));
        EXPECT_EQ(interval->text(), QString::fromUtf8(shown)) << typed;
    }
}

TEST(SaveDialogInterval, NotCorrectedWhileTyping) {
    TempProgramFolder folder;
    SaveDialog dialog(inUse());
    dialog.showActive();
    QLineEdit* interval = dialog.box("txtSaveInterval");
    interval->setFocus();
    interval->selectAll();
    QTest::keyClick(interval, Qt::Key_Backspace);
    EXPECT_EQ(interval->text(), "");
    QTest::keyClicks(interval, "30");
    EXPECT_EQ(interval->text(), "30");
    QTest::keyClicks(interval, "0");
    EXPECT_EQ(interval->text(), "300");
    QTest::keyClick(interval, Qt::Key_Return);
    EXPECT_EQ(interval->text(), "60");
}

TEST(SaveDialogInterval, OkByItsAccessKeyStillCorrectsTheInterval) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", kFileBytes);
    SaveDialog dialog(inUse());
    dialog.showActive();
    QLineEdit* interval = dialog.box("txtSaveInterval");
    interval->setFocus();
    interval->selectAll();
    QTest::keyClicks(interval, "75");
    QTest::keyClick(interval, Qt::Key_O, Qt::AltModifier);
    // An access key clicks its button with a short animation.
    for (int waited = 0; dialog.isVisible() && waited < 2000; waited += 10) {
        QTest::qWait(10);
    }

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(folder.read("CFG/SaveData.INI"),
              "No\r\n60\r\n" + kCp949Minutes + "\r\n/srv/log\r\nLine3\r\n");
    EXPECT_EQ(dialog.Settings().SaveInterval, 60);
}

// ---- Folder label --------------------------------------------------------------------------

TEST(SaveDialogFolder, AClickOnTheLabelTakesThePickersChoice) {
    TempProgramFolder folder;
    const QString data = folder.file("data");
    ASSERT_TRUE(QDir().mkpath(data));
    SaveSettings current = inUse();
    current.SaveFolder = data;
    SaveDialog dialog(current);
    dialog.showActive();
    QLabel* label = dialog.label("lblFolder");

    dialog.pickerAnswer = folder.file("line3/");
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(dialog.pickerStarts, QStringList{data}) << "starts at the folder shown";
    EXPECT_EQ(label->text(), folder.file("line3"));

    dialog.pickerAnswer.clear();
    label->setFocus();
    QTest::keyClick(label, Qt::Key_Space);
    EXPECT_EQ(dialog.pickerStarts.size(), 2);
    EXPECT_EQ(dialog.pickerStarts.last(), folder.path()) << "a folder that is gone: program's";
    EXPECT_EQ(label->text(), folder.file("line3")) << "a cancelled pick changes nothing";

    dialog.pickerAnswer = data;
    dialog.findChild<QToolButton*>("btnFolder")->click();
    EXPECT_EQ(dialog.pickerStarts.size(), 3);
    EXPECT_EQ(label->text(), data);
}

// ---- OK and Cancel -------------------------------------------------------------------------

TEST(SaveDialogOk, TheFolderIsCheckedBeforeTheFileName) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", "Yes\r\n10\r\n" + kCp949Minutes + "\r\n\r\n\r\n");
    SaveDialog dialog(inUse());
    dialog.showActive();

    dialog.button("btnOK")->click();
    EXPECT_EQ(dialog.messages, QStringList{"저장폴더를 선택하시오."});
    EXPECT_TRUE(dialog.isVisible());

    dialog.pickerAnswer = "/srv/log";
    dialog.lblFolder_Click();
    dialog.button("btnOK")->click();
    EXPECT_EQ(dialog.messages.last(), "파일명을 입력하시오.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(folder.read("CFG/SaveData.INI"), "Yes\r\n10\r\n" + kCp949Minutes + "\r\n\r\n\r\n")
        << "nothing saved yet";
    EXPECT_EQ(dialog.Settings().SaveFileName, "InUse");

    dialog.box("txtFName")->setText("Line3");
    dialog.button("btnOK")->click();
    EXPECT_EQ(dialog.messages.size(), 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SaveDialogOk, WritesTheTextsAsTypedAndReturnsTheSettingsRounded) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", kFileBytes);
    SaveDialog dialog(inUse());
    dialog.showActive();
    dialog.choose("cmbSave", "Yes");
    dialog.typeInterval("2.5");
    dialog.choose("cmbUnit", "초");
    dialog.box("txtFName")->setText("Press 7");
    dialog.button("btnOK")->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.messages.isEmpty());
    EXPECT_EQ(folder.read("CFG/SaveData.INI"),
              "Yes\r\n2.5\r\n" + kCp949Seconds + "\r\n/srv/log\r\nPress 7\r\n");
    const SaveSettings& s = dialog.Settings();
    EXPECT_EQ(s.SaveEnabled, "Yes");
    EXPECT_EQ(s.SaveInterval, 2);
    EXPECT_EQ(s.SaveUnit, "초");
    EXPECT_EQ(s.SaveFolder, "/srv/log");
    EXPECT_EQ(s.SaveFileName, "Press 7");
    EXPECT_EQ(LoadSaveSettings(SaveSettingsPath()).SaveInterval, 2) << "and 2 at the next start";
}

TEST(SaveDialogOk, AFailedWriteIsToldAndTheSettingsStillApply) {
    TempProgramFolder folder;
    folder.write("CFG", "a plain file where the folder should be");
    SaveDialog dialog(inUse());
    dialog.choose("cmbSave", "No");
    dialog.button("btnOK")->click();

    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].contains("SaveData.INI")) << dialog.messages[0].toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Settings().SaveEnabled, "No");
    EXPECT_EQ(dialog.Settings().SaveFileName, "InUse");
}

TEST(SaveDialogCancel, ChangingEveryFieldThenCancelLeavesFileAndSettingsUntouched) {
    TempProgramFolder folder;
    folder.write("CFG/SaveData.INI", kFileBytes);
    SaveDialog dialog(inUse());
    dialog.showActive();
    dialog.choose("cmbSave", "Yes");
    dialog.typeInterval("5");
    dialog.choose("cmbUnit", "초");
    dialog.pickerAnswer = "/srv/other";
    dialog.lblFolder_Click();
    dialog.box("txtFName")->setText("Other");
    ASSERT_EQ(dialog.DialogTexts(), (QStringList{"Yes", "5", "초", "/srv/other", "Other"}));
    dialog.button("btnCancel")->click();

    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(folder.read("CFG/SaveData.INI"), kFileBytes);
    const SaveSettings& s = dialog.Settings();
    EXPECT_EQ(SaveSettingsTexts(s), SaveSettingsTexts(inUse()));
    EXPECT_TRUE(dialog.messages.isEmpty());
}

// ---- Looks ---------------------------------------------------------------------------------

TEST(SaveDialogLayout, EveryControlAndAllOfALongFolderFitOnAModestScreen) {
    TempProgramFolder folder;
    SaveSettings current = inUse();
    current.SaveFolder =
        "/mnt/plant-share/production/line-3/injection-molding/mold-temperature-controllers/"
        "ZR410_DATA/2024/December";
    SaveDialog dialog(current);
    dialog.showActive();
    const QRect inside = dialog.rect();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->objectName().startsWith("qt_")) {
            continue;
        }
        const QRect at(w->mapTo(&dialog, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(at)) << w->objectName().toStdString();
        EXPECT_GT(w->width(), 0) << w->objectName().toStdString();
    }
    for (const char* name : {"lblNote", "lblFolder"}) {
        QLabel* label = dialog.label(name);
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
    }
    EXPECT_LE(dialog.width(), 640);
}
