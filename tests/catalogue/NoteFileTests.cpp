// Note files as whole files: any character kept, sections that belong to one file only, long
// notes, lines nobody changed left byte for byte, one write a folder for a job, and a write that
// stops half-way leaving the old file whole.
#include "ThumbnailTestUtil.h"
#include "common/ChildTest.h"
#include "common/ImportPatch.h"

#include "catalogue/VyxFilexDraw.h"
#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"

#include <algorithm>
#include <stdexcept>

using namespace thumbtest;

namespace {

// What the platform's own settings reader finds.
std::wstring PlatformValue(const std::wstring& file, const wchar_t* section)
{
    std::wstring text(40000, L'\0');
    DWORD length = GetPrivateProfileStringW(section, L"Note", L"<none>", &text[0], 40000, file.c_str());
    text.resize(length);
    return text;
}

struct Notes
{
    explicit Notes(const ScratchFolder& folder) : folder(folder) { store.SetLocation(folder.Path().c_str(), L""); }
    int Write(const std::wstring& name, const wchar_t* text) { return store.WriteNote((folder / name).c_str(), text); }
    CString Read(const std::wstring& name) const { return store.ReadNote((folder / name).c_str()); }
    std::wstring File() const { return folder / L"_NOTE_.KWI"; }

    const ScratchFolder& folder;
    VyxNoteStore store;
};

} // namespace

TEST(NoteFile, NotesAndNamesOutsideCodePage932SurviveInAUnicodeFile)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    ASSERT_EQ(1, notes.Write(L"plain.jpg", L"桜の写真"));
    // While everything fits, the file stays Shift_JIS.
    std::string bytes = ScratchFolder::ReadFile(notes.File());
    EXPECT_NE(std::string::npos, bytes.find("\x8D\xF7\x82\xCC\x8E\xCA\x90\x5E"));
    EXPECT_NE('\xFF', bytes[0]);

    PutFile(folder, L"café.png", "x");
    PutFile(folder, L"cafe.png", "x");
    ASSERT_EQ(1, notes.Write(L"café.png", L"café ☃"));
    ASSERT_EQ(1, notes.Write(L"絵文字😀.jpg", L"😀 と ☃"));
    bytes = ScratchFolder::ReadFile(notes.File());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_STREQ(L"café ☃", notes.Read(L"café.png"));
    EXPECT_STREQ(L"", notes.Read(L"cafe.png"));
    EXPECT_STREQ(L"😀 と ☃", notes.Read(L"絵文字😀.jpg"));
    EXPECT_STREQ(L"桜の写真", notes.Read(L"plain.jpg"));
    EXPECT_EQ(L"café ☃", PlatformValue(notes.File(), L"café.png"));
    EXPECT_EQ(L"<none>", PlatformValue(notes.File(), L"cafe.png"));
    EXPECT_EQ(L"桜の写真", PlatformValue(notes.File(), L"plain.jpg"));

    // Once Unicode, it stays so, even when the notes that needed it go.
    notes.Write(L"café.png", L"");
    notes.Write(L"絵文字😀.jpg", L"");
    EXPECT_EQ("\xFF\xFE", ScratchFolder::ReadFile(notes.File()).substr(0, 2));
    EXPECT_STREQ(L"桜の写真", notes.Read(L"plain.jpg"));
}

