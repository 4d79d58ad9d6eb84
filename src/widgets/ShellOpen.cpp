#include "widgets/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace zr410 {
namespace {

void tellFailure(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("열기 실패"), text, QMessageBox::Ok,
                    parent);
    box.setAccessibleName(QStringLiteral("열기 실패 메시지"));
    box.exec();
}

}  // namespace

bool ShellOpen(const QString& target, const QString& workingFolder, QWidget* parent) {
    const QUrl asUrl(target, QUrl::StrictMode);
    if (asUrl.isValid() &&
        (asUrl.scheme() == QLatin1String("http") || asUrl.scheme() == QLatin1String("https"))) {
        if (QDesktopServices::openUrl(asUrl)) {
            return true;
        }
        tellFailure(parent, QStringLiteral("웹 브라우저를 열 수 없습니다.\n주소: %1").arg(target));
        return false;
    }

    const QFileInfo info(target);
    if (!info.exists()) {
        tellFailure(parent, QStringLiteral("파일을 찾을 수 없습니다.\n%1").arg(target));
        return false;
    }
    if (info.isExecutable() && !info.isDir() && info.suffix().isEmpty()) {
        if (QProcess::startDetached(info.absoluteFilePath(), {}, workingFolder)) {
            return true;
        }
        tellFailure(parent, QStringLiteral("프로그램을 시작할 수 없습니다.\n%1").arg(target));
        return false;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) {
        return true;
    }
    tellFailure(parent,
                QStringLiteral("이 파일을 열 수 있는 프로그램을 찾지 못했습니다.\n%1").arg(target));
    return false;
}

}  // namespace zr410
