#pragma once

// Long work beside a window: the job runs on a worker thread while the
// window's events go on, its progress shows on the window's bar, and
// "Abbrechen" (Cancel) asks it to stop at its next report. The worker never
// touches a widget; the job gets copies of what it reads.

#include <QObject>
#include <atomic>
#include <cstddef>
#include <functional>

class QProgressBar;

namespace takton::gui {

class TLongJob {
  public:
    // A job's report: how far it is; false asks it to stop.
    using TProgress = std::function<bool(std::size_t done, std::size_t total)>;

    TLongJob() = default;
    TLongJob(const TLongJob &) = delete;
    TLongJob &operator=(const TLongJob &) = delete;

    // Runs the job and returns once it has ended; rethrows what it threw.
    // The bar is busy until the first report, then counts thousandths.
    void Run(QProgressBar &bar, const std::function<void(const TProgress &progress)> &job);
    // From the window's thread, while the job runs.
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }

  private:
    std::atomic<int> permille_{-1};
    std::atomic<bool> cancel_{false};
    bool running_ = false;
};

} // namespace takton::gui
