// The file-operation engine on real files: every same-name policy with its options, serial names,
// copies and moves onto any spelling of themselves, folders into themselves, notes and cache
// files following files and folders, moves across drives, failures with Abort, Retry and Ignore,
// cancelling, full disks, and the drop lists it reads.
#include "../image/TestArchiveFile.h"
#include "common/ImportPatch.h"
#include "common/SetUpParts.h"
#include "TestArchivePlugin.h"
#include "TransferTestUtil.h"
#include "fileops/FileCopy.h"
#include "fileops/VFileAccDlg.h"
#include "catalogue/VyxNoteFile.h"
#include "foundation/VyxPath.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const long long kOld = 1300000000;
const long long kNew = 1400000000;

using Policy = VyxFileTransfer;

// ---------------------------------------------------------------- policies

struct PolicyRow
{
    const char* name;
    int mode;
    size_t sourceSize;
    long long sourceTime;
    size_t targetSize;
    long long targetTime;
    bool replaced;
};

TEST(TransferPolicy, EachSameNamePolicyDecidesAsItsTableSays)
{
    const PolicyRow rows[] = {
        {"newer, source later", Policy::SameNewer, 100, kNew, 100, kOld, true},
        {"newer, equal times", Policy::SameNewer, 100, kNew, 100, kNew, false},
        {"newer, source earlier", Policy::SameNewer, 100, kOld, 100, kNew, false},
        {"overwrite", Policy::SameOverwrite, 100, kOld, 200, kNew, true},
        {"ignore", Policy::SameIgnore, 100, kNew, 100, kOld, false},
        {"larger, source larger", Policy::SameLarger, 300, kOld, 200, kNew, true},
        {"larger, equal sizes", Policy::SameLarger, 200, kNew, 200, kOld, false},
    };
    for (const PolicyRow& row : rows) {
        for (int move : {0, 1}) {
            SCOPED_TRACE(testing::Message() << row.name << (move ? " move" : " copy"));
            TransferScene scene;
            CString source = scene.File(scene.src, L"a.jpg", row.sourceSize, 1);
            CString target = scene.File(scene.dst, L"a.jpg", row.targetSize, 2);
            SetFileTimes(source, row.sourceTime);
            SetFileTimes(target, row.targetTime);
            auto job = scene.Job(move, row.mode);
            job->Add(source);
            EXPECT_EQ(row.replaced ? 1 : 0, job->Run());
            EXPECT_EQ(PatternBytes(row.replaced ? row.sourceSize : row.targetSize, row.replaced ? 1 : 2),
                      ReadBytes(target));
            // A move takes the source only when it replaced the target.
            EXPECT_EQ(!(move && row.replaced), Exists(source));
            EXPECT_TRUE(job->messages.empty());
            EXPECT_EQ(0, job->sameNameQuestions);
        }
    }
}

TEST(TransferPolicy, ExistingOnlyWithOverwriteReplacesExactlyTheFilesThatAreThere)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameOverwrite);
    job->SetExistingOnly(1);
    job->Add(scene.File(scene.src, L"there.jpg", 50, 1));
    job->Add(scene.File(scene.src, L"new.jpg", 50, 2));
    scene.File(scene.dst, L"there.jpg", 10, 3);
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(PatternBytes(50, 1), ReadBytes(scene.dst + L"\\there.jpg"));
    EXPECT_FALSE(Exists(scene.dst + L"\\new.jpg"));
}

TEST(TransferPolicy, SkipIdenticalLeavesAFileOfTheSameSizeAndTimeAlone)
{
    TransferScene scene;
    CString source = scene.File(scene.src, L"same.jpg", 70, 1);
    CString target = scene.File(scene.dst, L"same.jpg", 70, 2);
    CString other = scene.File(scene.src, L"other.jpg", 70, 3);
    CString otherTarget = scene.File(scene.dst, L"other.jpg", 70, 4);
    SetFileTimes(source, kOld);
    SetFileTimes(target, kOld);
    SetFileTimes(other, kOld);
    SetFileTimes(otherTarget, kNew);
    auto job = scene.Job(0, Policy::SameOverwrite);
    job->SetSkipIdentical(1);
    job->Add(source);
    job->Add(other);
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(PatternBytes(70, 2), ReadBytes(target));
    EXPECT_EQ(PatternBytes(70, 3), ReadBytes(otherTarget));
}

TEST(TransferPolicy, RecycleOldSendsTheReplacedFileToTheRecycleBin)
{
    TransferScene scene;
    CString source = scene.File(scene.src, L"swap.jpg", 40, 1);
    CString target = scene.File(scene.dst, L"swap.jpg", 20, 2);
    auto job = scene.Job(0, Policy::SameOverwrite);
    job->SetRecycleOld(1);
    job->Add(source);
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(PatternBytes(40, 1), ReadBytes(target));
    // Wine's recycle bin is the host's trash, which the test wrapper keeps in a scratch folder.
    wchar_t xdg[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"XDG_DATA_HOME", xdg, MAX_PATH), 0u);
    CString trashed = CString(L"Z:") + xdg + L"\\Trash\\files\\swap.jpg";
    trashed.Replace(L'/', L'\\');
    EXPECT_EQ(PatternBytes(20, 2), ReadBytes(trashed));
    DeleteFileW(trashed);
}

TEST(TransferPolicy, SerialNamesTakeTheFirstFreeNumber)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameSerial);
    job->Add(scene.File(scene.src, L"a.jpg", 30, 1));
    scene.File(scene.dst, L"a.jpg", 10, 2);
    scene.File(scene.dst, L"a-2.jpg", 10, 3);
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(PatternBytes(30, 1), ReadBytes(scene.dst + L"\\a-3.jpg"));
    EXPECT_EQ(PatternBytes(10, 2), ReadBytes(scene.dst + L"\\a.jpg"));

    auto padded = scene.Job(0, Policy::SameSerial);
    padded->SetUniqueNameFormat(L"%s(%03d)%s");
    padded->Add(scene.src + L"\\a.jpg");
    EXPECT_EQ(1, padded->Run());
    EXPECT_TRUE(Exists(scene.dst + L"\\a(002).jpg"));
}

