// The file list's ten column keys (titles, the header variants shown while sorted, alignment,
// the text a row shows), the cycling of sort directions, the sort history and the order of two
// rows. Folders always come first; direction 0 is the order of the scan.
#pragma once

#include "framework/Framework.h"

#include <vector>

class VyxFile;

class LstSortKeys
{
public:
    enum {
        KeyName = 0,
        KeyExtension = 1,
        KeySize = 2,
        KeyDate = 3,
        KeyPixels = 4,
        KeyArchive = 5,
        KeyInfo = 6,
        KeyPluginName = 7,
        KeyNote = 8,
        KeyFolder = 9,
        KeyCount = 10
    };

    static const wchar_t* GetTitle(int key);
    // The header of the key in that direction (0 its plain header).
    static const wchar_t* GetHeader(int key, int direction);
    static int GetVariantCount(int key);
    static int GetFormat(int key);
    // The text the row of the item shows in the key's column; info is the info column's template.
    static CString GetText(const VyxFile& item, int key, const wchar_t* info);

    // The direction a request gives: 0 keeps the scan order, d > 0 names one, d < 0 (a header
    // click) steps on from the current direction.
    static int NextDirection(int key, int current, int request);

    // The history, newest first: low word the key, high word the direction.
    static void AddToHistory(std::vector<DWORD>& history, int key, int direction, int shownColumns);

    // A row's name split at its last run of digits: prefix, the run's value, suffix.
    struct NameParts
    {
        CString prefix;
        unsigned long long number = 0;
        CString suffix;
    };
    static NameParts SplitName(const CString& name);
    // Names as the list compares them: case-insensitive collation, numbers by value with
    // numberSort.
    static int CompareNames(const CString& a, const CString& b, bool numberSort);

    // A row as the comparator sees it: its item, its place in the scan and, for text keys, the
    // text it sorts by.
    struct Row
    {
        const VyxFile* item = nullptr;
        int arrayIndex = 0;
        CString text;
    };
    // Fills the text the key sorts by.
    static void PrepareRow(Row& row, int key, const wchar_t* info);
    // Negative when a goes before b, 0 when they are equal in this key and direction.
    static int Compare(const Row& a, const Row& b, int key, int direction, bool numberSort);
};
