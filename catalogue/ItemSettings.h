// The settings every file item loads and draws by, one set for all of them: the covers of folders
// and archives, the size limits of the plug-ins, what a made thumbnail lets go, where a cover's
// icon sits, and the sharpening of thumbnails. The document fills it from its own settings and
// hands it to the items whole (VyxFilexImage::SetItemSettings).
#pragma once

#include <windows.h>

struct ItemSettings
{
    int coverKinds = 1;            // "FolderTitle": 1 archives shown by a cover picture, 2 folders
    int coverSearchCount = 10;     // "FolderTitleSearchCount": entries looked at for a cover
    int coverBrightness = -20;     // "FolderTitleBright": percent added to a cover's channels
    int pluginDisplayLimit = 2048; // "DispPluginLimit": MB a plug-in may decode from a file
    int archiveMemberLimit = 200;  // "ArcDispPluginLimit": MB of an archive member read
    // "VyxFile"/"NotCreateThumbsSize": a thumbnail drawn larger than this area (pixels) is let go
    // after the draw (0: kept); "MemDraw": the picture is let go once its thumbnail is made.
    DWORD notCreateThumbsSize = 0;
    bool freePictureAfterMaking = false;
    int drawIconAlign = 0; // "VyxFile"/"DrawIconAlign": a cover's icon 1 at the right, 2 at the bottom
    // "UnsharpPassCount", "UnsharpKernel", "UnsharpLevel": the kernel's size, its size x size
    // weights (the rest 0) and the strength (0 to 1).
    int sharpenSize = 3;
    int sharpenWeights[25] = {1, 1, 1, 1, 0, 1, 1, 1, 1};
    double sharpenLevel = 0.5;

    bool IsArchiveCoverOn() const { return (coverKinds & 1) != 0; }
    bool IsFolderCoverOn() const { return (coverKinds & 2) != 0; }
    // The three sharpening settings together, and only with a size of 1 to 5 and a weight text
    // (comma-separated integers); a level outside 0 to 1 is taken as 0.
    void SetSharpening(int kernelSize, const wchar_t* weights, double level);
};
