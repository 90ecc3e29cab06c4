// The document's save in another format: sizes, formats, a multi-page TIFF written page by page,
// a file of the same name never replaced without an answer, and requests past the image library's
// bound refused with the question whether to go on.
#include "DocumentCommandUtil.h"

#include "browser/CKWDocPictureOutput.h"
#include "common/FullDisk.h"
#include "common/MetadataJpeg.h"

#include "fileops/CFileSaveDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "image/DibCore.h"
#include "image/codecs/JpegMemory.h"
#include "image/codecs/TiffFile.h"
#include "res/resource.h"

#include <algorithm>
#include <atomic>

using namespace doccommands;

namespace {

// The picture of a written file, read back through the image library; null when it reads as none.
HGLOBAL ReadBack(const std::wstring& path, DWORD page = 0)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    if (bytes.empty())
        return nullptr;
    TiffFile tiff;
    tiff.m_page = page;
    tiff.m_data = reinterpret_cast<const BYTE*>(bytes.data());
    tiff.m_dataSize = static_cast<DWORD>(bytes.size());
    return tiff.Decode() == 0 ? tiff.m_dib : nullptr;
}

int TiffPages(const std::wstring& path)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    TiffFile tiff;
    tiff.m_data = reinterpret_cast<const BYTE*>(bytes.data());
    tiff.m_dataSize = static_cast<DWORD>(bytes.size());
    return tiff.CountPages();
}

// Every picture as a page of one TIFF file in the folder.
void AskForOneTiff(CFileSaveDlg& options, const std::wstring& folder)
{
    options.m_folder = folder.c_str();
    options.Format = CFileSaveDlg::FormatTiff;
    options.TifMultiPage = TRUE;
}

// From a helper thread: the same-name question answered with replacing the file, closed with the
// button (OK, or the one for all that follow); false when no question came.
bool ReplaceWhenAsked(int button)
{
    DialogDriver question(L"同名ファイルが存在しています");
    if (!question.dialog)
        return false;
    question.Command(IDC_SAME_NEWER + VyxFileTransfer::SameOverwrite);
    question.Command(button);
    return true;
}

} // namespace

TEST(SavePictures, EachPictureIsWrittenInTheChosenSizeAndTheFolderAnnounced)
{
    PictureDocument d(3);
    d.Document().SelectItem(1, false, nullptr);
    CFileSaveDlg options;
    options.m_folder = d.out.Path().c_str();
    options.Format = CFileSaveDlg::FormatBmp;
    options.SizeMode = CFileSaveDlg::SizeScaled;
    options.Scale = 0.5;
    CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    EXPECT_TRUE(SameSize(SIZE{8, 6}, BmpSize(d.Out(L"p00.bmp"))));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"p01.bmp")));
    EXPECT_TRUE(SameSize(SIZE{8, 6}, BmpSize(d.Out(L"p02.bmp"))));
    EXPECT_EQ(std::vector<std::wstring>{L"21 " + d.out.Path()}, HintsOf(d.scope.Heard(), HintFolderChanged));
    // The document's items keep their own settings.
    EXPECT_EQ(0, d.Document().GetItem(0)->GetAngle());

    // A quarter turn with the size kept swaps the sides.
    options.SizeMode = CFileSaveDlg::SizeKeep;
    options.RotateAngle = 450;
    options.Format = CFileSaveDlg::FormatTiff;
    options.TifCodec = 1;
    CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    dibtest::Dib turned(ReadBack(d.Out(L"p00.tif")));
    ASSERT_NE(nullptr, static_cast<HGLOBAL>(turned));
    EXPECT_EQ(12, GetDibWidth(turned));
    EXPECT_EQ(16, GetDibHeight(turned));
}

TEST(SavePictures, AMultiPageTiffHoldsEveryPictureInOneFileNamedAfterTheFirst)
{
    PictureDocument d(3);
    CFileSaveDlg options;
    AskForOneTiff(options, d.out.Path());
    CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    EXPECT_EQ(3, TiffPages(d.Out(L"p00.tif")));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"p01.tif")));
    dibtest::Dib last(ReadBack(d.Out(L"p00.tif"), 2));
    ASSERT_NE(nullptr, static_cast<HGLOBAL>(last));
    EXPECT_EQ(16, GetDibWidth(last));
}

