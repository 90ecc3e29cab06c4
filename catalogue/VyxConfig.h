// The look of a thumbnail cell as one record, and its reading and writing in any section of any
// settings file: the document's own, a folder's settings file, or the named layouts of
// "ThumbData.ini".
#pragma once

#include "foundation/VyxIni.h"

struct THUMBSDATA
{
    BOOL Frame;
    int FrameEdge;
    BOOL NameFrame;
    int NameFrameEdge;
    bool Unsharp;
    bool LimitCheck;
    int Name;
    int Name2Per;
    int ScaleMode;
    BOOL WordBreak;
    int Shadow;
    int ScaleStep;
    SIZE ThumbsSize;
    SIZE ThumbsLimitSize;
    SIZE ThumbsMarginSize;
    COLORREF colBackGround;
    COLORREF colText;
    COLORREF colNormalDraw;
    COLORREF colFolderDraw;
    COLORREF colArcDraw;
    COLORREF colCantDraw;
    COLORREF colSelectText;
    COLORREF colSelectBackGround;
    COLORREF colSelectCheck;
    LOGFONTW font;
    double UnsharpLevel;
    wchar_t NameFormat[256];
};

class VyxConfig : public VyxIni
{
public:
    // "ThumbData.ini" beside the program.
    VyxConfig();
    explicit VyxConfig(const wchar_t* fileName);
    virtual ~VyxConfig();

    // 1 read; 0 when the section has no "ThumbsSizeWidth" (the record is left as it was).
    int Load(THUMBSDATA& data, const wchar_t* section) const;
    int Save(const THUMBSDATA& data, const wchar_t* section) const;
};
