#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <thread>

namespace tidora::engine {

class TCleanGroup;

// The worker thread of one analysis (grRegime 1) or analysis followed by cleaning (2).
class twThread {
public:
    twThread(TCleanGroup& aGroup, int32_t aRegime, int32_t aID);
    ~twThread();
    twThread(const twThread&) = delete;
    twThread& operator=(const twThread&) = delete;

    void Start();
    // Asks the body to skip its remaining steps onto the main thread.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_.load(); }
    bool Finished() const { return finished_.load(); }
    void Join();

    // Shows the message or question held in the curr* fields; runs on the main thread.
    void Sync_Error();

    int32_t currErrRegime = 0;
    int64_t currErrCode = 0;
    QString currErrMsg;
    bool currErrContinueFlag = false;

private:
    void Execute();
    void Sync_TweenProcess();
    void Sync_AfterProcess();
    void showError(const QString& message);

    TCleanGroup& Group;
    const int32_t grRegime;
    const int32_t ActID;
    std::atomic<bool> terminated_ = false;
    std::atomic<bool> finished_ = false;
    std::thread thread_;
};

}  // namespace tidora::engine
