#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace korvalo {

class TCustomWorkerThread;

// What one worker does: Execute runs on the worker thread; OnException (an
// exception that escaped Execute, when exceptions are handled) and
// OnTerminate (after Execute has returned) run on the owner's thread.
struct WorkerJob {
    std::function<void()> OnExecute;
    std::function<void(const QString& message)> OnException;
    std::function<void()> OnTerminate;
};

// One worker: a thread of its own that runs one job, created suspended and
// started by Resume. Its hand-overs to the owner's thread go through its
// TCustomWorkerThread; once cancelled, none of them runs any more and a
// hand-over it waits for returns at once.
class TEventThread {
public:
    TEventThread(TCustomWorkerThread& owner, WorkerJob job, QThread::Priority priority,
                 bool handleExceptions);
    // Joins the thread; cancel it first, or this waits for the job's end.
    ~TEventThread();
    TEventThread(const TEventThread&) = delete;
    TEventThread& operator=(const TEventThread&) = delete;

    void Resume();
    // Owner's thread. No later hand-over of this worker is delivered.
    void Cancel();
    bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }
    // The job's Execute is running (cleared before the end is handed over).
    bool Running() const { return running_.load(std::memory_order_acquire); }
    // The thread has left its body; joining does not wait.
    bool Ended() const { return ended_.load(std::memory_order_acquire); }
    bool Finished() const { return finished_; }
    void Join();

    // The worker running on the calling thread, or null on any other thread.
    static TEventThread* Current();
    // Whether the worker on the calling thread has been cancelled: long
    // operations of a job poll this to stop early.
    static bool CurrentCancelled();

private:
    friend class TCustomWorkerThread;

    void Execute();
    void HookedTerminate();
    void SynchronizedException(const QString& message);

    TCustomWorkerThread& owner_;
    WorkerJob job_;
    QThread::Priority priority_;
    bool handleExceptions_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> cancelled_{false};
    // Owner's thread only.
    bool finished_ = false;
    int delivering_ = 0;
    int pending_ = 0; // hand-overs queued and not yet delivered (owner's mutex)
};

} // namespace korvalo