TEST(TransferPolicy, UniqueNameFormatsThatCannotMakeNumberedNamesFallBack)
{
    struct Row
    {
        const wchar_t* format;
        const wchar_t* kept;
    };
    const Row rows[] = {
        {L"%s-%d%s", L"%s-%d%s"},     {L"%s (%d)%s", L"%s (%d)%s"},
        {L"%s_%03d%s", L"%s_%03d%s"}, {L"100%% %s-%d%s", L"100%% %s-%d%s"},
        {L"%s-copy%s", L"%s-%d%s"}, // no number: every name the same, an endless search
        {L"%d-%s%s", L"%s-%d%s"},     {L"%s-%d%s%s", L"%s-%d%s"},
        {L"%s-%n%s", L"%s-%d%s"},     {L"%s-%ld%s", L"%s-%d%s"},
        {L"%s-%123d%s", L"%s-%d%s"},  {L"", L"%s-%d%s"},
        {L"%s-%d%s%", L"%s-%d%s"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CString(row.kept), VyxFileTransfer::CheckUniqueNameFormat(row.format)) << CString(row.format);
    TransferScene scene;
    scene.File(scene.dst, L"b.jpg");
    auto job = scene.Job(0, Policy::SameSerial);
    job->SetUniqueNameFormat(L"%s-copy%s");
    job->Add(scene.File(scene.src, L"b.jpg", 5, 9));
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(PatternBytes(5, 9), ReadBytes(scene.dst + L"\\b-2.jpg"));
}

// ---------------------------------------------------------------- asking

TEST(TransferAsk, AnAnswerHoldsForLaterConflictsOnlyWithAllSubsequent)
{
    for (int applyToAll : {0, 1}) {
        SCOPED_TRACE(applyToAll);
        TransferScene scene;
        auto job = scene.Job(0, Policy::SameAsk);
        for (LPCWSTR name : {L"1.jpg", L"2.jpg", L"3.jpg"}) {
            job->Add(scene.File(scene.src, name, 40, 1));
            scene.File(scene.dst, name, 20, 2);
        }
        job->onSameName = Answer(Policy::SameOverwrite, applyToAll);
        EXPECT_EQ(3, job->Run());
        EXPECT_EQ(applyToAll ? 1 : 3, job->sameNameQuestions);
        EXPECT_EQ(PatternBytes(40, 1), ReadBytes(scene.dst + L"\\3.jpg"));
    }
}

TEST(TransferAsk, CancelInTheQuestionStopsTheJobAndKeepsWhatWasDone)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameAsk);
    job->Add(scene.File(scene.src, L"1.jpg"));
    job->Add(scene.File(scene.src, L"2.jpg", 40, 1));
    job->Add(scene.File(scene.src, L"3.jpg"));
    scene.File(scene.dst, L"2.jpg", 20, 2);
    EXPECT_EQ(1, job->Run());
    EXPECT_TRUE(Exists(scene.dst + L"\\1.jpg"));
    EXPECT_EQ(PatternBytes(20, 2), ReadBytes(scene.dst + L"\\2.jpg"));
    EXPECT_FALSE(Exists(scene.dst + L"\\3.jpg"));
}

TEST(TransferAsk, AFileThatComesAtTheTargetDuringTheJobIsAskedAboutNotReplaced)
{
    for (int mode : {Policy::SameIgnore, Policy::SameOverwrite}) {
        SCOPED_TRACE(mode);
        TransferScene scene;
        auto job = scene.Job(0, Policy::SameAsk);
        job->Add(scene.File(scene.src, L"1.jpg", 40, 1));
        job->Add(scene.File(scene.src, L"2.jpg", 40, 1));
        job->onSameName = Answer(mode);
        // The destination was listed before the first copy; the second name comes after it.
        bool made = false;
        CopyTarget::SetWriteFunction([&](HANDLE file, const void* data, DWORD size, DWORD* done) {
            if (!made)
                scene.File(scene.dst, L"2.jpg", 20, 2);
            made = true;
            return WriteFile(file, data, size, done, nullptr);
        });
        const int copied = job->Run();
        CopyTarget::SetWriteFunction(nullptr);
        EXPECT_EQ(1, job->sameNameQuestions);
        EXPECT_EQ(mode == Policy::SameIgnore ? 1 : 2, copied);
        EXPECT_EQ(mode == Policy::SameIgnore ? PatternBytes(20, 2) : PatternBytes(40, 1),
                  ReadBytes(scene.dst + L"\\2.jpg"));
        EXPECT_EQ(PatternBytes(40, 1), ReadBytes(scene.dst + L"\\1.jpg"));
    }
}

TEST(TransferAsk, ATypedNameThatIsTakenIsAskedForAgain)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameAsk);
    job->Add(scene.File(scene.src, L"a.jpg", 40, 1));
    scene.File(scene.dst, L"a.jpg", 20, 2);
    scene.File(scene.dst, L"taken.jpg", 20, 3);
    std::vector<CString> asked;
    job->onSameName = [&](VSameFileDlg& dialog) {
        asked.push_back(dialog.m_targetPath);
        dialog.m_mode = Policy::SameAsk;
        dialog.m_targetPath = scene.dst + (asked.size() == 1 ? L"\\taken.jpg" : L"\\free.jpg");
        return static_cast<INT_PTR>(IDOK);
    };
    EXPECT_EQ(1, job->Run());
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(scene.dst + L"\\a.jpg", asked[0]);
    EXPECT_EQ(scene.dst + L"\\taken.jpg", asked[1]);
    EXPECT_EQ(PatternBytes(40, 1), ReadBytes(scene.dst + L"\\free.jpg"));
    EXPECT_EQ(PatternBytes(20, 3), ReadBytes(scene.dst + L"\\taken.jpg"));
    EXPECT_EQ(PatternBytes(20, 2), ReadBytes(scene.dst + L"\\a.jpg"));
}

// ---------------------------------------------------------------- onto itself

// While alive, the folders the program makes are counted, and past kMost none is made (as on a
// full disk).
class FolderMaking
{
public:
    static constexpr int kMost = 50;
    static inline int s_made = 0;

