#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

#include "logging/SaveSettings.h"

class QComboBox;

namespace Ui {
class frmZR410_Set_DSave;
}

namespace zr410 {

// Data save settings dialog ("데이터 저장 설정"): whether to save, the interval and its unit,
// the folder (chosen by clicking lblFolder) and the base file name. It shows SaveData.INI as
// the file has it, or the settings in use when the file cannot be read. OK writes the five
// texts as they stand and hands the new settings to the main window through Settings().
class frmZR410_Set_DSave : public QDialog {
    Q_OBJECT

public:
    static const QString kNoFolderText;    // "저장폴더를 선택하시오."
    static const QString kNoFileNameText;  // "파일명을 입력하시오."

    explicit frmZR410_Set_DSave(const SaveSettings& current, QWidget* parent = nullptr);
    ~frmZR410_Set_DSave() override;

    // The settings confirmed with OK; until then the ones the dialog was opened with.
    const SaveSettings& Settings() const { return settings_; }
    // The five texts as they stand: save, interval, unit, folder, file name.
    QStringList DialogTexts() const;

    // What a click on lblFolder leads to: asks for a folder and shows the choice; a
    // cancelled choice leaves the folder as it was.
    void lblFolder_Click();

protected:
    // A message box with only an OK button; tests replace it.
    virtual void ShowMessage(const QString& text);
    // Asks the operator for a folder, starting at `start`; an empty text when cancelled.
    virtual QString ChooseFolder(const QString& start);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void ShowTexts(const QStringList& texts);
    void txtSaveInterval_Change();
    void btnOK_Click();
    void btnCancel_Click();

    static void ShowComboText(QComboBox* box, const QString& text);

    std::unique_ptr<Ui::frmZR410_Set_DSave> ui;
    SaveSettings settings_;
};

}  // namespace zr410
