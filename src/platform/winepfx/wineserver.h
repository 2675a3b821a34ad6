#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tidora::platform::winepfx {

// wineserver keeps a prefix's registry in memory and writes it back on its own, so a hive written
// while it runs is overwritten. A live server holds an fcntl write lock on the `lock` file of its
// folder server-DEV-INO (DEV and INO of the prefix folder), under /tmp/.wine-UID or one of the
// /tmp/wine-XXXXXX folders; folders of servers that ended stay behind unlocked.
struct WineserverState {
    bool running = false;
    std::optional<long> pid;  // the holder of the lock, when known
};

// tmpRoots: the folders that hold the per-user server folders ("/tmp" in practice).
WineserverState findWineserver(const std::string& prefixDir,
                               const std::vector<std::string>& tmpRoots = {"/tmp"});

}  // namespace tidora::platform::winepfx
