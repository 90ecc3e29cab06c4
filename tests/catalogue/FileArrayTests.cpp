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

TEST(FileArray, FindTakesTheItemSpelledExactlySoBeforeOneDifferingOnlyInCase)
{
    ThreeItems f;
    VyxFile* twin = Items::Plain(L"C:\\A\\A.jpg");
    f.array.Add(twin);
    // From c the walk meets "A.jpg" before it wraps to "a.jpg".
    EXPECT_EQ(f.a, f.array.Find(L"C:\\A\\a.jpg", L"", 2));
    EXPECT_EQ(twin, f.array.Find(L"C:\\A\\A.jpg", L"", 0));
    EXPECT_EQ(f.b, f.array.Find(L"C:\\A\\B.JPG", L"", 0));
    EXPECT_EQ(nullptr, f.array.Find(L"C:\\A\\B.JPG", L"", 0, true));
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

namespace {

std::vector<VyxFile*> Walk(VyxFileArray& array, SelectedFilter filter, int start = 0)
{
    std::vector<VyxFile*> seen;
    for (VyxFile* item : array.Selected(filter, start))
        seen.push_back(item);
    return seen;
}

} // namespace

TEST(FileArray, SelectedWalksFilterByArchiveAndDiskInViewOrder)
{
    ThreeItems f; // a, b, c name files that are not there
    VyxFile* member = f.Member("m.jpg");
    VyxFile* folder = Items::Plain(f.folder.Path().c_str());
    VyxFile* present = Items::Plain(PutFile(f.folder, L"p.jpg", "JPEG").c_str());
    VyxFile* presentUnselected = Items::Plain(PutFile(f.folder, L"q.jpg", "JPEG").c_str());
    for (VyxFile* item : {member, folder, present, presentUnselected})
        f.array.Add(item);
    // View order differs from storage order: present, a, member, b, folder, c, q.
    const int order[] = {5, 0, 3, 1, 4, 2, 6};
    for (int position = 0; position < 7; ++position)
        f.array.SetOrderEntry(position, order[position]);
    for (int position : {0, 1, 2, 4, 5})
        f.array.SetSelected(position, true);

    using V = std::vector<VyxFile*>;
    EXPECT_EQ((V{present, f.a, member, folder, f.c}), Walk(f.array, SelectedFilter::Any));
    EXPECT_EQ((V{present, f.a, folder, f.c}), Walk(f.array, SelectedFilter::OnDisk));
    EXPECT_EQ((V{present, folder}), Walk(f.array, SelectedFilter::Existing));
    EXPECT_EQ((V{f.a, f.c}), Walk(f.array, SelectedFilter::Missing));
    EXPECT_EQ((V{member, folder, f.c}), Walk(f.array, SelectedFilter::Any, 2));
    EXPECT_EQ(V{}, Walk(f.array, SelectedFilter::Any, 7));

    std::vector<int> positions;
    for (SelectedEntry entry : f.array.Selected(SelectedFilter::Existing))
        positions.push_back(entry.position);
    EXPECT_EQ((std::vector<int>{0, 4}), positions);

    EXPECT_FALSE(VyxFileArray::IsSelected(nullptr, SelectedFilter::Any));
    EXPECT_FALSE(VyxFileArray::IsSelected(presentUnselected, SelectedFilter::Existing));
    EXPECT_TRUE(VyxFileArray::IsSelected(member, SelectedFilter::Any));
    EXPECT_FALSE(VyxFileArray::IsSelected(member, SelectedFilter::Missing));
}

TEST(FileArray, SelectedWalkReadsTheArrayAsTheBodyChangesIt)
{
    ThreeItems f;
    VyxFile* d = Items::Plain(L"C:\\A\\d.jpg");
    f.array.Add(d);
    for (int position = 0; position < 4; ++position)
        f.array.SetSelected(position, true);

    // Deselecting a later item skips it; removing the current one moves the next into its
    // place, which the walk passes over as the index loops it stands for did.
    std::vector<VyxFile*> seen;
    for (SelectedEntry entry : f.array.Selected(SelectedFilter::Any)) {
        seen.push_back(entry.item);
        if (entry.item == f.a)
            f.array.SetSelected(entry.position + 1, false);
    }
    EXPECT_EQ((std::vector<VyxFile*>{f.a, f.c, d}), seen);

    seen.clear();
    for (SelectedEntry entry : f.array.Selected(SelectedFilter::Any)) {
        seen.push_back(entry.item);
        f.array.RemoveAt(entry.position);
    }
    EXPECT_EQ((std::vector<VyxFile*>{f.a, f.c}), seen);
    ASSERT_EQ(2, f.array.GetCount());
    EXPECT_EQ(f.b, f.array.GetAt(0));
    EXPECT_EQ(d, f.array.GetAt(1));
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
