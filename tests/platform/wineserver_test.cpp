#include "platform/winepfx/wineserver.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "fixtures/fake_wineserver.h"
#include "fixtures/temp_dir.h"

namespace tidora::platform::winepfx {
namespace {

TEST(Wineserver, RunningOnlyWhileTheLockIsHeld) {
    testing::TempDir tmp;
    const std::string prefix = tmp / "prefix";
    std::filesystem::create_directories(prefix);
    const std::vector<std::string> roots{tmp.path()};

    EXPECT_FALSE(findWineserver(prefix, roots).running);

    // A folder left by a server that ended: the lock file is there but nobody holds it.
    const std::string ended =
        tmp / (".wine-" + std::to_string(getuid()) + "/" + testing::wineserverFolderName(prefix));
    testing::writeFile(ended + "/lock", "");
    EXPECT_FALSE(findWineserver(prefix, roots).running);

    {
        testing::FakeWineserver server(prefix, tmp.path());
        const WineserverState state = findWineserver(prefix, roots);
        EXPECT_TRUE(state.running);
        ASSERT_TRUE(state.pid.has_value());
        EXPECT_EQ(*state.pid, server.pid());

        // Another prefix's server says nothing about this one.
        const std::string other = tmp / "other";
        std::filesystem::create_directories(other);
        EXPECT_FALSE(findWineserver(other, roots).running);
    }
    EXPECT_FALSE(findWineserver(prefix, roots).running);
}

}  // namespace
}  // namespace tidora::platform::winepfx
