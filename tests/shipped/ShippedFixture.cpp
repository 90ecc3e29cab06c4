#include "ShippedFixture.h"

#include "ShippedProgram.h"

#include "../../bench/CameraJpeg.h"
#include "common/ScratchFolder.h"
#include "common/WindowTestUtil.h"

#include <commctrl.h>

#include <cstring>

namespace {

struct PaneSearch
{
    const wchar_t* className;
    bool besideList;
    HWND found;
};

BOOL CALLBACK TakePane(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<PaneSearch*>(lParam);
    if (!search->besideList) {
        if (!HasClass(child, search->className))
            return TRUE;
        search->found = child;
        return FALSE;
    }
    if (!HasClass(child, L"SysListView32"))
        return TRUE;
    for (HWND sibling = GetWindow(GetParent(child), GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT))
        if (sibling != child && IsWindowVisible(sibling) && !HasClass(sibling, L"SysListView32")) {
            search->found = sibling;
            return FALSE;
        }
    return TRUE;
}

HWND FindPane(HWND main, const wchar_t* className, bool besideList)
{
    PaneSearch search = {className, besideList, nullptr};
    EnumChildWindows(main, &TakePane, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

POINT Middle(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace

std::wstring MakePictureFolder(const std::wstring& parent)
{
    const std::wstring folder = parent + L"\\写真_2024.旅~&";
    CreateDirectoryW(folder.c_str(), nullptr);
    const wchar_t* names[] = {L"IMG_0001.JPG", L"a_b.c~d.jpg", L"海&山.jpg", L"DSC.0002.jpg"};
    unsigned seed = 1;
    for (const wchar_t* name : names) {
        const std::vector<BYTE> bytes = MakeCameraJpeg(640, 480, seed++);
        ScratchFolder::WriteFile(folder + L"\\" + name, std::string(bytes.begin(), bytes.end()));
    }
    return folder;
}

HWND ThumbnailView(HWND main)
{
    return FindPane(main, nullptr, true);
}

HWND FileList(HWND main)
{
    return FindPane(main, L"SysListView32", false);
}

HWND FolderTree(HWND main)
{
    return FindPane(main, L"SysTreeView32", false);
}

POINT FirstCell()
{
    // Cells start at the grid's corner and are far larger than this at every setting.
    return {100, 100};
}

namespace {

int SelectedRows(HWND list)
{
    DWORD_PTR count = 0;
    return list && SendMessageTimeoutW(list, LVM_GETSELECTEDCOUNT, 0, 0, SMTO_NORMAL, 30000, &count)
               ? static_cast<int>(count)
               : -1;
}

} // namespace

bool SelectFirstPicture(const ShippedProgram& program)
{
    // A click in the grid adds its item to the selection or takes it out, and Ctrl+A clears a
    // selection of several: whatever the selection, a few steps make it one picture.
    HWND grid = ThumbnailView(program.Main()), list = FileList(program.Main());
    for (int step = 0; step < 6; ++step) {
        const int selected = SelectedRows(list);
        if (selected == 1)
            return true;
        if (selected < 0 ||
            !(selected == 0 ? program.ClickAt(grid, FirstCell()) : program.PressKey(grid, 'A', VK_CONTROL)))
            return false;
        // A click that only activated the window changes nothing: the next step clicks again.
        WaitUntil([&] { return SelectedRows(list) != selected; }, 10000);
    }
    return SelectedRows(list) == 1;
}

bool SelectAllPictures(const ShippedProgram& program, int count)
{
    HWND grid = ThumbnailView(program.Main()), list = FileList(program.Main());
    return program.PressKey(grid, 'A', VK_CONTROL) && WaitUntil([&] { return SelectedRows(list) == count; }, 30000);
}

bool FirstRow(const ShippedProgram& program, HWND list, POINT& point)
{
    RECT rect = {LVIR_LABEL, 0, 0, 0};
    if (!list || !program.AskRect(list, LVM_GETITEMRECT, 0, rect))
        return false;
    point = Middle(rect);
    return true;
}

bool SelectedTreeItem(const ShippedProgram& program, HWND tree, POINT& point)
{
    DWORD_PTR item = 0;
    if (!tree || !SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_NORMAL, 30000, &item) || !item)
        return false;
    SendMessageTimeoutW(tree, TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(item), SMTO_NORMAL, 30000, nullptr);
    // The item goes in where the rectangle comes out (its first field, or two in 64-bit code).
    RECT rect = {};
    static_assert(sizeof(HTREEITEM) <= sizeof(rect), "the item fits the rectangle");
    memcpy(&rect, &item, sizeof(HTREEITEM));
    if (!program.AskRect(tree, TVM_GETITEMRECT, TRUE, rect))
        return false;
    point = Middle(rect);
    return true;
}

bool JpegSize(const std::wstring& path, int& width, int& height)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    size_t at = 2;
    if (bytes.size() < 4 || static_cast<BYTE>(bytes[0]) != 0xFF || static_cast<BYTE>(bytes[1]) != 0xD8)
        return false;
    while (at + 4 <= bytes.size()) {
        if (static_cast<BYTE>(bytes[at]) != 0xFF)
            return false;
        const BYTE marker = static_cast<BYTE>(bytes[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const size_t length = (static_cast<BYTE>(bytes[at + 2]) << 8) | static_cast<BYTE>(bytes[at + 3]);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && at + 9 <= bytes.size()) {
            height = (static_cast<BYTE>(bytes[at + 5]) << 8) | static_cast<BYTE>(bytes[at + 6]);
            width = (static_cast<BYTE>(bytes[at + 7]) << 8) | static_cast<BYTE>(bytes[at + 8]);
            return true;
        }
        at += 2 + length;
    }
    return false;
}
