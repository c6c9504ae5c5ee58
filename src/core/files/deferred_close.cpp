#include "core/files/deferred_close.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace takton {
namespace {

// Never destroyed: the worker may still be closing when the process exits,
// which closes whatever is left anyway.
class TCloser {
  public:
    // A forked child does not have the worker; it closes at once.
    bool Owned() const { return ::getpid() == owner_; }

    void Add(int fd) {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(fd);
            if (!started_) {
                std::thread([this] { Run(); }).detach();
                started_ = true;
            }
        }
        wake_.notify_one();
    }

    void Drain() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return pending_.empty() && !busy_; });
    }

  private:
    [[noreturn]] void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !pending_.empty(); });
            std::vector<int> batch;
            batch.swap(pending_);
            busy_ = true;
            lock.unlock();
            for (const int fd : batch)
                ::close(fd);
            lock.lock();
            busy_ = false;
            idle_.notify_all();
        }
    }

    const pid_t owner_ = ::getpid();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<int> pending_;
    bool busy_ = false;
    bool started_ = false;
};

TCloser &Closer() {
    static TCloser *const closer = new TCloser;
    return *closer;
}

} // namespace

void CloseLater(int fd) {
    if (fd < 0)
        return;
    if (Closer().Owned())
        Closer().Add(fd);
    else
        ::close(fd);
}

void DrainDeferredCloses() {
    if (Closer().Owned())
        Closer().Drain();
}

} // namespace takton
