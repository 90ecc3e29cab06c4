// The slideshow's settings, section "SlideShow": read when a slideshow is made and written when
// it goes. The options its options dialog edits are a record of their own, which the slideshow
// hands to the dialog and takes back whole.
#pragma once

#include "catalogue/OneViewSettings.h"
#include "foundation/SettingsTable.h"
#include "framework/Framework.h"
#include "res/resource.h"

struct SlideShowOptions
{
    int FitSize = 1;
    int ScaleMode = 0;
    int SleepTime = OneViewSettings::SleepTimeDefault; // ms between automatic advances
    int Repeat = 0;
    BOOL PositionBar = TRUE;
    BOOL Infomation = TRUE;
    CString InfomationMacro = L"$(FileName)";
    int AngleDir = 0;
    int ZoomUp = 1;
    int ZoomDw = 1;
    int SpaceCommandID = ID_PICTURE_AUTOPLAY;
};

struct SlideShowSettings : SlideShowOptions
{
    BOOL LongClick = TRUE;
    BOOL AviShow = FALSE;
    BOOL DswShow = FALSE;
    int AngleUnit = 90;
    COLORREF colText = 0x008000;
    COLORREF colBarBase = 0x008000;
    COLORREF colBarPlay = 0x0064DC;
    COLORREF colBarStep = 0xFFFF00;
    COLORREF colBarLock = 0x00FFFF;
    COLORREF colBackground = 0x000000;
    int InfomationTextX = 10;
    int InfomationTextY = 4;
    BOOL LookAhead = TRUE;
    int ContextMenuWaitTime = 1200; // ms; 0: a long press opens no menu

    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = SlideShowSettings;
        const wchar_t section[] = L"SlideShow";
        v.ProfileInt(section, L"LongClick", &S::LongClick);
        v.ProfileInt(section, L"AviShow", &S::AviShow);
        v.ProfileInt(section, L"DswShow", &S::DswShow);
        v.ProfileInt(section, L"FitSize", &S::FitSize);
        v.ProfileInt(section, L"ScaleMode", &S::ScaleMode);
        v.ProfileInt(section, L"Repeat", &S::Repeat);
        v.ProfileInt(section, L"PositionBar", &S::PositionBar);
        v.ProfileInt(section, L"Infomation", &S::Infomation);
        v.String(section, L"InfomationMacro", &S::InfomationMacro);
        v.ProfileInt(section, L"ZoomUp", &S::ZoomUp);
        v.ProfileInt(section, L"ZoomDw", &S::ZoomDw);
        v.ProfileInt(OneViewSettings::SleepTimeSection, OneViewSettings::SleepTimeKey, &S::SleepTime);
        v.ProfileInt(section, L"AngleUnit", &S::AngleUnit);
        v.ProfileInt(section, L"AngleDir", &S::AngleDir);
        v.ProfileColour(section, L"colText", &S::colText);
        v.ProfileColour(section, L"colBarBase", &S::colBarBase);
        v.ProfileColour(section, L"colBarPlay", &S::colBarPlay);
        v.ProfileColour(section, L"colBarStep", &S::colBarStep);
        v.ProfileColour(section, L"colBarLock", &S::colBarLock);
        v.ProfileColour(section, L"colBackground", &S::colBackground);
        v.ProfileInt(section, L"InfomationTextX", &S::InfomationTextX);
        v.ProfileInt(section, L"InfomationTextY", &S::InfomationTextY);
        v.ProfileInt(section, L"SpaceCommandID", &S::SpaceCommandID);
        v.ProfileInt(section, L"LookAhead", &S::LookAhead);
        v.ProfileInt(section, L"ContextMenuWaitTime", &S::ContextMenuWaitTime);
    }
};
