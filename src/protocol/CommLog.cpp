#include "protocol/CommLog.h"

#include "common/ProgramFolder.h"
#include "protocol/FrameCodec.h"

#include <fcntl.h>
#include <unistd.h>

namespace zr410 {

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

void AppendCommLog(const QByteArray& bytes) {
    AppendCommLog(CommLogPath(), bytes, QDateTime::currentDateTime());
}

void AppendCommLog(const QString& path, const QByteArray& bytes, const QDateTime& when) {
    const QByteArray line = FormatCommLogLine(bytes, when);
    // One write() of the whole line on an O_APPEND descriptor: a reader never sees half a
    // line, and nothing is buffered between events.
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n <= 0) {
            break;
        }
        data += n;
        left -= n;
    }
    ::close(fd);
}

}  // namespace zr410
