// The tests' own removal of their scratch trees: everything inside goes, and nothing a link in
// the tree names is touched.
#include "common/LinkFixture.h"
#include "common/ScratchFolder.h"
#include "common/ScratchTree.h"

#include <gtest/gtest.h>

namespace {

TEST(ScratchTree, RemovesNestedFoldersReadOnlyFilesAndNamesEndingInADot)
{
    ScratchFolder scratch(L"tree");
    const std::wstring tree = scratch / L"tree";
    ASSERT_TRUE(CreateDirectoryW(tree.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((tree + L"\\a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((tree + L"\\a\\b").c_str(), nullptr));
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\a\\b\\deep.txt", "deep"));
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\locked.txt", "locked"));
    ASSERT_TRUE(SetFileAttributesW((tree + L"\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    // Reached only in the "\\?\" form, inside a folder reached that way too.
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + tree + L"\\dot.").c_str(), nullptr));
    ASSERT_TRUE(ScratchFolder::WriteFile(L"\\\\?\\" + tree + L"\\dot.\\blank ", "blank"));

    RemoveTree(tree);

    EXPECT_FALSE(ScratchFolder::Exists(tree));
}

TEST(ScratchTree, NeverEntersNorRemovesALinkedFolder)
{
    // A tree holding a host link made by the run's fixture: the test means nothing without one.
    const std::wstring tree = FixtureLinkTree(L"platform");
    ASSERT_FALSE(tree.empty()) << "no host link: run through ctest, whose fixture makes it";
    ASSERT_TRUE(ScratchFolder::Exists(FixtureKeptFile()));
    ASSERT_TRUE(CreateDirectoryW((tree + L"\\x").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(ScratchFolder::WriteFile(tree + L"\\x\\1.txt", "1"));

    RemoveTree(tree);

    EXPECT_TRUE(ScratchFolder::Exists(FixtureKeptFile()));
    EXPECT_TRUE(IsLinkedFolderThere(tree + L"\\link"));
    EXPECT_FALSE(ScratchFolder::Exists(tree + L"\\x"));
}

} // namespace
