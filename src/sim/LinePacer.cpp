#include "sim/LinePacer.h"

#include <algorithm>

namespace zr410::sim {

namespace {
constexpr Duration kMinWakeInterval = std::chrono::milliseconds(1);
}  // namespace

LinePacer::LinePacer(Duration byteTime)
    : byteTime_(std::max(byteTime, Duration(1))),
      wakeInterval_(byteTime_ < kMinWakeInterval ? kMinWakeInterval : Duration::zero()) {}

void LinePacer::enqueue(const QByteArray& bytes, TimePoint earliest, std::span<const Gap> gaps) {
    TimePoint t = queue_.empty() ? earliest : std::max(earliest, lineFree_);
    auto gap = gaps.begin();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        while (gap != gaps.end() && gap->offset <= i) {
            t += gap->pause;
            ++gap;
        }
        t += byteTime_;
        queue_.push_back({bytes[i], t});
    }
    lineFree_ = t;
}

std::optional<TimePoint> LinePacer::nextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    const TimePoint due = queue_.front().due;
    return lastWrite_ ? std::max(due, *lastWrite_ + wakeInterval_) : due;
}

QByteArray LinePacer::due(TimePoint now) const {
    QByteArray out;
    const std::optional<TimePoint> first = nextDue();
    if (!first || *first > now) {
        return out;
    }
    for (const Slot& slot : queue_) {
        if (slot.due > now) {
            break;
        }
        out.append(slot.byte);
    }
    return out;
}

void LinePacer::sent(int count, TimePoint now) {
    count = std::min(count, static_cast<int>(queue_.size()));
    if (count <= 0) {
        return;
    }
    queue_.erase(queue_.begin(), queue_.begin() + count);
    lastWrite_ = now;
}

}  // namespace zr410::sim
