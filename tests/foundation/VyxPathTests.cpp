#include "foundation/VyxPath.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxFileUtil.h"

#include "common/PageEdge.h"
#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VyxPath, GetPathPartJoinsTheChosenParts)
{
    struct Row
    {
        const wchar_t* path;
        int mask;
        const wchar_t* expected;
    } rows[] = {
        {L"C:\\a\\b.txt", 3, L"C:\\a"},
        {L"C:\\a\\b.txt", 2, L"\\a\\"},
        {L"C:\\a\\b.txt", 12, L"b.txt"},
        {L"C:\\a\\b.txt", 4, L"b"},
        {L"C:\\a\\b.txt", 8, L".txt"},
        {L"C:\\a\\b.txt", 1, L"C:"},
        {L"C:\\a\\b.txt", 7, L"C:\\a\\b"},
        {L"C:\\", 3, L"C:"},
        {L"\\\\srv\\share\\x\\y.z", 1, L"\\\\srv\\share"},
        {L"\\\\srv\\share\\x\\y.z", 3, L"\\\\srv\\share\\x"},
        {L"\\\\srv\\share", 1, L"\\\\srv\\share"},
        {L"a/b/c.tar.gz", 2, L"a/b/"},
        {L"a/b/c.tar.gz", 4, L"c.tar"},
        {L".profile", 4, L""},
        {L".profile", 8, L".profile"},
        {L"name", 12, L"name"},
        {L"", 15, L""},
    };
    for (const Row& row : rows) {
        CString out;
        EXPECT_STREQ(row.expected, GetPathPart(out, row.path, row.mask)) << row.path << " mask " << row.mask;
    }
}

TEST(VyxPath, TheNamedMasksAndTheValueFormAnswerAsTheNumbersDo)
{
    CString out;
    EXPECT_STREQ(GetPathPart(out, L"C:\\a\\b.txt", 3), PathPart(L"C:\\a\\b.txt", PartFolder));
    EXPECT_STREQ(L"b.txt", PathPart(L"C:\\a\\b.txt", PartFileName));
    EXPECT_STREQ(L"C:\\a\\b", PathPart(L"C:\\a\\b.txt", PartDrive | PartDir | PartName));
}

// The one answer for the root of a path: a path without a drive or share has none.
TEST(VyxPath, ThePathRootIsTheDriveOrShareRootAndEmptyWithoutEither)
{
    struct Row
    {
        const wchar_t* path;
        const wchar_t* root;
    };
    const Row rows[] = {{L"\\\\server\\share\\photos\\2024", L"\\\\server\\share\\"},
                        {L"\\\\server\\share", L"\\\\server\\share\\"},
                        {L"C:\\photos", L"C:\\"},
                        {L"c:\\photos\\a.jpg", L"C:\\"},
                        {L"z:", L"Z:\\"},
                        {L"d:relative", L"D:\\"},
                        {L"relative\\path", L""},
                        {L"\\rooted\\without\\drive", L""},
                        {L"1:\\x", L""},
                        {L"", L""}};
    for (const Row& row : rows)
        EXPECT_STREQ(row.root, PathRoot(row.path)) << row.path;
    EXPECT_STREQ(L"", PathRoot(nullptr));
}

TEST(VyxPath, SplittingAVeryLongUncPrefixNeverFails)
{
    std::wstring path = L"\\\\" + std::wstring(400, L's') + L"\\" + std::wstring(300, L'h') + L"\\dir\\f.txt";
    CString drive, dir, name, ext;
    SplitPathEx(path.c_str(), drive, dir, name, ext);
    EXPECT_EQ(2 + 400 + 1 + 300, drive.GetLength());
    EXPECT_STREQ(L"\\dir\\", dir);
    EXPECT_STREQ(L"f", name);
    EXPECT_STREQ(L".txt", ext);

    wchar_t smallDrive[8], smallDir[4], smallName[16], smallExt[3];
    SplitPath(path.c_str(), smallDrive, 8, smallDir, 4, smallName, 16, smallExt, 3);
    EXPECT_STREQ(L"\\\\sssss", smallDrive); // cut and terminated
    EXPECT_STREQ(L"\\di", smallDir);
    EXPECT_STREQ(L"f", smallName);
    EXPECT_STREQ(L".t", smallExt);
}

