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

    // 1 read, within the thumbnail dialog's ranges (a value it cannot show takes the nearest it
    // can, a text that is no colour the default); 0 when the section has no "ThumbsSizeWidth"
    // (the record is left as it was).
    int Load(THUMBSDATA& data, const wchar_t* section) const;
    int Save(const THUMBSDATA& data, const wchar_t* section) const;

    // The thumbnail dialog's ranges: cell sides from MinCellSide to the largest cell the settings
    // allow ("ThumbsMaxXres", "ThumbsMaxYres" of "System", each MinCellSide to MaxCellSide).
    enum { MinCellSide = 10, DefaultLargestX = 800, DefaultLargestY = 600, MaxCellSide = 32767 };
    static SIZE GetLargestCell();
    static int ReadLargestSide(const wchar_t* key, int defaultValue);
    // The sizes, margins and zoom step of the record within those ranges.
    static void KeepWithinRanges(THUMBSDATA& data, SIZE largest);
    // A cell side, a margin or padding, and a colour as the dialog allows them.
    static LONG CellSide(LONG value, LONG largest);
    static LONG Spacing(LONG value, LONG largest);
    // "#" and one to eight hexadecimal digits, or a decimal number; no top byte.
    static bool ParseColour(const wchar_t* text, COLORREF& colour);

private:
    COLORREF GetColour(const wchar_t* section, const wchar_t* key, COLORREF defaultValue) const;
};