TEST(NoteFile, NamesThatShareASectionAreRefusedAndNeverTouchAnotherFilesNote)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    PutFile(folder, L"a{1}.jpg", "x");
    PutFile(folder, L"lead.jpg", "x");
    PutFile(folder, L"keep.jpg", "x");
    ASSERT_EQ(1, notes.Write(L"a{1}.jpg", L"braces"));
    ASSERT_EQ(1, notes.Write(L"lead.jpg", L"plain lead"));
    ASSERT_EQ(1, notes.Write(L"keep.jpg", L"kept"));
    PutFile(folder, L"a[1].jpg", "x");
    PutFile(folder, L" lead.jpg", "x");

    for (const wchar_t* name : {L"a[1].jpg", L"a{1}.jpg", L" lead.jpg", L"lead.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(VyxNoteStore::NoteRefused, notes.Write(name, L"other"));
        EXPECT_EQ(VyxNoteStore::NoteRefused, notes.Write(name, L""));
        EXPECT_STREQ(L"", notes.Read(name));
    }
    EXPECT_EQ(L"braces", PlatformValue(notes.File(), L"a{1}.jpg"));
    EXPECT_EQ(L"plain lead", PlatformValue(notes.File(), L"lead.jpg"));
    EXPECT_STREQ(L"kept", notes.Read(L"keep.jpg"));

    // With the look-alike gone the note is its file's again.
    DeleteFileW((folder / L"a[1].jpg").c_str());
    EXPECT_STREQ(L"braces", notes.Read(L"a{1}.jpg"));
    // Clearing the last note of one file leaves the others and their file.
    EXPECT_EQ(1, notes.Write(L"a{1}.jpg", L""));
    EXPECT_STREQ(L"kept", notes.Read(L"keep.jpg"));
    EXPECT_TRUE(ScratchFolder::Exists(notes.File()));
}

TEST(NoteFile, LongNotesAreReadWholeAndComeBackFromTheItemUncut)
{
    CacheScope scope;
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    std::wstring path = PutFile(folder, L"long.jpg", "x");
    std::wstring text;
    for (int i = 0; text.size() < 7000; ++i)
        text += L"長いメモ" + std::to_wstring(i) + L" ";
    text += L"end";
    // Written by the platform, as older versions did.
    ASSERT_TRUE(WritePrivateProfileStringW(L"long.jpg", L"Note", text.c_str(), notes.File().c_str()));
    EXPECT_EQ(CString(text.c_str()), notes.Read(L"long.jpg"));
    VyxFile item(path.c_str());
    EXPECT_EQ(CString(text.c_str()), item.GetNote());
    item.SetNote(item.GetNote());
    EXPECT_EQ(text, PlatformValue(notes.File(), L"long.jpg"));
}

TEST(NoteFile, NotesWithBlanksAndQuotesAtTheEndsComeBackAsWritten)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    const wchar_t* texts[] = {L"  padded  ", L"\"quoted\"", L"'single'", L"\"", L"=x=", L"[not a section]", L";"};
    for (const wchar_t* text : texts) {
        SCOPED_TRACE(text);
        ASSERT_EQ(1, notes.Write(L"q.jpg", text));
        EXPECT_STREQ(text, notes.Read(L"q.jpg"));
        EXPECT_EQ(std::wstring(text), PlatformValue(notes.File(), L"q.jpg"));
    }
}

TEST(NoteFile, AnOldFileKeepsEveryLineItDoesNotChangeByteForByte)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    // Shift_JIS text, a comment, odd spacing, a byte that is no character, no final line break.
    const std::string before = "[x.jpg]\r\nNote=\x8D\xF7\r\n\r\n; kept\r\n  [y.jpg]\r\n Note = spaced \r\n"
                               "[z.jpg]\r\nNote=\x81\x7F\xFD\r\nOther=1";
    ASSERT_TRUE(ScratchFolder::WriteFile(notes.File(), before));
    EXPECT_STREQ(L"spaced", notes.Read(L"y.jpg"));
    ASSERT_EQ(1, notes.Write(L"x.jpg", L"新しい"));
    std::string after = ScratchFolder::ReadFile(notes.File());
    EXPECT_EQ(before.substr(before.find("\r\n\r\n; kept")), after.substr(after.find("\r\n\r\n; kept"), 200));
    EXPECT_EQ(L"新しい", PlatformValue(notes.File(), L"x.jpg"));
    ASSERT_EQ(1, notes.Write(L"z.jpg", L""));
    after = ScratchFolder::ReadFile(notes.File());
    EXPECT_EQ(std::string::npos, after.find("[z.jpg]"));
    EXPECT_NE(std::string::npos, after.find("  [y.jpg]\r\n Note = spaced \r\n")) << after;
    EXPECT_EQ(L"spaced", PlatformValue(notes.File(), L"y.jpg"));
}

