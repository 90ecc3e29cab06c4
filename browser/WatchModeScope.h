// The main frame's folder watchers paused (mode 2) and restarted (mode 0) on every way out.
#pragma once

#include "browser/CMainFrame.h"

class WatchModeScope
{
public:
    explicit WatchModeScope(CMainFrame* frame) : m_frame(frame)
    {
        if (m_frame)
            m_frame->SetWatchMode(2);
    }
    ~WatchModeScope()
    {
        if (m_frame)
            m_frame->SetWatchMode(0);
    }
    WatchModeScope(const WatchModeScope&) = delete;
    WatchModeScope& operator=(const WatchModeScope&) = delete;

private:
    CMainFrame* m_frame;
};