    FolderMaking() : m_patch("kernel32.dll", "CreateDirectoryW", reinterpret_cast<void*>(&Make))
    {
        s_made = 0;
        s_create = reinterpret_cast<decltype(&CreateDirectoryW)>(m_patch.Original());
    }
    explicit operator bool() const { return static_cast<bool>(m_patch); }

private:
    static BOOL WINAPI Make(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
    {
        if (++s_made >= kMost) {
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        return s_create(path, security);
    }
    static inline decltype(&CreateDirectoryW) s_create = nullptr;
    ImportPatch m_patch;
};

TEST(TransferIdentity, ACopyOrMoveOntoAnyAliasOfItsSourceLeavesTheSourceWhole)
{
    TransferScene scene;
    CString source = scene.File(scene.src, L"photo.jpg", 3000, 5);
    wchar_t shortFolder[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(scene.src, shortFolder, MAX_PATH), 0u);
    CString upper = scene.src;
    upper.MakeUpper();
    const CString aliases[] = {scene.src, upper, shortFolder, HostAlias(scene.src)};
    for (const CString& alias : aliases) {
        ASSERT_FALSE(alias.IsEmpty());
        for (int move : {0, 1}) {
            SCOPED_TRACE(testing::Message() << (move ? "move to " : "copy to ") << CStringA(alias).GetString());
            auto job = scene.Job(move, Policy::SameOverwrite);
            job->Add(source);
            EXPECT_EQ(0, job->Run(alias));
            EXPECT_TRUE(job->messages.empty());
            EXPECT_EQ(PatternBytes(3000, 5), ReadBytes(source));
            EXPECT_EQ(std::vector<CString>{L"photo.jpg"}, FolderEntries(scene.src));
        }
    }
}

TEST(TransferIdentity, AFolderNeverGoesIntoItselfItsSubfolderOrItsParentWhateverTheSpelling)
{
    TransferScene scene;
    CString pics = scene.Folder(scene.src, L"Pictures");
    CString sub = scene.Folder(pics, L"Sub");
    scene.File(pics, L"a.jpg");
    scene.File(sub, L"b.jpg");
    wchar_t shortSub[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(sub, shortSub, MAX_PATH), 0u);
    CString lowerPics = pics, lowerSub = sub;
    lowerPics.MakeLower();
    lowerSub.MakeLower();
    const CString destinations[] = {lowerPics,           lowerSub, shortSub, scene.src, HostAlias(sub), pics + L"\\",
                                    HostAlias(scene.src)};
    for (const CString& destination : destinations) {
        for (int move : {0, 1}) {
            SCOPED_TRACE(testing::Message() << (move ? "move to " : "copy to ") << CStringA(destination).GetString());
            auto job = scene.Job(move, Policy::SameOverwrite);
            job->Add(pics);
            EXPECT_EQ(0, job->Run(destination));
            EXPECT_EQ((std::vector<CString>{L"Sub", L"a.jpg"}), FolderEntries(pics));
            EXPECT_EQ(std::vector<CString>{L"b.jpg"}, FolderEntries(sub));
        }
    }
}

TEST(TransferIdentity, AFolderSentIntoItselfOrItsSubfolderIsRefusedWithAMessageNamingBoth)
{
    TransferScene scene;
    CString pics = scene.Folder(scene.src, L"Pictures");
    CString sub = scene.Folder(pics, L"Sub");
    scene.File(pics, L"a.jpg");
    CString loose = scene.File(scene.src, L"loose.jpg");
    wchar_t shortSub[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(sub, shortSub, MAX_PATH), 0u);
    CString lowerSub = sub;
    lowerSub.MakeLower();
    const struct
    {
        CString destination;
        bool refused; // told; otherwise the folder's own parent, where nothing is to be done
    } cases[] = {
        {pics, true},
        {sub, true},
        {lowerSub, true},
        {shortSub, true},
        {HostAlias(sub), true},
        {pics + L"\\", true},
        {pics + L"\\New", true},
        {scene.src, false},
        {HostAlias(scene.src), false},
    };
    for (const auto& c : cases) {
        for (int move : {0, 1}) {
            SCOPED_TRACE(testing::Message() << (move ? "move to " : "copy to ") << CStringA(c.destination).GetString());
            auto job = scene.Job(move, Policy::SameOverwrite);
            job->Add(pics);
            EXPECT_EQ(0, job->Run(c.destination));
            ASSERT_EQ(c.refused ? 1u : 0u, job->messages.size());
            if (c.refused) {
                CString told = job->messages[0];
                told.Replace(L"\r\n", L"");
                CString full;
                GetFullPath(full, c.destination);
                EXPECT_NE(-1, told.Find(L"「" + pics + L"」")) << CStringA(told).GetString();
                EXPECT_NE(-1, told.Find(L"「" + full + L"」")) << CStringA(told).GetString();
                EXPECT_NE(-1, told.Find(move ? L"移動" : L"コピー")) << CStringA(told).GetString();
            }
            // Nothing was made or moved, not even the folder the path named.
            EXPECT_EQ((std::vector<CString>{L"Sub", L"a.jpg"}), FolderEntries(pics));
            EXPECT_TRUE(FolderEntries(sub).empty());
        }
    }
    // With other items beside it, the folder is refused and the others go. Copied into itself it
    // would make folders without end: past a bound none is made, so the job ends in a moment.
    auto job = scene.Job(0, Policy::SameOverwrite);
    job->Add(pics);
    job->Add(loose);
    {
        FolderMaking bound;
        ASSERT_TRUE(bound);
        EXPECT_EQ(1, job->Run(sub));
    }
    EXPECT_LT(FolderMaking::s_made, FolderMaking::kMost);
    EXPECT_EQ(1u, job->messages.size());
    EXPECT_EQ(std::vector<CString>{L"loose.jpg"}, FolderEntries(sub));
}

// A job whose messages are shown in the program's own boxes.
class BoxedTransfer : public ScriptedTransfer
{
protected:
    int ShowMessage(LPCWSTR text, UINT type) override
    {
        messages.emplace_back(text);
        return VyxFileTransfer::ShowMessage(text, type);
    }
};

TEST(TransferIdentity, TheRefusalOfAFolderIntoItselfFitsTheScreenWithALongPath)
{
    TransferScene scene;
    // 150 characters without a blank: the box cannot break the line itself.
    const int inside = 150 - scene.src.GetLength() - 1;
    ASSERT_GT(inside, 0);
    const CString pics = scene.Folder(scene.src, CString(L'p', inside));
    ASSERT_EQ(150, pics.GetLength());
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        BoxedTransfer job;
        job.SetMoveMode(move);
        job.SetSameNameMode(Policy::SameOverwrite);
        job.Add(pics);
        int done = -1;
        const SeenMessageBox box = LookAtMessageBox([&] { done = job.Run(pics + L"\\New"); });
        EXPECT_EQ(0, done);
        ASSERT_TRUE(box.seen);
        EXPECT_TRUE(box.whole) << "box " << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                               << box.rect.bottom;
        ASSERT_EQ(1u, job.messages.size());
        EXPECT_EQ(Joined(job.messages[0]), Joined(box.text));
        EXPECT_NE(-1, Joined(box.text).Find(L"「" + pics + L"」"));
    }
}

// ---------------------------------------------------------------- notes and folders

TEST(TransferNotes, ACopiedFileTakesItsNoteAndAMovedOneTakesItAlong)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString copied = scene.File(scene.src, L"copied.jpg");
        CString moved = scene.File(scene.src, L"moved.jpg");
        CString plain = scene.File(scene.src, L"plain.jpg");
        scene.SetNote(copied, L"コピーのメモ");
        scene.SetNote(moved, L"移動のメモ\\n二行目");
        // A stale note at the destination under a name whose source has none goes.
        scene.SetNote(scene.dst + L"\\plain.jpg", L"古いメモ");
        auto copy = scene.Job(0, Policy::SameOverwrite);
        copy->Add(copied);
        copy->Add(plain);
        EXPECT_EQ(2, copy->Run());
        auto move = scene.Job(1, Policy::SameOverwrite);
        move->Add(moved);
        EXPECT_EQ(1, move->Run());
        EXPECT_EQ(CString(L"コピーのメモ"), scene.Note(scene.dst + L"\\copied.jpg"));
        EXPECT_EQ(CString(L"コピーのメモ"), scene.Note(copied));
        EXPECT_EQ(CString(L"移動のメモ\\n二行目"), scene.Note(scene.dst + L"\\moved.jpg"));
        EXPECT_EQ(CString(), scene.Note(moved));
        EXPECT_EQ(CString(), scene.Note(scene.dst + L"\\plain.jpg"));
    }
}

// Another instance wrote the comments after the items read theirs: each goes as it stands.
TEST(TransferNotes, AMoveOrCopyCarriesTheNoteAsItStandsNotAsTheItemFirstReadIt)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString copied = scene.File(scene.src, L"s0001.jpg");
        CString moved = scene.File(scene.src, L"s0006.jpg");
        scene.SetNote(copied, L"old one");
        VyxFile copiedItem(copied), movedItem(moved);
        ASSERT_EQ(CString(L"old one"), copiedItem.GetNote());
        ASSERT_TRUE(movedItem.GetNote().IsEmpty());
        scene.SetNote(copied, L"NEW from C one");
        scene.SetNote(moved, L"NEW from C six");
        auto copy = scene.Job(0, Policy::SameOverwrite);
        copy->AddItem(&copiedItem, 0);
        EXPECT_EQ(1, copy->Run());
        auto move = scene.Job(1, Policy::SameOverwrite);
        move->AddItem(&movedItem, 0);
        EXPECT_EQ(1, move->Run());
        EXPECT_EQ(CString(L"NEW from C one"), scene.Note(scene.dst + L"\\s0001.jpg"));
        EXPECT_EQ(CString(L"NEW from C one"), scene.Note(copied));
        EXPECT_EQ(CString(L"NEW from C six"), scene.Note(scene.dst + L"\\s0006.jpg"));
        EXPECT_EQ(CString(), scene.Note(moved));
        EXPECT_TRUE(move->messages.empty());
    }
}

