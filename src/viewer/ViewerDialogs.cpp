#include "viewer/ViewerDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "widgets/ShellOpen.h"

namespace zr410 {
namespace {

const QString kWorkbookType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

// Without a default application for workbooks the desktop would open nothing, or a browser.
bool desktopHasSpreadsheetApp() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return true;  // cannot ask; let the desktop try
    }
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), kWorkbookType});
    if (!query.waitForFinished(5000)) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool openWithDesktop(const QString& workbook, QString* reason) {
    const auto fail = [&](const QString& text) {
        if (reason != nullptr) {
            *reason = text;
        }
        return false;
    };
    const QString noApp = QStringLiteral(
        "이 컴퓨터에는 Excel 파일(.xlsx)을 열 스프레드시트 프로그램이 설정되어 있지 않습니다.\n"
        "LibreOffice Calc 같은 프로그램을 설치한 뒤 다시 해 보세요.");
    // Qt hands files to xdg-open on Linux; without it, or without an application registered
    // for workbooks, nothing would open (or a web browser would).
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() ||
        !desktopHasSpreadsheetApp()) {
        return fail(noApp);
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(workbook))) {
        return fail(QStringLiteral("스프레드시트 프로그램을 시작하지 못했습니다."));
    }
    return true;
}

}  // namespace

ViewerDialogs ViewerDialogs::Platform() {
    ViewerDialogs d;
    d.chooseFolder = [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("폴더 선택"), start);
    };
    d.chooseColour = [](QWidget* parent, const QColor& initial, const QString& title) {
        return QColorDialog::getColor(initial, parent, title);
    };
    d.chooseSaveFile = [](QWidget* parent, const QString& caption, const QString& suggested,
                          const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
    };
    d.ask = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setAccessibleName(title);
        return box.exec() == QMessageBox::Yes;
    };
    d.tell = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        box.setAccessibleName(title);
        box.exec();
    };
    d.printerAvailable = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    d.printDialog = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        dialog.setAccessibleName(QStringLiteral("인쇄 대화 상자"));
        return dialog.exec() == QDialog::Accepted;
    };
    d.openWorkbook = openWithDesktop;
    d.shellOpen = [](const QString& target, const QString& folder, QWidget* parent) {
        return ShellOpen(target, folder, parent);
    };
    return d;
}

}  // namespace zr410
