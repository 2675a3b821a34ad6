#pragma once

#include <QString>

#include <cstdint>
#include <mutex>

namespace tidora::engine {
class TCleanGroup;
class TbaseCleanItem;
}  // namespace tidora::engine

namespace tidora::app {

// The progress of a run as a window or a terminal shows it.
struct TwProgressRecord {
    int32_t runSign = 0;
    int32_t Position = 0;  // percent, never decreasing during a run
    QString itemCaption;
    QString numsDesc;
    QString DataDesc;
};

// Turns the group's notifications (on the worker thread, one per file) into one progress record
// that the main thread reads whole. A notification only keeps what it carries; the texts are made
// when the record is read, a few times a second.
class RunProgress {
public:
    explicit RunProgress(const engine::TCleanGroup& group) : group_(group) {}

    void Reset();
    // The group's progress event.
    void GroupProgressProc(engine::TbaseCleanItem* item, int32_t acRegime, const QString& aDesc,
                           double aCurrPos);
    TwProgressRecord Current() const;

private:
    const engine::TCleanGroup& group_;
    mutable std::mutex mutex_;
    bool any_ = false;
    const engine::TbaseCleanItem* item_ = nullptr;
    int32_t code_ = 0;
    QString desc_;
    int32_t runSign_ = 0;
    int32_t done_ = 0;
    int32_t active_ = 0;
    int32_t cPrevPosition = 1;
};

}  // namespace tidora::app
