// Window placements and remembered lists from a damaged settings file: a placement leaves the
// window where it was or puts it somewhere a user can reach and of a size a user left it at; a
// list reads no more than its limit, no empty entry, and reads what was saved.
#include "../../foundation/TestSettings.h"
#include "common/HostileInputs.h"

#include "catalogue/FolderList.h"
#include "foundation/WindowPlacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string AsString(const hostile::Input& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

hostile::Input AsBytes(const std::string& text)
{
    return hostile::Input(text.begin(), text.end());
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Where a user could have left a window: of a size one can make, its caption on a screen.
bool Reachable(const RECT& r)
{
    const long long width = static_cast<long long>(r.right) - r.left;
    const long long height = static_cast<long long>(r.bottom) - r.top;
    if (width < 100 || height < 50 || width > GetSystemMetrics(SM_CXMAXTRACK) ||
        height > GetSystemMetrics(SM_CYMAXTRACK))
        return false;
    const RECT caption = {r.left, r.top, r.right, r.top + GetSystemMetrics(SM_CYCAPTION)};
    return MonitorFromRect(&caption, MONITOR_DEFAULTTONULL) != nullptr;
}

} // namespace

TEST(PlacementAndHistoryRobustness, HostilePlacementsLeaveTheWindowWhereAUserCanReachIt)
{
    ScratchSettings settings;
    HWND window = CreateWindowExW(0, L"STATIC", L"placed", WS_OVERLAPPEDWINDOW, 40, 50, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    WINDOWPLACEMENT made = {};
    made.length = sizeof made;
    ASSERT_TRUE(GetWindowPlacement(window, &made));
    SaveWindowPlacement(window, L"Frame");
    const std::string seed = ScratchFolder::ReadFile(theAppIni.GetPath().GetString());
    ASSERT_NE(std::string::npos, seed.find("rcNormalPosition"));
    const std::vector<std::string> hostile = {
        "[Frame]\r\nWindowPlacement\\flags=0\r\nWindowPlacement\\showCmd=3\r\n"
        "WindowPlacement\\rcNormalPosition=-2147483648,-2147483648,2147483647,2147483647\r\n",
        "[Frame]\r\nWindowPlacement\\flags=-1\r\nWindowPlacement\\showCmd=99\r\n"
        "WindowPlacement\\rcNormalPosition=30000,30000,30400,30300\r\n",
        "[Frame]\r\nWindowPlacement\\flags=2\r\nWindowPlacement\\rcNormalPosition=10,10,11,11\r\n",
        "[Frame]\r\nWindowPlacement\\flags=2\r\nWindowPlacement\\rcNormalPosition=400,300,40,50\r\n",
    };
    int inputs = 0;
    auto feed = [&](const std::string& bytes) {
        ++inputs;
        ASSERT_TRUE(ScratchFolder::WriteFile(theAppIni.GetPath().GetString(), bytes));
        RestoreWindowPlacement(window, L"Frame");
        WINDOWPLACEMENT now = {};
        now.length = sizeof now;
        ASSERT_TRUE(GetWindowPlacement(window, &now));
        ASSERT_TRUE(SameRect(now.rcNormalPosition, made.rcNormalPosition) || Reachable(now.rcNormalPosition));
        SetWindowPlacement(window, &made);
        ShowWindow(window, SW_HIDE);
    };
    for (const std::string& bytes : hostile)
        feed(bytes);
    hostile::FeedHostile({AsBytes(seed)}, 2654435761u, hostile::Inputs(300, 5),
                         [&](const hostile::Input& data, int) { feed(AsString(data)); });
    DestroyWindow(window);
    hostile::Report("window placement", inputs);
}

TEST(PlacementAndHistoryRobustness, HostileHistoryListsReadWithinTheirLimitsAndReadWhatWasSaved)
{
    ScratchSettings settings;
    const int kinds[] = {FolderListQuickAccess,      FolderListFilerFolder,   FolderListFilter,
                         FolderListPrintFile,        FolderListReplaceFormat, FolderListRenameFormat,
                         FolderListCatalogFolder,    FolderListHtmlFolder,    FolderListHtmlFileName,
                         FolderListHtmlThumbsFolder, FolderListSizeBegin,     FolderListReportFile};
    for (int kind : kinds) {
        CStringArray list;
        for (int i = 0; i < FolderList::GetLimit(kind); ++i) {
            CString entry;
            entry.Format(L"C:\\写真\\%d\\$(Name)%%d;%d", kind, i);
            list.Add(entry);
        }
        FolderList::SaveKind(kind, list);
    }
    const std::string seed = ScratchFolder::ReadFile(theAppIni.GetPath().GetString());
    ASSERT_GT(seed.size(), 1000u);
    const int fed =
        hostile::FeedHostile({AsBytes(seed)}, 40503u, hostile::Inputs(300, 5), [&](const hostile::Input& data, int) {
            ASSERT_TRUE(ScratchFolder::WriteFile(theAppIni.GetPath().GetString(), AsString(data)));
            for (int kind : kinds) {
                CStringArray read;
                FolderList::LoadKind(kind, read);
                ASSERT_LE(read.GetCount(), FolderList::GetLimit(kind));
                for (INT_PTR i = 0; i < read.GetCount(); ++i)
                    ASSERT_FALSE(read[i].IsEmpty());
                FolderList::SaveKind(kind, read);
                // A section the file holds twice may bring a key of its second copy forward once
                // the first copy's is deleted: what was saved comes first.
                CStringArray again;
                FolderList::LoadKind(kind, again);
                ASSERT_GE(again.GetCount(), read.GetCount());
                ASSERT_LE(again.GetCount(), FolderList::GetLimit(kind));
                for (INT_PTR i = 0; i < read.GetCount(); ++i)
                    ASSERT_STREQ(read[i], again[i]);
            }
        });
    hostile::Report("history lists", fed);
}