TEST(NoteFile, ASessionWritesEachNoteFileOnceWhole)
{
    ScratchFolder root(L"root"), one(L"one"), two(L"two");
    unsigned before = VyxNoteStore::GetFileWriteCount();
    {
        VyxNoteSession session;
        VyxNoteStore store(root.Path().c_str());
        for (int i = 0; i < 300; ++i) {
            const ScratchFolder& folder = i % 3 ? one : two;
            store.SetLocation(folder.Path().c_str(), L"");
            std::wstring name = L"p" + std::to_wstring(i) + L".jpg";
            ASSERT_EQ(1, store.WriteNote((folder / name).c_str(), (L"メモ " + std::to_wstring(i)).c_str()));
            EXPECT_EQ(CString((L"メモ " + std::to_wstring(i)).c_str()), store.ReadNote((folder / name).c_str()));
        }
        EXPECT_EQ(before, VyxNoteStore::GetFileWriteCount());
    }
    EXPECT_EQ(before + 2, VyxNoteStore::GetFileWriteCount());
    VyxNoteStore store(root.Path().c_str());
    store.SetLocation(two.Path().c_str(), L"");
    EXPECT_STREQ(L"メモ 297", store.ReadNote((two / L"p297.jpg").c_str()));
    CString file;
    ASSERT_TRUE(store.FindNoteFile(file, one.Path().c_str(), L""));
    EXPECT_EQ(L"メモ 299", PlatformValue(file.GetString(), L"p299.jpg"));
}

TEST(NoteFile, AWriteStoppedBeforeItEndsLeavesTheOldFileWhole)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(1, notes.Write(L"n" + std::to_wstring(i) + L".jpg", L"old"));
    const std::string whole = ScratchFolder::ReadFile(notes.File());
    VyxNoteFile::s_beforePutInPlace = [](const wchar_t*) { throw std::runtime_error("stopped"); };
    EXPECT_THROW(notes.Write(L"n7.jpg", L"new"), std::runtime_error);
    VyxNoteFile::s_beforePutInPlace = nullptr;
    EXPECT_EQ(whole, ScratchFolder::ReadFile(notes.File()));
    EXPECT_EQ(L"old", PlatformValue(notes.File(), L"n7.jpg"));
    EXPECT_EQ(L"old", PlatformValue(notes.File(), L"n49.jpg"));
    // The next write goes through.
    ASSERT_EQ(1, notes.Write(L"n7.jpg", L"new"));
    EXPECT_EQ(L"new", PlatformValue(notes.File(), L"n7.jpg"));
}

