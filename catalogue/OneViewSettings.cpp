#include "catalogue/OneViewSettings.h"

#include "foundation/VyxIni.h"

namespace {

const wchar_t kSection[] = L"COneView";
const wchar_t kSlideShowSection[] = L"SlideShow";
const wchar_t kSleepTime[] = L"SleepTime";

} // namespace

void OneViewSettings::Load()
{
    const OneViewSettings defaults;
    FitSize = GetAppIniInt(kSection, L"FitSize", defaults.FitSize);
    ScaleMode = GetAppIniInt(kSection, L"ScaleMode", defaults.ScaleMode);
    ReloadSleepTime();
    Repeat = GetAppIniInt(kSection, L"Repeat", defaults.Repeat);
    PositionBar = GetAppIniInt(kSection, L"PositionBar", defaults.PositionBar);
    Infomation = GetAppIniInt(kSection, L"Infomation", defaults.Infomation);
    GetAppIniString(InfomationMacro, kSection, L"InfomationMacro", defaults.InfomationMacro);
    ZoomUp = GetAppIniInt(kSection, L"ZoomUp", defaults.ZoomUp);
    ZoomDw = GetAppIniInt(kSection, L"ZoomDw", defaults.ZoomDw);
    AngleUnit = GetAppIniInt(kSection, L"AngleUnit", defaults.AngleUnit);
    SpaceCommandID = GetAppIniInt(kSection, L"SpaceCommandID", defaults.SpaceCommandID);
}

void OneViewSettings::Save() const
{
    WriteAppIniInt(kSlideShowSection, kSleepTime, SleepTime);
    WriteAppIniInt(kSection, L"FitSize", FitSize);
    WriteAppIniInt(kSection, L"ScaleMode", ScaleMode);
    WriteAppIniInt(kSection, L"AngleUnit", AngleUnit);
    WriteAppIniInt(kSection, L"Repeat", Repeat);
    WriteAppIniInt(kSection, L"PositionBar", PositionBar);
    WriteAppIniInt(kSection, L"Infomation", Infomation);
    WriteAppIniString(kSection, L"InfomationMacro", InfomationMacro);
    WriteAppIniInt(kSection, L"ZoomUp", ZoomUp);
    WriteAppIniInt(kSection, L"ZoomDw", ZoomDw);
    WriteAppIniInt(kSection, L"SpaceCommandID", SpaceCommandID);
}

void OneViewSettings::ReloadSleepTime()
{
    SleepTime = GetAppIniInt(kSlideShowSection, kSleepTime, OneViewSettings().SleepTime);
}
