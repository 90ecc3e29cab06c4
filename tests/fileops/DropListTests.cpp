// The drop and clipboard data a job reads: file-drop lists built by hand (wide and in the system
// code page), notes paired by position, the preferred effect, and names that do not fit.
#include "CopyTestUtil.h"
#include "TransferTestUtil.h"
#include "catalogue/VyxDropFormats.h"
#include "catalogue/VyxFile.h"
#include "fileops/VyxFileTransfer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

HGLOBAL BlockOf(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

std::string AnsiDropList(const std::vector<CString>& names)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    for (const CString& name : names) {
        char converted[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, converted, sizeof converted, nullptr, nullptr);
        bytes.append(converted, std::strlen(converted) + 1);
    }
    return bytes + '\0';
}

// A data object as a drop or the clipboard gives it.
class DropData
{
public:
    void Add(CLIPFORMAT format, HGLOBAL block) { m_source.CacheGlobalData(format, block); }
    COleDataObject* Object()
    {
        m_object.Attach(m_source.GetIDataObject(TRUE));
        return &m_object;
    }

private:
    COleDataSource m_source;
    COleDataObject m_object;
};

TEST(DropList, NamesBecomeItemsWithTheNotesAtTheirPositions)
{
    TestFolder folder;
    std::vector<CString> names = {folder / L"a.jpg", folder / L"写真.jpg", folder / L"c.jpg"};
    for (const CString& name : names)
        MakeFile(name, 10);
    DropData data;
    data.Add(CF_HDROP, VyxDropFormats::MakeFileList(names, POINT{3, 4}));
    // An empty first note, then one letter; the third name has no entry left.
    std::string notes(reinterpret_cast<const char*>(L"\0x\0"), 4 * sizeof(wchar_t));
    data.Add(VyxDropFormats::NoteFormat(), BlockOf(notes));
    VyxFileTransfer job;
    ASSERT_EQ(3, job.AddDataObject(data.Object(), DROPEFFECT_COPY));
    EXPECT_EQ(names[1], job.GetItem(1)->GetPath());
    EXPECT_EQ(10u, job.GetItem(1)->GetFileSize());
    EXPECT_EQ(CString(), job.GetItem(0)->GetNote());
    EXPECT_EQ(CString(L"x"), job.GetItem(1)->GetNote());
    EXPECT_EQ(CString(), job.GetItem(2)->GetNote());
    EXPECT_EQ(0, job.GetMoveMode());
}

// Cut with one comment, changed before the paste: the pasted file takes the comment as it stands
// then, and the source keeps nothing that was not carried.
TEST(DropList, APastedFileCarriesItsNoteAsItStandsNotAsTheClipboardHoldsIt)
{
    TransferScene scene;
    CString cut = scene.File(scene.src, L"s0002.jpg");
    scene.SetNote(cut, L"at the cut");
    DropData data;
    data.Add(CF_HDROP, VyxDropFormats::MakeFileList({cut}, POINT{}));
    data.Add(VyxDropFormats::NoteFormat(),
             BlockOf(std::string(reinterpret_cast<const char*>(L"at the cut\0"), 12 * sizeof(wchar_t))));
    data.Add(VyxDropFormats::PreferredEffectFormat(), VyxDropFormats::MakeEffectBlock(DROPEFFECT_MOVE));
    scene.SetNote(cut, L"changed after the cut");
    auto job = scene.Job(0, VyxFileTransfer::SameOverwrite);
    ASSERT_EQ(1, job->AddDataObject(data.Object(), DROPEFFECT_COPY));
    ASSERT_EQ(1, job->GetMoveMode());
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(CString(L"changed after the cut"), scene.Note(scene.dst + L"\\s0002.jpg"));
    EXPECT_EQ(CString(), scene.Note(cut));
}

TEST(DropList, NamesInTheSystemCodePageAreReadAsWell)
{
    TestFolder folder;
    std::vector<CString> names = {folder / L"日本語の名前.jpg", folder / L"b.jpg"};
    DropData data;
    data.Add(CF_HDROP, BlockOf(AnsiDropList(names)));
    VyxFileTransfer job;
    ASSERT_EQ(2, job.AddDataObject(data.Object(), DROPEFFECT_MOVE));
    EXPECT_EQ(names[0], job.GetItem(0)->GetPath());
    EXPECT_EQ(names[1], job.GetItem(1)->GetPath());
}

