// Hostile drop data from other programs, fed in-process: file-drop lists (wide and in the system
// code page) with offsets past the end, no terminators and huge sizes, note lists, source-folder
// blocks and drop effects. Every read stays inside its block, refuses what does not fit and ends.
#include "catalogue/VyxDropFormats.h"
#include "common/HostileInputs.h"
#include "fileops/VyxFileTransfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using hostile::Input;

Input Bytes(const void* data, size_t size)
{
    const BYTE* start = static_cast<const BYTE*>(data);
    return Input(start, start + size);
}

Input Wide(const std::wstring& text)
{
    return Bytes(text.c_str(), text.size() * sizeof(wchar_t));
}

Input DropList(bool wide, const Input& names)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = wide;
    Input block(sizeof(header) + names.size());
    std::memcpy(block.data(), &header, sizeof(header));
    if (!names.empty())
        std::memcpy(block.data() + sizeof(header), names.data(), names.size());
    return block;
}

std::vector<Input> DropListSeeds()
{
    std::wstring wide = L"C:\\写真\\a.jpg";
    wide.push_back(0);
    wide += L"C:\\写真\\b.jpg";
    wide.push_back(0);
    wide += std::wstring(520, L'x');
    wide.push_back(0);
    wide.push_back(0);
    // "C:\写真\c.jpg" in code page 932, then the list's end.
    const char ansi[] = "C:\\\x8e\xca\x90\x5e\\c.jpg\0D:\\d.jpg\0";
    return {DropList(true, Wide(wide)), DropList(false, Bytes(ansi, sizeof ansi))};
}

// The bytes in a global block of exactly their size, as another program hands them over.
HGLOBAL Block(const Input& data)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size());
    if (block && !data.empty()) {
        std::memcpy(GlobalLock(block), data.data(), data.size());
        GlobalUnlock(block);
    }
    return block;
}

template <class Read> void ReadFromBlock(const Input& data, Read read)
{
    HGLOBAL block = Block(data);
    ASSERT_NE(nullptr, block);
    read(GlobalLock(block), data.size());
    GlobalUnlock(block);
    GlobalFree(block);
}

} // namespace

TEST(DropListRobustness, FileDropListsGiveOnlyWholeNamesFromInsideTheBlock)
{
    int fed = hostile::FeedHostile(DropListSeeds(), 30, hostile::InputsPerReader(), [](const Input& data, int) {
        ReadFromBlock(data, [&](const void* bytes, SIZE_T size) {
            int refused = 0;
            std::vector<CString> names = VyxDropFormats::ReadFileList(bytes, size, &refused);
            ASSERT_LE(names.size(), size / 2);
            for (const CString& name : names) {
                ASSERT_FALSE(name.IsEmpty());
                ASSERT_LE(name.GetLength(), VyxDropFormats::kMaxNameLength);
            }
        });
    });
    hostile::Report("file-drop list", fed);
}

TEST(DropListRobustness, NoteListsFolderBlocksAndEffectsStayInsideTheBlock)
{
    std::wstring notes = L"メモ";
    notes.push_back(0);
    notes.push_back(0);
    notes += L"二つ目\\n二行";
    notes.push_back(0);
    notes.push_back(0);
    std::wstring folder = L"C:\\写真";
    folder.append(2, 0);
    const DWORD effect = 5;
    std::vector<Input> seeds = {Wide(notes), Wide(folder), Bytes(&effect, sizeof effect)};
    int fed = hostile::FeedHostile(seeds, 31, hostile::InputsPerReader(), [](const Input& data, int) {
        ReadFromBlock(data, [&](const void* bytes, SIZE_T size) {
            std::vector<CString> read = VyxDropFormats::ReadNoteList(bytes, size, 5);
            ASSERT_EQ(5u, read.size());
            size_t total = 0;
            for (const CString& note : read)
                total += static_cast<size_t>(note.GetLength());
            ASSERT_LE(total, size / 2);
            ASSERT_LE(static_cast<size_t>(VyxDropFormats::ReadFolderBlock(bytes, size).GetLength()), size / 2);
            DWORD value = 0;
            ASSERT_EQ(size >= 4, VyxDropFormats::ReadEffect(bytes, size, value));
        });
    });
    hostile::Report("note list, folder block, effect", fed);
}

TEST(DropListRobustness, AJobTakesAHostileDropAsAnotherProgramWouldGiveIt)
{
    int fed = hostile::FeedHostile(DropListSeeds(), 32, hostile::InputsPerReader() / 10, [](const Input& data, int) {
        COleDataSource source;
        source.CacheGlobalData(CF_HDROP, Block(data));
        source.CacheGlobalData(VyxDropFormats::NoteFormat(), Block(data));
        source.CacheGlobalData(VyxDropFormats::PreferredEffectFormat(), Block(data));
        COleDataObject object;
        object.Attach(source.GetIDataObject(TRUE));
        VyxFileTransfer job;
        int count = job.AddDataObject(&object, DROPEFFECT_COPY);
        ASSERT_LE(static_cast<size_t>(count), data.size() / 2);
        object.Release();
    });
    hostile::Report("drop into a job", fed);
}
