#include "DocumentTestUtil.h"

#include "catalogue/VyxCacheIndex.h"

using namespace doctest;

namespace {

// The layout the document would have, with a cell size and background of its own.
THUMBSDATA OwnLayout(CKWDoc& doc, LONG size, COLORREF background)
{
    THUMBSDATA record = {};
    doc.GetLayout(&record);
    record.ThumbsSize = SIZE{size, size};
    record.colBackGround = background;
    return record;
}

void SaveLayout(const CString& configFile, const THUMBSDATA& record)
{
    VyxConfig(configFile).Save(record, L"ThumbsData");
}

} // namespace

TEST(DocumentLayout, AFolderRecordAppliesUntilAFolderWithoutOneBringsBackTheProgramLayout)
{
    DocumentScope scope;
    std::wstring own = PutFolder(scope.folder, L"own");
    std::wstring plain = PutFolder(scope.folder, L"plain");
    PutFile(scope.folder, L"own\\a.jpg", "data");
    CKWDoc& doc = scope.Document();
    SaveLayout((own + L"\\_CONFIG_.KWI").c_str(), OwnLayout(doc, 150, 0x123456));

    scope.Open(CVirtualFolder(own.c_str(), own.c_str(), 1));
    EXPECT_EQ(CSize(150, 150), doc.GetThumbsSize());
    EXPECT_EQ(CSize(150, 150), doc.GetDefaultThumbsSize());
    EXPECT_EQ(0x123456u, doc.colBackGround);
    ASSERT_EQ(1, doc.GetItemCount());
    EXPECT_EQ(0x123456u, doc.GetItem(0)->colBackGround);
    // The program-wide record is not touched by a folder's.
    EXPECT_EQ(CSize(200, 300), CSize(doc.GetOwnLayout().ThumbsSize));

    doc.Refresh(false);
    EXPECT_EQ(CSize(150, 150), doc.GetThumbsSize());
    scope.Open(CVirtualFolder(plain.c_str(), plain.c_str(), 1));
    EXPECT_EQ(CSize(200, 300), doc.GetThumbsSize());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), doc.colBackGround);
}

TEST(DocumentLayout, ClosingInsideAFolderWithItsOwnRecordKeepsTheProgramLayoutForTheNextStart)
{
    DocumentScope scope;
    std::wstring own = PutFolder(scope.folder, L"own");
    CKWDoc& doc = scope.Document();
    THUMBSDATA record = OwnLayout(doc, 150, 0x123456);
    wcscpy(record.NameFormat, L"$(Name)\\n$(Size)");
    SaveLayout((own + L"\\_CONFIG_.KWI").c_str(), record);
    scope.Open(CVirtualFolder(own.c_str(), own.c_str(), 1));
    ASSERT_EQ(CSize(150, 150), doc.GetThumbsSize());
    doc.DELQA = true; // a setting outside the layout still goes to the file

    doc.DeleteContents();
    scope.NewDocument();
    CKWDoc& next = scope.Document();
    EXPECT_EQ(CSize(200, 300), next.GetThumbsSize());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), next.colBackGround);
    EXPECT_EQ(CString(L"$(FileName)"), next.NameFormat);
    EXPECT_TRUE(next.DELQA);

    // A layout the user makes program-wide there is the program's from then on.
    scope.Open(CVirtualFolder(own.c_str(), own.c_str(), 1));
    THUMBSDATA wide = OwnLayout(next, 170, 0x654321);
    next.ApplyLayout(wide);
    next.DeleteContents();
    scope.NewDocument();
    EXPECT_EQ(CSize(170, 170), scope.Document().GetThumbsSize());
    EXPECT_EQ(0x654321u, scope.Document().colBackGround);
}

TEST(DocumentLayout, WithoutEnableConfigTheLayoutInForceStays)
{
    DocumentScope scope;
    WriteAppIniInt(L"KWDoc", L"EnableConfig", 0);
    std::wstring own = PutFolder(scope.folder, L"own");
    CKWDoc& doc = scope.Document();
    SaveLayout((own + L"\\_CONFIG_.KWI").c_str(), OwnLayout(doc, 150, 0x123456));
    doc.SetThumbsSize(90, 90);

    scope.Open(CVirtualFolder(own.c_str(), own.c_str(), 1));
    EXPECT_EQ(CSize(90, 90), doc.GetThumbsSize());
}

