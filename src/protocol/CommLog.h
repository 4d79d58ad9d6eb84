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

// Appends one line for a block of bytes: the file is opened, appended to and closed for each
// line so that a technician can read or copy it at any moment. Failures (read-only folder,
// full disk) are skipped silently; communication must never wait on the log.
void AppendCommLog(const QByteArray& bytes);
void AppendCommLog(const QString& path, const QByteArray& bytes, const QDateTime& when);

}  // namespace zr410
