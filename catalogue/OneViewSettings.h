// The view settings record of a picture window: how its view fits, resamples and turns the
// picture, the auto-play interval, and the SPACE-key command. Each picture window keeps one, the
// display-mode dialog edits it in place and the view takes it over.
#pragma once

#include "framework/Framework.h"

struct OneViewSettings
{
    int FitSize = 1;
    int ScaleMode = 0;
    int SleepTime = 100; // "SlideShow"/"SleepTime", ms
    int Repeat = 0;
    int PositionBar = 1;
    int Infomation = 1;
    CString InfomationMacro = L"$(FileName)";
    int ZoomUp = 1;
    int ZoomDw = 1;
    int AngleUnit = 90;
    int SpaceCommandID = 10076;

    // Every field from "COneView" (SleepTime from "SlideShow"), each missing key its default.
    void Load();
    void Save() const;
    // The slideshow keeps the same key: after one ends, its value is the one to keep.
    void ReloadSleepTime();
};
