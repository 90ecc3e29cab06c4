// What the started program makes through the system's dialogs: a page printed to the session's
// PDF printer from the main window and from the picture window, and a turned picture saved from
// the picture window over itself.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "ShippedFixture.h"
#include "ShippedProgram.h"
#include "WindowWalk.h"

#include "../../bench/CameraJpeg.h"
#include "common/MetadataJpeg.h"
#include "common/PrintedPdfs.h"
#include "common/RealInput.h"
#include "common/ScratchFolder.h"
#include "common/WindowTestUtil.h"

namespace {

// Controls of the system's file dialogs.
const int kFileTypeBox = 0x470;   // cmb1
const int kFileNameCombo = 0x47c; // cmb13
const int kFileNameEdit = 0x480;  // edt1

bool IsNewDialog(HWND window)
{
    return IsDialog(window);
}

// The printed pages are checked after the run (tests/fileops/CheckPrintedPages.cmake): one page,
// the picture's colour in its middle.
void KeepPrintedPage(const std::wstring& pdf, const std::wstring& name)
{
    const std::wstring folder = std::wstring(VYX_SHIPPED_OUTPUT) + L"\\printed";
    CreateDirectoryW(VYX_SHIPPED_OUTPUT, nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileW(pdf.c_str(), (folder + L"\\" + name + L".pdf").c_str(), FALSE));
    ScratchFolder::WriteFile(folder + L"\\" + name + L".expect", "pages 1\nfill 1 32 48 160 420 420 580 580\n");
}

// A folder holding one picture of a single dark blue (or a camera's photo with its metadata),
// 640 x 480, the program started on it with it selected.
struct OnePicture
{
    ShippedProgram program;
    std::wstring folder;
    std::wstring picture;

    bool Start(bool camera)
    {
        folder = program.Scratch() + L"\\印刷_&~.1";
        picture = folder + L"\\IMG_0001.JPG";
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::vector<BYTE> bytes =
            camera ? metajpeg::MetadataJpeg(640, 480) : MakeJpeg(640, 480, [](BYTE* p, LONG, LONG) {
                p[0] = 160;
                p[1] = 48;
                p[2] = 32;
            });
        return ScratchFolder::WriteFile(picture, std::string(bytes.begin(), bytes.end())) && program.Start(folder) &&
               SelectFirstPicture(program);
    }
    // The picture window, opened with Enter in the grid.
    HWND OpenPictureWindow()
    {
        const std::set<HWND> before = program.Windows();
        if (!program.PressKey(ThumbnailView(program.Main()), VK_RETURN))
            return nullptr;
        return program.WaitForNewWindow(before, [](HWND w) { return !IsDialog(w) && IsWindowOfItsOwn(w); });
    }
    // Ctrl+P in the window, then OK in the print form with the session's printer; the new PDF.
    std::wstring Print(HWND window)
    {
        const std::wstring pdfs = printed::PdfOutFolder();
        const std::set<std::wstring> earlier = printed::PdfFiles(pdfs);
        const std::set<HWND> before = program.Windows();
        if (!program.PressKey(window, 'P', VK_CONTROL))
            return std::wstring();
        HWND form = program.WaitForNewWindow(before, IsNewDialog);
        if (!form) {
            ADD_FAILURE() << "no print form opened (program running: " << program.Running() << ")";
            return std::wstring();
        }
        WaitUntil([&] { return FocusOfThread(form) && IsChild(form, FocusOfThread(form)); }, 30000);
        if (!program.PressKey(form, VK_RETURN) || !program.WaitUntilGone(form)) {
            ADD_FAILURE() << "the print form did not close on OK";
            return std::wstring();
        }
        return printed::WaitForNewPdf(pdfs, earlier, 120000);
    }
};

} // namespace

TEST(Shipped, PrintsAPageFromTheMainWindowAndFromThePictureWindow)
{
    ASSERT_FALSE(printed::PdfOutFolder().empty()) << "the session has no PDF printer";
    RemoveTree(std::wstring(VYX_SHIPPED_OUTPUT) + L"\\printed");
    OnePicture one;
    ASSERT_TRUE(one.Start(false)) << Utf8(one.program.Problem());

    const std::wstring fromMain = one.Print(one.program.Main());
    ASSERT_FALSE(fromMain.empty()) << "no page came out of the main window's printing";
    KeepPrintedPage(fromMain, L"main-window");

    HWND picture = one.OpenPictureWindow();
    ASSERT_NE(nullptr, picture);
    const std::wstring fromPicture = one.Print(picture);
    ASSERT_FALSE(fromPicture.empty()) << "no page came out of the picture window's printing";
    KeepPrintedPage(fromPicture, L"picture-window");
    EXPECT_TRUE(one.program.Answers());
    EXPECT_TRUE(one.program.Close());
}