TEST(VyxPath, MakePathInsertsOneSeparatorWhereNeeded)
{
    struct Row
    {
        const wchar_t *drive, *dir, *name, *ext, *expected;
    } rows[] = {
        {L"C:", L"\\dir", L"f", L".txt", L"C:\\dir\\f.txt"},
        {L"C:", L"\\dir\\", L"f", L".txt", L"C:\\dir\\f.txt"},
        {nullptr, L"dir/", L"f", nullptr, L"dir/f"},
        {L"C:", L"\\dir", L"", nullptr, L"C:\\dir"},
        {nullptr, nullptr, L"f", L".x", L"f.x"},
        {L"C:", nullptr, L"f", nullptr, L"C:\\f"},
        {nullptr, nullptr, nullptr, nullptr, L""},
    };
    for (const Row& row : rows) {
        CString out;
        EXPECT_STREQ(row.expected, MakePath(out, row.drive, row.dir, row.name, row.ext));
    }
    CString out;
    wchar_t buffer[6];
    MakePathB(out, buffer, 6, L"C:", L"\\dir", L"f", nullptr);
    EXPECT_STREQ(L"C:\\dir\\f", out);
    EXPECT_STREQ(L"C:\\di", buffer);
}

TEST(VyxPath, SeparatorsAreAddedAndRemovedOnce)
{
    CString out;
    EXPECT_STREQ(L"C:", RemovePathSeparator(out, L"C:\\"));
    EXPECT_STREQ(L"a/", RemovePathSeparator(out, L"a//"));
    EXPECT_STREQ(L"a", RemovePathSeparator(out, L"a"));
    EXPECT_STREQ(L"\\", AppendPathSeparator(out, L""));
    EXPECT_STREQ(L"\\", AppendPathSeparator(out, nullptr));
    EXPECT_STREQ(L"a/", AppendPathSeparator(out, L"a/"));
    EXPECT_STREQ(L"a\\", AppendPathSeparator(out, L"a"));
}

TEST(VyxPath, RelativePathWalksUpAndDownIgnoringCase)
{
    CString out;
    EXPECT_TRUE(MakeRelativePath(out, L"C:\\a\\b", L"C:\\A\\c\\d"));
    EXPECT_STREQ(L"..\\c\\d\\", out);
    EXPECT_TRUE(MakeRelativePath(out, L"C:\\a\\b\\", L"C:\\a\\b"));
    EXPECT_STREQ(L"", out);
    EXPECT_TRUE(MakeRelativePath(out, L"C:\\a", L"C:\\a\\x\\y"));
    EXPECT_STREQ(L"x\\y\\", out);
    EXPECT_FALSE(MakeRelativePath(out, L"C:\\a", L"Z:\\a"));
    EXPECT_STREQ(L"Z:\\a", out);
}

TEST(VyxPath, RelativePathThatWouldNotFitIsRefused)
{
    std::wstring deepBase = L"C:\\";
    for (int i = 0; i < 120; ++i)
        deepBase += L"d\\";
    std::wstring target = L"C:\\" + std::wstring(200, L't');
    CString out;
    EXPECT_FALSE(MakeRelativePath(out, deepBase.c_str(), target.c_str())); // 360 + 201 characters
    EXPECT_STREQ(target.c_str(), out);
}

