// Loads the plug-in DLLs of a folder on a thread of its own while start-up goes on, so that the
// plug-in scan before the first folder is listed finds them mapped already; Finish gives the
// thread's references back (the scan holds its own by then).
#pragma once

#include "framework/Framework.h"

#include <thread>
#include <vector>

class PluginPreload
{
public:
    PluginPreload() = default;
    ~PluginPreload() { Finish(); }
    PluginPreload(const PluginPreload&) = delete;
    PluginPreload& operator=(const PluginPreload&) = delete;

    // The pattern as the scan takes it (a folder and "*.SPI").
    void Start(const CString& pattern);
    void Finish();
    int GetLoadedCount() const { return static_cast<int>(m_modules.size()); }

private:
    std::thread m_thread;
    std::vector<HMODULE> m_modules; // the thread's, read after it ended
};