TEST(NoteFile, AReadOnlyNoteFileIsNeitherWrittenNorReportedWritten)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    ASSERT_EQ(1, notes.Write(L"a.jpg", L"before"));
    ASSERT_EQ(1, notes.Write(L"b.jpg", L"other"));
    SetFileAttributesW(notes.File().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(VyxNoteStore::NoteFailed, notes.Write(L"a.jpg", L"after"));
    EXPECT_EQ(VyxNoteStore::NoteFailed, notes.Write(L"a.jpg", L""));
    EXPECT_STREQ(L"before", notes.Read(L"a.jpg"));
    SetFileAttributesW(notes.File().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(NoteFile, WritingNotesNeverTouchesAUsersFileBesideTheNoteFile)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    const std::wstring mine = notes.File() + L".tmp";
    ASSERT_TRUE(ScratchFolder::WriteFile(mine, "the user's own file"));
    ASSERT_EQ(1, notes.Write(L"a.jpg", L"first"));
    SetFileAttributesW(mine.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(1, notes.Write(L"b.jpg", L"second"));
    SetFileAttributesW(mine.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("the user's own file", ScratchFolder::ReadFile(mine));
    EXPECT_EQ(L"first", PlatformValue(notes.File(), L"a.jpg"));
    EXPECT_EQ(L"second", PlatformValue(notes.File(), L"b.jpg"));
    // Nothing of the way through a temporary file is left.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    std::vector<std::wstring> names;
    do {
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"_NOTE_.KWI", L"_NOTE_.KWI.tmp"}), names);
}

TEST(NoteFile, ACodePageFileHoldingAnotherEncodingsBytesIsNeverConverted)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    // A line of UTF-8 among Shift_JIS ones, as another program may have left it.
    const std::string utf8Line = "Note=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string before = "[u.jpg]\r\n" + utf8Line + "\r\n[s.jpg]\r\nNote=\x8D\xF7\r\n";
    {
        // The bytes are not Shift_JIS text: they do not come back through the code page.
        const std::string raw = utf8Line + "\r";
        wchar_t wide[64] = {};
        char back[128] = {};
        const int n = MultiByteToWideChar(932, 0, raw.data(), static_cast<int>(raw.size()), wide, 64);
        const int m = WideCharToMultiByte(932, 0, wide, n, back, 128, nullptr, nullptr);
        ASSERT_NE(raw, std::string(back, static_cast<size_t>(m > 0 ? m : 0)));
    }
    ASSERT_TRUE(ScratchFolder::WriteFile(notes.File(), before));
    EXPECT_EQ(VyxNoteStore::NoteUnconvertible, notes.Write(L"s.jpg", L"雪だるま ☃"));
    EXPECT_EQ(VyxNoteStore::NoteUnconvertible, notes.Write(L"café☃.jpg", L"plain"));
    {
        // A job's session refuses it the same way, and writes nothing.
        VyxNoteSession session;
        EXPECT_EQ(VyxNoteStore::NoteUnconvertible, notes.Write(L"new.jpg", L"☃"));
    }
    EXPECT_EQ(before, ScratchFolder::ReadFile(notes.File()));
    EXPECT_STREQ(L"桜", notes.Read(L"s.jpg"));
    // What fits the code page is written, the other encoding's bytes kept as they were.
    ASSERT_EQ(1, notes.Write(L"s.jpg", L"桜の写真"));
    const std::string after = ScratchFolder::ReadFile(notes.File());
    EXPECT_EQ(0u, after.find("[u.jpg]\r\n" + utf8Line + "\r\n"));
    EXPECT_EQ(L"桜の写真", PlatformValue(notes.File(), L"s.jpg"));
    // Without that line the file may become Unicode again.
    ASSERT_EQ(1, notes.Write(L"u.jpg", L""));
    ASSERT_EQ(1, notes.Write(L"s.jpg", L"雪だるま ☃"));
    EXPECT_EQ("\xFF\xFE", ScratchFolder::ReadFile(notes.File()).substr(0, 2));
    EXPECT_EQ(L"雪だるま ☃", PlatformValue(notes.File(), L"s.jpg"));
}

// ---------------------------------------------------------------- another process

namespace {

const int kRounds = 40, kNotesARound = 10;

// Notes of "<prefix><n>.jpg", a round of them at a time in a session of their own, each round's
// changes written when it ends, as a job settles its notes.
void WriteRounds(const std::wstring& folder, const std::wstring& prefix)
{
    VyxNoteStore store;
    store.SetLocation(folder.c_str(), L"");
    for (int round = 0; round < kRounds; ++round) {
        VyxNoteSession session;
        for (int i = 0; i < kNotesARound; ++i) {
            const std::wstring name = prefix + std::to_wstring(round * kNotesARound + i) + L".jpg";
            store.WriteNote((folder + L"\\" + name).c_str(), (L"メモ " + name).c_str());
        }
    }
}

} // namespace

// Run by the test below in a second process.
TEST(NoteFileOtherProcess, DISABLED_WritesRoundsOfNotes)
{
    if (!ChildTest::IsChild())
        return;
    ChildTest::Signal(L"ready");
    WriteRounds(ChildTest::Setting(L"VYX_NOTE_FOLDER"), L"other");
}