TEST(VyxPath, DriveIndexAndRootAndValidNames)
{
    EXPECT_EQ(0, GetDriveIndex(L"a:\\x"));
    EXPECT_EQ(25, GetDriveIndex(L"Z:"));
    EXPECT_EQ(-1, GetDriveIndex(L"1:\\"));
    EXPECT_EQ(-1, GetDriveIndex(L"\\\\srv\\share"));
    EXPECT_EQ(-1, GetDriveIndex(L""));
    CString root;
    EXPECT_STREQ(L"D:\\", MakeDriveRoot(root, 3));
    EXPECT_STREQ(L"", MakeDriveRoot(root, 26));
    EXPECT_TRUE(IsValidFileName(L"写真 (1).jpg"));
    for (const wchar_t* bad : {L"a:b", L"a<b", L"a>b", L"a\\b", L"a*b", L"a/b", L"a?b", L"a|b"})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
}

TEST(VyxPath, DriveIndexOfAnEmptyTextReadsNothingPastItsEnd)
{
    PageEdge<wchar_t> empty(L"", 1);
    EXPECT_EQ(-1, GetDriveIndex(empty.get()));
}

TEST(VyxPath, ProgramAndTemporaryFolders)
{
    CString program, folder, made, temp, tempFile;
    GetModuleFilePath(program);
    GetModuleFolder(folder);
    EXPECT_EQ(0, program.Find(folder + L"\\"));
    EXPECT_STREQ(program, MakeModulePath(made, program.Mid(folder.GetLength() + 1)));
    GetTempFolder(temp);
    ASSERT_FALSE(temp.IsEmpty());
    EXPECT_EQ(L'\\', temp[temp.GetLength() - 1]);
    EXPECT_STREQ(temp + L"x.tmp", MakeTempPath(tempFile, L"x.tmp"));
    CString windows;
    GetSpecialFolderPath(windows, CSIDL_WINDOWS);
    EXPECT_EQ(0, windows.CompareNoCase(L"C:\\windows"));
}

TEST(VyxPath, ExistenceTellsFilesFromFolders)
{
    ScratchFolder scratch;
    std::wstring file = scratch / L"f.txt";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    EXPECT_FALSE(PathExists(scratch.Path().c_str(), 0));
    EXPECT_TRUE(PathExists(scratch.Path().c_str(), FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(PathExists((scratch.Path() + L"\\").c_str(), FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(PathExists(file.c_str(), 0));
    EXPECT_FALSE(PathExists(file.c_str(), FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(PathExists((scratch / L"none").c_str(), 0));
}

TEST(VyxPath, TheNamedMasksAskForAFileOrForAnyEntry)
{
    ScratchFolder scratch;
    const std::wstring file = scratch / L"写真_1.2.jpg", folder = scratch / L"sub.d";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_TRUE(PathExists(file.c_str(), kFileNotFolder));
    EXPECT_FALSE(PathExists(folder.c_str(), kFileNotFolder));
    EXPECT_TRUE(PathExists(file.c_str(), kAnyAttribute));
    EXPECT_TRUE(PathExists(folder.c_str(), kAnyAttribute));
    EXPECT_FALSE(PathExists((scratch / L"none").c_str(), kAnyAttribute));
}

TEST(VyxPath, ExactPathKeepsNamesEndingInADotOrABlank)
{
    const struct
    {
        const wchar_t* path;
        const wchar_t* exact;
    } rows[] = {
        {L"C:\\pictures\\dup.jpg", L"C:\\pictures\\dup.jpg"},
        {L"C:\\pictures\\dup.jpg.", L"\\\\?\\C:\\pictures\\dup.jpg."},
        {L"C:/a b /./x/../dup.jpg ", L"\\\\?\\C:\\a b \\dup.jpg "},
        {L"C:\\..\\dup.", L"\\\\?\\C:\\dup."},
        {L"\\\\server\\share\\..\\x.", L"\\\\?\\UNC\\server\\share\\x."},
        {L"\\\\?\\C:\\dup.", L"\\\\?\\C:\\dup."},
        {L"C:\\pictures\\*.", L"C:\\pictures\\*."}, // a pattern, not a name
        {L"C:\\pictures\\..\\.\\a.jpg", L"C:\\pictures\\..\\.\\a.jpg"},
        {L"C:dup.", L"C:dup."},
        {L"", L""},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(row.exact, ExactPath(row.path).GetString()) << row.path;
    // A relative name is taken from the current directory.
    CString relative = ExactPath(L"dup.");
    EXPECT_EQ(0, relative.Find(L"\\\\?\\"));
    EXPECT_EQ(relative.GetLength() - 5, relative.Find(L"\\dup."));
}

TEST(VyxPath, ANameEndingInADotExistsOnlyAsItselfAndMakesItsOwnStatus)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::WriteFile(L"\\\\?\\" + (scratch / L"only.jpg."), "dotted"));
    EXPECT_TRUE(PathExists((scratch / L"only.jpg.").c_str(), 0));
    EXPECT_FALSE(PathExists((scratch / L"only.jpg").c_str(), 0));
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"only.jpg", "plain, longer"));
    VyxFileStatus status;
    ASSERT_TRUE(status.GetStatus((scratch / L"only.jpg.").c_str()));
    EXPECT_EQ(6u, status.GetSize());
}

TEST(VyxPath, ActualPathNameTakesTheSpellingOnDisk)
{
    ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectoryW((scratch / L"MixedCase").c_str(), nullptr));
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"MixedCase\\File.TXT", "x"));
    CString out;
    std::wstring asked = scratch / L"mixedcase\\file.txt";
    GetActualPathName(out, asked.c_str());
    EXPECT_EQ(0, out.Find(L"C:\\")) << static_cast<const wchar_t*>(out);
    EXPECT_NE(-1, out.Find(L"\\MixedCase\\File.TXT")) << static_cast<const wchar_t*>(out);
    // The walk from the end stops at a missing entry: everything above it stays as given.
    std::wstring missing = scratch / L"mixedcase\\missing\\x.y";
    EXPECT_STREQ(missing.c_str(), GetActualPathName(out, missing.c_str()));
}

