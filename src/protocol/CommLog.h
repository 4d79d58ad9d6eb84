#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zr410 {

// One line of the communication log: "YYYY-MM-DD HH:MM:SS," then every byte, with STX, CR and
// LF spelled out as <STX>, <CR> and <LF>, ended by CR LF.
QByteArray FormatCommLogLine(const QByteArray& bytes, const QDateTime& when);

// Path of RecvData.txt in the program folder.
QString CommLogPath();

// The log grows by about 1 kB a second while polling, so it is rotated at a size: when the
// next line would take RecvData.txt past rotateBytes, it becomes RecvData.1.txt, an older
// RecvData.1.txt becomes RecvData.2.txt and so on, and the oldest beyond keptFiles is deleted.
// The log folder then never holds more than (keptFiles + 1) x rotateBytes (256 MiB), plus one
// line.
struct CommLogLimits {
    qint64 rotateBytes = 64LL * 1024 * 1024;
    int keptFiles = 3;
};

// RecvData.txt -> RecvData.<generation>.txt beside it.
QString RotatedCommLogPath(const QString& path, int generation);

// Appends one line for a block of bytes: the file is opened, appended to and closed for each
// line so that a technician can read or copy it at any moment. Failures (read-only folder,
// full disk) are skipped silently, and a line the disk took only in part is cut back;
// communication must never wait on the log.
void AppendCommLog(const QByteArray& bytes);
void AppendCommLog(const QString& path, const QByteArray& bytes, const QDateTime& when,
                   const CommLogLimits& limits = {});

}  // namespace zr410
