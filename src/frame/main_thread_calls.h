#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tidora::frame {

// Runs functions on the Qt main thread for a worker thread, which waits until each has run. The
// main thread runs them from its event loop, or from drain() while it waits for the worker
// itself, so that the two never wait for each other.
class MainThreadCalls {
public:
    MainThreadCalls() = default;
    MainThreadCalls(const MainThreadCalls&) = delete;
    MainThreadCalls& operator=(const MainThreadCalls&) = delete;
    ~MainThreadCalls();

    // Runs fn on the main thread and returns when it has run; on the main thread, directly.
    // Needs a QCoreApplication whose event loop runs (or a main thread calling drain()).
    void run(const std::function<void()>& fn);
    // On the main thread: runs the calls waiting now.
    void drain();
    static bool onMainThread();

private:
    struct Call {
        std::function<void()> fn;
        bool done = false;
    };

    std::mutex mutex_;
    std::condition_variable doneSignal_;
    std::deque<std::shared_ptr<Call>> pending_;
    // Lets a queued drain know whether this object still exists.
    std::shared_ptr<MainThreadCalls*> self_ = std::make_shared<MainThreadCalls*>(this);
};

}  // namespace tidora::frame