// The note file at the destination, made read-only while holding a note of its own.
CString ReadOnlyNoteFileAt(const TransferScene& scene, const CString& folder)
{
    scene.SetNote(folder + L"\\other.jpg", L"そのまま");
    VyxNoteStore store(scene.root);
    CString file;
    EXPECT_TRUE(store.FindNoteFile(file, folder, nullptr));
    SetFileAttributesW(file, FILE_ATTRIBUTE_READONLY);
    return file;
}

bool Mentions(const std::vector<CString>& messages, const CString& text)
{
    for (const CString& message : messages)
        if (message.Find(text) >= 0)
            return true;
    return false;
}

TEST(TransferNotes, ANoteThatCannotBeWrittenAtTheTargetStaysWithTheSourceAndTheUserIsTold)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString moved = scene.File(scene.src, L"moved.jpg");
        CString copied = scene.File(scene.src, L"copied.jpg");
        scene.SetNote(moved, L"移動のメモ");
        scene.SetNote(copied, L"コピーのメモ");
        CString noteFile = ReadOnlyNoteFileAt(scene, scene.dst);
        const std::string before = ReadBytes(noteFile);

        auto move = scene.Job(1, Policy::SameOverwrite);
        move->Add(moved);
        EXPECT_EQ(1, move->Run());
        EXPECT_TRUE(Exists(scene.dst + L"\\moved.jpg"));
        EXPECT_EQ(CString(L"移動のメモ"), scene.Note(moved));
        EXPECT_TRUE(Mentions(move->messages, L"moved.jpg"));

        auto copy = scene.Job(0, Policy::SameOverwrite);
        copy->Add(copied);
        EXPECT_EQ(1, copy->Run());
        EXPECT_EQ(CString(L"コピーのメモ"), scene.Note(copied));
        EXPECT_TRUE(Mentions(copy->messages, L"copied.jpg"));
        EXPECT_EQ(before, ReadBytes(noteFile));
        SetFileAttributesW(noteFile, FILE_ATTRIBUTE_NORMAL);
    }
}

namespace {

// Writes a comment at the source while a job puts its first note file in place: after the note
// was carried, before the source's is cleared. Written from a thread of its own, as another
// instance would, outside the job's hold on its note files.
struct WriteMeanwhile
{
    const TransferScene* scene = nullptr;
    CString source, note;
    int puts = 0;
};
WriteMeanwhile* s_meanwhile = nullptr;

void WriteAtFirstPut(const wchar_t*)
{
    if (!s_meanwhile || s_meanwhile->puts++ != 0)
        return;
    std::thread other([] { s_meanwhile->scene->SetNote(s_meanwhile->source, s_meanwhile->note); });
    other.join();
}

} // namespace

TEST(TransferNotes, ANoteWrittenAtTheSourceAfterItWasCarriedStaysThereAndTheUserIsTold)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString moved = scene.File(scene.src, L"s0003.jpg");
        CString plain = scene.File(scene.src, L"s0004.jpg");
        scene.SetNote(moved, L"carried");
        scene.SetNote(plain, L"goes along");
        WriteMeanwhile meanwhile;
        meanwhile.scene = &scene;
        meanwhile.source = moved;
        meanwhile.note = L"written meanwhile";
        auto move = scene.Job(1, Policy::SameOverwrite);
        move->Add(moved);
        move->Add(plain);
        s_meanwhile = &meanwhile;
        VyxNoteFile::s_beforePutInPlace = WriteAtFirstPut;
        EXPECT_EQ(2, move->Run());
        VyxNoteFile::s_beforePutInPlace = nullptr;
        s_meanwhile = nullptr;
        ASSERT_LT(0, meanwhile.puts);
        EXPECT_EQ(CString(L"carried"), scene.Note(scene.dst + L"\\s0003.jpg"));
        EXPECT_EQ(CString(L"written meanwhile"), scene.Note(moved));
        EXPECT_EQ(CString(L"goes along"), scene.Note(scene.dst + L"\\s0004.jpg"));
        EXPECT_EQ(CString(), scene.Note(plain));
        EXPECT_TRUE(Mentions(move->messages, moved));
    }
}

TEST(TransferNotes, EachFolderNoteFileIsWrittenOnceAJob)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString pics = scene.Folder(scene.src, L"Pics");
        CString sub = scene.Folder(pics, L"Sub");
        for (int i = 0; i < 60; ++i) {
            CString name;
            name.Format(L"p%02d.jpg", i);
            CString folder = i < 40 ? pics : sub;
            scene.File(folder, name, 10, i);
            if (i % 2 == 0)
                scene.SetNote(folder + L"\\" + name, name + L" のメモ");
        }
        unsigned before = VyxNoteStore::GetFileWriteCount();
        auto copy = scene.Job(0, Policy::SameOverwrite);
        copy->Add(pics);
        EXPECT_EQ(62, copy->Run());
        // The copy of each folder, once; the sources are only read.
        EXPECT_EQ(before + 2, VyxNoteStore::GetFileWriteCount());
        EXPECT_EQ(CString(L"p02.jpg のメモ"), scene.Note(scene.dst + L"\\Pics\\p02.jpg"));
        EXPECT_EQ(CString(L"p58.jpg のメモ"), scene.Note(scene.dst + L"\\Pics\\Sub\\p58.jpg"));
        EXPECT_EQ(CString(), scene.Note(scene.dst + L"\\Pics\\Sub\\p59.jpg"));

        CString elsewhere = scene.Folder(scene.src, L"Elsewhere");
        scene.File(pics, L"stay.jpg");
        scene.SetNote(pics + L"\\stay.jpg", L"残る");
        before = VyxNoteStore::GetFileWriteCount();
        auto move = scene.Job(1, Policy::SameOverwrite);
        for (int i = 0; i < 40; ++i) {
            CString name;
            name.Format(L"\\p%02d.jpg", i);
            move->Add(pics + name);
        }
        EXPECT_EQ(40, move->Run(elsewhere));
        // The target once, and the source once with the notes that left it.
        EXPECT_EQ(before + 2, VyxNoteStore::GetFileWriteCount());
        EXPECT_EQ(CString(L"p38.jpg のメモ"), scene.Note(elsewhere + L"\\p38.jpg"));
        EXPECT_EQ(CString(), scene.Note(pics + L"\\p38.jpg"));
        EXPECT_EQ(CString(L"残る"), scene.Note(pics + L"\\stay.jpg"));
    }
}

