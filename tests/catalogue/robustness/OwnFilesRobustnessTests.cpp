// The program's own files damaged: layout files and the settings file that size the cells, and
// cache indexes whose entries lead anywhere. Every layout read stays within the thumbnail
// dialog's ranges and a cell is drawn with it; no write or delete through an index touches a
// file outside the cache root.
#include "../../script/ScriptTestKit.h"
#include "../ThumbnailTestUtil.h"
#include "common/HostileInputs.h"

#include "catalogue/CKWDocSettings.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxConfig.h"
#include "catalogue/VyxFilexDraw.h"
#include "image/DibCore.h"

#include <map>
#include <memory>
#include <string>

using namespace thumbtest;
using scripttest::Canvas;

namespace {

std::string AsString(const hostile::Input& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

hostile::Input AsBytes(const std::string& text)
{
    return hostile::Input(text.begin(), text.end());
}

void ExpectWithin(LONG value, LONG low, LONG high, const char* what)
{
    ASSERT_GE(value, low) << what;
    ASSERT_LE(value, high) << what;
}

// A cell of the layout drawn as the view draws it, its picture made for the box the margins and
// paddings leave, on a surface of the cell's size.
void DrawCell(VyxFile& item, SIZE size, SIZE margin, SIZE padding, COLORREF background, const LOGFONTW& font)
{
    CellSurfaceHolder::SetLimitForCells(20, size);
    ASSERT_GE(CellSurfaceHolder::GetLimit(), 1u);
    item.SetMarginSize(margin);
    item.SetPaddingSize(padding);
    item.SetNameMode(1);
    item.SetFont(font);
    item.colBackGround = background;
    Canvas canvas(size.cx, size.cy);
    item.Draw(&canvas.dc, 0, 0, size.cx, size.cy, 0);
}

void CheckLayout(const THUMBSDATA& data, SIZE largest)
{
    ExpectWithin(data.ThumbsSize.cx, VyxConfig::MinCellSide, largest.cx, "width");
    ExpectWithin(data.ThumbsSize.cy, VyxConfig::MinCellSide, largest.cy, "height");
    ExpectWithin(data.ThumbsLimitSize.cx, VyxConfig::MinCellSide, largest.cx, "limit width");
    ExpectWithin(data.ThumbsLimitSize.cy, VyxConfig::MinCellSide, largest.cy, "limit height");
    ExpectWithin(data.ThumbsMarginSize.cx, -largest.cx, largest.cx, "margin width");
    ExpectWithin(data.ThumbsMarginSize.cy, -largest.cy, largest.cy, "margin height");
    ExpectWithin(data.ScaleStep, 1, largest.cx, "zoom step");
    for (COLORREF colour : {data.colBackGround, data.colText, data.colNormalDraw, data.colFolderDraw, data.colArcDraw,
                            data.colCantDraw, data.colSelectText, data.colSelectBackGround, data.colSelectCheck})
        ASSERT_EQ(0u, colour & 0xFF000000u);
}

// Every file below the folder with its bytes; the folder given as skipped is left out.
void Snapshot(const std::wstring& folder, const std::wstring& skipped, std::map<std::wstring, std::string>& files)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[path + L"\\"] = "";
            if (_wcsicmp(path.c_str(), skipped.c_str()) != 0)
                Snapshot(path, skipped, files);
        } else {
            files[path] = ScratchFolder::ReadFile(path);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

bool Inside(const CString& path, const std::wstring& root)
{
    const std::wstring prefix = root + L"\\";
    return path.GetLength() > static_cast<int>(prefix.size()) &&
           _wcsnicmp(path.GetString(), prefix.c_str(), prefix.size()) == 0 &&
           wcschr(path.GetString() + prefix.size(), L'\\') == nullptr;
}

} // namespace

TEST(OwnFilesRobustness, HostileLayoutsOpenWithinTheDialogRangesAndDrawACell)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"layout");
    const std::wstring layoutPath = folder / L"ThumbData.ini";
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"p.tpic", 64, 48));
    THUMBSDATA written = {};
    {
        VyxConfig config(layoutPath.c_str());
        // Every key as the program writes it; then the settings file's cell keys beside them.
        WritePrivateProfileStringW(L"Preset", L"ThumbsSizeWidth", L"120", layoutPath.c_str());
        ASSERT_EQ(1, config.Load(written, L"Preset"));
        written.ThumbsMarginSize = SIZE{3, 4};
        ASSERT_EQ(1, config.Save(written, L"Preset"));
    }
    std::string seed = ScratchFolder::ReadFile(layoutPath);
    seed += "[KWDoc]\r\nThumbsSize=200,300\r\nThumbsLimitSize=40,40\r\nThumbsMarginSize=2,2\r\n"
            "ThumbsPaddingSize=4,4\r\n[VyxFile]\r\ncolBackGround=#00C0C0C0\r\n";
    const std::vector<std::string> hostile = {
        "[Preset]\r\nThumbsSizeWidth=65536\r\nThumbsSizeHeight=65536\r\n[KWDoc]\r\nThumbsSize=65536,65536\r\n",
        "[Preset]\r\nThumbsSizeWidth=0\r\nThumbsMarginWidth=-2147483648\r\ncolBackGround=#xyz\r\n"
        "[KWDoc]\r\nThumbsSize=-1,0\r\nThumbsPaddingSize=2147483647,-5\r\n",
        "[Preset]\r\nThumbsSizeWidth=15000\r\nThumbsSizeHeight=15000\r\nScaleStep=0\r\n"
        "[KWDoc]\r\nThumbsSize=15000,15000\r\nThumbsMarginSize=99999,99999\r\n",
    };
    const SIZE largest = VyxConfig::GetLargestCell();
    int inputs = 0;
    auto feed = [&](const std::string& bytes) {
        ++inputs;
        ASSERT_TRUE(ScratchFolder::WriteFile(layoutPath, bytes));
        THUMBSDATA data = written;
        if (VyxConfig(layoutPath.c_str()).Load(data, L"Preset") == 1) {
            CheckLayout(data, largest);
            DrawCell(*item, data.ThumbsSize, data.ThumbsMarginSize, SIZE{4, 4}, data.colBackGround, data.font);
        }
        // Reading never writes the layout file.
        ASSERT_EQ(bytes, ScratchFolder::ReadFile(layoutPath));

        ASSERT_TRUE(ScratchFolder::WriteFile(theAppIni.GetPath().GetString(), bytes));
        CKWDocSettings settings;
        settings.ReadSettings(nullptr);
        ExpectWithin(settings.ThumbsSize.cx, VyxConfig::MinCellSide, largest.cx, "settings width");
        ExpectWithin(settings.ThumbsSize.cy, VyxConfig::MinCellSide, largest.cy, "settings height");
        for (const CSize& spacing : {settings.ThumbsMarginSize, settings.ThumbsPaddingSize}) {
            ExpectWithin(spacing.cx, -largest.cx, largest.cx, "settings spacing");
            ExpectWithin(spacing.cy, -largest.cy, largest.cy, "settings spacing");
        }
        ASSERT_EQ(0u, settings.colBackGround & 0xFF000000u);
        DrawCell(*item, settings.ThumbsSize, settings.ThumbsMarginSize, settings.ThumbsPaddingSize,
                 settings.colBackGround, settings.drawFont);
    };
    for (const std::string& bytes : hostile)
        feed(bytes);
    hostile::FeedHostile({AsBytes(seed)}, 65537u, hostile::Inputs(1000, 10),
                         [&](const hostile::Input& data, int) { feed(AsString(data)); });
    CellSurfaceHolder::SetLimit(128);
    hostile::Report("layout and cell settings", inputs);
}

