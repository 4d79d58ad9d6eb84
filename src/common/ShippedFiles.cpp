#include "common/ShippedFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/BuildInfo.h"
#include "common/ProgramFolder.h"

namespace zr410 {

QString InstalledSharedFolder(const QString& executableFolder) {
    const QString shared =
        QDir::cleanPath(executableFolder + QLatin1Char('/') + QString::fromLatin1(kSharedFromBin));
    return QFileInfo(shared + QStringLiteral("/Help")).isDir() ? shared : QString();
}

QString FindHelpFolder(const QString& executableFolder) {
    const QString beside = executableFolder + QStringLiteral("/Help");
    if (QFileInfo(beside).isDir()) {
        return beside;
    }
    const QString shared = InstalledSharedFolder(executableFolder);
    return shared.isEmpty() ? beside : shared + QStringLiteral("/Help");
}

QString FindCompanionProgram(const QString& executableFolder, const QString& name) {
    const QString beside = executableFolder + QLatin1Char('/') + name;
    const QFileInfo info(beside);
    if (info.isFile() && info.isExecutable()) {
        return beside;
    }
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? beside : onPath;
}

QString HelpFile(const QString& fileName) {
    return FindHelpFolder(ExecutableFolder()) + QLatin1Char('/') + fileName;
}

QString CompanionProgram(const QString& name) {
    return FindCompanionProgram(ExecutableFolder(), name);
}

}  // namespace zr410
