#pragma once

#include "online/TEventThread.h"

#include <QObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace korvalo {

// Owns the workers of one component and carries their calls over to the
// thread the owner lives on (the user-interface thread). The hand-over uses
// a mutex-guarded queue and an eventfd doorbell read by a socket notifier,
// so the workers never touch a Qt object.
class TCustomWorkerThread : public QObject {
    Q_OBJECT
public:
    explicit TCustomWorkerThread(QObject* parent = nullptr);
    // Cancels every worker and joins them all.
    ~TCustomWorkerThread() override;

    bool HandleExceptions() const { return handleExceptions_; }
    void setHandleExceptions(bool on) { handleExceptions_ = on; }
    bool WaitThread() const { return waitThread_; }
    void setWaitThread(bool on) { waitThread_ = on; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    void setFreeOnTerminate(bool on) { freeOnTerminate_ = on; }
    QThread::Priority Priority() const { return priority_; }
    void setPriority(QThread::Priority priority) { priority_ = priority; }
    // No worker is running.
    bool Suspended() const;
    bool Finished() const;

    // Retires the current worker and starts a fresh one on job.
    virtual void Execute(WorkerJob job);
    // From a worker: runs call on the owner's thread and waits for it to
    // return. False, without running it, once the worker is cancelled.
    virtual bool Synchronize(const std::function<void()>& call);
    // Owner's thread: cancels the current worker (see TEventThread::Cancel).
    void Cancel();

    // Called when a worker's end has been delivered and the free-on-terminate
    // flag is on: the owner (the component) is to be deleted.
    std::function<void()> OnFreeOnTerminate;

private:
    friend class TEventThread;

    struct HandOver {
        TEventThread* worker;
        std::function<void()> call;
        bool done = false;
    };

    void post(TEventThread* worker, std::function<void()> call, bool wait, bool* ran);
    void deliver();
    void reap();

    bool handleExceptions_ = true;
    bool waitThread_ = false;
    bool freeOnTerminate_ = false;
    bool destroying_ = false;
    QThread::Priority priority_ = QThread::NormalPriority;

    std::vector<std::unique_ptr<TEventThread>> workers_; // the last one is current
    std::mutex mutex_;
    std::condition_variable handedOver_;
    std::deque<std::shared_ptr<HandOver>> queue_;
    int doorbell_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace korvalo
