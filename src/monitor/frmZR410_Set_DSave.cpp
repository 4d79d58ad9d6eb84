#include "monitor/frmZR410_Set_DSave.h"

#include "ui_frmZR410_Set_DSave.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>

#include "common/ProgramFolder.h"

namespace zr410 {

const QString frmZR410_Set_DSave::kNoFolderText = QStringLiteral("저장폴더를 선택하시오.");
const QString frmZR410_Set_DSave::kNoFileNameText = QStringLiteral("파일명을 입력하시오.");

frmZR410_Set_DSave::frmZR410_Set_DSave(const SaveSettings& current, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmZR410_Set_DSave>()), settings_(current) {
    ui->setupUi(this);
    // The folder label is the way to the picker: it looks like a field and takes focus, so
    // Space or Enter opens the picker as a click does. A long path wraps after its
    // separators instead of widening the dialog past the screen.
    ui->lblFolder->setStyleSheet(QStringLiteral(
        "QLabel#lblFolder { background: palette(base); border: 1px solid palette(mid);"
        " border-radius: 2px; padding: 3px 6px; }"
        "QLabel#lblFolder:hover, QLabel#lblFolder:focus { border-color: palette(highlight); }"));
    ui->lblFolder->installEventFilter(this);
    // Few operators would guess that a label can be clicked; the folder button beside it
    // says so without words. It takes no focus: the label already does for the keyboard.
    ui->btnFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    connect(ui->btnFolder, &QToolButton::clicked, this, &frmZR410_Set_DSave::lblFolder_Click);

    // The interval is corrected when the operator leaves the box or presses Enter, not at
    // every key: clearing the box to type "30" must not turn it into "1" and then "130".
    connect(ui->txtSaveInterval, &QLineEdit::editingFinished, this,
            &frmZR410_Set_DSave::txtSaveInterval_Change);
    connect(ui->btnOK, &QPushButton::clicked, this, &frmZR410_Set_DSave::btnOK_Click);
    connect(ui->btnCancel, &QPushButton::clicked, this, &frmZR410_Set_DSave::btnCancel_Click);

    Form_Load();
}

frmZR410_Set_DSave::~frmZR410_Set_DSave() = default;

void frmZR410_Set_DSave::Form_Load() {
    ui->cmbSave->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
    ui->cmbUnit->addItems({QStringLiteral("초"), QStringLiteral("분")});
    const QString path = SaveSettingsPath();
    QDir().mkpath(QFileInfo(path).path());
    // The file as it stands, even where it differs from the settings in use; those only
    // when the file cannot be read.
    const auto texts = ReadSaveSettingsTexts(path);
    ShowTexts(texts ? *texts : SaveSettingsTexts(settings_));
}

void frmZR410_Set_DSave::ShowTexts(const QStringList& texts) {
    ShowComboText(ui->cmbSave, texts.value(0));
    ui->txtSaveInterval->setText(texts.value(1));
    ShowComboText(ui->cmbUnit, texts.value(2));
    ui->lblFolder->setText(texts.value(3));
    ui->txtFName->setText(texts.value(4));
    // The box never shows an interval the rule would not let the operator type.
    txtSaveInterval_Change();
}

void frmZR410_Set_DSave::ShowComboText(QComboBox* box, const QString& text) {
    // A text from the file that is not one of the items (say "yes", which leaves logging
    // off) is shown as it is, so the operator sees what is in effect and can correct it.
    int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        box->addItem(text);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

QStringList frmZR410_Set_DSave::DialogTexts() const {
    return {ui->cmbSave->currentText(), ui->txtSaveInterval->text(), ui->cmbUnit->currentText(),
            ui->lblFolder->text(), ui->txtFName->text()};
}

void frmZR410_Set_DSave::txtSaveInterval_Change() {
    const QString text = ui->txtSaveInterval->text();
    const QString clamped = ClampSaveIntervalText(text);
    if (clamped != text) {
        ui->txtSaveInterval->setText(clamped);
    }
}

void frmZR410_Set_DSave::lblFolder_Click() {
    const QString shown = ui->lblFolder->text();
    const QString start = QFileInfo(shown).isDir() ? shown : ProgramFolder();
    const QString chosen = ChooseFolder(start);
    if (!chosen.isEmpty()) {
        ui->lblFolder->setText(QDir::toNativeSeparators(QDir::cleanPath(chosen)));
    }
}

QString frmZR410_Set_DSave::ChooseFolder(const QString& start) {
    return QFileDialog::getExistingDirectory(this, QStringLiteral("폴더 선택"), start,
                                             QFileDialog::ShowDirsOnly);
}

void frmZR410_Set_DSave::btnOK_Click() {
    // OK by its access key leaves the focus in the interval box, so no edit has finished.
    txtSaveInterval_Change();
    if (ui->lblFolder->text().isEmpty()) {
        ShowMessage(kNoFolderText);
        ui->lblFolder->setFocus();
        return;
    }
    if (ui->txtFName->text().isEmpty()) {
        ShowMessage(kNoFileNameText);
        ui->txtFName->setFocus();
        return;
    }
    const QStringList texts = DialogTexts();
    const QString path = SaveSettingsPath();
    if (!WriteSaveSettings(path, texts)) {
        ShowMessage(QStringLiteral("데이터 저장 설정을 %1 에 저장하지 못했습니다.\n"
                                   "새 설정은 프로그램을 끝낼 때까지만 적용됩니다.")
                        .arg(QDir::toNativeSeparators(path)));
    }
    settings_ = SaveSettingsFromTexts(texts);
    accept();
}

void frmZR410_Set_DSave::btnCancel_Click() {
    reject();
}

void frmZR410_Set_DSave::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setAccessibleName(QStringLiteral("데이터 저장 설정 메시지"));
    box.exec();
}

bool frmZR410_Set_DSave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lblFolder) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                ui->lblFolder->rect().contains(mouse->position().toPoint())) {
                lblFolder_Click();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
                case Qt::Key_Space:
                case Qt::Key_Return:
                case Qt::Key_Enter:
                case Qt::Key_F4:
                    lblFolder_Click();
                    return true;
                default:
                    break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zr410
