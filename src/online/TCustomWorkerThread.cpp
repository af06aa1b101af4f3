#include "online/TCustomWorkerThread.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace korvalo {

TCustomWorkerThread::TCustomWorkerThread(QObject* parent)
    : QObject(parent)
    , doorbell_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (doorbell_ >= 0) {
        notifier_ = new QSocketNotifier(doorbell_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TCustomWorkerThread::deliver);
    }
}

TCustomWorkerThread::~TCustomWorkerThread() {
    destroying_ = true;
    for (auto& worker : workers_)
        worker->Cancel();
    delete notifier_;
    notifier_ = nullptr;
    workers_.clear(); // joins every worker
    if (doorbell_ >= 0)
        ::close(doorbell_);
}

bool TCustomWorkerThread::Suspended() const {
    return workers_.empty() || !workers_.back()->Running();
}

bool TCustomWorkerThread::Finished() const {
    return !workers_.empty() && workers_.back()->Finished();
}

void TCustomWorkerThread::Execute(WorkerJob job) {
    reap();
    auto worker =
        std::make_unique<TEventThread>(*this, std::move(job), priority_, handleExceptions_);
    TEventThread* started = worker.get();
    workers_.push_back(std::move(worker));
    started->Resume();
}

bool TCustomWorkerThread::Synchronize(const std::function<void()>& call) {
    TEventThread* worker = TEventThread::Current();
    if (worker == nullptr || &worker->owner_ != this)
        return false;
    bool ran = false;
    post(worker, call, true, &ran);
    return ran;
}

void TCustomWorkerThread::Cancel() {
    if (!workers_.empty())
        workers_.back()->Cancel();
}

void TCustomWorkerThread::post(TEventThread* worker, std::function<void()> call, bool wait,
                               bool* ran) {
    auto item = std::make_shared<HandOver>(HandOver{worker, std::move(call)});
    std::unique_lock lock(mutex_);
    if (worker->Cancelled() || doorbell_ < 0) {
        if (ran != nullptr)
            *ran = false;
        return;
    }
    queue_.push_back(item);
    ++worker->pending_;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(doorbell_, &one, sizeof one);
    if (!wait)
        return;
    handedOver_.wait(lock, [&] { return item->done || worker->Cancelled(); });
    if (ran != nullptr)
        *ran = item->done;
}

void TCustomWorkerThread::deliver() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(doorbell_, &count, sizeof count);
    for (;;) {
        std::shared_ptr<HandOver> item;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                return;
            item = queue_.front();
            queue_.pop_front();
        }
        // A cancelled worker's calls are dropped; its pending count keeps it
        // alive until its last queued call has been taken off here.
        if (!item->worker->Cancelled())
            item->call();
        {
            std::lock_guard lock(mutex_);
            item->done = true;
            --item->worker->pending_;
        }
        handedOver_.notify_all();
    }
}

void TCustomWorkerThread::reap() {
    std::lock_guard lock(mutex_);
    std::erase_if(workers_, [](const std::unique_ptr<TEventThread>& worker) {
        return worker->Ended() && worker->pending_ == 0 && worker->delivering_ == 0;
    });
}

} // namespace korvalo
