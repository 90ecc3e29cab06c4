// A file put in place of another only when whole.
#include <gtest/gtest.h>

#include "common/ChildTest.h"
#include "common/LinkFixture.h"
#include "common/ScratchFolder.h"
#include "common/TwinFiles.h"
#include "foundation/ReplacementFile.h"
#include "foundation/TempMarker.h"

// Hidden and system (a user's or another program's marks on the file) stay with the name, as the
// host's file system keeps them (not the not-indexed mark, which Wine does not store).
TEST(ReplacementFile, TheNewFileKeepsTheMarksTheOldOneCarried)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"_NOTE_.KWI";
    ASSERT_TRUE(ScratchFolder::WriteFile(target, "old"));
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), marks | FILE_ATTRIBUTE_ARCHIVE));
    const DWORD carried = GetFileAttributesW(target.c_str()) & (marks | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_EQ(marks, carried & marks) << "the file system keeps no such marks here";
    ReplacementFile file(target.c_str());
    ASSERT_TRUE(file.Stream());
    std::fputs("new", file.Stream());
    ASSERT_TRUE(file.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(target));
    EXPECT_EQ(carried, GetFileAttributesW(target.c_str()) & (marks | FILE_ATTRIBUTE_ARCHIVE));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ReplacementFile, OnlyAWholeFileTakesThePlaceOfTheOldOneAndKeepsItsHiddenAttribute)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"写真_1.2.jpg";
    ASSERT_TRUE(ScratchFolder::WriteFile(target, "old"));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    {
        // Dropped before it is put in place: the old file stays, nothing beside it.
        ReplacementFile file(target.c_str());
        ASSERT_TRUE(file.Stream());
        std::fputs("half", file.Stream());
    }
    EXPECT_EQ("old", ScratchFolder::ReadFile(target));
    EXPECT_EQ(1u, scratch.Names().size());

    ReplacementFile file(target.c_str());
    ASSERT_TRUE(file.Stream());
    std::fputs("new", file.Stream());
    ASSERT_TRUE(file.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(target));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN), GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(1u, scratch.Names().size());
    EXPECT_FALSE(file.PutInPlace());

    // A file made read-only meanwhile is not replaced, and the new one does not stay beside it;
    // one read-only from the start is refused before anything is written.
    ReplacementFile refused(target.c_str());
    ASSERT_TRUE(refused.Stream());
    std::fputs("other", refused.Stream());
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(refused.PutInPlace());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ("new", ScratchFolder::ReadFile(target));
    EXPECT_EQ(1u, scratch.Names().size());
    ReplacementFile readOnly(target.c_str());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(readOnly.Stream());
    EXPECT_EQ(1u, scratch.Names().size());
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Where the folder is missing no stream is made.
    EXPECT_FALSE(ReplacementFile((scratch / L"missing\\x.jpg").c_str()).Stream());
}

