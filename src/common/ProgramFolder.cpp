#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zr410 {
namespace {

QString& overrideFolder() {
    static QString folder;
    return folder;
}

// QFileInfo::isWritable only looks at permission bits; a read-only mount or an ACL can still
// refuse, so try to create a file there.
bool canWriteIn(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.zr410-write-probe-XXXXXX"));
    return probe.open();
}

QString chooseFolder() {
    const QString exe = ExecutableFolder();
    if (canWriteIn(exe)) {
        return exe;
    }
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty()) {
        user = QDir::homePath() + QStringLiteral("/.local/share/ZR410");
    }
    QDir().mkpath(user);
    return user;
}

}  // namespace

QString ExecutableFolder() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString ProgramFolder() {
    if (!overrideFolder().isEmpty()) {
        return overrideFolder();
    }
    static const QString chosen = chooseFolder();
    return chosen;
}

QString InProgramFolder(const QString& relativePath) {
    return QDir::cleanPath(ProgramFolder() + QLatin1Char('/') + relativePath);
}

void SetProgramFolderOverride(const QString& folder) {
    overrideFolder() = folder;
}

}  // namespace zr410
