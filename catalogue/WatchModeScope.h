// The folder watchers put in a quieter mode (paused unless told) and back to watching on every way out.
#pragma once

#include "catalogue/FolderWatchHost.h"

class WatchModeScope
{
public:
    explicit WatchModeScope(FolderWatchHost* host, WatchMode during = WatchMode::Paused) : m_host(host)
    {
        if (m_host)
            m_host->SetWatchMode(during);
    }
    ~WatchModeScope()
    {
        if (m_host)
            m_host->SetWatchMode(WatchMode::Watching);
    }
    WatchModeScope(const WatchModeScope&) = delete;
    WatchModeScope& operator=(const WatchModeScope&) = delete;

private:
    FolderWatchHost* m_host;
};