// The first write of a name in a process knows the file there from the clean-up's listing: in any
// letter case, read-only and folders refused before anything is written, marks carried.
TEST(ReplacementFile, TheFirstWriteOfANameKnowsTheFileThereInAnyLetterCase)
{
    ScratchFolder scratch;
    const std::wstring locked = scratch / L"Locked_1.2.JPG";
    ASSERT_TRUE(ScratchFolder::WriteFile(locked, "kept"));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"album~&").c_str(), nullptr));
    const std::wstring noted = scratch / L"_Note_.KWI";
    ASSERT_TRUE(ScratchFolder::WriteFile(noted, "old"));
    ASSERT_TRUE(SetFileAttributesW(noted.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::set<std::wstring> before = scratch.Names();

    for (const wchar_t* refusedName : {L"locked_1.2.jpg", L"ALBUM~&"}) {
        SCOPED_TRACE(std::wstring(refusedName));
        ReplacementFile refused((scratch / refusedName).c_str());
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
        EXPECT_FALSE(refused.Stream());
        EXPECT_EQ(before, scratch.Names());
    }
    EXPECT_EQ("kept", ScratchFolder::ReadFile(locked));

    ReplacementFile note((scratch / L"_NOTE_.kwi").c_str());
    ASSERT_TRUE(note.Write("new", 3));
    ASSERT_TRUE(note.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(noted));
    EXPECT_NE(0u, GetFileAttributesW(noted.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ReplacementFile fresh((scratch / L"fresh.jpg").c_str());
    ASSERT_TRUE(fresh.Write("made", 4));
    ASSERT_TRUE(fresh.PutInPlace());
    EXPECT_EQ("made", ScratchFolder::ReadFile(scratch / L"fresh.jpg"));
    EXPECT_EQ(before.size() + 1, scratch.Names().size());
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(noted.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Beside twins in another letter case (as files brought from another system stand under Wine) the
// name spelled exactly so decides: a writable file is replaced though a folder twin is listed
// after it, a read-only one refused though a writable twin is (Wine lists capitals first).
TEST(ReplacementFile, TheFirstWriteOfANameGoesByTheNameSpelledExactlySo)
{
    ScratchFolder scratch;
    const std::wstring picture = scratch / L"PIC_1.2.JPG", locked = scratch / L"LOCK~&.JPG";
    ASSERT_TRUE(ScratchFolder::WriteFile(picture, "old"));
    ASSERT_TRUE(twinfiles::PutTwinFolder(scratch.Path(), L"pic_1.2.jpg"));
    ASSERT_TRUE(ScratchFolder::WriteFile(locked, "kept"));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(twinfiles::PutTwin(scratch.Path(), L"lock~&.jpg", "twin"));
    const std::set<std::wstring> before = scratch.Names();

    ReplacementFile file(picture.c_str());
    ASSERT_TRUE(file.Write("new", 3));
    ASSERT_TRUE(file.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(picture));

    ReplacementFile refused(locked.c_str());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(refused.Stream());
    EXPECT_EQ("kept", ScratchFolder::ReadFile(locked));
    EXPECT_EQ(before, scratch.Names());
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A writer ended as a crash ends it (nothing of its own clean-up runs), while it writes or once its
// file is whole but not yet in place: the file stays as it was, and the next write of it leaves
// that file alone in the folder, whatever the writer's bytes were.
TEST(ReplacementFile, WhatAWriterKilledBeforeItsFileWasInPlaceLeftGoesAtTheNextWrite)
{
    for (const wchar_t* stage : {L"writing", L"finished"}) {
        SCOPED_TRACE(std::wstring(stage));
        ScratchFolder scratch;
        const std::wstring target = scratch / L"写真.jpg";
        ASSERT_TRUE(ScratchFolder::WriteFile(target, "old"));
        {
            ChildTest writer("ReplacementFileWriter.DISABLED_WritesUntilEnded",
                             {{L"VYX_REPLACED", target}, {L"VYX_REPLACED_STAGE", stage}}, {L"written"});
            ASSERT_TRUE(writer.Started());
            ASSERT_TRUE(writer.WaitFor(L"written", 120000));
            writer.Kill();
        }
        EXPECT_EQ("old", ScratchFolder::ReadFile(target));
        ASSERT_LT(1u, scratch.Names().size());

        ReplacementFile next(target.c_str());
        ASSERT_TRUE(next.Write("new", 3));
        ASSERT_TRUE(next.PutInPlace());
        EXPECT_EQ("new", ScratchFolder::ReadFile(target));
        EXPECT_EQ(std::set<std::wstring>{L"写真.jpg"}, scratch.Names());
    }
}

// The writer the test above ends: two megabytes of a picture's bytes, on the disk, whole at the
// second stage, and it waits to be ended.
TEST(ReplacementFileWriter, DISABLED_WritesUntilEnded)
{
    if (!ChildTest::IsChild())
        return;
    const std::wstring target = ChildTest::Setting(L"VYX_REPLACED");
    ReplacementFile file(target.c_str());
    ASSERT_TRUE(file.Stream());
    const std::string bytes(2 << 20, 'p');
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
    if (ChildTest::Setting(L"VYX_REPLACED_STAGE") == L"finished")
        ASSERT_TRUE(file.Finish());
    else
        ASSERT_EQ(0, std::fflush(file.Stream()));
    ChildTest::Signal(L"written");
    Sleep(INFINITE);
}

// The clean-up of a note file's temporaries meets a host link of a temporary's name whose file,
// elsewhere, carries a dead writer's mark: Wine shows such a link as that file, attributes and
// all. The link stays, and the file it leads to stays read-only and whole.
TEST(ReplacementFile, TheCleanUpBesideAFileLeavesALinkAndWhatItLeadsTo)
{
    const std::wstring links = FixtureTemporaryLinks(L"notes", L"_NOTE_.KWI.0000AB01.tmp");
    ASSERT_FALSE(links.empty()) << "no host link: run through ctest, whose fixture makes it";
    const std::wstring elsewhere = FixtureMarked(L"note.tmp");
    const std::string dead = TempMarker::MakeFor(0x0FFFFFF0, FILETIME{1, 1}) + "elsewhere";
    SetFileAttributesW(elsewhere.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(ScratchFolder::WriteFile(elsewhere, dead));
    ASSERT_TRUE(SetFileAttributesW(elsewhere.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(0, ReplacementFile::RemoveLeftoversBeside((links + L"\\_NOTE_.KWI").c_str()));
    EXPECT_EQ(dead, ScratchFolder::ReadFile(elsewhere));
    EXPECT_EQ(dead, ScratchFolder::ReadFile(links + L"\\_NOTE_.KWI.0000AB01.tmp"));
    EXPECT_NE(0u, GetFileAttributesW(elsewhere.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(elsewhere.c_str(), FILE_ATTRIBUTE_NORMAL);
}