TEST(TransferNotes, AFolderCopyCarriesAnArchivesOwnNotesAndNoNoteForNamesSharingASection)
{
    for (bool central : {false, true}) {
        SCOPED_TRACE(central ? "central notes" : "notes in the folders");
        TransferScene scene(central);
        CString pics = scene.Folder(scene.src, L"Pics");
        scene.File(pics, L"book.zip");
        scene.File(pics, L"{x}.jpg");
        scene.SetNote(pics + L"\\{x}.jpg", L"先のメモ");
        // Both names map to the section "{x}": the note belongs to neither.
        scene.File(pics, L"[x].jpg");
        scene.File(pics, L"a.jpg");
        scene.SetNote(pics + L"\\a.jpg", L"普通のメモ");
        VyxNoteStore members(scene.root);
        members.SetLocation(pics, L"book.zip");
        ASSERT_EQ(VyxNoteStore::NoteWritten, members.WriteNote(L"in\\m.jpg", L"中のメモ"));

        auto copy = scene.Job(0, Policy::SameOverwrite);
        copy->Add(pics);
        EXPECT_EQ(5, copy->Run());
        const CString copied = scene.dst + L"\\Pics";
        EXPECT_EQ(CString(L"普通のメモ"), scene.Note(copied + L"\\a.jpg"));
        for (LPCWSTR name : {L"{x}.jpg", L"[x].jpg"}) {
            // The note file itself: ReadNote would hide a note under a shared section.
            VyxNoteStore store(scene.root);
            store.SetLocation(copied, nullptr);
            CString section = store.GetSectionOf(copied + L"\\" + name), path = store.GetNoteFilePath();
            VyxIni written(path);
            CString note;
            EXPECT_EQ(CString(), written.GetString(note, section, L"Note", L"")) << name;
        }
        // The members' notes are the archive's own file under the cache root; in a folder they
        // share the folder's note file, which the folder keeps.
        VyxNoteStore copiedMembers(scene.root);
        copiedMembers.SetLocation(copied, L"book.zip");
        EXPECT_EQ(central ? CString(L"中のメモ") : CString(), copiedMembers.ReadNote(L"in\\m.jpg"));
    }
}

TEST(TransferNames, ANameEndingInADotIsCopiedAndMovedAsItStands)
{
    // "dup.jpg" beside "dup.jpg." at the source, and a "dup.jpg" of its own at the destination.
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        TransferScene scene;
        const CString plain = scene.File(scene.src, L"dup.jpg", 100, 1);
        const CString dotted = scene.src + L"\\dup.jpg.";
        ASSERT_TRUE(MakeFile(L"\\\\?\\" + dotted, 120, 2));
        scene.File(scene.dst, L"dup.jpg", 140, 3);
        scene.SetNote(dotted, L"the dotted one");
        auto job = scene.Job(move, Policy::SameAsk);
        job->Add(dotted);
        EXPECT_EQ(1, job->Run());
        EXPECT_EQ(0, job->sameNameQuestions);
        EXPECT_TRUE(job->messages.empty());
        EXPECT_EQ(PatternBytes(120, 2), ReadBytes(L"\\\\?\\" + scene.dst + L"\\dup.jpg."));
        EXPECT_EQ(PatternBytes(140, 3), ReadBytes(scene.dst + L"\\dup.jpg"));
        EXPECT_EQ(PatternBytes(100, 1), ReadBytes(plain));
        EXPECT_EQ(move == 0, Exists(L"\\\\?\\" + dotted));
        EXPECT_EQ(CString(L"the dotted one"), scene.Note(scene.dst + L"\\dup.jpg."));
        EXPECT_EQ(CString(), scene.Note(scene.dst + L"\\dup.jpg"));
    }
}

struct FolderRow
{
    const char* name;
    int mode;
    std::function<INT_PTR(VSameFileDlg&)> answer;
    // What a.jpg of the existing target folder holds afterwards, and where the source's went.
    unsigned keptSeed;
    const wchar_t* sourceCopy;
};

// A folder with notes, a sub-folder and cache files, copied or moved into a destination that
// already holds a folder of that name with a conflicting file, notes and cache file of its own.
void CheckFolderTransfer(bool central, int move, const FolderRow& row)
{
    TransferScene scene(central);
    CString pics = scene.Folder(scene.src, L"Pics");
    CString sub = scene.Folder(pics, L"sub");
    CString a = scene.File(pics, L"a.jpg", 60, 1);
    scene.File(pics, L"b.jpg", 60, 2);
    CString c = scene.File(sub, L"c.jpg", 60, 3);
    SetFileTimes(a, kNew);
    scene.SetNote(a, L"note a");
    scene.SetNote(c, L"note c");
    VyxCacheIndex index(scene.root);
    MakeFile(index.GetThumbsFileName(pics, nullptr), 30, 11);
    MakeFile(index.GetConfigFileName(pics, nullptr), 30, 12);

    CString existing = scene.Folder(scene.dst, L"Pics");
    CString oldA = scene.File(existing, L"a.jpg", 40, 4);
    SetFileTimes(oldA, kOld);
    CString z = scene.File(existing, L"z.jpg", 40, 5);
    scene.SetNote(oldA, L"old a");
    scene.SetNote(z, L"note z");
    MakeFile(index.GetThumbsFileName(existing, nullptr), 30, 13);

    auto job = scene.Job(move, row.mode);
    job->onSameName = row.answer;
    job->Add(pics);
    EXPECT_GT(job->Run(), 0);
    EXPECT_EQ(PatternBytes(row.keptSeed == 1 ? 60 : 40, row.keptSeed), ReadBytes(existing + L"\\a.jpg"));
    EXPECT_EQ(row.keptSeed == 1 ? CString(L"note a") : CString(L"old a"), scene.Note(existing + L"\\a.jpg"));
    if (*row.sourceCopy) {
        EXPECT_EQ(PatternBytes(60, 1), ReadBytes(existing + L"\\" + row.sourceCopy));
        EXPECT_EQ(CString(L"note a"), scene.Note(existing + L"\\" + row.sourceCopy));
    }
    EXPECT_EQ(PatternBytes(60, 2), ReadBytes(existing + L"\\b.jpg"));
    EXPECT_EQ(PatternBytes(60, 3), ReadBytes(existing + L"\\sub\\c.jpg"));
    EXPECT_EQ(CString(L"note c"), scene.Note(existing + L"\\sub\\c.jpg"));
    EXPECT_EQ(CString(L"note z"), scene.Note(z));
    // The target's own cache file holds; the layout file it lacked came along.
    CString thumbs, config;
    ASSERT_TRUE(index.FindThumbsFile(thumbs, existing, nullptr));
    EXPECT_EQ(PatternBytes(30, 13), ReadBytes(thumbs));
    ASSERT_TRUE(index.FindConfigFile(config, existing, nullptr));
    EXPECT_EQ(PatternBytes(30, 12), ReadBytes(config));
    // No note file was carried over as a file: the notes above are the target's own entries.
    bool everythingMoved = move && (row.keptSeed == 1 || *row.sourceCopy);
    EXPECT_EQ(!everythingMoved, Exists(pics));
    if (!move) {
        EXPECT_EQ(CString(L"note a"), scene.Note(a));
        EXPECT_EQ(CString(L"note c"), scene.Note(c));
    } else if (!everythingMoved) {
        // The file left behind keeps its note; the folder stays for it.
        EXPECT_TRUE(Exists(a));
        EXPECT_EQ(CString(L"note a"), scene.Note(a));
        EXPECT_FALSE(Exists(c));
    } else {
        CString left;
        EXPECT_FALSE(index.FindThumbsFile(left, pics, nullptr));
        EXPECT_FALSE(index.FindNoteFile(left, pics, nullptr));
    }
}

