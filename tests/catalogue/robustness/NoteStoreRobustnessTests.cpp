// Hostile note files given a new note, and hostile notes and names written and read back: the
// store never fails on what it can read, the note comes back as written, and every other note
// and line of the file stays as it was. Each input writes the whole file a few times: fewer
// inputs than the readers get.
#include "../ThumbnailTestUtil.h"
#include "common/HostileInputs.h"

#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteStore.h"

using namespace thumbtest;

namespace {

const wchar_t kNewNote[] = L"新しいメモ";

std::string AsString(const hostile::Input& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// The file's text as code units: UTF-16 after its mark, else the bytes themselves.
std::wstring Units(const std::string& bytes)
{
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
        for (size_t at = 2; at + 1 < bytes.size(); at += 2)
            text += static_cast<wchar_t>(static_cast<BYTE>(bytes[at]) | static_cast<BYTE>(bytes[at + 1]) << 8);
    } else {
        for (char byte : bytes)
            text += static_cast<wchar_t>(static_cast<BYTE>(byte));
    }
    return text;
}

// True when after is before with at most one line changed or lines added in one place.
bool OneLineChanged(const std::wstring& before, const std::wstring& after)
{
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    std::wstring removed = before.substr(prefix, before.size() - prefix - suffix);
    return removed.find(L'\n') == std::wstring::npos;
}

bool IsUnicodeFile(const std::string& bytes)
{
    return bytes.size() >= 2 && ((static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) ||
                                 (static_cast<BYTE>(bytes[0]) == 0xFE && static_cast<BYTE>(bytes[1]) == 0xFF));
}

bool IsUtf8File(const std::string& bytes)
{
    return bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

// A folder of its own with its notes kept in the folder.
struct NoteScene
{
    NoteScene() { store.SetLocation(folder.Path().c_str(), L""); }
    CacheScope scope;
    ScratchFolder folder{L"notes"};
    std::wstring file = folder / L"_NOTE_.KWI";
    VyxNoteStore store;
};

} // namespace

TEST(NoteStoreRobustness, HostileNoteFilesTakeANewNoteAndKeepEveryOtherNoteAndLine)
{
    NoteScene scene;
    const ScratchFolder& folder = scene.folder;
    const std::wstring& file = scene.file;
    VyxNoteStore& store = scene.store;
    store.WriteNote((folder / L"a{1}.jpg").c_str(), L"first\r\nnote");
    store.WriteNote((folder / L"写真.jpg").c_str(), L"  空白  ");
    store.WriteNote((folder / L"target.jpg").c_str(), L"old");
    const std::string ansi = ScratchFolder::ReadFile(file);
    store.WriteNote((folder / L"☃.jpg").c_str(), L"\"snow\"");
    const std::string unicode = ScratchFolder::ReadFile(file);
    ASSERT_TRUE(IsUnicodeFile(unicode));

    int fed = hostile::FeedHostile(
        {hostile::Input(ansi.begin(), ansi.end()), hostile::Input(unicode.begin(), unicode.end())}, 7919u,
        hostile::Inputs(1500, 20), [&](const hostile::Input& data, int) {
            const std::string before = AsString(data);
            ASSERT_TRUE(ScratchFolder::WriteFile(file, before));
            VyxNoteFile old;
            old.Parse(before);
            ASSERT_EQ(1, store.WriteNote((folder / L"target.jpg").c_str(), kNewNote));
            ASSERT_STREQ(kNewNote, store.ReadNote((folder / L"target.jpg").c_str()));
            const std::string after = ScratchFolder::ReadFile(file);
            VyxNoteFile now;
            now.Parse(after);
            for (const CString& section : old.GetSectionNames()) {
                if (VyxNoteFile::Folded(VyxNoteFile::Trimmed(section)) == L"target.jpg")
                    continue;
                CString was, is;
                ASSERT_EQ(old.Find(section, L"Note", was), now.Find(section, L"Note", is));
                ASSERT_EQ(was, is);
            }
            // Byte for byte where the encoding stayed; unit for unit where it was UTF-16 already.
            if (!IsUtf8File(before) &&
                !(before.size() >= 2 && static_cast<BYTE>(before[0]) == 0xFE && static_cast<BYTE>(before[1]) == 0xFF)) {
                std::wstring from = Units(before);
                if (IsUnicodeFile(before) && before.size() % 2)
                    from = Units(before.substr(0, before.size() - 1));
                ASSERT_TRUE(OneLineChanged(from, Units(after)));
            }
        });
    hostile::Report("note file given a new note", fed);
}

// The reader itself, in memory, on the whole run's inputs (the test above writes each file and
// a note into it, which takes its time): every file parses to an end, and what it gives back, a
// note given a value and written again, reads back the same.
TEST(NoteStoreRobustness, HostileNoteFilesParseToAnEndAndWriteBackWhatTheyRead)
{
    NoteScene scene;
    VyxNoteStore& store = scene.store;
    store.WriteNote((scene.folder / L"a{1}.jpg").c_str(), L"first\r\nnote");
    store.WriteNote((scene.folder / L"写真.jpg").c_str(), L"  空白  ");
    const std::string ansi = ScratchFolder::ReadFile(scene.file);
    store.WriteNote((scene.folder / L"☃.jpg").c_str(), L"\"snow\"");
    const std::string unicode = ScratchFolder::ReadFile(scene.file);
    int fed =
        hostile::FeedHostile({hostile::Input(ansi.begin(), ansi.end()), hostile::Input(unicode.begin(), unicode.end())},
                             104723u, hostile::Inputs(10000, 20), [&](const hostile::Input& data, int) {
                                 VyxNoteFile file;
                                 file.Parse(AsString(data));
                                 file.Set(L"target.jpg", L"Note", kNewNote);
                                 VyxNoteFile again;
                                 again.Parse(file.Serialize());
                                 for (const CString& section : file.GetSectionNames()) {
                                     CString was, is;
                                     ASSERT_EQ(file.Find(section, L"Note", was), again.Find(section, L"Note", is));
                                     ASSERT_EQ(was, is) << section.GetString();
                                 }
                             });
    hostile::Report("note file read in memory", fed);
}

TEST(NoteStoreRobustness, HostileNotesAndNamesComeBackAsWrittenBesideOtherNotes)
{
    NoteScene scene;
    const ScratchFolder& folder = scene.folder;
    const std::wstring& file = scene.file;
    VyxNoteStore& store = scene.store;
    const std::pair<const wchar_t*, const wchar_t*> others[] = {
        {L"one.jpg", L"一つ目"}, {L"two.jpg", L" two "}, {L"three.jpg", L"'3'"}};
    for (const auto& other : others)
        ASSERT_EQ(1, store.WriteNote((folder / other.first).c_str(), other.second));
    const std::wstring seedText = L"メモ [x]\r\nNote=y\n\"q\" 'r' ; =\t\x3000☃😀\x1a";
    hostile::Input seed(reinterpret_cast<const BYTE*>(seedText.data()),
                        reinterpret_cast<const BYTE*>(seedText.data() + seedText.size()));
    int fed = hostile::FeedHostile({seed}, 65537u, hostile::Inputs(600, 10), [&](const hostile::Input& data, int) {
        std::wstring text(data.size() / 2, L'\0');
        std::memcpy(&text[0], data.data(), text.size() * 2);
        text = text.c_str();
        // The same units as a file name, less what no name may hold.
        std::wstring name = L"h";
        for (wchar_t ch : text)
            if (ch >= 0x20 && !wcschr(L"\\/:*?\"<>|", ch))
                name += ch;
        name += L".jpg";
        std::wstring path = folder / name;
        int written = store.WriteNote(path.c_str(), text.c_str());
        ASSERT_EQ(1, written);
        CString expected = VyxNoteStore::EncodeLineBreaks(text.c_str());
        ASSERT_EQ(expected, store.ReadNote(path.c_str()));
        wchar_t platform[4096] = {};
        GetPrivateProfileStringW(store.GetSectionOf(path.c_str()), L"Note", L"", platform, 4096, file.c_str());
        ASSERT_EQ(expected, CString(platform));
        for (const auto& other : others)
            ASSERT_STREQ(other.second, store.ReadNote((folder / other.first).c_str()));
        ASSERT_EQ(1, store.WriteNote(path.c_str(), L""));
        ASSERT_STREQ(L"", store.ReadNote(path.c_str()));
    });
    hostile::Report("notes and names written and read back", fed);
}
