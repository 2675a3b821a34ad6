#include "frame/main_thread_calls.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "fixtures/core_application.h"

namespace tidora::frame {
namespace {

TEST(MainThreadCalls, RunsOnTheMainThreadFromTheEventLoopOrFromDrain) {
    testing::ensureCoreApplication();
    MainThreadCalls calls;
    QThread* ranOn = nullptr;
    calls.run([&] { ranOn = QThread::currentThread(); });
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());

    // From a worker: the event loop runs the call, and the worker waits for it.
    std::atomic<bool> done = false;
    ranOn = nullptr;
    std::thread worker([&] {
        calls.run([&] { ranOn = QThread::currentThread(); });
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    worker.join();
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());

    // A main thread that waits for the worker runs its calls itself, without the event loop.
    done = false;
    int value = 0;
    std::thread second([&] {
        calls.run([&] { value = 42; });
        done = true;
    });
    while (!done) {
        calls.drain();
    }
    second.join();
    EXPECT_EQ(value, 42);
    QCoreApplication::processEvents();  // the queued drain finds nothing left
}

}  // namespace
}  // namespace tidora::frame
