#include "viewer/DataFileFollower.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace zr410 {

DataFileFollower::DataFileFollower(QObject* parent) : QObject(parent) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &DataFileFollower::poll);
}

void DataFileFollower::start(const QString& path, qint64 offset) {
    path_ = path;
    offset_ = offset;
    timer_.start();
}

void DataFileFollower::stop() {
    timer_.stop();
}

void DataFileFollower::poll() {
    if (path_.isEmpty()) {
        return;
    }
    const QFileInfo info(path_);
    if (!info.exists() || info.size() < offset_) {
        stop();
        emit fileReplaced();
        return;
    }
    if (info.size() == offset_) {
        return;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset_)) {
        return;  // a passing lock or a moment of unreadability: look again next time
    }
    QByteArray bytes = file.read(std::min(info.size() - offset_, kMaxStep));
    const qsizetype lastEnd = bytes.lastIndexOf('\n');
    if (lastEnd < 0) {
        // No whole line yet; a line longer than a step is no record and is passed over.
        if (bytes.size() >= kMaxStep) {
            offset_ += bytes.size();
        }
        return;
    }
    bytes.truncate(lastEnd + 1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto lines = std::make_shared<DataFileLoadResult>(ReadDataFile(buffer));
    offset_ += bytes.size();
    emit recordsArrived(lines);
}

}  // namespace zr410
