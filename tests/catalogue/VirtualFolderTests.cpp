#include "catalogue/CVirtualFolderList.h"
#include "catalogue/VyxFile.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(VirtualFolder, JoinsAndSplitsAtTheFirstSlashOnly)
{
    EXPECT_STREQ(L"C:\\a.zip", CVirtualFolderList::JoinPath(L"C:\\a.zip", L"").GetString());
    EXPECT_STREQ(L"C:\\a.zip/sub/b", CVirtualFolderList::JoinPath(L"C:\\a.zip", L"sub/b").GetString());

    CVirtualFolder inside(L"C:\\a.zip", L"sub/b", L"C:\\temp\\b");
    EXPECT_EQ(CVirtualFolder::KindArchiveLocation, inside.GetKind());
    CString container, inner;
    inside.SplitPath(container, inner);
    EXPECT_STREQ(L"C:\\a.zip", container.GetString());
    EXPECT_STREQ(L"sub/b", inner.GetString());

    CVirtualFolder plain(L"C:\\pictures", L"C:\\pictures", CVirtualFolder::KindPlainFolder);
    plain.SplitPath(container, inner);
    EXPECT_STREQ(L"C:\\pictures", container.GetString());
    EXPECT_TRUE(inner.IsEmpty());
}

TEST(VirtualFolder, RegisterFindsFirstEntriesAndResolvesRealPathsWithoutCase)
{
    CVirtualFolderList list;
    list.AddPath(L"C:\\a.zip", L"C:\\nowhere\\x1");
    list.Add(L"C:\\a.zip", L"sub", L"C:\\nowhere\\x1\\sub");
    list.Add(L"C:\\b.zip", L"sub", L"C:\\nowhere\\x1\\sub"); // no duplicate check
    ASSERT_EQ(3, list.GetCount());
    EXPECT_EQ(CVirtualFolder::KindArchiveFile, list.FindPath(L"c:\\A.ZIP")->GetKind());
    EXPECT_STREQ(L"C:\\a.zip/sub", list.FindRealPath(L"c:\\NOWHERE\\x1\\SUB")->GetPath().GetString());
    EXPECT_EQ(nullptr, list.FindPath(L"C:\\c.zip"));

    EXPECT_STREQ(L"C:\\a.zip/sub", list.ResolvePath(L"C:\\Nowhere\\X1\\Sub").GetString());
    EXPECT_STREQ(L"C:\\elsewhere", list.ResolvePath(L"C:\\elsewhere").GetString());

    // Items read from an extracted copy are filed under the location the user knows.
    VyxFile item(L"C:\\Nowhere\\X1\\sub\\pic.jpg");
    EXPECT_STREQ(L"C:\\Nowhere\\X1\\sub", item.GetResolvedFolder().GetString());
    VyxFilexInfo::SetVirtualFolders(&list);
    EXPECT_STREQ(L"C:\\a.zip/sub", item.GetResolvedFolder().GetString());
    VyxFilexInfo::SetVirtualFolders(nullptr);
}

TEST(VirtualFolder, ClearRemovesExtractedCopiesAndToleratesVanishedOnes)
{
    ScratchFolder root(L"vfolders");
    std::wstring extracted = root / L"x1";
    CreateDirectoryW(extracted.c_str(), nullptr);
    CreateDirectoryW((extracted + L"\\sub").c_str(), nullptr);
    ScratchFolder::WriteFile(extracted + L"\\sub\\pic.jpg", "data");
    ScratchFolder::WriteFile(extracted + L"\\top.jpg", "data");
    {
        CVirtualFolderList list;
        list.AddPath(L"C:\\a.zip", extracted.c_str());
        list.Add(L"C:\\a.zip", L"sub", (extracted + L"\\sub").c_str());
        list.AddPath(L"C:\\gone.zip", (root / L"never made").c_str());
        list.Clear();
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_FALSE(ScratchFolder::Exists(extracted));

        CreateDirectoryW(extracted.c_str(), nullptr);
        list.AddPath(L"C:\\a.zip", extracted.c_str());
    }
    EXPECT_FALSE(ScratchFolder::Exists(extracted)); // the destructor clears too
    EXPECT_TRUE(ScratchFolder::Exists(root.Path()));
}
