#include "gui/common/long_job.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>

namespace takton::gui {

void TLongJob::Run(QProgressBar &bar, const std::function<void(const TProgress &progress)> &job) {
    running_ = true;
    cancel_ = false;
    permille_ = -1;
    bar.setRange(0, 0);
    bar.setValue(0);
    std::exception_ptr failure;
    const TProgress progress = [this](std::size_t done, std::size_t total) {
        permille_ = total == 0 ? 0 : static_cast<int>(std::min(done, total) * 1000 / total);
        return !cancel_.load();
    };
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            job(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [this, &bar] {
        const int shown = permille_.load();
        if (shown < 0)
            return;
        bar.setRange(0, 1000);
        bar.setValue(shown);
    });
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    tick.start(50);
    worker->start();
    loop.exec();
    worker->wait();
    running_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace takton::gui
