#include "frame/main_thread_calls.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace tidora::frame {

MainThreadCalls::~MainThreadCalls() {
    *self_ = nullptr;
}

bool MainThreadCalls::onMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void MainThreadCalls::run(const std::function<void()>& fn) {
    if (onMainThread()) {
        fn();
        return;
    }
    auto call = std::make_shared<Call>();
    call->fn = fn;
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(call);
    }
    std::weak_ptr<MainThreadCalls*> weak = self_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [weak] {
            if (const auto self = weak.lock(); self && *self) {
                (*self)->drain();
            }
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    doneSignal_.wait(lock, [&] { return call->done; });
}

void MainThreadCalls::drain() {
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return;
            }
            call = pending_.front();
            pending_.pop_front();
        }
        call->fn();
        {
            std::lock_guard lock(mutex_);
            call->done = true;
        }
        doneSignal_.notify_all();
    }
}

}  // namespace tidora::frame
