// Helpers of the browser tests: the window helpers of the framework and control tests, and the
// application settings file pointed at a scratch ini for one test.
#pragma once

#include "ControlTestUtil.h"
#include "foundation/VyxIni.h"

class ScratchSettings
{
public:
    ScratchSettings() : m_previous(theAppIni.GetPath()) { theAppIni.SetPath(m_folder / L"settings.ini"); }
    ~ScratchSettings() { theAppIni.SetPath(m_previous); }
    const ScratchFolder& Folder() const { return m_folder; }

private:
    ScratchFolder m_folder;
    CString m_previous;
};