TEST(TransferFolder, AFolderCopiedOrMovedIntoAnExistingOneKeepsEveryNoteUnderEachPolicy)
{
    const FolderRow rows[] = {
        {"overwrite", Policy::SameOverwrite, nullptr, 1, L""},
        {"newer", Policy::SameNewer, nullptr, 1, L""},
        {"serial", Policy::SameSerial, nullptr, 4, L"a-2.jpg"},
        {"ask, then ignore", Policy::SameAsk, Answer(Policy::SameIgnore), 4, L""},
        {"ask, then serial", Policy::SameAsk, Answer(Policy::SameSerial), 4, L"a-2.jpg"},
    };
    for (bool central : {false, true})
        for (int move : {0, 1})
            for (const FolderRow& row : rows) {
                SCOPED_TRACE(testing::Message() << row.name << (move ? ", move" : ", copy")
                                                << (central ? ", central notes" : ", notes in the folders"));
                CheckFolderTransfer(central, move, row);
            }
}

TEST(TransferFolder, AFolderMovedIntoANewPlaceLeavesNothingBehindAndAFolderIsNotCopiedTwice)
{
    TransferScene scene;
    CString pics = scene.Folder(scene.src, L"Pics");
    scene.File(pics, L"a.jpg");
    scene.SetNote(pics + L"\\a.jpg", L"メモ");
    // A note whose file is gone belongs to nothing; it goes with the folder.
    scene.SetNote(pics + L"\\gone.jpg", L"orphan");
    auto job = scene.Job(1, Policy::SameAsk);
    job->Add(pics);
    EXPECT_EQ(2, job->Run());
    EXPECT_FALSE(Exists(pics));
    EXPECT_EQ(std::vector<CString>{L"Pics"}, FolderEntries(scene.dst));
    EXPECT_EQ((std::vector<CString>{L"_NOTE_.KWI", L"a.jpg"}), FolderEntries(scene.dst + L"\\Pics"));
    EXPECT_EQ(CString(L"メモ"), scene.Note(scene.dst + L"\\Pics\\a.jpg"));
}

// ---------------------------------------------------------------- moves

TEST(TransferMove, ACrossDriveMoveCopiesThenDeletesTheSourceWithItsNote)
{
    TransferScene scene;
    SecondDriveFolder other;
    ASSERT_FALSE(other.Path().IsEmpty()) << "the test script mapped no second drive";
    CString source = scene.File(scene.src, L"far.jpg", 100000, 7);
    scene.SetNote(source, L"遠くへ");
    SetFileAttributesW(source, FILE_ATTRIBUTE_READONLY);
    auto job = scene.Job(1, Policy::SameAsk);
    job->Add(source);
    EXPECT_EQ(1, job->Run(other.Path()));
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(PatternBytes(100000, 7), ReadBytes(other / L"far.jpg"));
    EXPECT_EQ(CString(L"遠くへ"), scene.Note(other / L"far.jpg"));
    EXPECT_EQ(CString(), scene.Note(source));
    EXPECT_TRUE(job->messages.empty());
}

TEST(TransferMove, ASourceThatCannotBeDeletedAfterACrossDriveCopyCountsAsNotMoved)
{
    TransferScene scene;
    SecondDriveFolder other;
    ASSERT_FALSE(other.Path().IsEmpty());
    CString source = scene.File(scene.src, L"held.jpg", 5000, 8);
    scene.SetNote(source, L"残るメモ");
    auto job = scene.Job(1, Policy::SameAsk);
    job->Add(source);
    {
        // Readable by others, but not deletable while another program holds it.
        LockedFile lock(source, FILE_SHARE_READ);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_EQ(0, job->Run(other.Path()));
    }
    ASSERT_EQ(1u, job->messages.size());
    EXPECT_EQ(0, job->messages[0].Find(source));
    EXPECT_TRUE(job->HasChangedFiles());
    EXPECT_EQ(PatternBytes(5000, 8), ReadBytes(source));
    EXPECT_EQ(PatternBytes(5000, 8), ReadBytes(other / L"held.jpg"));
    EXPECT_EQ(CString(L"残るメモ"), scene.Note(source));
    EXPECT_EQ(CString(L"残るメモ"), scene.Note(other / L"held.jpg"));
}

TEST(TransferMove, ASameDriveMoveReplacesInOneStepAndAFailureLeavesTheOldTarget)
{
    TransferScene scene;
    CString source = scene.File(scene.src, L"m.jpg", 80, 1);
    CString target = scene.File(scene.dst, L"m.jpg", 30, 2);
    auto job = scene.Job(1, Policy::SameOverwrite);
    job->Add(source);
    {
        // The source cannot be taken away while another program holds it: the old target stays.
        LockedFile lock(source, FILE_SHARE_READ);
        EXPECT_EQ(0, job->Run());
    }
    ASSERT_EQ(1u, job->messages.size());
    EXPECT_EQ(PatternBytes(80, 1), ReadBytes(source));
    EXPECT_EQ(PatternBytes(30, 2), ReadBytes(target));

    auto again = scene.Job(1, Policy::SameOverwrite);
    again->Add(source);
    EXPECT_EQ(1, again->Run());
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(PatternBytes(80, 1), ReadBytes(target));
}

TEST(TransferMove, AReadOnlyTargetIsNeverReplaced)
{
    for (int move : {0, 1}) {
        SCOPED_TRACE(move ? "move" : "copy");
        TransferScene scene;
        CString source = scene.File(scene.src, L"r.jpg", 80, 1);
        CString target = scene.File(scene.dst, L"r.jpg", 30, 2);
        SetFileAttributesW(target, FILE_ATTRIBUTE_READONLY);
        auto job = scene.Job(move, Policy::SameOverwrite);
        job->Add(source);
        EXPECT_EQ(0, job->Run());
        EXPECT_EQ(1u, job->messages.size());
        EXPECT_EQ(PatternBytes(80, 1), ReadBytes(source));
        EXPECT_EQ(PatternBytes(30, 2), ReadBytes(target));
        EXPECT_EQ((std::vector<CString>{L"r.jpg"}), FolderEntries(scene.dst));
    }
}

TEST(TransferMove, ALockedSourceOffersRetryAndRetryMovesItOnceFree)
{
    TransferScene scene;
    CString source = scene.File(scene.src, L"busy.jpg", 80, 1);
    auto lock = std::make_unique<LockedFile>(source);
    ASSERT_TRUE(lock->IsLocked());
    auto job = scene.Job(1, Policy::SameAsk);
    job->Add(source);
    job->onMessage = [&](const CString&, UINT type) {
        EXPECT_EQ(UINT(MB_ABORTRETRYIGNORE | MB_ICONSTOP), type);
        lock.reset();
        return IDRETRY;
    };
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ(1u, job->messages.size());
    EXPECT_EQ(PatternBytes(80, 1), ReadBytes(scene.dst + L"\\busy.jpg"));
    EXPECT_FALSE(Exists(source));
}

