// The main frame's file-operation jobs: a job that arrives while another runs waits for its turn
// when it was posted, whoever made it.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "browser/CKWDocPictureOutput.h"
#include "catalogue/VyxDropFormats.h"
#include "catalogue/VyxFile.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxFileUtil.h"
#include "framework/AfxOleInit.h"

#include <atomic>

namespace {

class FrameFileJobs : public testing::Test
{
protected:
    // The paste reads the clipboard through OLE, which the program brings up at start.
    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
};

// Another program's files on the clipboard: the file list alone.
void PutFilesOnClipboard(const CString& path)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, VyxDropFormats::MakeFileList({path}, POINT{}));
    CloseClipboard();
}

} // namespace

TEST_F(FrameFileJobs, AnotherProgramsPastePostedBeforeACopyWaitsForItAndBothRun)
{
    FrameProgram p;
    FrameworkScratchFolder outside, copies;
    const CString pasted = outside.WriteFile(L"外から_1.jpg", "outside");
    PutFilesOnClipboard(pasted);
    CKWDoc* doc = p.Document();
    for (int i = 0; i < doc->GetItemCount(); ++i)
        doc->SelectItem(i, doc->GetItem(i)->GetFileName() == L"a.jpg", nullptr);

    // The paste's job is posted; the copy's, sent before anything was pumped, runs at once and
    // lets the posted one through while it runs. A message box meanwhile is written down.
    std::atomic<bool> copied{false};
    CString told;
    {
        HelperThread watcher([&] {
            WaitUntil(
                [&] {
                    HWND box = copied ? nullptr : WaitForMessageBox(&told, 0);
                    if (box)
                        PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return copied || box;
                },
                60000);
        });
        p.Frame()->SendMessage(WM_COMMAND, ID_EDIT_PASTE);
        EXPECT_FALSE(PathExists(p.m_folder / L"外から_1.jpg", 0));
        CKWDocPictureOutput(*doc).TransferSelected(copies.Path(), 0, VyxFileTransfer::SameOverwrite, false);
        copied = true;
    }
    EXPECT_EQ("aaaa", FrameworkScratchFolder::ReadFile(copies / L"a.jpg"));
    EXPECT_TRUE(PumpUntil([&] { return PathExists(p.m_folder / L"外から_1.jpg", 0); }, 30000));
    EXPECT_EQ("outside", FrameworkScratchFolder::ReadFile(p.m_folder / L"外から_1.jpg"));
    EXPECT_TRUE(told.IsEmpty()) << CStringA(told);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}