TEST(DropList, ThePreferredEffectDecidesMoveOrCopyAndTheDropsEffectWhenThereIsNone)
{
    struct Row
    {
        int preferred; // -1: none given
        DROPEFFECT dropped;
        int move;
    };
    const Row rows[] = {{5, DROPEFFECT_MOVE, 0},
                        {2, DROPEFFECT_COPY, 1},
                        {1, DROPEFFECT_MOVE, 0},
                        {-1, DROPEFFECT_MOVE, 1},
                        {-1, DROPEFFECT_COPY, 0}};
    for (const Row& row : rows) {
        DropData data;
        data.Add(CF_HDROP, VyxDropFormats::MakeFileList({L"C:\\x.jpg"}, POINT{}));
        if (row.preferred >= 0)
            data.Add(VyxDropFormats::PreferredEffectFormat(), VyxDropFormats::MakeEffectBlock(row.preferred));
        VyxFileTransfer job;
        job.AddDataObject(data.Object(), row.dropped);
        EXPECT_EQ(row.move, job.GetMoveMode()) << row.preferred << " " << row.dropped;
    }
    DropData none;
    none.Add(CF_UNICODETEXT, BlockOf(std::string("x\0\0\0", 4)));
    VyxFileTransfer job;
    EXPECT_EQ(0, job.AddDataObject(none.Object(), DROPEFFECT_COPY));
}

TEST(DropList, NamesThatDoNotFitAreRefusedNeverCut)
{
    CString longest(L'n', VyxDropFormats::kMaxNameLength - 7), tooLong(L'n', VyxDropFormats::kMaxNameLength - 6);
    longest = L"C:\\" + longest + L".jpg";
    tooLong = L"C:\\" + tooLong + L".jpg";
    ASSERT_EQ(VyxDropFormats::kMaxNameLength, longest.GetLength());
    HGLOBAL list = VyxDropFormats::MakeFileList({L"C:\\a.jpg", tooLong, longest}, POINT{});
    SIZE_T size = GlobalSize(list);
    int refused = 0;
    std::vector<CString> names = VyxDropFormats::ReadFileList(GlobalLock(list), size, &refused);
    EXPECT_EQ((std::vector<CString>{L"C:\\a.jpg", longest}), names);
    EXPECT_EQ(1, refused);
    // The block ends in the middle of the last name: that name is not taken in part.
    names = VyxDropFormats::ReadFileList(GlobalLock(list), size - 3 * sizeof(wchar_t), &refused);
    EXPECT_EQ(std::vector<CString>{L"C:\\a.jpg"}, names);
    EXPECT_EQ(2, refused);
    // A list offset outside the block gives nothing.
    auto* header = static_cast<DROPFILES*>(GlobalLock(list));
    header->pFiles = static_cast<DWORD>(size);
    EXPECT_TRUE(VyxDropFormats::ReadFileList(header, size, &refused).empty());
    header->pFiles = 8;
    EXPECT_TRUE(VyxDropFormats::ReadFileList(header, size, &refused).empty());
    GlobalUnlock(list);
    GlobalUnlock(list);
    GlobalUnlock(list);
    GlobalFree(list);
}

TEST(DropList, TheProgramsOwnBlocksReadBackAsTheyWereWritten)
{
    HGLOBAL folder = VyxDropFormats::MakeFolderBlock(L"C:\\写真");
    EXPECT_EQ(CString(L"C:\\写真"), VyxDropFormats::ReadFolderBlock(GlobalLock(folder), GlobalSize(folder)));
    // The path, its NUL and a second NUL.
    EXPECT_GE(GlobalSize(folder), (5u + 2u) * sizeof(wchar_t));
    EXPECT_EQ(0, static_cast<wchar_t*>(GlobalLock(folder))[6]);
    GlobalUnlock(folder);
    GlobalUnlock(folder);
    GlobalFree(folder);
    HGLOBAL notes = VyxDropFormats::MakeNoteList({L"一", L"", L"三"});
    EXPECT_EQ((std::vector<CString>{L"一", L"", L"三", L""}),
              VyxDropFormats::ReadNoteList(GlobalLock(notes), GlobalSize(notes), 4));
    GlobalUnlock(notes);
    GlobalFree(notes);
}

} // namespace
