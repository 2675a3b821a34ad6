#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

namespace tidora::engine {

// The run data the clean group shares with its items.
struct TCleanCollectData {
    int32_t cAdminRights = 0;
    // Set by the main thread to cancel, read by the worker at each entry.
    std::atomic<bool> cExitFlag = false;
    int64_t cFilesID = 1;     // ID of the next Files_T row
    int64_t cRegsID = 1;      // ID of the next Regs_T row
    int32_t cDataRegime = 0;  // while not 0 items touch no table
    // 0 no pre-count, 1 each item pre-counts at the start of its analysis, 2 the group does.
    int32_t cEvalRegime = 1;
    // Shows a message to the user (from the worker: the group passes it to the main thread).
    std::function<void(const QString&)> cErrorMsgProc;
    // The user was told in this run that the registry cannot be changed now.
    bool cRegistryRefusalShown = false;
};

}  // namespace tidora::engine
