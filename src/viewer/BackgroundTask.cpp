#include "viewer/BackgroundTask.h"

#include <QThread>

namespace zr410 {

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {}

BackgroundTask::~BackgroundTask() {
    if (thread_ != nullptr) {
        cancelled_ = true;
        thread_->wait();
        delete thread_;
    }
}

bool BackgroundTask::start(std::function<void()> work, std::function<void()> done) {
    if (thread_ != nullptr) {
        return false;
    }
    cancelled_ = false;
    percent_ = -1;
    done_ = std::move(done);
    thread_ = QThread::create(std::move(work));
    // finished() comes from the worker; the queued call brings the end to our thread. The
    // generation keeps a late notice of an earlier run from ending a newer one.
    const quint64 generation = ++generation_;
    connect(
        thread_, &QThread::finished, this,
        [this, generation] {
            if (generation == generation_) {
                finish();
            }
        },
        Qt::QueuedConnection);
    thread_->start();
    return true;
}

bool BackgroundTask::report(qint64 done, qint64 total) {
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (percent_.exchange(percent) != percent) {
        QMetaObject::invokeMethod(
            this, [this, percent] { emit progressChanged(percent); }, Qt::QueuedConnection);
    }
    return !cancelled_;
}

void BackgroundTask::waitForDone() {
    if (thread_ != nullptr) {
        thread_->wait();
        finish();
    }
}

void BackgroundTask::finish() {
    if (thread_ == nullptr) {
        return;
    }
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) {
        done();
    }
}

}  // namespace zr410