TEST(SavePictures, AMultiPageTiffThatCannotBeWrittenLeavesTheFileItWasToReplace)
{
    PictureDocument d(2);
    CFileSaveDlg options;
    AskForOneTiff(options, d.out.Path());
    d.Document().SetAllSelection(false);
    d.Document().SelectItem(0, true, nullptr);
    CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    ASSERT_EQ(1, TiffPages(d.Out(L"p00.tif")));
    const std::string before = ScratchFolder::ReadFile(d.Out(L"p00.tif"));
    // Both pictures over it, told to replace it, on a disk that takes nothing more.
    auto saveOver = [&](std::vector<CString>* told) {
        d.Document().SetAllSelection(true);
        HelperThread answers([&] {
            if (!ReplaceWhenAsked(IDOK))
                return;
            for (int button : {IDNO, IDOK}) {
                if (!told)
                    break;
                CString text;
                AnswerMessageBox(&text, button);
                told->push_back(text);
            }
        });
        CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    };
    std::vector<CString> told;
    {
        FullDisk disk;
        ASSERT_TRUE(disk);
        saveOver(&told);
    }
    ASSERT_EQ(2u, told.size());
    EXPECT_NE(-1, told[0].Find(L"継続しますか"));
    EXPECT_NE(-1, told[1].Find(L"ファイルの保存に失敗しました"));
    EXPECT_EQ(before, ScratchFolder::ReadFile(d.Out(L"p00.tif")));
    EXPECT_EQ((std::set<std::wstring>{L"p00.tif"}), d.out.Names());
    // With room on the disk the same answer replaces it.
    saveOver(nullptr);
    EXPECT_EQ(2, TiffPages(d.Out(L"p00.tif")));
    EXPECT_EQ((std::set<std::wstring>{L"p00.tif"}), d.out.Names());
}

TEST(SavePictures, AFileOfTheSameNameIsNeverReplacedWithoutAnAnswer)
{
    PictureDocument d(2);
    ASSERT_TRUE(ScratchFolder::WriteFile(d.Out(L"p00.bmp"), "old"));
    CFileSaveDlg options;
    options.m_folder = d.out.Path().c_str();
    // The same-name question is cancelled: the walk ends there.
    bool asked = false;
    {
        HelperThread cancel([&] {
            DialogDriver question(L"同名ファイルが存在しています");
            asked = question.dialog != nullptr;
            if (asked)
                question.Command(IDCANCEL);
        });
        CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ("old", ScratchFolder::ReadFile(d.Out(L"p00.bmp")));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"p01.bmp")));
}

TEST(SavePictures, ASizePastTheImageLibrarysBoundFailsBeforeAnythingIsMadeAndAsksWhetherToGoOn)
{
    PictureDocument d(2);
    CFileSaveDlg options;
    options.m_folder = d.out.Path().c_str();
    options.SizeMode = CFileSaveDlg::SizeGiven;
    options.Width = 100000;
    options.Height = 100000;
    std::vector<CString> asked;
    {
        HelperThread answers([&] {
            for (int button : {IDYES, IDNO}) {
                CString text;
                AnswerMessageBox(&text, button);
                asked.push_back(text);
            }
        });
        CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
    }
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(CString(L"p00.bmp\n\nファイルの保存に失敗しました\n\n継続しますか？"), asked[0]);
    EXPECT_NE(-1, asked[1].Find(L"p01.bmp"));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"p00.bmp")));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"p01.bmp")));
}

TEST(SavePictures, APhotoConvertedOverItsOwnFileKeepsAllItsMetadataUprightAndOneBesideItNone)
{
    OwnPlugins plugins;
    CommandDocumentScope scope;
    CStandInFrame frame;
    const std::wstring path = scope.folder / L"IMG_0004.JPG";
    const std::vector<BYTE> photo = metajpeg::MetadataJpeg(64, 48, metajpeg::Orientation::InExifDirectory);
    ASSERT_TRUE(ScratchFolder::WriteFile(path, std::string(photo.begin(), photo.end())));
    scope.Open();
    scope.Document().SetAllSelection(true);
    CFileSaveDlg options;
    options.m_folder = scope.folder.Path().c_str();
    options.Format = CFileSaveDlg::FormatJpeg;
    options.RotateAngle = 90;
    // Into its own folder: the same-name question answered with replacing it.
    {
        HelperThread answer([] { ReplaceWhenAsked(IDOK); });
        CKWDocPictureOutput(scope.Document()).SaveSelectedPictures(options);
    }
    const std::string saved = ScratchFolder::ReadFile(path);
    const auto segments = metajpeg::MetadataSegments(saved);
    ASSERT_EQ(5u, segments.size());
    EXPECT_EQ(0xE1, segments[0].first);
    std::string upright = metajpeg::Xmp(false);
    upright.replace(upright.find("Orientation=\"6\""), 15, "Orientation=\"1\"");
    EXPECT_EQ(metajpeg::KeptSegments(upright), decltype(segments)(segments.begin() + 1, segments.end()));
    EXPECT_EQ(std::vector<long>{1}, metajpeg::ExifOrientations(saved));
    const std::vector<BYTE> thumbnail = metajpeg::Thumbnail();
    EXPECT_EQ(std::string::npos, saved.find(std::string(thumbnail.begin(), thumbnail.end())));
    LONG width = 0, height = 0;
    ASSERT_TRUE(JpegReadSize(reinterpret_cast<const BYTE*>(saved.data()), saved.size(), &width, &height));
    EXPECT_EQ(48, width);
    EXPECT_EQ(64, height);

    // Into another folder the picture goes alone.
    ScratchFolder out(L"docout");
    options.m_folder = out.Path().c_str();
    CKWDocPictureOutput(scope.Document()).SaveSelectedPictures(options);
    const auto plain = metajpeg::MetadataSegments(ScratchFolder::ReadFile(out / L"IMG_0004.jpg"));
    ASSERT_EQ(1u, plain.size());
    EXPECT_EQ(0xE0, plain[0].first);
}

