// Shared set-up of the tests of the document's file and output commands: a document on a folder of
// real pictures (read through the program's own plug-ins), the stand-in main window, the dialogs
// driven from a helper thread, and the hints in a form to compare.
#pragma once

#include "../catalogue/DocumentTestUtil.h"
#include "browser/CKWDocCommands.h"
#include "common/CommandState.h"
#include "fileops/OutputWindowUtil.h"
#include "image/DibFile.h"

#include <memory>
#include <string>
#include <vector>

namespace doccommands {

using namespace doctest;
using outputtest::DialogDriver;
using outputtest::OwnPlugins;
using outputtest::PutPicture;

const DWORD kWait = 30000;

// The document of one test with its command target, as the main frame gives it.
class CommandDocumentScope : public DocumentScope
{
protected:
    void Attach(CKWDoc& document) override { CKWDocCommands::AttachTo(document); }
};

// A document on n pictures "pNN.bmp" (w x h, each its own colour) with the given cell size, all
// selected, and the hints cleared.
struct PictureDocument
{
    explicit PictureDocument(int count, SIZE cell = {40, 30}, LONG width = 16, LONG height = 12)
    {
        for (int i = 0; i < count; ++i)
            PutPicture(Name(i), width, height, RGB(250, 20 * (i % 10), 0));
        CKWDoc& document = scope.Document();
        scope.Open();
        // After the opening, which applies the folder's own layout.
        document.SetThumbsSize(cell.cx, cell.cy);
        document.SetAllSelection(true);
        scope.Heard();
    }
    std::wstring Name(int i) const
    {
        wchar_t name[16];
        swprintf(name, 16, L"p%02d.bmp", i);
        return scope.folder / name;
    }
    CKWDoc& Document() { return scope.Document(); }
    std::wstring Out(const wchar_t* name) const { return out / name; }

    OwnPlugins plugins;
    CommandDocumentScope scope;
    CStandInFrame frame;
    ScratchFolder out{L"docout"};
};

// The size of a BMP file's picture; {0, 0} when it reads as none.
inline SIZE BmpSize(const std::wstring& path)
{
    HGLOBAL dib = ReadBmpFile(path.c_str());
    if (!dib)
        return SIZE{0, 0};
    SIZE size = {GetDibWidth(dib), GetDibHeight(dib)};
    GlobalFree(dib);
    return size;
}

inline bool SameSize(SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

// The hints of one kind among those heard.
inline std::vector<std::wstring> HintsOf(const std::vector<std::wstring>& heard, LPARAM hint)
{
    std::vector<std::wstring> matching;
    for (const std::wstring& text : heard)
        if (std::stol(text) == hint)
            matching.push_back(text);
    return matching;
}

} // namespace doccommands
