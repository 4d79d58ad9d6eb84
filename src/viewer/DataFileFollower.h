#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "logging/DataFile.h"

namespace zr410 {

// Watches a data file the logger is still writing and reads what is added to it: only whole
// lines, so a record being written (no line end yet) waits for its end. Looking costs one
// stat() per interval while nothing changes.
class DataFileFollower : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 500;
    // Read at most this much in one step, so a file that jumps by gigabytes is taken in parts
    // and the window keeps answering.
    static constexpr qint64 kMaxStep = 16 << 20;

    explicit DataFileFollower(QObject* parent = nullptr);

    // Follows `path` from `offset`, the bytes already taken.
    void start(const QString& path, qint64 offset);
    void stop();
    bool isActive() const { return timer_.isActive(); }
    QString path() const { return path_; }
    qint64 offset() const { return offset_; }

    // One look at the file (the timer calls this; tests call it directly).
    void poll();

signals:
    // Whole lines read since the last look; records may be empty when only skipped lines came.
    void recordsArrived(std::shared_ptr<const DataFileLoadResult> lines);
    // The file is shorter than what was read, or gone: it was replaced or cut; what was shown no
    // longer matches it.
    void fileReplaced();

private:
    QString path_;
    qint64 offset_ = 0;
    QTimer timer_;
};

}  // namespace zr410