TEST(TransferMove, NetworkPathsMoveInPlaceOnlyOnTheSameShare)
{
    struct Row
    {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Row rows[] = {
        {L"C:\\a\\x.jpg", L"c:\\b\\x.jpg", true},
        {L"C:\\a\\x.jpg", L"D:\\a\\x.jpg", false},
        {L"\\\\server\\share\\a\\x.jpg", L"\\\\SERVER\\Share\\b\\x.jpg", true},
        {L"\\\\server\\share\\a\\x.jpg", L"\\\\server\\other\\a\\x.jpg", false},
        {L"\\\\server\\share\\a\\x.jpg", L"\\\\host\\share\\a\\x.jpg", false},
        {L"\\\\server\\share\\x.jpg", L"C:\\x.jpg", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.same, VyxFileTransfer::OnSameDrive(row.a, row.b)) << CStringA(row.a) << " " << CStringA(row.b);
}

// ---------------------------------------------------------------- failures

TEST(TransferFailure, RetryCopiesAgainIgnoreSkipsAndAbortStopsKeepingWhatWasDone)
{
    struct Row
    {
        int answer;
        int expected;
        bool firstThere;
        bool secondThere;
    };
    const Row rows[] = {{IDRETRY, 2, true, true}, {IDIGNORE, 1, false, true}, {IDABORT, 0, false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        TransferScene scene;
        auto job = scene.Job(1, Policy::SameAsk);
        SecondDriveFolder other;
        ASSERT_FALSE(other.Path().IsEmpty());
        CString first = scene.File(scene.src, L"1.jpg", 50000, 1);
        CString second = scene.File(scene.src, L"2.jpg", 500, 2);
        job->Add(first);
        job->Add(second);
        auto full = std::make_unique<FailingWrites>(10000);
        job->onMessage = [&](const CString& text, UINT) {
            EXPECT_EQ(GetFileOpErrorText(ERROR_DISK_FULL), text);
            full.reset();
            return row.answer;
        };
        EXPECT_EQ(row.expected, job->Run(other.Path()));
        EXPECT_EQ(1u, job->messages.size());
        EXPECT_EQ(row.firstThere, Exists(other / L"1.jpg"));
        EXPECT_EQ(row.secondThere, Exists(other / L"2.jpg"));
        // The sources of what was not moved are whole; no partial file was left anywhere.
        EXPECT_EQ(!row.firstThere, Exists(first));
        if (!row.firstThere) {
            EXPECT_EQ(PatternBytes(50000, 1), ReadBytes(first));
        }
        EXPECT_EQ(size_t(row.firstThere) + size_t(row.secondThere), FolderEntries(other.Path()).size());
    }
}

TEST(TransferFailure, AFullDiskKeepsTheOldTargetAndTheSourceOfAMove)
{
    TransferScene scene;
    SecondDriveFolder other;
    ASSERT_FALSE(other.Path().IsEmpty());
    CString source = scene.File(scene.src, L"big.jpg", 300000, 3);
    CString target = other / L"big.jpg";
    MakeFile(target, 1000, 4);
    auto job = scene.Job(1, Policy::SameOverwrite);
    job->Add(source);
    FailingWrites full(150000);
    EXPECT_EQ(0, job->Run(other.Path()));
    EXPECT_EQ(PatternBytes(300000, 3), ReadBytes(source));
    EXPECT_EQ(PatternBytes(1000, 4), ReadBytes(target));
    EXPECT_EQ(std::vector<CString>{L"big.jpg"}, FolderEntries(other.Path()));
}

TEST(TransferFailure, AMoveOntoARealFullFileSystemKeepsItsSource)
{
    CString disk = SmallDiskFolder();
    VYX_NEEDS_SETUP_PART(!disk.IsEmpty(), "a small file system");
    TransferScene scene;
    CString source = scene.File(scene.src, L"large.jpg", 2 * 1024 * 1024, 6);
    CString fits = scene.File(scene.src, L"small.jpg", 1000, 7);
    auto job = scene.Job(1, Policy::SameAsk);
    job->Add(source);
    job->Add(fits);
    EXPECT_EQ(1, job->Run(disk));
    EXPECT_EQ(PatternBytes(2 * 1024 * 1024, 6), ReadBytes(source));
    EXPECT_FALSE(Exists(fits));
    EXPECT_EQ(std::vector<CString>{L"small.jpg"}, FolderEntries(disk));
    DeleteFileW(disk + L"\\small.jpg");
}

TEST(TransferFailure, ASubFolderThatCannotBeMadeIsReportedAndStopsTheJob)
{
    TransferScene scene;
    CString pics = scene.Folder(scene.src, L"Pics");
    scene.File(scene.Folder(pics, L"sub"), L"c.jpg");
    CString later = scene.File(scene.src, L"later.jpg");
    // A file holds the name the sub-folder needs at the destination.
    CString blocked = scene.Folder(scene.dst, L"Pics") + L"\\sub";
    MakeFile(blocked, 10, 3);
    auto job = scene.Job(0, Policy::SameAsk);
    job->Add(pics);
    job->Add(later);
    EXPECT_EQ(0, job->Run());
    ASSERT_EQ(1u, job->messages.size());
    EXPECT_EQ(0, job->messages[0].Find(blocked));
    EXPECT_EQ(PatternBytes(10, 3), ReadBytes(blocked));
    EXPECT_FALSE(Exists(scene.dst + L"\\later.jpg"));
}

TEST(TransferFailure, AnUnusableDestinationIsReportedAndNothingRuns)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameAsk);
    job->Add(scene.File(scene.src, L"x.jpg"));
    EXPECT_EQ(0, job->Run(L""));
    ASSERT_EQ(1u, job->messages.size());
    EXPECT_NE(-1, job->messages[0].Find(L"フォルダの指定が正しくありません"));
}

// ---------------------------------------------------------------- the progress window

class TransferProgress : public testing::Test
{
protected:
    CTestHostWnd m_owner;
};

TEST_F(TransferProgress, ACancelInTheMiddleOfALargeFileLeavesTheSourceWholeAndNoPartialTarget)
{
    TransferScene scene;
    SecondDriveFolder other;
    ASSERT_FALSE(other.Path().IsEmpty());
    CString source = scene.File(scene.src, L"huge.bin", 4 * 1024 * 1024, 9);
    auto job = scene.Job(1, Policy::SameAsk);
    job->SetCopyBufferSize(0);
    job->CreateProgress(&m_owner);
    ASSERT_NE(nullptr, job->GetProgress());
    job->Add(source);
    // The user presses the button half way through the file. The window takes its messages at
    // its own pace during a copy: the block after the press is held until a pump is due, so the
    // copy cannot outrun the press.
    unsigned long long written = 0;
    bool pressed = false;
    CopyTarget::SetWriteFunction([&](HANDLE file, const void* data, DWORD size, DWORD* done) {
        written += size;
        if (written == 2 * 1024 * 1024) {
            job->GetProgress()->PostMessage(WM_COMMAND, IDCANCEL);
            pressed = true;
        } else if (pressed) {
            for (DWORD held = GetTickCount();
                 !job->GetProgress()->IsPumpDue() && GetTickCount() - held <= VFileAccDlg::kLongestPumpPause;)
                Sleep(1);
        }
        return ::WriteFile(file, data, size, done, nullptr);
    });
    job->onMessage = [&](const CString& text, UINT) {
        EXPECT_EQ(CString(L"ユーザにより中断されました"), text);
        EXPECT_EQ(1, job->GetProgress()->IsCancelled());
        return IDABORT;
    };
    EXPECT_EQ(0, job->Run(other.Path()));
    CopyTarget::SetWriteFunction(nullptr);
    EXPECT_EQ(1u, job->messages.size());
    EXPECT_LT(written, 4ull * 1024 * 1024);
    EXPECT_EQ(PatternBytes(4 * 1024 * 1024, 9), ReadBytes(source));
    EXPECT_TRUE(FolderEntries(other.Path()).empty());
    // The flag was answered: a later copy is not stopped by it.
    EXPECT_EQ(0, job->GetProgress()->IsCancelled());
}

// A window of the test's own: notes the file range the progress window showed when its message
// came through the job's pump.
LRESULT CALLBACK NoteRangeWhenAsked(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        *reinterpret_cast<int*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA)) =
            VFileAccDlg::GetActive() ? VFileAccDlg::GetActive()->m_fileUpper : -1;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