TEST(DocumentLayout, AnArchivesOwnRecordWinsOverItsFoldersAndTheFoldersServesWithoutIt)
{
    DocumentScope scope;
    std::wstring root = PutFolder(scope.folder, L"cache");
    WriteAppIniString(L"KWDoc", L"CacheDataFolder", root.c_str());
    std::wstring archive = PutFile(scope.folder, L"box.tarc", "not listed here");
    CKWDoc& doc = scope.Document();
    VyxCacheIndex index(root.c_str());
    const CString folderFile = index.GetConfigFileName(scope.folder.Path().c_str(), L"");
    const CString archiveFile = index.GetConfigFileName(scope.folder.Path().c_str(), L"box.tarc");
    ASSERT_NE(folderFile, archiveFile);
    SaveLayout(folderFile, OwnLayout(doc, 120, 0x111111));
    SaveLayout(archiveFile, OwnLayout(doc, 130, 0x222222));
    const CVirtualFolder location(archive.c_str(), archive.c_str(), 2);

    scope.Open(location);
    EXPECT_EQ(CSize(130, 130), doc.GetThumbsSize());

    DeleteFileW(archiveFile);
    scope.Open(location);
    EXPECT_EQ(CSize(120, 120), doc.GetThumbsSize());
    EXPECT_EQ(0x111111u, doc.colBackGround);
}

TEST(DocumentLayout, SavingAFolderLayoutWritesTheCurrentOne)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    scope.Open();
    doc.SetThumbsSize(111, 222);
    doc.Shadow = 2;

    doc.SaveFolderLayout();

    EXPECT_FALSE(doc.IsUpdating());
    THUMBSDATA record = {};
    ASSERT_EQ(1, VyxConfig((scope.folder / L"_CONFIG_.KWI").c_str()).Load(record, L"ThumbsData"));
    EXPECT_EQ(CSize(111, 222), CSize(record.ThumbsSize));
    EXPECT_EQ(2, record.Shadow);
    EXPECT_STREQ(L"$(FileName)", record.NameFormat);
}

TEST(DocumentLayout, AProgramLayoutRepaintsOnlyWhenTheCellsLookDifferent)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "data");
    CKWDoc& doc = scope.Document();
    scope.Open();

    struct Case
    {
        const char* change;
        void (*apply)(THUMBSDATA&);
        bool repaint;
    } cases[] = {
        {"scale step", [](THUMBSDATA& r) { r.ScaleStep = 40; }, false},
        {"limit size",
         [](THUMBSDATA& r) {
             r.ThumbsLimitSize = SIZE{30, 30};
         },
         false},
        {"unsharp level, unsharp off", [](THUMBSDATA& r) { r.UnsharpLevel = 0.8; }, false},
        {"frame", [](THUMBSDATA& r) { r.Frame = TRUE; }, true},
        {"selection colour", [](THUMBSDATA& r) { r.colSelectCheck = 0x00FF00; }, true},
        {"font", [](THUMBSDATA& r) { r.font.lfHeight = -30; }, true},
        {"name format", [](THUMBSDATA& r) { wcscpy(r.NameFormat, L"$(Name)"); }, true},
    };
    doc.Unsharp = false;
    for (const Case& c : cases) {
        THUMBSDATA record = {};
        doc.GetLayout(&record);
        c.apply(record);
        scope.view.heard.clear();
        doc.ApplyLayout(record);
        EXPECT_EQ(c.repaint, scope.view.heard == std::vector<std::wstring>{L"0"}) << c.change;
        EXPECT_EQ(c.repaint, !scope.view.heard.empty()) << c.change;
        THUMBSDATA now = {};
        doc.GetLayout(&now);
        EXPECT_EQ(0, memcmp(&now, &doc.GetOwnLayout(), sizeof(now))) << c.change;
    }
    // Everything was taken over, saved and pushed into the items.
    EXPECT_EQ(40, doc.GetScaleStep());
    EXPECT_EQ(L"40", std::wstring(GetAppIniString(L"KWDoc", L"ScaleStep", L"")));
    EXPECT_EQ(L"$(Name)", std::wstring(GetAppIniString(L"VyxFile", L"NameFormat", L"")));
    VyxFile* item = doc.GetItem(0);
    EXPECT_TRUE(item->GetFrame());
    EXPECT_EQ(0x00FF00u, item->colSelectCheck);
    EXPECT_EQ(-30, item->GetFont().lfHeight);
    EXPECT_EQ(CString(L"$(Name)"), item->GetNameFormat());
}

TEST(DocumentLayout, ANameFormatLongerThanTheRecordIsCutToIt)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    doc.NameFormat = CString(L'x', 300);
    THUMBSDATA record = {};
    doc.GetLayout(&record);
    EXPECT_EQ(255u, wcslen(record.NameFormat));
}
