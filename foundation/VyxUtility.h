// Small geometry, unit, font and text helpers: rectangle outcodes and overlap, drawing-unit
// conversion, default fonts, middle abbreviation, wildcard and file-spec matching, comparisons.
#pragma once

#include "framework/Framework.h"

class VyxUtility
{
public:
    virtual ~VyxUtility();
};

// Unit codes of ConvertUnit: 1..8 the map modes MM_TEXT..MM_ANISOTROPIC, 9 millimetre, 10 point.
enum VyxUnit {
    UnitPixel = 1,
    UnitLoMetric = 2,  // 0.1 mm
    UnitHiMetric = 3,  // 0.01 mm
    UnitLoEnglish = 4, // 0.01 inch
    UnitHiEnglish = 5, // 0.001 inch
    UnitTwip = 6,
    UnitIsotropic = 7,
    UnitAnisotropic = 8,
    UnitMillimetre = 9,
    UnitPoint = 10,
};

// Bits 1 left of, 2 right of, 4 below, 8 above the rectangle (either orientation); 0 inside or on it.
int GetOutCode(const RECT& rect, POINT point);
// True when at least four overlap points were found; out (may be null) gets their bounding box.
bool GetRectOverlap(const RECT& a, const RECT& b, RECT* out);
// Unchanged when the units are equal, either is 7 or 8, or a code lies outside 1..10.
double ConvertUnit(double value, int fromUnit, int toUnit, int resolution);

// The last font the enumeration reports (DEFAULT_GUI_FONT's when none); dc null: the screen's.
void GetDefaultFontFamily(HDC dc, LOGFONTW& out);
void FindFontFamily(HDC dc, const wchar_t* faceName, LOGFONTW& out);

// At most maxLength characters: head characters, "...", tail characters.
CString& AbbreviateMiddle(CString& out, const wchar_t* text, int maxLength, int headCount, int tailCount);
// The text as a menu item shows it unchanged: every "&" doubled, so that a file or folder name
// keeps its ampersands instead of giving the item a mnemonic.
CString MenuItemText(const wchar_t* text);
// The mnemonic of a menu item's text (the character after a single "&", upper-cased); 0 when none.
wchar_t MenuMnemonic(const wchar_t* text);
// preferred when no item of the menu has it as its mnemonic, else the first free letter A-Z or
// digit; 0 when every one is taken.
wchar_t FreeMenuMnemonic(HMENU menu, wchar_t preferred);
// The text with "&" before its first letter or digit that no item of the menu has as its
// mnemonic; the text as it is when there is none. The text itself holds no "&".
CString WithFreeMnemonic(HMENU menu, const wchar_t* text);
// Puts a wide blank between each label of the popup menu and its key ("\t") so that the widest
// label keeps clear of the key column.
void SpaceMenuKeys(HMENU menu);
// First index of pattern within the first limit characters (limit <= 0 or beyond: the whole text); -1 when none.
int FindSubstring(const wchar_t* text, const wchar_t* pattern, int limit);
// "*" any run, "?" one character, case ignored, the whole name must match.
bool WildcardMatch(const wchar_t* name, const wchar_t* pattern);
// specs: NUL-terminated specs ended by an empty one; name and spec split at their last ".".
bool MatchFileSpecs(const wchar_t* name, const wchar_t* specs);
// separator 0: the list is already NUL-separated.
bool MatchFileSpecList(const wchar_t* name, const wchar_t* list, wchar_t separator);
int CommonPrefixLengthNoCase(const wchar_t* a, const wchar_t* b);
// 2 / -2 when a is longer / shorter; otherwise -1, 0, 1 by code units.
int CompareLengthFirst(const wchar_t* a, const wchar_t* b);
int CompareLengthFirstNoCase(const wchar_t* a, const wchar_t* b);

// Splits at "\n", then breaks each line at the widest prefix that fits width pixels (at least
// one character per line).
void WrapTextToWidth(HDC dc, const wchar_t* text, int width, CStringArray& lines);