TEST(OwnFilesRobustness, HostileIndexesNeverLeadAWriteOrADeleteOutOfTheRoot)
{
    CacheScope scope;
    ScratchFolder top(L"index");
    const std::wstring root = top / L"root", pictures = top / L"pics", moved = top / L"moved";
    for (const std::wstring& path : {root, pictures, top / L"victim"})
        CreateDirectoryW(path.c_str(), nullptr);
    ScratchFolder::WriteFile(top / L"victim\\important.txt", "a user's own document");
    ScratchFolder::WriteFile(top / L"x.kwc", "another");
    ScratchFolder::WriteFile(pictures + L"\\a.zip", "an archive");
    const CString key = VyxCacheIndex::GetLocationKey(pictures.c_str(), L"");
    const CString archiveKey = VyxCacheIndex::GetLocationKey(pictures.c_str(), L"a.zip");
    const std::string seed = "[Thumbsnail]\r\nCacheSeqNo=3\r\n" + std::string(CStringA(key)) +
                             "=..\\victim\\important.txt\r\n" + std::string(CStringA(archiveKey)) +
                             "=00000001.kwt\r\n[Note]\r\nCacheSeqNo=1\r\n" + std::string(CStringA(key)) +
                             "=00000000.kwn\r\n[Config]\r\n" + std::string(CStringA(key)) + "=..\\x.kwc\r\n" +
                             std::string(CStringA(archiveKey)) + "=C:\\windows\\win.ini\r\n";
    std::map<std::wstring, std::string> before;
    Snapshot(top.Path(), root, before);
    const std::vector<hostile::Input> seeds = {AsBytes(seed)};
    const int fed =
        hostile::FeedHostile(seeds, 50331653u, hostile::Inputs(300, 5), [&](const hostile::Input& data, int) {
            ScratchFolder::WriteFile(root + L"\\_cache_.lst", AsString(data));
            VyxCacheIndex index(root.c_str());
            for (int kind = 0; kind < VyxCacheIndex::KindCount; ++kind) {
                for (const wchar_t* archive : {L"", L"a.zip"}) {
                    CString found;
                    if (index.FindSideFile(kind, found, pictures.c_str(), archive)) {
                        ASSERT_TRUE(Inside(found, root)) << found.GetString();
                    }
                    const CString path = index.GetSideFileName(kind, pictures.c_str(), archive);
                    ASSERT_TRUE(Inside(path, root)) << path.GetString();
                    // Written as the program writes its side files.
                    if (kind == VyxCacheIndex::KindThumbs)
                        ASSERT_EQ(1, VyxCacheFolder::WriteRecords(path, VyxCacheThumbsArray()));
                    else
                        WritePrivateProfileStringW(L"a.jpg", L"Note", L"x", path);
                }
            }
            index.RenameFolder(moved.c_str(), pictures.c_str());
            index.RenameFolder(pictures.c_str(), moved.c_str());
            for (int kind = 0; kind < VyxCacheIndex::KindCount; ++kind) {
                index.DeleteSideFile(kind, pictures.c_str(), L"a.zip");
                index.DeleteSideFile(kind, pictures.c_str(), L"");
            }
            std::map<std::wstring, std::string> after;
            Snapshot(top.Path(), root, after);
            ASSERT_TRUE(before == after);
        });
    hostile::Report("cache index writes and deletes", fed);
}