TEST(NoteFile, TwoProcessesWritingOneNoteFileAtOnceKeepEachOthersNotes)
{
    ScratchFolder folder(L"notes");
    ChildTest other("NoteFileOtherProcess.DISABLED_WritesRoundsOfNotes", {{L"VYX_NOTE_FOLDER", folder.Path()}},
                    {L"ready"});
    ASSERT_TRUE(other.Started());
    ASSERT_TRUE(other.WaitFor(L"ready", 60000));
    WriteRounds(folder.Path(), L"this");
    const DWORD ended = other.Wait(120000);
    ASSERT_NE(static_cast<DWORD>(STILL_ACTIVE), ended);
    EXPECT_EQ(0u, ended);
    int kept = 0;
    for (const wchar_t* prefix : {L"this", L"other"})
        for (int n = 0; n < kRounds * kNotesARound; ++n) {
            const std::wstring name = prefix + std::to_wstring(n) + L".jpg";
            kept += PlatformValue(folder / L"_NOTE_.KWI", name.c_str()) == L"メモ " + name ? 1 : 0;
        }
    EXPECT_EQ(2 * kRounds * kNotesARound, kept);
}

namespace {

const size_t kLongNote = 200000;
decltype(&WriteFile) s_writeFile = nullptr;

BOOL WINAPI StallingWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    // The first long write is the note file's: the process stops there until it is killed.
    if (size >= kLongNote) {
        ChildTest::Signal(L"writing");
        for (;;)
            Sleep(INFINITE);
    }
    return s_writeFile(file, data, size, written, overlapped);
}

} // namespace