TEST_F(TransferProgress, TheWindowTakesItsMessagesWhileTheFolderIsStillBeingCounted)
{
    TransferScene scene;
    const CString folder = scene.src + L"\\many";
    ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
    for (int i = 0; i < 150; ++i) {
        CString name;
        name.Format(L"%03d.jpg", i);
        scene.File(folder, name, 10);
    }
    WNDCLASSW type = {};
    type.lpfnWndProc = &NoteRangeWhenAsked;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"VyxTestRangeNote";
    RegisterClassW(&type);
    HWND witness = CreateWindowW(L"VyxTestRangeNote", L"", 0, 0, 0, 10, 10, nullptr, nullptr, type.hInstance, nullptr);
    ASSERT_NE(nullptr, witness);
    int rangeWhenAsked = 0;
    SetWindowLongPtrW(witness, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&rangeWhenAsked));
    auto job = scene.Job(0, Policy::SameAsk);
    job->CreateProgress(&m_owner);
    job->Add(folder);
    PostMessageW(witness, WM_APP, 0, 0);
    EXPECT_EQ(151, job->Run());
    // Answered before the count ended: the range then still stood as the window opened with it.
    EXPECT_NE(0, rangeWhenAsked);
    EXPECT_NE(job->GetProgress()->m_fileUpper, rangeWhenAsked);
    EXPECT_EQ(151, job->GetProgress()->m_fileUpper);
    DestroyWindow(witness);
}

TEST_F(TransferProgress, ACancelBetweenFilesStopsBeforeTheNextItem)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameAsk);
    job->CreateProgress(&m_owner);
    job->Add(scene.File(scene.src, L"1.jpg"));
    job->Add(scene.File(scene.src, L"2.jpg"));
    job->Add(scene.File(scene.src, L"3.jpg"));
    scene.File(scene.dst, L"2.jpg", 10, 5);
    job->onSameName = [&](VSameFileDlg& dialog) {
        // The press reaches the window through the question's own message loop, as a modal
        // dialog's would.
        job->GetProgress()->PostMessage(WM_COMMAND, IDCANCEL);
        job->GetProgress()->PumpMessages();
        return Answer(Policy::SameIgnore)(dialog);
    };
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ((std::vector<CString>{L"1.jpg", L"2.jpg"}), FolderEntries(scene.dst));
    EXPECT_EQ(PatternBytes(10, 5), ReadBytes(scene.dst + L"\\2.jpg"));
    EXPECT_EQ(CString(L"中断待機"), TextOf(::GetDlgItem(job->GetProgress()->GetSafeHwnd(), IDCANCEL)));
    EXPECT_FALSE(m_owner.IsWindowEnabled());
    job.reset();
    EXPECT_TRUE(m_owner.IsWindowEnabled());
}

TEST(TransferRun, TheCurrentDirectoryIsGivenBackHoweverTheRunEnds)
{
    TransferScene scene;
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    auto job = scene.Job(0, Policy::SameAsk);
    job->Add(scene.File(scene.src, L"a.jpg"));
    job->Add(scene.File(scene.src, L"b.jpg"));
    scene.File(scene.dst, L"b.jpg");
    EXPECT_EQ(1, job->Run());
    wchar_t after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(CString(before), CString(after));
}

TEST(TransferItems, TheJobKeepsItsOwnCopyOfEveryItem)
{
    TransferScene scene;
    auto job = scene.Job(0, Policy::SameAsk);
    auto* callers = new VyxFile(scene.File(scene.src, L"kept.jpg"));
    job->AddItem(callers, 0);
    // The caller's item goes while the job waits (as a picture window's can).
    delete callers;
    auto* owned = new VyxFile(scene.File(scene.src, L"owned.jpg"));
    job->AddItem(owned, 1);
    EXPECT_EQ(owned, job->GetItem(1));
    EXPECT_NE(nullptr, job->GetItem(0));
    EXPECT_EQ(2, job->Run());
    EXPECT_TRUE(Exists(scene.dst + L"\\kept.jpg"));
}

TEST(TransferArchive, AMemberIsExtractedWithItsNoteAndTheArchiveStaysWhole)
{
    TransferScene scene;
    TestArchivePlugin plugin;
    ASSERT_GE(plugin.Id(), 0);
    CString archive = scene.src + L"\\box.tarc";
    std::string bytes = plugintest::MakeTestArchive(0, {{"", "inner.jpg", "member bytes", 0, 1100000000}});
    ASSERT_TRUE(WriteBytes(archive, bytes));
    std::vector<VyxFile*> members = plugin.Members(archive);
    ASSERT_EQ(1u, members.size());
    members[0]->SetNoteText(L"書庫のメモ");
    auto job = scene.Job(1, Policy::SameOverwrite);
    job->AddItem(members[0], 1);
    EXPECT_EQ(1, job->Run());
    EXPECT_EQ("member bytes", ReadBytes(scene.dst + L"\\inner.jpg"));
    EXPECT_EQ(CString(L"書庫のメモ"), scene.Note(scene.dst + L"\\inner.jpg"));
    EXPECT_EQ(bytes, ReadBytes(archive));
}

TEST(TransferArchive, AFailedExtractionIsReportedAndLeavesNoPartOfAFile)
{
    TransferScene scene;
    TestArchivePlugin plugin;
    CString archive = scene.src + L"\\box.tarc";
    ASSERT_TRUE(
        WriteBytes(archive, plugintest::MakeTestArchive(0, {{"", "inner.jpg", "member bytes", 0, 1100000000}})));
    std::vector<VyxFile*> members = plugin.Members(archive);
    ASSERT_EQ(1u, members.size());
    CString target = scene.File(scene.dst, L"inner.jpg", 20, 3);
    // The archive loses its member data before the job runs.
    std::string cut = ReadBytes(archive);
    ASSERT_TRUE(WriteBytes(archive, cut.substr(0, cut.size() - 8)));
    auto job = scene.Job(0, Policy::SameOverwrite);
    job->AddItem(members[0], 1);
    EXPECT_EQ(0, job->Run());
    EXPECT_EQ(1u, job->messages.size());
    EXPECT_EQ(PatternBytes(20, 3), ReadBytes(target));
    EXPECT_EQ(std::vector<CString>{L"inner.jpg"}, FolderEntries(scene.dst));
}

} // namespace