TEST(Shipped, ATurnedPictureSavedFromThePictureWindowOverItselfHasItsSizeTurned)
{
    OnePicture one;
    ASSERT_TRUE(one.Start(true)) << Utf8(one.program.Problem());
    int width = 0, height = 0;
    ASSERT_TRUE(JpegSize(one.picture, width, height));
    ASSERT_EQ(640, width);
    ASSERT_EQ(480, height);
    ShippedProgram& program = one.program;

    HWND picture = one.OpenPictureWindow();
    ASSERT_NE(nullptr, picture);
    ASSERT_TRUE(program.PressKey(picture, 'R'));
    std::set<HWND> before = program.Windows();
    ASSERT_TRUE(program.PressKey(picture, 'S', VK_CONTROL));
    HWND save = program.WaitForNewWindow(before, IsNewDialog);
    ASSERT_NE(nullptr, save) << "no save dialog (program running: " << program.Running() << ")";

    // The JPEG type, chosen from the drop-down list of types (the second).
    HWND types = GetDlgItem(save, kFileTypeBox);
    ASSERT_NE(nullptr, types);
    ASSERT_TRUE(program.ClickWindow(types));
    ASSERT_TRUE(WaitUntil(
        [&] {
            DWORD_PTR dropped = 0;
            return SendMessageTimeoutW(types, CB_GETDROPPEDSTATE, 0, 0, SMTO_NORMAL, 30000, &dropped) && dropped;
        },
        30000));
    SendKey(VK_HOME);
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil(
        [&] {
            DWORD_PTR chosen = 0;
            return SendMessageTimeoutW(types, CB_GETCURSEL, 0, 0, SMTO_NORMAL, 30000, &chosen) && chosen == 1;
        },
        30000))
        << "the JPEG type was not chosen";

    // The picture's own name typed over what the box holds, then the overwrite confirmed.
    HWND name = GetDlgItem(save, kFileNameEdit);
    if (!name && GetDlgItem(save, kFileNameCombo)) // the newer dialog's ComboBoxEx
        name = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(save, kFileNameCombo), CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, name);
    ASSERT_TRUE(program.ClickWindow(name));
    SendKey(VK_END);
    SendKey(VK_HOME, VK_SHIFT);
    SendText(L"IMG_0001.JPG");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == L"IMG_0001.JPG"; }, 30000));
    before = program.Windows();
    SendKey(VK_RETURN);
    HWND ask = program.WaitForNewWindow(before, [](HWND w) {
        HWND yes = GetDlgItem(w, IDYES);
        return IsDialog(w) && yes && IsWindowVisible(yes);
    });
    ASSERT_NE(nullptr, ask) << "the save did not ask before replacing the picture";
    ASSERT_TRUE(program.ClickWindow(GetDlgItem(ask, IDYES)));
    EXPECT_TRUE(program.WaitUntilGone(save));

    // Written beside and put in place: the file is whole once it reads turned.
    EXPECT_TRUE(WaitUntil([&] { return JpegSize(one.picture, width, height) && width == 480 && height == 640; }, 60000))
        << "the saved picture is " << width << " x " << height;
    // The camera's facts and every other segment it carried stay with it, upright.
    const std::string saved = ScratchFolder::ReadFile(one.picture);
    EXPECT_EQ("VYXCAM", metajpeg::ExifText(saved, EXIF_TAG_MAKE));
    EXPECT_EQ("VX-200", metajpeg::ExifText(saved, EXIF_TAG_MODEL));
    EXPECT_EQ(metajpeg::kShotDate, metajpeg::ExifText(saved, EXIF_TAG_DATE_TIME_ORIGINAL));
    EXPECT_EQ(std::vector<long>{1}, metajpeg::ExifOrientations(saved));
    EXPECT_EQ(5u, metajpeg::MetadataSegments(saved).size());
    EXPECT_TRUE(program.Answers());
    EXPECT_TRUE(program.Close());
}
