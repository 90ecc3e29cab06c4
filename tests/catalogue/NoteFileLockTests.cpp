// The note file's lock and the count of its writes: what is shown never waits for a process that
// holds the lock, an object that took the lock's name is named as the cause, and another
// instance's write that the file's stamp hides is still seen and kept.
#include "ThumbnailTestUtil.h"
#include "common/ChildTest.h"

#include "catalogue/NoteFileLock.h"
#include "catalogue/VyxNoteStore.h"
#include "foundation/FileStamp.h"

#include <thread>

using namespace thumbtest;

namespace {

std::wstring IniValue(const std::wstring& file, const wchar_t* section)
{
    wchar_t text[512] = {};
    GetPrivateProfileStringW(section, L"Note", L"<none>", text, 512, file.c_str());
    return text;
}

} // namespace

TEST(NoteFileLock, ANoteIsShownAtOnceWhileAnotherHoldsTheLockForever)
{
    ScratchFolder folder(L"notes");
    const std::wstring noteFile = folder / L"_NOTE_.KWI";
    // Written by another program: no copy of it is kept yet.
    ASSERT_TRUE(ScratchFolder::WriteFile(noteFile, "[held.jpg]\r\nNote=shown at once\r\n"));
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        NoteFileLock lock(noteFile.c_str());
        if (lock.Take(INFINITE))
            SetEvent(taken);
        WaitForSingleObject(release, 300000);
    });
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(taken, 60000));
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    EXPECT_STREQ(L"shown at once", store.ReadNote((folder / L"held.jpg").c_str()));
    SetEvent(release);
    holder.join();
    CloseHandle(taken);
    CloseHandle(release);
}

TEST(NoteFileLock, AnObjectOfTheLocksNameThatIsNoLockIsNamedAsTheCauseOfAFailedWrite)
{
    ScratchFolder folder(L"notes");
    const std::wstring noteFile = folder / L"_NOTE_.KWI";
    const std::wstring path = folder / L"a.jpg";
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, store.WriteNote(path.c_str(), L"before"));
    const CString name = NoteFileLock::NameFor(noteFile.c_str());
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, name);
    ASSERT_NE(nullptr, squatter);

    EXPECT_EQ(VyxNoteStore::NoteFailed, store.WriteNote(path.c_str(), L"after"));
    const DWORD error = GetLastError();
    EXPECT_NE(static_cast<DWORD>(ERROR_TIMEOUT), error);
    const CString text = VyxNoteStore::GetFailureText(error);
    EXPECT_NE(-1, text.Find(name)) << CStringA(text).GetString();
    // What is shown does not need the lock.
    EXPECT_STREQ(L"before", store.ReadNote(path.c_str()));
    EXPECT_EQ(L"before", IniValue(noteFile, L"a.jpg"));

    CloseHandle(squatter);
    EXPECT_EQ(VyxNoteStore::NoteWritten, store.WriteNote(path.c_str(), L"after"));
    EXPECT_EQ(L"after", IniValue(noteFile, L"a.jpg"));
}

// Run by the test below in a second process: another instance writing a note of the same length
// within the same tick of the file time, which leaves the note file's stamp as it was.
TEST(NoteFileOtherInstance, DISABLED_WritesANoteOfTheSameLengthUnderTheSameStamp)
{
    if (!ChildTest::IsChild())
        return;
    const std::wstring folder = ChildTest::Setting(L"VYX_NOTE_FOLDER");
    const std::wstring noteFile = folder + L"\\_NOTE_.KWI";
    FileStamp before;
    ASSERT_TRUE(FileStamp::Read(noteFile.c_str(), before));
    VyxNoteStore store;
    store.SetLocation(folder.c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, store.WriteNote((folder + L"\\x.jpg").c_str(), L"bbbb"));
    HANDLE file = CreateFileW(noteFile.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &before.written));
    CloseHandle(file);
    ChildTest::Signal(L"written");
}

TEST(NoteFileLock, ANoteAnotherInstanceWroteUnderTheSameStampIsShownAndKeptByTheNextWrite)
{
    ScratchFolder folder(L"notes");
    const std::wstring noteFile = folder / L"_NOTE_.KWI";
    const std::wstring x = folder / L"x.jpg";
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, store.WriteNote(x.c_str(), L"aaaa"));
    EXPECT_STREQ(L"aaaa", store.ReadNote(x.c_str()));
    FileStamp before, after;
    ASSERT_TRUE(FileStamp::Read(noteFile.c_str(), before));
    {
        ChildTest other("NoteFileOtherInstance.DISABLED_WritesANoteOfTheSameLengthUnderTheSameStamp",
                        {{L"VYX_NOTE_FOLDER", folder.Path()}}, {L"written"});
        ASSERT_TRUE(other.Started());
        ASSERT_TRUE(other.WaitFor(L"written", 60000));
        EXPECT_EQ(0u, other.Wait(60000));
    }
    ASSERT_TRUE(FileStamp::Read(noteFile.c_str(), after));
    ASSERT_TRUE(before == after);
    ASSERT_EQ(L"bbbb", IniValue(noteFile, L"x.jpg"));

    EXPECT_STREQ(L"bbbb", store.ReadNote(x.c_str()));
    ASSERT_EQ(VyxNoteStore::NoteWritten, store.WriteNote((folder / L"y.jpg").c_str(), L"cccc"));
    EXPECT_EQ(L"bbbb", IniValue(noteFile, L"x.jpg"));
    EXPECT_EQ(L"cccc", IniValue(noteFile, L"y.jpg"));
}
