#include "protocol/CommLog.h"

#include "common/LineAppend.h"
#include "common/ProgramFolder.h"
#include "protocol/FrameCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace zr410 {
namespace {

void rotateIfFull(const QString& path, qint64 incoming, const CommLogLimits& limits) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size == 0 || info.st_size + incoming <= limits.rotateBytes) {
        return;
    }
    // Oldest first, so every rename has a free name to go to; a generation that does not
    // exist yet simply fails to move.
    const int kept = std::max(limits.keptFiles, 0);
    std::remove(QFile::encodeName(RotatedCommLogPath(path, kept)).constData());
    for (int generation = kept - 1; generation >= 1; --generation) {
        std::rename(QFile::encodeName(RotatedCommLogPath(path, generation)).constData(),
                    QFile::encodeName(RotatedCommLogPath(path, generation + 1)).constData());
    }
    if (kept == 0) {
        std::remove(QFile::encodeName(path).constData());
    } else {
        std::rename(QFile::encodeName(path).constData(),
                    QFile::encodeName(RotatedCommLogPath(path, 1)).constData());
    }
}

}  // namespace

QByteArray FormatCommLogLine(const QByteArray& bytes, const QDateTime& when) {
    QByteArray line;
    line.reserve(bytes.size() + 40);
    line.append(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1());
    line.append(',');
    line.append(ReadableFrame(bytes));
    line.append("\r\n");
    return line;
}

QString CommLogPath() {
    return InProgramFolder(QStringLiteral("RecvData.txt"));
}

QString RotatedCommLogPath(const QString& path, int generation) {
    const QFileInfo info(path);
    QString name = info.completeBaseName() + QLatin1Char('.') + QString::number(generation);
    if (!info.suffix().isEmpty()) {
        name += QLatin1Char('.') + info.suffix();
    }
    return info.dir().filePath(name);
}

void AppendCommLog(const QByteArray& bytes) {
    AppendCommLog(CommLogPath(), bytes, QDateTime::currentDateTime());
}

void AppendCommLog(const QString& path, const QByteArray& bytes, const QDateTime& when,
                   const CommLogLimits& limits) {
    const QByteArray line = FormatCommLogLine(bytes, when);
    rotateIfFull(path, line.size(), limits);
    AppendWholeLines(path, line);
}

}  // namespace zr410
