// The main frame's keys of section "MainFrame": the window's rectangle, which bars show, the delays
// of the folder watchers' refreshes and the panes' layout. Read when the frame is made and written
// when it goes (the placement is kept apart, by SaveWindowPlacement). "MenuBar" is written for
// whoever reads the file: the menu bar itself comes back with the bands' state.
#pragma once

#include "foundation/SettingsTable.h"
#include "framework/Framework.h"

struct MainFrameSettings
{
    static constexpr const wchar_t* kDefaultWindow = L"0,0,1024,768";

    CString Window = kDefaultWindow; // "left,top,width,height"
    int MenuBar = 1;
    int ToolBar = 1;
    int DriveBar = 1;
    int JumpBar = 0;
    int StatusBar = 1;
    int UpdateStatusTimes = 300;       // ms from a drive change to the free space read again
    int FolderChangeCheckTimes = 5000; // ms from a folder change to the refresh
    int FrameSplit = 0;                // 0 tree | list over thumbnails, 1 tree | thumbnails over list,
                                       // 2 tree over list | thumbnails

    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = MainFrameSettings;
        const wchar_t section[] = L"MainFrame";
        v.String(section, L"Window", &S::Window);
        v.ProfileInt(section, L"MenuBar", &S::MenuBar);
        v.ProfileInt(section, L"ToolBar", &S::ToolBar);
        v.ProfileInt(section, L"DriveBar", &S::DriveBar);
        v.ProfileInt(section, L"JumpBar", &S::JumpBar);
        v.ProfileInt(section, L"StatusBar", &S::StatusBar);
        v.ProfileInt(section, L"UpdateStatusTimes", &S::UpdateStatusTimes);
        v.ProfileInt(section, L"FolderChangeCheckTimes", &S::FolderChangeCheckTimes);
        v.ProfileInt(section, L"FrameSplit", &S::FrameSplit);
    }
};
