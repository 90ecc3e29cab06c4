#include <gtest/gtest.h>

#include "browser/SubFolderProbe.h"
#include "common/FrameworkTestUtil.h"

#include <map>

namespace {

const wchar_t kArchiveSpecs[] = L"*.zip\0*.lzh\0";

// The answers of the probe until every question is answered, by key.
std::map<UINT_PTR, int> Answers(SubFolderProbe& probe)
{
    std::map<UINT_PTR, int> answers;
    for (int round = 0; round < 2000; ++round) {
        UINT_PTR key = 0;
        int answer = 0;
        while (probe.Take(key, answer))
            answers[key] = answer;
        if (!probe.IsBusy())
            break;
        probe.Wait();
    }
    return answers;
}

} // namespace

TEST(SubFolderProbe, TellsSubFoldersFromArchivesAndPlainFiles)
{
    FrameworkScratchFolder root;
    CreateDirectoryW(root / L"empty", nullptr);
    CreateDirectoryW(root / L"files", nullptr);
    CreateDirectoryW(root / L"archive", nullptr);
    CreateDirectoryW(root / L"hidden", nullptr);
    CreateDirectoryW(root / L"both", nullptr);
    CreateDirectoryW(root / L"both\\inner", nullptr);
    for (int i = 0; i < 50; ++i)
        root.WriteFile(CString(L"files\\p") + std::to_wstring(i).c_str() + L".jpg", "x");
    root.WriteFile(L"archive\\a.jpg", "x");
    root.WriteFile(L"archive\\b.zip", "x");
    root.WriteFile(L"hidden\\c.lzh", "x");
    SetFileAttributesW(root / L"hidden\\c.lzh", FILE_ATTRIBUTE_HIDDEN);
    root.WriteFile(L"both\\d.zip", "x");

    EXPECT_EQ(0, SubFolderProbe::Answer(root / L"empty", false, kArchiveSpecs));
    EXPECT_EQ(0, SubFolderProbe::Answer(root / L"files", true, kArchiveSpecs));
    EXPECT_EQ(2, SubFolderProbe::Answer(root / L"archive", false, kArchiveSpecs));
    // Without archives asked for, an archive is a plain file.
    EXPECT_EQ(0, SubFolderProbe::Answer(root / L"archive", false, nullptr));
    EXPECT_EQ(0, SubFolderProbe::Answer(root / L"hidden", false, kArchiveSpecs));
    EXPECT_EQ(2, SubFolderProbe::Answer(root / L"hidden", true, kArchiveSpecs));
    // A sub-folder wins over an archive met before it, and a separator at the end changes nothing.
    EXPECT_EQ(1, SubFolderProbe::Answer(root / L"both\\", false, kArchiveSpecs));
    EXPECT_EQ(1, SubFolderProbe::Answer(root.Path(), false, nullptr));
    EXPECT_EQ(0, SubFolderProbe::Answer(root / L"missing", false, kArchiveSpecs));
    EXPECT_EQ(0, SubFolderProbe::Answer(L"", false, kArchiveSpecs));
}

TEST(SubFolderProbe, AnswersOnItsThreadAndDropsWhatIsNoLongerAsked)
{
    FrameworkScratchFolder root;
    CreateDirectoryW(root / L"sub", nullptr);
    CreateDirectoryW(root / L"sub\\inner", nullptr);
    CreateDirectoryW(root / L"archive", nullptr);
    root.WriteFile(L"archive\\b.zip", "x");
    CreateDirectoryW(root / L"empty", nullptr);

    SubFolderProbe probe;
    EXPECT_FALSE(probe.IsBusy());
    probe.Ask(1, root / L"sub", false, L"*.zip");
    probe.Ask(2, root / L"archive", false, L"*.zip");
    probe.Ask(3, root / L"empty", false, L"*.zip");
    // Key 4 is asked about twice: only the latest question's answer counts.
    probe.Ask(4, root / L"sub", false, L"*.zip");
    probe.Ask(4, root / L"archive", false, L"*.zip");
    // Key 5's item went away before its answer was taken.
    probe.Ask(5, root / L"sub", false, L"");
    probe.Forget(5);
    const std::map<UINT_PTR, int> answers = Answers(probe);
    EXPECT_EQ((std::map<UINT_PTR, int>{{1, 1}, {2, 2}, {3, 0}, {4, 2}}), answers);
    EXPECT_FALSE(probe.IsBusy());

    // Cleared questions are never answered; the probe goes on answering new ones.
    probe.Ask(6, root / L"sub", false, L"");
    probe.Clear();
    probe.Ask(7, root / L"archive", false, L"*.zip");
    const std::map<UINT_PTR, int> later = Answers(probe);
    EXPECT_EQ(0u, later.count(6));
    EXPECT_EQ(2, later.count(7) ? later.at(7) : -1);
}
