#include "online/TEventThread.h"

#include "online/TCustomWorkerThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <exception>

namespace korvalo {

namespace {

thread_local TEventThread* tlCurrent = nullptr;

// Threads of an ordinary process may only lower their priority, so the
// priorities above normal run as normal.
void applyPriority(QThread::Priority priority) {
    int nice = 0;
    switch (priority) {
    case QThread::IdlePriority:
        nice = 19;
        break;
    case QThread::LowestPriority:
        nice = 10;
        break;
    case QThread::LowPriority:
        nice = 5;
        break;
    default:
        return;
    }
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice);
}

} // namespace

TEventThread::TEventThread(TCustomWorkerThread& owner, WorkerJob job, QThread::Priority priority,
                           bool handleExceptions)
    : owner_(owner)
    , job_(std::move(job))
    , priority_(priority)
    , handleExceptions_(handleExceptions) {}

TEventThread::~TEventThread() {
    Join();
}

void TEventThread::Resume() {
    if (thread_.joinable())
        return;
    running_.store(true, std::memory_order_release);
    thread_ = std::thread([this] { Execute(); });
}

void TEventThread::Cancel() {
    {
        std::lock_guard lock(owner_.mutex_);
        cancelled_.store(true, std::memory_order_release);
    }
    owner_.handedOver_.notify_all();
}

void TEventThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

TEventThread* TEventThread::Current() {
    return tlCurrent;
}

bool TEventThread::CurrentCancelled() {
    return tlCurrent != nullptr && tlCurrent->Cancelled();
}

void TEventThread::Execute() {
    tlCurrent = this;
    applyPriority(priority_);
    running_.store(true, std::memory_order_release);
    if (handleExceptions_) {
        try {
            if (job_.OnExecute)
                job_.OnExecute();
        } catch (const std::exception& e) {
            SynchronizedException(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            SynchronizedException(QStringLiteral("unknown error"));
        }
    } else if (job_.OnExecute) {
        job_.OnExecute();
    }
    running_.store(false, std::memory_order_release);
    owner_.post(
        this, [this] { HookedTerminate(); }, false, nullptr);
    tlCurrent = nullptr;
    // The last touch of this object on the worker: from here on the owner may
    // join and free it.
    ended_.store(true, std::memory_order_release);
}

void TEventThread::SynchronizedException(const QString& message) {
    owner_.post(
        this,
        [this, message] {
            if (!owner_.destroying_ && job_.OnException)
                job_.OnException(message);
        },
        true, nullptr);
}

void TEventThread::HookedTerminate() {
    ++delivering_;
    if (!owner_.destroying_ && job_.OnTerminate)
        job_.OnTerminate();
    if (owner_.waitThread_)
        finished_ = true;
    --delivering_;
    if (owner_.freeOnTerminate_ && owner_.OnFreeOnTerminate)
        owner_.OnFreeOnTerminate();
}

} // namespace korvalo
