#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "common/ShippedFiles.h"

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

}  // namespace

QString PerUserFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        data = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return data + QStringLiteral("/ZR410");
}

QString ChooseProgramFolder(const QString& executableFolder) {
    // Root can write into /usr/bin too; an installed program still keeps out of it.
    if (InstalledSharedFolder(executableFolder).isEmpty() && canWriteIn(executableFolder)) {
        return executableFolder;
    }
    return PerUserFolder();
}

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
    static const QString chosen = [] {
        const QString folder = ChooseProgramFolder(ExecutableFolder());
        QDir().mkpath(folder);
        return folder;
    }();
    return chosen;
}

QString InProgramFolder(const QString& relativePath) {
    return QDir::cleanPath(ProgramFolder() + QLatin1Char('/') + relativePath);
}

void SetProgramFolderOverride(const QString& folder) {
    overrideFolder() = folder;
}

}  // namespace zr410
