// The view settings record of a picture window: how its view fits, resamples and turns the
// picture, the auto-play interval, and the SPACE-key command. Each picture window keeps one, the
// display-mode dialog edits it in place and the view takes it over.
#pragma once

#include "foundation/SettingsTable.h"
#include "framework/Framework.h"

struct OneViewSettings
{
    // The auto-play interval is the slideshow's wait: one key, which the slideshow's table
    // declares with these.
    static constexpr const wchar_t* SleepTimeSection = L"SlideShow";
    static constexpr const wchar_t* SleepTimeKey = L"SleepTime";
    static constexpr int SleepTimeDefault = 100; // ms

    int FitSize = 1;
    int ScaleMode = 0;
    int SleepTime = SleepTimeDefault;
    int Repeat = 0;
    int PositionBar = 1;
    int Infomation = 1;
    CString InfomationMacro = L"$(FileName)";
    int ZoomUp = 1;
    int ZoomDw = 1;
    int AngleUnit = 90;
    int SpaceCommandID = 10076;

    // Every field from "COneView" (SleepTime from "SlideShow"), each missing key its default.
    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    // The slideshow keeps the same key: after one ends, its value is the one to keep.
    void ReloadSleepTime() { SleepTime = SettingsTable::ReadOne(&OneViewSettings::SleepTime); }
    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        const wchar_t section[] = L"COneView";
        v.ProfileInt(SleepTimeSection, SleepTimeKey, &OneViewSettings::SleepTime);
        v.ProfileInt(section, L"FitSize", &OneViewSettings::FitSize);
        v.ProfileInt(section, L"ScaleMode", &OneViewSettings::ScaleMode);
        v.ProfileInt(section, L"AngleUnit", &OneViewSettings::AngleUnit);
        v.ProfileInt(section, L"Repeat", &OneViewSettings::Repeat);
        v.ProfileInt(section, L"PositionBar", &OneViewSettings::PositionBar);
        v.ProfileInt(section, L"Infomation", &OneViewSettings::Infomation);
        v.String(section, L"InfomationMacro", &OneViewSettings::InfomationMacro);
        v.ProfileInt(section, L"ZoomUp", &OneViewSettings::ZoomUp);
        v.ProfileInt(section, L"ZoomDw", &OneViewSettings::ZoomDw);
        v.ProfileInt(section, L"SpaceCommandID", &OneViewSettings::SpaceCommandID);
    }
};
