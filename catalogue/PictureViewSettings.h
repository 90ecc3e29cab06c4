// The keys of section "COneView" that a picture view keeps itself: how animated video plays, the
// background and how far a press moves before it drags. The view reads them when it is made and
// writes them when it goes; its display engine reads the playing ones when it is set up.
#pragma once

#include "foundation/SettingsTable.h"
#include "framework/Framework.h"

struct PictureViewSettings
{
    int DragDots = 3;
    int AviShow = 0;
    int DswShow = 0;
    int StepSecond = 1;
    int DelayTime = 1000; // ms
    COLORREF colBackground = 0;

    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        const wchar_t section[] = L"COneView";
        v.ProfileInt(section, L"DragDots", &PictureViewSettings::DragDots);
        v.ProfileInt(section, L"AviShow", &PictureViewSettings::AviShow);
        v.ProfileInt(section, L"DswShow", &PictureViewSettings::DswShow);
        v.ProfileInt(section, L"StepSecond", &PictureViewSettings::StepSecond);
        v.ProfileInt(section, L"DelayTime", &PictureViewSettings::DelayTime);
        v.ProfileColour(section, L"colBackground", &PictureViewSettings::colBackground);
    }
};
