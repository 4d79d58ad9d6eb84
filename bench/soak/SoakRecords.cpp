#include "SoakRecords.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "protocol/CommLog.h"

qint64 ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return 0;
}

FileRecords CheckDataFile(const QString& path) {
    static const QRegularExpression record(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d\\t\\d\\d:\\d\\d:\\d\\d(\\t[^\\t\\r\\n]*){6}\\r$"));
    FileRecords result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return result;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool last = i == lines.size() - 1;  // after the last LF: empty unless torn
        if (last && lines[i].isEmpty()) {
            break;
        }
        const bool whole = !last && record.match(QString::fromLatin1(lines[i])).hasMatch();
        ++(whole ? result.whole : result.torn);
    }
    return result;
}

CommLogCheck CheckCommLog(const QString& folder) {
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d,"));
    CommLogCheck result;
    const QString current = QDir(folder).filePath(QStringLiteral("RecvData.txt"));
    QStringList files{current};
    for (int generation = 1; QFile::exists(zr410::RotatedCommLogPath(current, generation));
         ++generation) {
        files.append(zr410::RotatedCommLogPath(current, generation));
    }
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        ++result.files;
        const QByteArray bytes = file.readAll();
        result.bytes += bytes.size();
        const QList<QByteArray> lines = bytes.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray& line = lines[i];
            if (line.isEmpty() && i == lines.size() - 1) {
                continue;
            }
            ++result.lines;
            const bool whole = line.endsWith('\r') && i < lines.size() - 1 &&
                               stamp.match(QString::fromLatin1(line.left(20))).hasMatch();
            result.torn += whole ? 0 : 1;
        }
    }
    return result;
}