TEST(SavePictures, TheCommandIsGreyedWithoutASelection)
{
    PictureDocument d(1);
    EXPECT_TRUE(UpdateCommand(d.Document(), ID_FILE_SAVE_IMAGES).enabled);
    d.Document().SetAllSelection(false);
    EXPECT_FALSE(UpdateCommand(d.Document(), ID_FILE_SAVE_IMAGES).enabled);
}

TEST(SavePictures, AMissingFolderIsMadeWithoutAQuestionAndOneThatCannotBeMadeIsTold)
{
    PictureDocument d(2);
    CFileSaveDlg options;
    options.Format = CFileSaveDlg::FormatBmp;
    std::vector<CString> told;
    // Every message box that comes up is written down and answered yes.
    auto save = [&] {
        std::atomic<bool> done{false};
        {
            HelperThread answers([&] {
                WaitUntil(
                    [&] {
                        CString text;
                        if (HWND box = WaitForMessageBox(&text, 0)) {
                            told.push_back(text);
                            PostMessageW(box, WM_COMMAND, IDYES, 0);
                            WaitUntil([&] { return !IsWindow(box); }, 30000);
                        }
                        return done.load();
                    },
                    60000);
            });
            CKWDocPictureOutput(d.Document()).SaveSelectedPictures(options);
            done = true;
        }
    };
    const std::wstring folder = d.out / L"新しい\\フォルダ";
    options.m_folder = folder.c_str();
    save();
    EXPECT_TRUE(told.empty()) << (told.empty() ? "" : CStringA(told[0]).GetString());
    EXPECT_TRUE(SameSize(SIZE{16, 12}, BmpSize(folder + L"\\p00.bmp")));
    EXPECT_TRUE(SameSize(SIZE{16, 12}, BmpSize(folder + L"\\p01.bmp")));

    // Beneath a file no folder can be made: the user hears of it and nothing is written.
    ASSERT_TRUE(ScratchFolder::WriteFile(d.Out(L"plain.txt"), "x"));
    const std::wstring blocked = d.out / L"plain.txt\\sub";
    options.m_folder = blocked.c_str();
    save();
    ASSERT_EQ(1u, told.size());
    EXPECT_EQ(0, Joined(told[0]).Find(blocked.c_str())) << CStringA(told[0]).GetString();
    EXPECT_FALSE(ScratchFolder::Exists(blocked + L"\\p00.bmp"));
}

// Run by hand on a folder of real cameras' files (VYX_CAMERA_SAMPLES, a path as the program sees
// it): each "*-cs-turned.jpg" is converted to JPEG turned right and each "*-cs-kept.jpg" as it is,
// into its own folder over itself, for the files to be checked with other tools afterwards.
TEST(CameraSamples, DISABLED_EachIsConvertedOverItself)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"VYX_CAMERA_SAMPLES", folder, MAX_PATH));
    OwnPlugins plugins;
    CommandDocumentScope scope;
    CStandInFrame frame;
    scope.Open(CVirtualFolder(folder, folder, 1));
    for (bool turned : {true, false}) {
        CKWDoc& document = scope.Document();
        document.SetAllSelection(false);
        int selected = 0;
        for (int i = 0; i < document.GetItemCount(); ++i) {
            const CString name = document.GetItem(i)->GetFileName();
            if (name.Find(turned ? L"-cs-turned" : L"-cs-kept") >= 0) {
                document.SelectItem(i, true, nullptr);
                ++selected;
            }
        }
        ASSERT_GT(selected, 0);
        CFileSaveDlg options;
        options.m_folder = folder;
        options.Format = CFileSaveDlg::FormatJpeg;
        options.RotateAngle = turned ? 90 : 0;
        HelperThread answer([] { ReplaceWhenAsked(IDC_SAME_ALL); });
        CKWDocPictureOutput(document).SaveSelectedPictures(options);
    }
}
