#include "common/LineAppend.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr410 {
namespace {

// Opens for appending; reading too when allowed, to look at the file's last byte.
int openForAppend(const QByteArray& name, bool* readable) {
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    *readable = fd >= 0;
    if (fd < 0 && errno == EACCES) {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    return fd;
}

// What the file needs before a new line: nothing when it is empty or ends with LF.
QByteArrayView lineEndOwed(int fd, off_t size) {
    char last = '\n';
    if (size <= 0 || ::pread(fd, &last, 1, size - 1) != 1 || last == '\n') {
        return {};
    }
    return last == '\r' ? QByteArrayView("\n") : QByteArrayView("\r\n");
}

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

bool AppendWholeLines(const QString& path, QByteArrayView lines) {
    bool readable = false;
    const int fd = openForAppend(QFile::encodeName(path), &readable);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const off_t before = regular ? info.st_size : 0;

    QByteArray bytes;
    if (regular && readable) {
        bytes.append(lineEndOwed(fd, before));
    }
    bytes.append(lines);
    // One write for the whole text, so a reader never meets half a line of ours.
    const bool ok = writeAll(fd, bytes.constData(), bytes.size());
    if (!ok && regular) {
        // Whatever part the disk took is cut off again; should even that fail, the next
        // append still starts on a fresh line.
        while (::ftruncate(fd, before) != 0 && errno == EINTR) {
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace zr410
