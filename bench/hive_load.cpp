// tidora-bench-hive-load [--prefix DIR]: how long loading a prefix's registry hives takes,
// against only reading their bytes. Best of several runs, so that the file cache is warm for both.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winepfx/hive.h"
#include "platform/winepfx/prefix_location.h"
#include "platform/winepfx/unique_fd.h"

using tidora::platform::winepfx::choosePrefixDir;
using tidora::platform::winepfx::Hive;
using tidora::platform::winepfx::UniqueFd;

namespace {

constexpr int kRuns = 20;
constexpr const char* kHives[] = {"system.reg", "user.reg", "userdef.reg"};

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The plain read a load cannot do without: the whole file into one buffer.
size_t readBytes(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0) {
        return 0;
    }
    std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t done = 0;
    for (ssize_t n; (n = ::read(fd.get(), bytes.data() + done, bytes.size() - done)) > 0;) {
        done += static_cast<size_t>(n);
    }
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> prefixArgument;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--prefix" && i + 1 < argc) {
            prefixArgument = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--prefix DIR]\n", argv[0]);
            return 2;
        }
    }
    const std::string prefix = choosePrefixDir(prefixArgument);
    std::vector<std::string> paths;
    for (const char* hive : kHives) {
        struct stat st {};
        const std::string path = prefix + "/" + hive;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            paths.push_back(path);
        }
    }
    if (paths.empty()) {
        std::fprintf(stderr,
                     "no registry hives in %s: pass --prefix DIR, or make a prefix with "
                     "scripts/make-demo-prefix DIR\n",
                     prefix.c_str());
        return 1;
    }

    size_t bytes = 0;
    double bestRead = 1e300;
    double bestLoad = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        bytes = 0;
        for (const auto& path : paths) {
            bytes += readBytes(path);
        }
        bestRead = std::min(bestRead, millisecondsSince(start));

        std::vector<Hive> hives;
        hives.reserve(paths.size());
        start = Clock::now();
        for (const auto& path : paths) {
            std::string error;
            auto hive = Hive::load(path, &error);
            if (!hive) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 1;
            }
            hives.push_back(std::move(*hive));
        }
        bestLoad = std::min(bestLoad, millisecondsSince(start));
    }
    std::printf("hives: %zu bytes; read %.1f ms; load %.1f ms; ratio %.1fx\n", bytes, bestRead,
                bestLoad, bestLoad / bestRead);
    return 0;
}