// Run by the test below in a second process, which it kills half way through a note file.
TEST(NoteFileOtherProcess, DISABLED_StopsHalfWayThroughANoteFile)
{
    if (!ChildTest::IsChild())
        return;
    ImportPatch stall("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&StallingWrite));
    ASSERT_TRUE(stall);
    s_writeFile = reinterpret_cast<decltype(&WriteFile)>(stall.Original());
    const std::wstring folder = ChildTest::Setting(L"VYX_NOTE_FOLDER");
    VyxNoteStore store;
    store.SetLocation(folder.c_str(), L"");
    store.WriteNote((folder + L"\\long.jpg").c_str(), CString(L'長', kLongNote));
}

// A process killed while it writes the note file leaves its temporary beside it; the next write of
// the note file (the first of a process) removes it, since the program's mark beside it shows
// whose it is, and never a file of the user's that has such a name.
TEST(NoteFile, ATemporaryACrashLeftBesideTheNoteFileGoesAtItsNextWrite)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    const std::string before = "[a.jpg]\r\nNote=before\r\n";
    ASSERT_TRUE(ScratchFolder::WriteFile(notes.File(), before));
    const std::wstring users = notes.File() + L".0000ABCD.tmp";
    ASSERT_TRUE(ScratchFolder::WriteFile(users, "[a.jpg]\r\nNote=the user's copy\r\n"));
    {
        ChildTest other("NoteFileOtherProcess.DISABLED_StopsHalfWayThroughANoteFile",
                        {{L"VYX_NOTE_FOLDER", folder.Path()}}, {L"writing"});
        ASSERT_TRUE(other.Started());
        ASSERT_TRUE(other.WaitFor(L"writing", 60000));
        other.Kill();
    }
    EXPECT_EQ(before, ScratchFolder::ReadFile(notes.File()));
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((notes.File() + L".*.tmp").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do
        if (folder / data.cFileName != users)
            left.push_back(folder / data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    // The note file's temporary and the program's mark beside it.
    ASSERT_EQ(2u, left.size());

    // The crash's own temporaries go with the next write of the note file; the user's stays.
    ASSERT_EQ(1, notes.Write(L"b.jpg", L"after"));
    for (const std::wstring& path : left)
        EXPECT_FALSE(ScratchFolder::Exists(path));
    EXPECT_EQ("[a.jpg]\r\nNote=the user's copy\r\n", ScratchFolder::ReadFile(users));
    EXPECT_EQ(L"before", PlatformValue(notes.File(), L"a.jpg"));
    EXPECT_EQ(L"after", PlatformValue(notes.File(), L"b.jpg"));
}

namespace {

// Each file's writes since its last flush, and whether every rename that put a file in place came
// after a flush of everything written before it.
struct FlushWatch
{
    static inline decltype(&WriteFile) s_write = nullptr;
    static inline decltype(&FlushFileBuffers) s_flush = nullptr;
    static inline decltype(&MoveFileExW) s_move = nullptr;
    static inline std::vector<HANDLE> s_unflushed;
    static inline int s_moves = 0;
    static inline int s_unflushedMoves = 0;

    static BOOL WINAPI Write(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
    {
        s_unflushed.push_back(file);
        return s_write(file, data, size, written, overlapped);
    }
    static BOOL WINAPI Flush(HANDLE file)
    {
        s_unflushed.erase(std::remove(s_unflushed.begin(), s_unflushed.end(), file), s_unflushed.end());
        return s_flush(file);
    }
    static BOOL WINAPI Move(LPCWSTR from, LPCWSTR to, DWORD flags)
    {
        ++s_moves;
        s_unflushedMoves += !s_unflushed.empty();
        return s_move(from, to, flags);
    }
};

} // namespace

// A crash after the rename must find the new note file whole on the disk, and the mark beside it
// (written and flushed first) names a temporary that is the program's until then.
TEST(NoteFile, ANoteFileIsOnTheDiskBeforeItIsPutInPlace)
{
    ScratchFolder folder(L"notes");
    Notes notes(folder);
    ASSERT_EQ(1, notes.Write(L"a.jpg", L"before"));
    {
        ImportPatch writes("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&FlushWatch::Write));
        ImportPatch flushes("kernel32.dll", "FlushFileBuffers", reinterpret_cast<void*>(&FlushWatch::Flush));
        ImportPatch moves("kernel32.dll", "MoveFileExW", reinterpret_cast<void*>(&FlushWatch::Move));
        ASSERT_TRUE(writes);
        ASSERT_TRUE(flushes);
        ASSERT_TRUE(moves);
        FlushWatch::s_write = reinterpret_cast<decltype(&WriteFile)>(writes.Original());
        FlushWatch::s_flush = reinterpret_cast<decltype(&FlushFileBuffers)>(flushes.Original());
        FlushWatch::s_move = reinterpret_cast<decltype(&MoveFileExW)>(moves.Original());
        EXPECT_EQ(1, notes.Write(L"b.jpg", CString(L'長', 5000)));
    }
    EXPECT_LE(1, FlushWatch::s_moves);
    EXPECT_EQ(0, FlushWatch::s_unflushedMoves);
    EXPECT_EQ(L"before", PlatformValue(notes.File(), L"a.jpg"));
    EXPECT_EQ(std::wstring(5000, L'長'), PlatformValue(notes.File(), L"b.jpg"));
}

// The note file's own check, without the store's before it: a note that would turn a code-page
// file holding another encoding's bytes into UTF-16 is refused, and the file keeps every byte.
TEST(NoteFile, AFileHoldingAnotherEncodingsBytesRefusesToBeConvertedOnItsOwn)
{
    ScratchFolder folder(L"notes");
    const std::wstring path = folder / L"_NOTE_.KWI";
    // UTF-8 bytes that are no Shift_JIS text.
    const std::string foreign = "Note=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string before = "[u.jpg]\r\n" + foreign + "\r\n[s.jpg]\r\nNote=\x8D\xF7\r\n";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, before));
    VyxNoteFile file;
    ASSERT_EQ(VyxNoteFile::Loaded, file.Load(path.c_str()));
    file.Set(L"s.jpg", L"Note", L"雪だるま ☃");
    EXPECT_FALSE(file.Save(path.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(before, ScratchFolder::ReadFile(path));
    // What fits the code page is written, the foreign bytes as they were.
    file.Set(L"s.jpg", L"Note", L"桜の写真");
    EXPECT_TRUE(file.Save(path.c_str()));
    EXPECT_EQ(0u, ScratchFolder::ReadFile(path).find("[u.jpg]\r\n" + foreign + "\r\n"));
}
