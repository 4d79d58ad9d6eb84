#pragma once

#include <QObject>

#include <atomic>
#include <functional>

class QThread;

namespace zr410 {

// Runs one piece of work at a time on a thread of its own, so the window keeps painting and
// answering while a large file is read or exported. Progress and the end are delivered on the
// owner's thread. Destroying the task cancels the work and waits for it.
class BackgroundTask : public QObject {
    Q_OBJECT

public:
    explicit BackgroundTask(QObject* parent = nullptr);
    ~BackgroundTask() override;

    bool busy() const { return thread_ != nullptr; }

    // work runs on the worker thread; done runs afterwards on this object's thread.
    bool start(std::function<void()> work, std::function<void()> done);
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

    // From the worker: share how far it is (0..100); false once cancelled.
    bool report(qint64 done, qint64 total);

    // Waits for the running work and delivers its end now (tests and shutdown).
    void waitForDone();

signals:
    void progressChanged(int percent);

private:
    void finish();

    QThread* thread_ = nullptr;
    std::function<void()> done_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> percent_{-1};
    quint64 generation_ = 0;
};

}  // namespace zr410