TEST(VyxPath, TempNamesNeverNameAnExistingEntry)
{
    ScratchFolder scratch;
    CString first, second;
    MakeTempName(first, scratch.Path().c_str());
    EXPECT_FALSE(ScratchFolder::Exists(static_cast<const wchar_t*>(first)));
    ASSERT_TRUE(ScratchFolder::WriteFile(static_cast<const wchar_t*>(first), ""));
    MakeTempName(second, scratch.Path().c_str());
    EXPECT_STRNE(first, second);
    CString name;
    GetPathPart(name, second, PartFileName);
    EXPECT_EQ(9, name.GetLength());
    EXPECT_EQ(L'$', name[0]);
}

TEST(VyxPath, UniqueTempNameIsANewFolderInVesko)
{
    CString first, second;
    MakeUniqueTempName(first);
    MakeUniqueTempName(second); // very likely in the same tick
    ASSERT_FALSE(first.IsEmpty());
    ASSERT_FALSE(second.IsEmpty());
    EXPECT_STRNE(first, second);
    CString vesko;
    MakeTempPath(vesko, L"Vesko");
    EXPECT_EQ(0, first.Find(vesko + L"\\"));
    EXPECT_TRUE(PathExists(first, FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(PathExists(second, FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryW(first);
    RemoveDirectoryW(second);
    RemoveDirectoryW(vesko); // when nothing else uses it
}

TEST(VyxPath, UniqueTempNameIsEmptyWhenTheFolderCannotBeMade)
{
    wchar_t previous[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TMP", previous, MAX_PATH);
    ScratchFolder scratch;
    std::wstring file = scratch / L"notafolder";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    SetEnvironmentVariableW(L"TMP", file.c_str()); // the temporary folder is a file
    CString path;
    MakeUniqueTempName(path);
    SetEnvironmentVariableW(L"TMP", length ? previous : nullptr);
    EXPECT_STREQ(L"", path);
}

} // namespace
