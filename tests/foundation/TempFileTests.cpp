// Temporary files: always new, never a user's entry of the same name.
#include <gtest/gtest.h>

#include "common/ScratchFolder.h"
#include "foundation/ReplacementFile.h"
#include "foundation/TempFile.h"
#include "foundation/TempMarker.h"

#include <algorithm>
#include <vector>

#include <set>

TEST(TempFile, ATemporaryFileIsNewAndEntriesOfTheNamesTriedStayAsTheyWere)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"_NOTE_.KWI";
    CString first;
    HANDLE file = CreateTempFileBeside(target.c_str(), first);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_EQ(0, first.Find((target + L".").c_str()));
    EXPECT_EQ(first.GetLength() - 4, first.Find(L".tmp"));
    // The names that come next hold the user's files and a folder.
    const unsigned long number = wcstoul(first.Mid(static_cast<int>(target.size()) + 1, 8), nullptr, 16);
    std::set<std::wstring> files;
    CString folder;
    for (unsigned long i = 1; i <= 40; ++i) {
        CString name;
        name.Format(L"%s.%08lX.tmp", target.c_str(), number + i);
        if (i == 1) {
            folder = name;
            ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
        } else {
            files.insert(name.GetString());
            ASSERT_TRUE(ScratchFolder::WriteFile(name.GetString(), "mine"));
        }
    }
    CString made;
    file = CreateTempFileBeside(target.c_str(), made);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_NE(first, made);
    EXPECT_NE(folder, made);
    EXPECT_EQ(0u, files.count(made.GetString())) << made.GetString();
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(folder) & FILE_ATTRIBUTE_DIRECTORY);
    for (const std::wstring& name : files)
        EXPECT_EQ("mine", ScratchFolder::ReadFile(name)) << name;

    // Where the folder is missing, none is made and the platform's reason is kept.
    CString none;
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateUniqueTempFile((scratch / L"missing\\vyx").c_str(), L".avi", none));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_TRUE(none.IsEmpty());
}

// ---------------------------------------------------------------- marked temporaries

namespace {

FILETIME Started(HANDLE process)
{
    FILETIME started = {0, 0};
    TempMarker::StartOf(process, started);
    return started;
}

} // namespace

TEST(ReplacementFile, AFileIsWrittenWholeUnderItsTemporaryNameAndThenPutInPlace)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"_NOTE_.KWI";
    ASSERT_TRUE(ScratchFolder::WriteFile(target, "old"));
    std::string before = "old";
    for (const std::string& bytes : {std::string("short"), std::string(), std::string(100000, 'x') + "end"}) {
        ReplacementFile file;
        ASSERT_TRUE(file.Create(target.c_str()));
        EXPECT_EQ(0, file.GetPath().Find((target + L".").c_str()));
        // Written in pieces.
        for (size_t at = 0; at < bytes.size(); at += 7)
            ASSERT_TRUE(file.Write(bytes.data() + at, std::min<size_t>(7, bytes.size() - at)));
        ASSERT_TRUE(file.Finish());
        EXPECT_EQ(bytes, ScratchFolder::ReadFile(file.GetPath().GetString()));
        EXPECT_EQ(before, ScratchFolder::ReadFile(target)) << bytes.size();
        ASSERT_TRUE(file.PutInPlace());
        EXPECT_EQ(bytes, ScratchFolder::ReadFile(target));
        before = bytes;
    }
    // Given up: the temporary goes and the file stays.
    {
        ReplacementFile file;
        ASSERT_TRUE(file.Create(target.c_str()));
        file.Write("abc", 3);
    }
    EXPECT_EQ(std::string(100000, 'x') + "end", ScratchFolder::ReadFile(target));
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((scratch / L"*.tmp").c_str(), &data);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// What stands beside a file under a temporary's name goes only when the program's mark inside
// shows it as a temporary of a writer that no longer uses it.
TEST(ReplacementFile, ALeftoverBesideAFileGoesOnlyWhenItsMarkIsOfAWriterThatHasEnded)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"_THUMBS_.KWI";
    const FILETIME self = Started(GetCurrentProcess()), long_ago = {1, 1};
    const std::string body(100, 'b');
    struct Entry
    {
        const wchar_t* name;
        std::string bytes;
        bool goes;
    };
    const std::vector<Entry> entries = {
        {L"_THUMBS_.KWI.0000AB01.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago) + body, true},
        // A later process took over the id of the one that wrote it.
        {L"_THUMBS_.KWI.0000AB02.tmp", TempMarker::MakeFor(GetCurrentProcessId(), long_ago) + body, true},
        // This process's own, no longer in use.
        {L"_thumbs_.kwi.0000ab03.TMP", TempMarker::Make() + body, true},
        // This process's own, being written.
        {L"_THUMBS_.KWI.0000AB04.tmp", TempMarker::MakeFor(GetCurrentProcessId(), self) + body, false},
        // A user's files of the names, and one that only looks like the mark.
        {L"_THUMBS_.KWI.0000AB05.tmp", "the user's own file", false},
        {L"_THUMBS_.KWI.0000AB06.tmp", std::string(), false},
        {L"_THUMBS_.KWI.0000AB07.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago).substr(0, 20), false},
        {L"_THUMBS_.KWI.0000AB08.tmp", "x" + TempMarker::MakeFor(0x0FFFFFF0, long_ago), false},
        // Names of other forms, or beside another file.
        {L"_THUMBS_.KWI.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago), false},
        {L"_THUMBS_.KWI.0000AB0.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago), false},
        {L"_THUMBS_.KWI.0000AB0Z.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago), false},
        {L"_NOTE_.KWI.0000AB09.tmp", TempMarker::MakeFor(0x0FFFFFF0, long_ago), false},
    };
    for (const Entry& entry : entries)
        ASSERT_TRUE(ScratchFolder::WriteFile(scratch / entry.name, entry.bytes));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"_THUMBS_.KWI.0000AB10.tmp").c_str(), nullptr));
    TempMarker::Hold((scratch / L"_THUMBS_.KWI.0000AB04.tmp").c_str(), true);

    EXPECT_EQ(3, ReplacementFile::RemoveLeftoversBeside(target.c_str()));
    TempMarker::Hold((scratch / L"_THUMBS_.KWI.0000AB04.tmp").c_str(), false);
    for (const Entry& entry : entries) {
        SCOPED_TRACE(std::wstring(entry.name));
        EXPECT_EQ(!entry.goes, ScratchFolder::Exists(scratch / entry.name));
        if (!entry.goes) {
            EXPECT_EQ(entry.bytes, ScratchFolder::ReadFile(scratch / entry.name));
        }
    }
    EXPECT_TRUE(ScratchFolder::Exists(scratch / L"_THUMBS_.KWI.0000AB10.tmp"));

    // One being written is this process's own, held while it is: the clean-up leaves it.
    ReplacementFile file;
    ASSERT_TRUE(file.Create(target.c_str()));
    ASSERT_TRUE(file.Write(body.data(), body.size()));
    const std::string mark = TempMarker::Make();
    DWORD process = 0;
    FILETIME started;
    ASSERT_TRUE(TempMarker::Read(mark.data(), mark.size(), process, started));
    EXPECT_EQ(GetCurrentProcessId(), process);
    EXPECT_EQ(0, CompareFileTime(&self, &started));
    const CString path = file.GetPath();
    EXPECT_FALSE(TempMarker::IsLeft(mark.data(), mark.size(), path));
    file.Discard();
    EXPECT_TRUE(TempMarker::IsLeft(mark.data(), mark.size(), path));
}
