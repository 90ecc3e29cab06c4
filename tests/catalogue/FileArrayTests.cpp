#include "CatalogueTestUtil.h"

#include "catalogue/VyxFileArray.h"

using namespace cataloguetest;

namespace {

// Items for the array: plain paths (nothing on disk needed) and archive members.
struct Items
{
    ScratchFolder folder{L"array"};
    std::wstring archive = PutFile(folder, L"box.tarc", "TARC");

    static VyxFile* Plain(const wchar_t* path) { return new VyxFile(path); }
    VyxFile* Member(const char* name)
    {
        SPIFileInfo record = MemberRecord("", name, 10, 0);
        return NewMemberItem(archive, record);
    }
};

// An array of three plain items a, b, c in storage and view order.
struct ThreeItems : Items
{
    VyxFileArray array;
    VyxFile* a = Plain(L"C:\\A\\a.jpg");
    VyxFile* b = Plain(L"C:\\A\\b.jpg");
    VyxFile* c = Plain(L"C:\\A\\c.jpg");
    ThreeItems()
    {
        EXPECT_EQ(0, array.Add(a));
        EXPECT_EQ(1, array.Add(b));
        EXPECT_EQ(2, array.Add(c));
    }
};

} // namespace

TEST(FileArray, RemovalMovesLaterPositionsUpAndNeverReturnsTheDeletedItem)
{
    ThreeItems f;
    EXPECT_EQ(nullptr, f.array.GetAt(-1));
    EXPECT_EQ(nullptr, f.array.GetAt(3));
    EXPECT_EQ(-1, f.array.GetOrderEntry(3));
    EXPECT_EQ(0, f.array.RemoveAt(3));
    ASSERT_EQ(f.a, f.array.GetAt(0)); // remembered
    f.array.SetSelected(0, true);
    EXPECT_EQ(1, f.array.RemoveAt(0));
    EXPECT_EQ(2, f.array.GetCount());
    EXPECT_EQ(3, f.array.GetItemCount());
    EXPECT_EQ(nullptr, f.array.GetItem(0));
    EXPECT_EQ(f.b, f.array.GetAt(0));
    EXPECT_EQ(f.c, f.array.GetAt(1));
    EXPECT_EQ(0, f.array.GetSelectedCount(false));
    EXPECT_EQ(0, f.array.GetSelectedOutsideArchivesCount(false));
}

TEST(FileArray, FindWrapsIgnoresCaseAndRemembersTheFoundItem)
{
    ThreeItems f;
    EXPECT_EQ(f.a, f.array.Find(L"c:\\a\\A.JPG", L"", 7));
    EXPECT_EQ(f.a, f.array.Find(L"C:\\A\\a.jpg", nullptr, 2));
    EXPECT_EQ(nullptr, f.array.Find(L"C:\\A\\a.jpg", L"C:\\box.zip", 0));
    EXPECT_EQ(f.c, f.array.FindItem(f.c, -4));
    EXPECT_EQ(2, f.array.IndexOf(f.c, 0)); // the remembered lookup
    EXPECT_EQ(1, f.array.IndexOf(f.b, 2));
    VyxFile stranger(L"C:\\A\\a.jpg");
    EXPECT_EQ(-1, f.array.IndexOf(&stranger, 0));
}

TEST(FileArray, SelectionCountsSeparateArchiveMembers)
{
    ThreeItems f;
    VyxFile* member = f.Member("m.jpg");
    VyxFile* folder = Items::Plain(f.folder.Path().c_str());
    f.array.Add(member);
    f.array.Add(folder);
    ASSERT_TRUE(folder->IsFolder() && member->IsArchiveMember());

    EXPECT_EQ(1, f.array.SetSelected(3, true));
    EXPECT_EQ(0, f.array.SetSelected(3, true));
    EXPECT_EQ(1, f.array.GetSelectedCount(false));
    EXPECT_EQ(0, f.array.GetSelectedOutsideArchivesCount(false));
    f.array.SetSelected(4, true);
    f.array.SetSelected(0, true);
    EXPECT_EQ(3, f.array.GetSelectedCount(false));
    EXPECT_EQ(2, f.array.GetSelectedOutsideArchivesCount(false));
    EXPECT_EQ(1, f.array.SetSelected(0, false));
    EXPECT_EQ(0, f.array.SetSelected(9, true));

    // Flags set behind the array's back are only seen by a recount.
    f.b->SetFlags(VyxFilexDraw::FlagSelected);
    EXPECT_EQ(2, f.array.GetSelectedCount(false));
    EXPECT_EQ(2, f.array.GetSelectedOutsideArchivesCount(true));
    EXPECT_EQ(3, f.array.GetSelectedCount(true));
}

TEST(FileArray, RemoveMarkedCompactsOnlyAfterSlotsWereEmptied)
{
    ThreeItems f;
    // A sorted view order is kept while nothing is removed.
    f.array.SetOrderEntry(0, 2);
    f.array.SetOrderEntry(2, 0);
    f.array.RemoveMarked();
    EXPECT_EQ(2, f.array.GetOrderEntry(0));
    EXPECT_EQ(f.c, f.array.GetAt(0));

    // An earlier single removal still compacts: the view order becomes the storage order.
    f.array.RemoveAt(1); // b
    f.array.RemoveMarked();
    EXPECT_EQ(2, f.array.GetItemCount());
    EXPECT_EQ(0, f.array.GetOrderEntry(0));
    EXPECT_EQ(1, f.array.GetOrderEntry(1));
    EXPECT_EQ(f.a, f.array.GetAt(0));

    f.array.SetFlagsAll(VyxFilexDraw::FlagMarked);
    f.c->ClearFlags(VyxFilexDraw::FlagMarked);
    f.array.SetSelected(0, true);
    f.array.RemoveMarked();
    EXPECT_EQ(1, f.array.GetCount());
    EXPECT_EQ(f.c, f.array.GetAt(0));
    EXPECT_EQ(0, f.array.GetSelectedCount(false));
}

TEST(FileArray, RewrittenViewOrderForgetsTheRememberedLookup)
{
    ThreeItems f;
    ASSERT_EQ(f.b, f.array.GetAt(1));
    f.array.SetOrderEntry(1, 2);
    f.array.SetOrderEntry(2, 1);
    EXPECT_EQ(f.c, f.array.GetAt(1));
    EXPECT_EQ(1, f.array.IndexOf(f.c, 0));
}

TEST(FileArray, ResetsReachEveryItemAndRemoveAllMayKeepThem)
{
    ThreeItems f;
    f.b->SetLoaderId(4);
    f.b->SetInfoText(L"info");
    f.array.RemoveAt(0);
    f.array.ResetImageAll();
    EXPECT_EQ(-1, f.b->GetLoaderId());
    EXPECT_TRUE(f.b->GetInfoText().IsEmpty());
    f.b->MarkCannotDraw();
    f.c->MarkCannotDraw();
    ASSERT_TRUE(f.c->IsCannotDraw());
    f.array.ResetCantDrawAll();
    EXPECT_FALSE(f.b->IsCannotDraw());
    EXPECT_FALSE(f.c->IsCannotDraw());

    f.array.RemoveAll(false);
    EXPECT_EQ(0, f.array.GetCount());
    EXPECT_EQ(nullptr, f.array.GetAt(0));
    EXPECT_STREQ(L"C:\\A\\b.jpg", f.b->GetPath().GetString()); // still the caller's
    delete f.b;
    delete f.c;
}
