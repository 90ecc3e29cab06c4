#include <gtest/gtest.h>

#include "catalogue/WatchModeScope.h"

#include <stdexcept>
#include <vector>

namespace {

struct RecordingHost : FolderWatchHost
{
    std::vector<WatchMode> set;
    WatchMode current = WatchMode::Watching;
    WatchMode SetWatchMode(WatchMode mode) override
    {
        set.push_back(mode);
        WatchMode previous = current;
        current = mode;
        return previous;
    }
};

} // namespace

TEST(WatchModeScope, HoldsTheWatchersAndResumesWatchingOnEveryWayOut)
{
    RecordingHost host;
    {
        WatchModeScope scope(&host);
        EXPECT_EQ(WatchMode::Paused, host.current);
    }
    EXPECT_EQ((std::vector<WatchMode>{WatchMode::Paused, WatchMode::Watching}), host.set);

    host.set.clear();
    EXPECT_THROW(
        {
            WatchModeScope scope(&host, WatchMode::ForcedPaused);
            throw std::runtime_error("shell menu failed");
        },
        std::runtime_error);
    EXPECT_EQ((std::vector<WatchMode>{WatchMode::ForcedPaused, WatchMode::Watching}), host.set);

    // Without a frame (a document on its own) there is nothing to hold.
    WatchModeScope none(nullptr, WatchMode::RootOnly);
}
