#include "PictureWindowTestUtil.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxNoteStore.h"
#include "common/ImportPatch.h"
#include "common/RealInput.h"
#include "common/TwinFiles.h"
#include "image/DibCore.h"
#include "image/DibFile.h"
#include "image/DibResample.h"
#include "common/MetadataJpeg.h"
#include "image/cximage/CxImageJPG.h"
#include "../../bench/CameraJpeg.h"
#include "res/resource.h"
#include "viewer/VSlideShowDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <vector>

using namespace viewertest;

namespace {

// What an update handler says of a command, changing nothing.
struct UpdateProbe : CCmdUI
{
    BOOL enabled = TRUE;
    int checked = -1;
    void Enable(BOOL bOn) override
    {
        enabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { checked = nCheck; }
    void SetRadio(BOOL) override {}
    void SetText(LPCWSTR) override {}
};

UpdateProbe UpdateOf(COneWnd* window, UINT id)
{
    UpdateProbe probe;
    probe.m_nID = id;
    window->OnCmdMsg(id, static_cast<int>(CN_UPDATE_COMMAND_UI), &probe, nullptr);
    return probe;
}

void Command(COneWnd* window, UINT id)
{
    window->SendMessage(WM_COMMAND, id);
}

// A picture red on its left half and blue on its right.
void WriteHalves(const CString& path, LONG width, LONG height)
{
    HGLOBAL dib = MakeDib(width, height, [=](LONG x, LONG) { return x < width / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255); });
    WriteBmpFile(path, dib);
    GlobalFree(dib);
}

size_t FilesIn(const CString& folder)
{
    size_t n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"\\*", &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data))
        n += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return n;
}

size_t __cdecl FailingWrite(const void*, size_t, size_t, FILE*)
{
    return 0;
}

// Runs the copy or move command and answers its dialog: the destination typed in and OK, or
// cancelled when there is none. What the dialog says of the current folder comes back.
CString TransferThroughDialog(COneWnd* window, UINT id, LPCWSTR destination)
{
    CString current;
    {
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(id == ID_PICTURE_MOVE ? L"ファイルの移動" : L"ファイルの複写", 30000);
            current = TextOf(GetDlgItem(dialog, IDC_FILECOPY_CURRENT));
            if (!destination) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            SendMessageW(GetDlgItem(dialog, IDC_FILECOPY_FOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(destination));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
        Command(window, id);
    }
    return current;
}

// Whether the command opened a dialog (which is cancelled) before it returned.
bool OpensDialog(COneWnd* window, UINT id)
{
    std::atomic<bool> returned{false}, opened{false};
    {
        HelperThread helper([&] {
            HWND found = WaitForWindow([&](HWND hWnd) { return returned || IsClass(hWnd, L"#32770"); }, 30000);
            if (found && IsClass(found, L"#32770")) {
                opened = true;
                PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
            }
        });
        Command(window, id);
        returned = true;
    }
    return opened;
}

// The camera's Exif orientation (the first SHORT entry of tag 0x0112, little-endian) set anew.
void SetOrientation(std::vector<BYTE>& jpeg, WORD orientation)
{
    const BYTE entry[] = {0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};
    auto at = std::search(jpeg.begin(), jpeg.end(), std::begin(entry), std::end(entry));
    ASSERT_NE(jpeg.end(), at);
    at[8] = static_cast<BYTE>(orientation);
    at[9] = 0;
}

// The camera facts the program's own Exif reader finds in a JPEG file.
EXIFINFO ExifOf(const CString& path)
{
    EXIFINFO info = {};
    const std::string bytes = FrameworkScratchFolder::ReadFile(path);
    std::vector<BYTE> block(bytes.begin(), bytes.end());
    if (block.empty())
        return info;
    CxMemFile file(block.data(), static_cast<DWORD>(block.size()));
    CxImageJPG::CxExifInfo reader(&info);
    reader.DecodeExif(&file);
    return info;
}

// How far a picture, shrunk to the display copy's size, is from it: the mean difference of the
// channels (0 to 255).
double DistanceFromShown(HGLOBAL picture, HGLOBAL shown)
{
    const LONG width = GetDibWidth(shown), height = GetDibHeight(shown);
    GlobalBlock wide(MakeDib24(picture) == picture ? CopyGlobal(picture) : MakeDib24(picture));
    GlobalBlock small(ResampleDibAverage(wide.get(), width, height, 0, 0, 0));
    if (!small || GetDibWidth(small.get()) != width || GetDibHeight(small.get()) != height)
        return 255;
    double total = 0;
    for (LONG y = 0; y < height; y += 3)
        for (LONG x = 0; x < width; x += 3) {
            const COLORREF a = PixelOf(small.get(), x, y), b = PixelOf(shown, x, y);
            total += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                     std::abs(GetBValue(a) - GetBValue(b));
        }
    const double samples = static_cast<double>((width + 2) / 3) * ((height + 2) / 3) * 3;
    return total / samples;
}

// The save command through its dialog: the name typed, and when the file is there the question
// whether to replace it answered Yes.
void SaveThroughDialog(COneWnd* window, const wchar_t* name, bool replacing)
{
    HelperThread helper([&] {
        HWND dialog = WaitForDialog(L"ファイルの保存", 30000);
        HWND edit = GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        if (replacing) {
            HWND question = WaitForWindow(
                [&](HWND hWnd) { return hWnd != dialog && IsClass(hWnd, L"#32770") && GetDlgItem(hWnd, IDYES); },
                30000);
            ASSERT_NE(nullptr, question);
            PostMessageW(question, WM_COMMAND, IDYES, 0);
        }
        WaitUntil([&] { return !IsWindow(dialog); }, 30000);
    });
    Command(window, ID_PICTURE_SAVE);
}

// The windows of this thread the activation went to, in order, while it lives: what the program
// itself activated. Wine may take the activation from the whole program afterwards: a progress
// window shown and gone within a moment asks the test session's bare X server for the focus, and
// when that focus comes after the program has activated another window, Wine gives the foreground
// to the desktop (no window of the program takes it: nothing is recorded).
class ActivationRecord
{
public:
    ActivationRecord() : m_hook(SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId()))
    {
        s_current = this;
    }
    ~ActivationRecord()
    {
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    ActivationRecord(const ActivationRecord&) = delete;
    ActivationRecord& operator=(const ActivationRecord&) = delete;

    HWND Last() const { return m_activated.empty() ? nullptr : m_activated.back(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && s_current && sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE)
            s_current->m_activated.push_back(sent->hwnd);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline ActivationRecord* s_current = nullptr;
    HHOOK m_hook;
    std::vector<HWND> m_activated;
};

} // namespace

TEST(PictureCommands, ZoomStepsAndStepTargetsFollowTheStepList)
{
    VyxVariantArray steps;
    int hundred = 0;
    COneWnd::ParseZoomSteps(L"0.25,0.333,0.5,0.75,1,1.5,2", steps, hundred);
    int step = hundred;
    double zoom = 1.0;
    for (double expected : {1.5, 2.0, 4.0, 8.0})
        EXPECT_DOUBLE_EQ(expected, zoom = COneWnd::ZoomInValue(steps, step, zoom));
    for (double expected : {4.0, 1.5})
        EXPECT_DOUBLE_EQ(expected, zoom = COneWnd::ZoomOutValue(steps, step, zoom));
    step = 0;
    zoom = 0.25;
    for (double expected : {0.125, 0.0625})
        EXPECT_DOUBLE_EQ(expected, zoom = COneWnd::ZoomOutValue(steps, step, zoom));
    // Back up, the first step is skipped once doubling would pass it.
    for (double expected : {0.125, 0.333})
        EXPECT_DOUBLE_EQ(expected, zoom = COneWnd::ZoomInValue(steps, step, zoom));
    EXPECT_EQ(1, step);

    EXPECT_EQ(0, COneWnd::StepTarget(-1, 5, FALSE));
    EXPECT_EQ(4, COneWnd::StepTarget(-1, 5, TRUE));
    EXPECT_EQ(4, COneWnd::StepTarget(5, 5, FALSE));
    EXPECT_EQ(0, COneWnd::StepTarget(5, 5, TRUE));
    EXPECT_EQ(2, COneWnd::StepTarget(2, 5, TRUE));
}

TEST(PictureCommands, ZoomInIsRefusedPastTheLargestDisplayCopy)
{
    PictureWindows w;
    WriteBmp(w.program.m_folder / L"wide.bmp", 2000, 16, RGB(0, 128, 0));
    w.Doc()->Refresh(false);
    COneWnd* window = w.Open(L"wide.bmp");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_ZOOM_IN);
    EXPECT_DOUBLE_EQ(1.5, window->GetView()->GetZoom());
    EXPECT_EQ(CSize(3000, 32), window->GetView()->GetDisplaySize());
    // Fit mode 1 stays; every other fit mode becomes "as is".
    EXPECT_EQ(COnePicture::FitWindowFollows, window->GetSettings().FitSize);
    // Doubling goes on until the next copy would be wider than the largest display copy.
    for (int i = 0; i < 6; ++i)
        Command(window, ID_PICTURE_ZOOM_IN);
    EXPECT_DOUBLE_EQ(16, window->GetView()->GetZoom());
    EXPECT_EQ(CSize(32000, 256), window->GetView()->GetDisplaySize());
    EXPECT_TRUE(window->GetView()->GetDisplayPage() != nullptr);
    Command(window, ID_PICTURE_ZOOM_OUT);
    EXPECT_DOUBLE_EQ(8, window->GetView()->GetZoom());
    Command(window, ID_PICTURE_ZOOM_ORIGINAL);
    EXPECT_DOUBLE_EQ(1.0, window->GetView()->GetZoom());
    EXPECT_EQ(4, window->GetZoomStep());
    // The fitting modes leave no zoom to change.
    Command(window, ID_PICTURE_FIT_STRETCH);
    EXPECT_FALSE(UpdateOf(window, ID_PICTURE_ZOOM_IN).enabled);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_FIT_STRETCH).checked);
    EXPECT_EQ(0, UpdateOf(window, ID_PICTURE_FIT_FOLLOW).checked);
}

TEST(PictureCommands, EditsChangeOnlyTheDisplayedPage)
{
    PictureWindows w;
    WriteHalves(w.program.m_folder / L"halves.bmp", 64, 32);
    w.Doc()->Refresh(false);
    COneWnd* window = w.Open(L"halves.bmp");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_SCALE_NEAREST);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_SCALE_NEAREST).checked);
    auto page = [&] { return window->GetView()->GetDisplayPage(); };
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(page(), 0, 0));
    Command(window, ID_PICTURE_FLIP_HORIZONTAL);
    EXPECT_EQ(RGB(0, 0, 255), PixelOf(page(), 0, 0));
    Command(window, ID_PICTURE_FLIP_VERTICAL);
    EXPECT_EQ(RGB(0, 0, 255), PixelOf(page(), 0, 0));
    // Turned right the picture stands on its side; the file's picture itself never changed.
    Command(window, ID_PICTURE_ROTATE_RIGHT);
    EXPECT_EQ(90, window->GetAngle());
    EXPECT_EQ(CSize(32, 64), window->GetView()->GetDisplaySize());
    Command(window, ID_PICTURE_ROTATE_LEFT);
    EXPECT_EQ(0, window->GetAngle());
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(page(), 0, 0));

    Command(window, ID_PICTURE_UNSHARP);
    EXPECT_EQ(24, GetDibBitCount(page()));
    EXPECT_TRUE(UpdateOf(window, ID_PICTURE_REDUCE).enabled);
    Command(window, ID_PICTURE_REDUCE);
    EXPECT_EQ(8, GetDibBitCount(page()));
    // Reduction wants 24 bits.
    EXPECT_FALSE(UpdateOf(window, ID_PICTURE_REDUCE).enabled);
    Command(window, ID_PICTURE_GRAY);
    const COLORREF grey = PixelOf(page(), 0, 0);
    EXPECT_EQ(GetRValue(grey), GetBValue(grey));
    Command(window, ID_PICTURE_CLIPBOARD);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(GetClipboardData(CF_DIB) != nullptr);
    CloseClipboard();
}

TEST(PictureCommands, UpdateRulesFollowAutoPlayTheLockAndTheList)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    const int count = w.Doc()->GetItemCount();
    const UINT always[] = {ID_PICTURE_COPY,    ID_PICTURE_DELETE, ID_PICTURE_SAVE,    ID_PICTURE_PRINT,
                           ID_PICTURE_ZOOM_IN, ID_PICTURE_GRAY,   ID_PICTURE_OPTIONS, ID_PICTURE_FULLSCREEN};
    for (UINT id : always)
        EXPECT_TRUE(UpdateOf(window, id).enabled) << id;
    EXPECT_EQ(window->GetIndex() > 0, UpdateOf(window, ID_PICTURE_PREVIOUS).enabled);
    EXPECT_EQ(window->GetIndex() + 1 < count, UpdateOf(window, ID_PICTURE_NEXT).enabled);
    EXPECT_EQ(0, UpdateOf(window, ID_PICTURE_SELECT).checked);
    Command(window, ID_PICTURE_SELECT);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_SELECT).checked);
    EXPECT_TRUE(w.Doc()->GetItem(window->GetIndex())->TestFlags(VyxFilexDraw::FlagSelected));
    // Not on top by default; the command puts the window in the top-most band and out again.
    EXPECT_EQ(0, UpdateOf(window, ID_PICTURE_TOPMOST).checked);
    Command(window, ID_PICTURE_TOPMOST);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_TOPMOST).checked);
    EXPECT_TRUE(window->GetExStyle() & WS_EX_TOPMOST);
    Command(window, ID_PICTURE_TOPMOST);
    EXPECT_EQ(0, UpdateOf(window, ID_PICTURE_TOPMOST).checked);
    EXPECT_FALSE(window->GetExStyle() & WS_EX_TOPMOST);
    Command(window, ID_PICTURE_REPEAT);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_REPEAT).checked);

    // While auto-play runs, the file and picture commands wait.
    Command(window, ID_PICTURE_AUTOPLAY);
    EXPECT_EQ(1, UpdateOf(window, ID_PICTURE_AUTOPLAY).checked);
    for (UINT id : always)
        EXPECT_FALSE(UpdateOf(window, id).enabled) << id;
    Command(window, ID_PICTURE_AUTOPLAY);

    // Locked, the window neither pages nor prints; a disabled command does not run.
    w.Remove(window->GetIndex());
    EXPECT_TRUE(window->Relocate());
    for (UINT id : {ID_PICTURE_FIRST, ID_PICTURE_NEXT, ID_PICTURE_AUTOPLAY, ID_PICTURE_PRINT, ID_PICTURE_FULLSCREEN})
        EXPECT_FALSE(UpdateOf(window, id).enabled) << id;
    Command(window, ID_PICTURE_FIRST);
    EXPECT_EQ(CString(L"c.bmp"), ShownName(window));
}

TEST(PictureCommands, FilesStepWithRepeatTheMouseAndTheWheel)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"f.bmp");
    ASSERT_NE(nullptr, window);
    const int last = w.Doc()->GetItemCount() - 1;
    Command(window, ID_PICTURE_FIRST);
    EXPECT_EQ(0, window->GetIndex());
    Command(window, ID_PICTURE_LAST);
    EXPECT_EQ(last, window->GetIndex());
    // At the last file, next stays without repeat and wraps with it.
    window->SendMessage(WM_COMMAND, ID_PICTURE_NEXT);
    EXPECT_EQ(last, window->GetIndex());
    window->GetSettings().Repeat = 1;
    window->OnCmdMsg(ID_PICTURE_NEXT, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(0, window->GetIndex());
    // The first click into an inactive window only activates it.
    window->SendMessage(WM_ACTIVATE, WA_CLICKACTIVE);
    window->SendMessage(WM_RBUTTONDOWN);
    EXPECT_EQ(0, window->GetIndex());
    window->SendMessage(WM_RBUTTONDOWN);
    EXPECT_EQ(1, window->GetIndex());
    window->SendMessage(WM_LBUTTONDOWN);
    EXPECT_EQ(0, window->GetIndex());
    window->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
    EXPECT_EQ(1, window->GetIndex());
    window->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(0, window->GetIndex());
    // SPACE runs its command and Delete waits for its release.
    MSG space = {};
    space.hwnd = window->m_hWnd;
    space.message = WM_KEYDOWN;
    space.wParam = VK_SPACE;
    window->PreTranslateMessage(&space);
    EXPECT_TRUE(w.Doc()->GetItem(0)->TestFlags(VyxFilexDraw::FlagSelected));
}

TEST(PictureCommands, TheTiffsPagesStepWithoutReloading)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"e.tif");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_NEXT_PAGE);
    EXPECT_EQ(1, window->GetView()->GetCurrentPage());
    EXPECT_NE(-1, Caption(window).Find(L" [2/"));
    Command(window, ID_PICTURE_PREVIOUS_PAGE);
    EXPECT_EQ(0, window->GetView()->GetCurrentPage());
    // Shift and an arrow scroll a picture larger than its window.
    Command(window, ID_PICTURE_FIT_ASIS);
    window->GetView()->SetZoom(8);
    window->ShowPicture(-1);
    const CPoint origin = window->GetView()->GetPicture().GetOrigin();
    Command(window, ID_PICTURE_SCROLL_DOWN);
    EXPECT_EQ(origin.y - 100, window->GetView()->GetPicture().GetOrigin().y);
    Command(window, ID_PICTURE_SCROLL_UP);
    EXPECT_EQ(origin.y, window->GetView()->GetPicture().GetOrigin().y);
}

TEST(PictureCommands, AutoPlayAdvancesPausesUnderTheButtonAndCloseStopsItFirst)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->GetSettings().SleepTime = 0;
    const int start = window->GetIndex();
    Command(window, ID_PICTURE_AUTOPLAY);
    EXPECT_EQ(1, window->GetAutoPlayState());
    EXPECT_TRUE(PumpUntil([&] { return window->GetIndex() > start; }, 30000));
    window->SendMessage(WM_LBUTTONDOWN);
    EXPECT_EQ(2, window->GetAutoPlayState());
    const int paused = window->GetIndex();
    ASSERT_TRUE(PumpUntilTimer(window->m_hWnd, 1));
    ASSERT_TRUE(PumpUntilTimer(window->m_hWnd, 1));
    EXPECT_EQ(paused, window->GetIndex());
    window->SendMessage(WM_LBUTTONUP);
    EXPECT_EQ(1, window->GetAutoPlayState());
    // Close while playing only stops the playing; the next close closes.
    Command(window, ID_PICTURE_CLOSE);
    EXPECT_EQ(0, window->GetAutoPlayState());
    PumpPending();
    ASSERT_EQ(1, w.Count());
    Command(window, ID_PICTURE_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return w.Count() == 0; }, 30000));
}

TEST(PictureCommands, DeleteGoesToTheBinOrForGoodAsTheOptionsAndShiftSay)
{
    PictureWindows w;
    w.Doc()->Stay = true;
    w.Doc()->TrashCan = true;
    w.Doc()->DELQA = true;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    const int count = w.Doc()->GetItemCount();
    w.program.m_hints.heard.clear();
    // The key acts when it is released.
    MSG key = {};
    key.hwnd = window->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_DELETE;
    EXPECT_TRUE(window->PreTranslateMessage(&key));
    EXPECT_EQ(count, w.Doc()->GetItemCount());
    key.message = WM_KEYUP;
    window->PreTranslateMessage(&key);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"c.bmp"));
    EXPECT_EQ(count - 1, w.Doc()->GetItemCount());
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"15"}), w.program.m_hints.heard);

    // With Shift held the file goes for good, after the question unless told not to ask.
    w.Doc()->DELQA = false;
    w.Frame()->SendMessage(WMU_CLOSEPICTUREWND, reinterpret_cast<WPARAM>(window));
    window = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, window);
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    CString asked;
    // While the question is up the frame's watchers are held, and they watch again after it.
    WatchMode whileAsking = WatchMode::Watching;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&asked, 30000);
            whileAsking = w.Frame()->GetWatchMode();
            PostMessageW(box, WM_COMMAND, IDNO, 0);
        });
        Command(window, ID_PICTURE_DELETE);
    }
    EXPECT_EQ(WatchMode::Paused, whileAsking);
    EXPECT_EQ(WatchMode::Watching, w.Frame()->GetWatchMode());
    EXPECT_EQ(CString(L"選択データを削除してもよろしいですか？"), asked.Trim());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"d.bmp"));
    // The message box's loop read the real keyboard again.
    SetKeyboardState(keys);
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(nullptr, 30000);
            PostMessageW(box, WM_COMMAND, IDYES, 0);
        });
        Command(window, ID_PICTURE_DELETE);
    }
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"d.bmp"));
    EXPECT_EQ(count - 2, w.Doc()->GetItemCount());

    // A locked window whose file goes closes.
    w.Doc()->DELQA = true;
    COneWnd* locked = w.Open(L"f.bmp");
    w.Remove(locked->GetIndex());
    ASSERT_TRUE(locked->Relocate());
    const int windows = w.Count();
    Command(locked, ID_PICTURE_DELETE);
    EXPECT_EQ(windows - 1, w.Count());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"f.bmp"));
}

TEST(PictureCommands, ADeleteOfAFileWhoseNameNowLeadsToItsTwinIsRefusedNamingBoth)
{
    PictureWindows w(false);
    const std::wstring folder(w.program.m_folder.Path());
    viewertest::WriteBmp(w.program.m_folder / L"Twin.bmp", 120, 80, RGB(255, 255, 0));
    const std::string upper = ScratchFolder::ReadFile(folder + L"\\Twin.bmp");
    ASSERT_TRUE(twinfiles::PutTwin(folder, L"twin.bmp", ScratchFolder::ReadFile(folder + L"\\d.bmp")));
    w.program.Start(w.program.m_folder.Path());
    w.Doc()->Stay = true;
    w.Doc()->TrashCan = true;
    w.Doc()->DELQA = true;
    COneWnd* window = w.Open(L"twin.bmp");
    ASSERT_NE(nullptr, window);
    // Another program deletes the file shown.
    ASSERT_TRUE(DeleteFileW(w.program.m_folder / L"twin.bmp"));
    CString told;
    {
        HelperThread helper([&] { DismissMessageBox(&told); });
        Command(window, ID_PICTURE_DELETE);
    }
    EXPECT_NE(-1, Joined(told).Find(L"「twin.bmp」")) << CStringA(told).GetString();
    EXPECT_NE(-1, Joined(told).Find(L"「Twin.bmp」"));
    EXPECT_TRUE(twinfiles::Lists(folder, L"Twin.bmp"));
    EXPECT_TRUE(upper == ScratchFolder::ReadFile(folder + L"\\Twin.bmp"));
}

namespace {

enum class ShiftKey { None, LetGoLast, LetGoFirst };

// Types Delete (Shift held round it, or let go before it) until the file is gone, answering Yes
// to a question on the way; the question's texts, empty when none came.
CString DeleteByKeys(ShiftKey shift, const CString& path)
{
    std::vector<KeyStroke> keys;
    if (shift != ShiftKey::None)
        keys.push_back({VK_SHIFT, true});
    keys.push_back({VK_DELETE, true});
    if (shift == ShiftKey::LetGoFirst)
        keys.push_back({VK_SHIFT, false});
    keys.push_back({VK_DELETE, false});
    if (shift == ShiftKey::LetGoLast)
        keys.push_back({VK_SHIFT, false});
    std::atomic<bool> finished{false};
    CString question;
    {
        HelperThread answer([&] {
            while (!finished && question.IsEmpty()) {
                HWND box = WaitForWindow(
                    [](HWND hWnd) { return IsClass(hWnd, L"#32770") && GetDlgItem(hWnd, IDYES) != nullptr; }, 100);
                if (!box)
                    continue;
                question = TextOf(box);
                for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                    question += L"\n" + TextOf(child);
                PostMessageW(box, WM_COMMAND, IDYES, 0);
            }
        });
        SendKeyStrokes(keys);
        EXPECT_TRUE(RunLoopUntil([&] { return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES; }));
        RunLoopUntil([] { return true; });
        finished = true;
    }
    return question;
}

} // namespace

TEST(PictureCommands, TheDocumentAndAPictureWindowDeleteAlikeAsTheOptionsAndShiftTypedWithDeleteSay)
{
    enum Asker { Nobody, Program, Shell };
    struct Row
    {
        bool trashCan, noConfirm;
        ShiftKey shift;
        Asker asker;
        bool toBin;
    };
    // Shift is let go in the same input as Delete, after it or before it: what counts is Shift as
    // it was held when Delete went down.
    const Row rows[] = {
        {true, false, ShiftKey::LetGoLast, Program, false}, {true, true, ShiftKey::LetGoFirst, Nobody, false},
        {false, true, ShiftKey::None, Nobody, false},       {true, true, ShiftKey::None, Nobody, true},
        {true, false, ShiftKey::None, Shell, true},         {false, false, ShiftKey::None, Program, false},
    };
    PictureWindows w(false);
    const int count = static_cast<int>(std::size(rows));
    auto name = [](int row, const wchar_t* caller) {
        CString text;
        text.Format(L"r%d_%s.bmp", row, caller);
        return text;
    };
    for (int i = 0; i < count; ++i) {
        WriteBmp(w.program.m_folder / name(i, L"grid"), 40, 30, RGB(200, 0, 0));
        WriteBmp(w.program.m_folder / name(i, L"window"), 40, 30, RGB(0, 0, 200));
    }
    w.program.Start(w.program.m_folder.Path());
    w.Doc()->Stay = true;
    wchar_t xdg[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"XDG_DATA_HOME", xdg, MAX_PATH));
    auto inBin = [&](const CString& file) {
        CString path = CString(L"Z:") + xdg + L"/Trash/files/" + file;
        path.Replace(L'/', L'\\');
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    };
    for (int i = 0; i < count; ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(testing::Message() << "TrashCan " << row.trashCan << ", DELQA " << row.noConfirm << ", Shift "
                                        << static_cast<int>(row.shift));
        w.Doc()->TrashCan = row.trashCan;
        w.Doc()->DELQA = row.noConfirm;
        auto check = [&](const CString& question, const CString& file) {
            switch (row.asker) {
            case Nobody:
                EXPECT_TRUE(question.IsEmpty()) << question.GetString();
                break;
            case Program:
                EXPECT_GE(question.Find(L"選択データを削除してもよろしいですか？"), 0) << question.GetString();
                break;
            case Shell:
                EXPECT_EQ(0, question.Find(L"ファイルの削除の確認")) << question.GetString();
                break;
            }
            EXPECT_EQ(row.toBin, inBin(file)) << file.GetString();
            // The main window's count follows.
            CString counted;
            counted.Format(L"全 %d ﾌｧｲﾙ(", w.Doc()->GetItemCount());
            EXPECT_TRUE(RunLoopUntil([&] { return w.Frame()->GetStatusBar().GetPaneText(1).Find(counted) == 0; }))
                << w.Frame()->GetStatusBar().GetPaneText(1).GetString();
        };

        // The thumbnail grid's key, on the file selected there.
        const CString grid = name(i, L"grid");
        w.Doc()->SetAllSelection(false);
        w.Doc()->SelectItem(w.Index(grid), TRUE, nullptr);
        ASSERT_TRUE(MakeActive(*w.Frame()));
        w.Frame()->SetActiveView(static_cast<CView*>(w.Frame()->GetThumbPane()));
        w.Frame()->GetThumbPane()->SetFocus();
        check(DeleteByKeys(row.shift, w.program.m_folder / grid), grid);

        // The picture window's key, on the file it shows.
        const CString shown = name(i, L"window");
        COneWnd* window = w.Open(shown);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(MakeActive(*window));
        check(DeleteByKeys(row.shift, w.program.m_folder / shown), shown);
        w.List().CloseAll();
    }
}

TEST(PictureCommands, AShiftDeletePressedHereAndLetGoElsewhereLeavesTheNextDeleteToTheBin)
{
    PictureWindows w(false);
    WriteBmp(w.program.m_folder / L"keep_me.2024.bmp", 40, 30, RGB(0, 120, 0));
    w.program.Start(w.program.m_folder.Path());
    w.Doc()->Stay = true;
    w.Doc()->TrashCan = true;
    w.Doc()->DELQA = true;
    w.Doc()->SetAllSelection(false);
    COneWnd* window = w.Open(L"keep_me.2024.bmp");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(MakeActive(*window));
    SendKeyStrokes({{VK_SHIFT, true}, {VK_DELETE, true}});
    // The thread's key state follows the keys as its loop takes them.
    ASSERT_TRUE(RunLoopUntil([] { return (GetKeyState(VK_DELETE) & 0x8000) != 0; }));
    RunLoopUntil([] { return true; });
    // The user turns to the main window before letting go.
    ASSERT_TRUE(MakeActive(*w.Frame()));
    SendKeyStrokes({{VK_DELETE, false}, {VK_SHIFT, false}});
    ASSERT_TRUE(RunLoopUntil([] { return (GetKeyState(VK_SHIFT) & 0x8000) == 0; }));
    RunLoopUntil([] { return true; });
    const CString path = w.program.m_folder / L"keep_me.2024.bmp";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path));

    // Back in the picture window, its delete command without Shift.
    ASSERT_TRUE(MakeActive(*window));
    Command(window, ID_PICTURE_DELETE);
    EXPECT_TRUE(RunLoopUntil([&] { return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES; }));
    wchar_t xdg[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"XDG_DATA_HOME", xdg, MAX_PATH));
    CString inBin = CString(L"Z:") + xdg + L"/Trash/files/keep_me.2024.bmp";
    inBin.Replace(L'/', L'\\');
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(inBin)) << "deleted for good";
}

TEST(PictureCommands, CopyAndMoveSendTheShownFileWhereTheDialogSays)
{
    PictureWindows w;
    w.Doc()->Stay = true;
    FrameworkScratchFolder destination;
    COneWnd* copied = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, copied);
    const int count = w.Doc()->GetItemCount();
    const std::string bytes = FrameworkScratchFolder::ReadFile(w.program.m_folder / L"c.bmp");

    // A copy leaves the file, the list and the window as they were.
    CString current = TransferThroughDialog(copied, ID_PICTURE_COPY, destination.Path());
    EXPECT_EQ(CString(L"現在の位置： ") + w.Doc()->GetFolderPath(), current);
    EXPECT_TRUE(bytes == FrameworkScratchFolder::ReadFile(destination / L"c.bmp"));
    EXPECT_TRUE(bytes == FrameworkScratchFolder::ReadFile(w.program.m_folder / L"c.bmp"));
    EXPECT_EQ(count, w.Doc()->GetItemCount());
    EXPECT_EQ(CString(L"c.bmp"), ShownName(copied));

    // A cancelled move changes nothing.
    COneWnd* moved = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, moved);
    const int index = moved->GetIndex();
    w.Doc()->GetItem(index)->SetNote(L"緑の四角");
    w.program.m_hints.heard.clear();
    TransferThroughDialog(moved, ID_PICTURE_MOVE, nullptr);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"d.bmp"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination / L"d.bmp"));
    EXPECT_EQ(count, w.Doc()->GetItemCount());
    EXPECT_TRUE(w.program.m_hints.heard.empty());

    // A move takes the file and its note along; the list drops the item and the window, told to
    // stay, shows the file now in its place.
    const CString next = w.Doc()->GetItem(index + 1)->GetFileName();
    TransferThroughDialog(moved, ID_PICTURE_MOVE, destination.Path());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"d.bmp"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination / L"d.bmp"));
    EXPECT_TRUE(VyxFile(w.program.m_folder / L"d.bmp").GetNote().IsEmpty());
    EXPECT_EQ(CString(L"緑の四角"), VyxFile(destination / L"d.bmp").GetNote());
    EXPECT_EQ(count - 1, w.Doc()->GetItemCount());
    const std::vector<std::wstring>& heard = w.program.m_hints.heard;
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ((std::vector<std::wstring>{L"15", L"0"}), std::vector<std::wstring>(heard.end() - 2, heard.end()));
    EXPECT_EQ(2, w.Count());
    EXPECT_EQ(index, moved->GetIndex());
    EXPECT_EQ(next, ShownName(moved));

    // A locked window whose file moves closes.
    COneWnd* locked = w.Open(L"f.bmp");
    ASSERT_NE(nullptr, locked);
    w.Remove(locked->GetIndex());
    ASSERT_TRUE(locked->Relocate());
    const int windows = w.Count();
    TransferThroughDialog(locked, ID_PICTURE_MOVE, destination.Path());
    EXPECT_EQ(windows - 1, w.Count());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination / L"f.bmp"));
    EXPECT_EQ(count - 2, w.Doc()->GetItemCount());

    // A file no longer on disk asks nothing.
    ASSERT_TRUE(DeleteFileW(w.program.m_folder / L"c.bmp"));
    EXPECT_FALSE(OpensDialog(copied, ID_PICTURE_COPY));
    EXPECT_FALSE(OpensDialog(copied, ID_PICTURE_MOVE));
    EXPECT_EQ(count - 2, w.Doc()->GetItemCount());
}

// The destination cannot take the note: the job keeps it at the source and says so, and the
// window that forgets the moved file leaves it there.
TEST(PictureCommands, AMovedFilesNoteThatStaysAtItsSourceIsNotClearedByTheWindow)
{
    PictureWindows w;
    w.Doc()->Stay = true;
    FrameworkScratchFolder destination;
    VyxNoteStore there;
    there.SetLocation(destination.Path(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, there.WriteNote(destination / L"other.bmp", L"そのまま"));
    const CString noteFile = there.GetNoteFilePath();
    SetFileAttributesW(noteFile, FILE_ATTRIBUTE_READONLY);
    COneWnd* moved = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, moved);
    ASSERT_EQ(VyxNoteStore::NoteWritten, w.Doc()->GetItem(moved->GetIndex())->SetNote(L"残るメモ"));
    CString told;
    {
        HelperThread answer([&] { DismissMessageBox(&told); });
        TransferThroughDialog(moved, ID_PICTURE_MOVE, destination.Path());
    }
    SetFileAttributesW(noteFile, FILE_ATTRIBUTE_NORMAL);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination / L"d.bmp"));
    EXPECT_NE(-1, Joined(told).Find(L"d.bmp")) << CStringA(told).GetString();
    VyxNoteStore source;
    source.SetLocation(w.program.m_folder.Path(), L"");
    EXPECT_EQ(CString(L"残るメモ"), source.ReadNote(w.program.m_folder / L"d.bmp"));
}
TEST(PictureCommands, SavingWritesTheShownPageAndNeverTruncatesTheFileItReplaces)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_ROTATE_RIGHT);
    const CSize shown = window->GetView()->GetDisplaySize();
    const CString jpeg = w.program.m_folder / L"saved.jpg";
    ASSERT_TRUE(window->SavePageAsShown(jpeg, 2));
    VyxFile saved(jpeg);
    GlobalBlock picture(saved.LoadPicture(nullptr));
    ASSERT_TRUE(picture.get());
    EXPECT_EQ(shown.cx, GetDibWidth(picture.get()));
    EXPECT_EQ(shown.cy, GetDibHeight(picture.get()));
    EXPECT_FALSE(window->SavePageAsShown(jpeg, 6));

    // Saved over its own file, a failed write leaves the file whole and nothing beside it.
    const CString own = w.program.m_folder / L"c.bmp";
    const std::string before = FrameworkScratchFolder::ReadFile(own);
    const size_t files = FilesIn(w.program.m_folder.Path());
    {
        ImportPatch failing("msvcrt.dll", "fwrite", reinterpret_cast<const void*>(&FailingWrite));
        ASSERT_TRUE(failing);
        EXPECT_FALSE(window->SavePageAsShown(own, 1));
    }
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(own));
    EXPECT_EQ(files, FilesIn(w.program.m_folder.Path()));
    // And when the write succeeds the file is replaced.
    ASSERT_TRUE(window->SavePageAsShown(own, 1));
    EXPECT_NE(before, FrameworkScratchFolder::ReadFile(own));
}

TEST(PictureCommands, ASaveFromThePictureWindowWritesThePageAtItsOwnSize)
{
    // Fitted into its window, the photo is shown far smaller than it is.
    PictureWindows w(false, [] {
        WriteAppIniInt(L"COneView", L"FitSize", COnePicture::FitAspect);
        WriteAppIniInt(L"FileSave", L"FilterIndex", 2);
    });
    std::vector<BYTE> photo = MakeCameraJpeg(2048, 1536, 5);
    SetOrientation(photo, 6);
    const CString path = w.program.m_folder / L"IMG_0001.JPG";
    WriteBytes(path, photo);
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    COneWnd* window = w.Open(L"IMG_0001.JPG");
    ASSERT_NE(nullptr, window);
    ASSERT_LT(window->GetView()->GetDisplaySize().cx, 1024);

    // Turned right: the title tells the size of what is shown.
    Command(window, ID_PICTURE_ROTATE_RIGHT);
    EXPECT_NE(-1, Caption(window).Find(L" 1536x2048 ")) << Caption(window).GetString();
    GlobalBlock shown(CopyGlobal(window->GetView()->GetDisplayPage()));
    ASSERT_TRUE(shown);

    // Saved over itself: the whole photo, turned, with the camera's Exif made true of it.
    SaveThroughDialog(window, L"IMG_0001.JPG", true);
    {
        GlobalBlock saved(VyxFile(path).LoadPicture(nullptr));
        ASSERT_TRUE(saved);
        EXPECT_EQ(1536, GetDibWidth(saved.get()));
        EXPECT_EQ(2048, GetDibHeight(saved.get()));
        EXPECT_LT(DistanceFromShown(saved.get(), shown.get()), 12.0);
        const EXIFINFO exif = ExifOf(path);
        EXPECT_TRUE(exif.IsExif);
        EXPECT_STREQ("VX-200", exif.CameraModel);
        EXPECT_EQ(1, exif.Orientation);
        EXPECT_EQ(1536, exif.Width);
        EXPECT_EQ(2048, exif.Height);
    }

    // A new name gives the same whole page, with the mirror and the grey shown made on it too.
    Command(window, ID_PICTURE_FLIP_HORIZONTAL);
    Command(window, ID_PICTURE_GRAY);
    GlobalBlock edited(CopyGlobal(window->GetView()->GetDisplayPage()));
    const CString png = w.program.m_folder / L"IMG_0001 edited.png";
    ASSERT_TRUE(window->SavePageAsShown(png, 3));
    GlobalBlock again(VyxFile(png).LoadPicture(nullptr));
    ASSERT_TRUE(again);
    EXPECT_EQ(1536, GetDibWidth(again.get()));
    EXPECT_EQ(2048, GetDibHeight(again.get()));
    EXPECT_LT(DistanceFromShown(again.get(), edited.get()), 12.0);
    const COLORREF grey = PixelOf(again.get(), 700, 900);
    EXPECT_EQ(GetRValue(grey), GetBValue(grey));

    // A file shown as is keeps its Exif as the camera wrote it, orientation included.
    const CString unturned = w.program.m_folder / L"IMG_0002.JPG";
    WriteBytes(unturned, photo);
    w.Doc()->Refresh(false);
    COneWnd* second = w.Open(L"IMG_0002.JPG");
    ASSERT_NE(nullptr, second);
    EXPECT_NE(-1, Caption(second).Find(L" 2048x1536 ")) << Caption(second).GetString();
    ASSERT_TRUE(second->SavePageAsShown(unturned, 2));
    EXPECT_EQ(6, ExifOf(unturned).Orientation);
    EXPECT_EQ(2048, ExifOf(unturned).Width);
}

TEST(PictureCommands, ASaveAfterAMirrorAndAZoomOrAColourAdjustmentWritesThePictureShown)
{
    PictureWindows w(false);
    WriteHalves(w.program.m_folder / L"halves.bmp", 64, 32);
    WriteBmp(w.program.m_folder / L"grey.bmp", 40, 30, RGB(100, 100, 100));
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    const CString saved = w.program.m_folder / L"saved.bmp";

    // Mirrored, then zoomed in: the picture is read again for its new size and shown as the
    // file has it; the save writes that at the picture's own size.
    COneWnd* window = w.Open(L"halves.bmp");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_FLIP_HORIZONTAL);
    Command(window, ID_PICTURE_ZOOM_IN);
    HGLOBAL shown = window->GetView()->GetDisplayPage();
    ASSERT_NE(nullptr, shown);
    ASSERT_EQ(96, GetDibWidth(shown));
    ASSERT_TRUE(window->SavePageAsShown(saved, 1));
    {
        GlobalBlock picture(VyxFile(saved).LoadPicture(nullptr));
        ASSERT_TRUE(picture);
        EXPECT_EQ(64, GetDibWidth(picture.get()));
        EXPECT_EQ(32, GetDibHeight(picture.get()));
        for (LONG x : {0, 20, 44, 63})
            EXPECT_EQ(PixelOf(shown, x * 3 / 2, 10), PixelOf(picture.get(), x, 10)) << x;
    }

    // Brightened in the colour dialog.
    WriteAppIniInt(L"ColorBalance", L"Contrast", 0);
    for (const wchar_t* key : {L"BrightRed", L"BrightGreen", L"BrightBlue"})
        WriteAppIniInt(L"ColorBalance", key, 50);
    COneWnd* grey = w.Open(L"grey.bmp");
    ASSERT_NE(nullptr, grey);
    {
        HelperThread helper([] { PostMessageW(WaitForDialog(L"色調節", 30000), WM_COMMAND, IDOK, 0); });
        grey->SendMessage(WM_COMMAND, ID_PICTURE_CONTRAST);
    }
    const COLORREF brightened = PixelOf(grey->GetView()->GetDisplayPage(), 5, 5);
    EXPECT_GT(GetGValue(brightened), 100);
    ASSERT_TRUE(grey->SavePageAsShown(saved, 1));
    GlobalBlock picture(VyxFile(saved).LoadPicture(nullptr));
    ASSERT_TRUE(picture);
    EXPECT_EQ(brightened, PixelOf(picture.get(), 5, 5));
}

TEST(PictureCommands, APhotoSavedOverItsOwnFileKeepsAllItsMetadataAndOneSavedUnderAnotherNameNone)
{
    PictureWindows w(false, [] { WriteAppIniInt(L"COneView", L"FitSize", COnePicture::FitAspect); });
    const CString path = w.program.m_folder / L"IMG_0003.JPG";
    WriteBytes(path, metajpeg::MetadataJpeg(320, 240, metajpeg::Orientation::Long));
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    COneWnd* window = w.Open(L"IMG_0003.JPG");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_ROTATE_RIGHT);

    // Over itself: every segment kept in its order, the Exif first, upright wherever it says so.
    ASSERT_TRUE(window->SavePageAsShown(path, 2));
    const std::string saved = FrameworkScratchFolder::ReadFile(path);
    const auto segments = metajpeg::MetadataSegments(saved);
    std::string upright = metajpeg::Xmp(false);
    upright.replace(upright.find("Orientation=\"6\""), 15, "Orientation=\"1\"");
    ASSERT_EQ(5u, segments.size());
    EXPECT_EQ(0xE1, segments[0].first);
    EXPECT_EQ(metajpeg::KeptSegments(upright), decltype(segments)(segments.begin() + 1, segments.end()));
    EXPECT_EQ(std::vector<long>{1}, metajpeg::ExifOrientations(saved));
    const EXIFINFO exif = ExifOf(path);
    EXPECT_STREQ("VYXCAM", exif.CameraMake);
    EXPECT_STREQ("VX-200", exif.CameraModel);
    EXPECT_STREQ(metajpeg::kShotDate, exif.DateTime);
    EXPECT_EQ(240, exif.Width);
    EXPECT_EQ(320, exif.Height);
    const std::vector<BYTE> thumbnail = metajpeg::Thumbnail();
    EXPECT_EQ(std::string::npos, saved.find(std::string(thumbnail.begin(), thumbnail.end())));

    // Under another name the save writes the picture alone.
    const CString other = w.program.m_folder / L"IMG_0003 copy.jpg";
    ASSERT_TRUE(window->SavePageAsShown(other, 2));
    const auto plain = metajpeg::MetadataSegments(FrameworkScratchFolder::ReadFile(other));
    ASSERT_EQ(1u, plain.size());
    EXPECT_EQ(0xE0, plain[0].first);
}

TEST(PictureCommands, ATiffPageIsTitledAndSavedAtItsOwnSize)
{
    PictureWindows w(false, [] { WriteAppIniInt(L"COneView", L"FitSize", COnePicture::FitAspect); });
    std::vector<samples::TiffPage> pages = {
        samples::Page(300, 200, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(300 * 200, 40)),
        samples::Page(120, 500, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(120 * 500, 200))};
    WriteBytes(w.program.m_folder / L"two sizes.tif", samples::MakeTiff(pages));
    ASSERT_TRUE(w.program.Start(w.program.m_folder.Path()));
    COneWnd* window = w.Open(L"two sizes.tif");
    ASSERT_NE(nullptr, window);
    EXPECT_NE(-1, Caption(window).Find(L" 300x200 ")) << Caption(window).GetString();
    Command(window, ID_PICTURE_NEXT_PAGE);
    EXPECT_NE(-1, Caption(window).Find(L" 120x500 ")) << Caption(window).GetString();
    const CString bmp = w.program.m_folder / L"page2.bmp";
    ASSERT_TRUE(window->SavePageAsShown(bmp, 1));
    GlobalBlock saved(VyxFile(bmp).LoadPicture(nullptr));
    ASSERT_TRUE(saved);
    EXPECT_EQ(120, GetDibWidth(saved.get()));
    EXPECT_EQ(500, GetDibHeight(saved.get()));
    EXPECT_EQ(RGB(200, 200, 200), PixelOf(saved.get(), 60, 250));
}

TEST(PictureCommands, TheSaveDialogStartsBesideTheFileAndKeepsItsFilter)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, window);
    WriteAppIniInt(L"FileSave", L"FilterIndex", 1);
    CString title;
    {
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(L"ファイルの保存", 30000);
            HWND name = GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13);
            title = TextOf(name);
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"copy"));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
        Command(window, ID_PICTURE_SAVE);
    }
    EXPECT_EQ(CString(L"d"), title);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"copy.bmp"));
    EXPECT_EQ(CString(L"1"), ReadSetting(L"FileSave", L"FilterIndex"));
}

TEST(PictureCommands, FullScreenOpensTheSlideshowOrMovesTheOpenOne)
{
    PictureWindows w;
    COneWnd* first = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, first);
    Command(first, ID_PICTURE_FULLSCREEN);
    VSlideShowDlg* show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    EXPECT_EQ(first->GetIndex(), show->GetIndex());
    show->SetLocked(TRUE);
    COneWnd* second = w.Open(L"f.bmp");
    Command(second, ID_PICTURE_FULLSCREEN);
    EXPECT_EQ(show, w.List().m_pSlideShow);
    EXPECT_EQ(second->GetIndex(), show->GetIndex());
    EXPECT_FALSE(show->IsLocked());
    // Its end brings the window that opened it to the file it showed last.
    show->SendMessage(WM_COMMAND, ID_PICTURE_LAST);
    const int shown = show->GetIndex();
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));
    EXPECT_EQ(shown, first->GetIndex());
}

TEST(PictureCommands, TheSlideshowsWaitSetInItsOptionsOutlivesThePictureWindowThatStartedIt)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, window);
    Command(window, ID_PICTURE_FULLSCREEN);
    VSlideShowDlg* show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    {
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(L"オプション設定", 30000);
            SendMessageW(GetDlgItem(dialog, IDC_VIEW_SLEEPTIME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2500"));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
        show->SendMessage(WM_COMMAND, ID_PICTURE_OPTIONS);
    }
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));
    EXPECT_EQ(CString(L"2500"), ReadSetting(L"SlideShow", L"SleepTime"));
    // The window's own auto-play takes the wait too, and its close keeps it.
    EXPECT_EQ(2500, window->GetSettings().SleepTime);
    window->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return w.Count() == 0; }, 30000));
    EXPECT_EQ(CString(L"2500"), ReadSetting(L"SlideShow", L"SleepTime"));
}

TEST(PictureCommands, AfterAColourReductionOrACopyThePictureWindowIsActiveAndTakesTheNextKey)
{
    PictureWindows w(false);
    // Wide enough for the whole tool bar to show.
    WriteBmp(w.program.m_folder / L"b_wide.bmp", 760, 120, RGB(40, 160, 90));
    w.program.Start(w.program.m_folder.Path());
    COneWnd* window = w.Open(L"b_wide.bmp");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(MakeActive(*window));
    HWND bar = window->GetDescendantWindow(AFX_IDW_TOOLBAR)->GetSafeHwnd();
    ASSERT_NE(nullptr, bar);
    const LRESULT button = SendMessageW(bar, TB_COMMANDTOINDEX, ID_PICTURE_REDUCE, 0);
    RECT rect = {}, shown = {};
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, button, reinterpret_cast<LPARAM>(&rect)));
    GetClientRect(bar, &shown);
    ASSERT_LE(rect.right, shown.right);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(bar, &centre);
    ASSERT_TRUE(ClickOnScreen(centre, [&] {
        HGLOBAL page = window->GetView()->GetDisplayPage();
        return page && GetDibBitCount(page) == 8;
    }));
    EXPECT_EQ(window->GetSafeHwnd(), GetActiveWindow());
    EXPECT_EQ(window->GetSafeHwnd(), GetForegroundWindow());
    // The next file (c.bmp), by the picture window's own key.
    const int index = window->GetIndex();
    EXPECT_TRUE(Press(VK_RIGHT, 0, [&] { return window->GetIndex() != index; }));

    // A copy by its key: the job's progress window is the main window's.
    const CString target = w.program.m_folder / L"選抜";
    ASSERT_TRUE(CreateDirectoryW(target, nullptr));
    const CString copied = target + L"\\" + ShownName(window);
    {
        ActivationRecord activations;
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(L"ファイルの複写", 30000);
            SendMessageW(GetDlgItem(dialog, IDC_FILECOPY_FOLDER), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(target)));
            // OK clicked as the user does: what is active afterwards is the dialog's own doing.
            RECT ok = {};
            GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
            WaitUntil([&] { return GetForegroundWindow() == dialog; }, 30000);
            SendClick(POINT{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2}, MOUSEEVENTF_LEFTDOWN);
        });
        ASSERT_TRUE(Press('C', 0, [&] { return GetFileAttributesW(copied) != INVALID_FILE_ATTRIBUTES; }));
        // The dialog and the job's window took the activation meanwhile; the last one the program
        // activated is the picture window.
        EXPECT_EQ(window->GetSafeHwnd(), activations.Last());
    }
    // Given back to the program should Wine have taken it away since.
    ASSERT_TRUE(MakeActive(*window));
    const int before = window->GetIndex();
    EXPECT_TRUE(Press(VK_RIGHT, 0, [&] { return window->GetIndex() != before; }));
}

TEST(PictureCommands, WindowCommandsReachTheOwner)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    CLogHostWnd owner;
    CWnd* frame = window->m_pOwner;
    window->m_pOwner = &owner;
    Command(window, ID_PICTURE_NEXT_WINDOW);
    Command(window, ID_PICTURE_PREVIOUS_WINDOW);
    Command(window, ID_PICTURE_TILE);
    window->m_pOwner = frame;
    ASSERT_EQ(2, owner.Count(WMU_FOCUSPICTUREWND));
    EXPECT_EQ(1, owner.Last(WMU_FOCUSPICTUREWND)->lParam);
    ASSERT_EQ(1, owner.Count(WMU_TILEPICTUREWND));
    EXPECT_EQ(reinterpret_cast<WPARAM>(window), owner.Last(WMU_TILEPICTUREWND)->wParam);
    EXPECT_EQ(window->GetFitSize(), owner.Last(WMU_TILEPICTUREWND)->lParam);
}

TEST(PictureCommands, TheCommentGoesToTheDocumentsItemAndItsViewsHearOfIt)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    auto comment = [&](LPCWSTR text) {
        HelperThread helper([text] {
            HWND dialog = WaitForDialog(L"コメント入力", 30000);
            SendMessageW(GetDlgItem(dialog, 1072), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        Command(window, ID_EDIT_COMMENT);
    };
    w.program.m_hints.heard.clear();
    comment(L"赤い四角");
    EXPECT_EQ(CString(L"赤い四角"), w.Doc()->GetItem(window->GetIndex())->GetNote());
    EXPECT_EQ(CString(L"赤い四角"), window->GetView()->GetItem()->GetNote());
    EXPECT_EQ(1, w.program.m_hints.Count(HintItemChanged));
    // Locked, the window's own item takes it and only the title follows.
    w.Remove(window->GetIndex());
    ASSERT_TRUE(window->Relocate());
    comment(L"青");
    EXPECT_EQ(CString(L"青"), window->GetView()->GetItem()->GetNote());
    EXPECT_EQ(1, w.program.m_hints.Count(HintItemChanged));
}

TEST(PictureCommands, PrintAsksForThePrinterFirstAndCancelPrintsNothing)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    // The set-up dialog, or where no printer is installed the system's word on it.
    std::atomic<bool> asked{false};
    {
        HelperThread helper([&] {
            HWND dialog = WaitForWindow([](HWND hWnd) { return IsClass(hWnd, L"#32770"); }, 30000);
            asked = dialog != nullptr;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        Command(window, ID_PICTURE_PRINT);
    }
    EXPECT_TRUE(asked.load());
    EXPECT_TRUE(window->IsWindowEnabled());
    EXPECT_EQ(1, w.Count());
}

TEST(PictureCommands, AWindowWhoseFileItDeletedShowsTheFileNowInItsPlace)
{
    // Files only: a deleted folder makes the view read the folder again, which locks the window.
    PictureWindows w(false);
    RemoveDirectoryW(w.program.m_folder / L"sub");
    w.program.Start(w.program.m_folder.Path());
    w.Doc()->Stay = true;
    w.Doc()->TrashCan = false;
    w.Doc()->DELQA = true;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    const int index = window->GetIndex();
    CString next = w.Doc()->GetItem(index + 1)->GetFileName();
    Command(window, ID_PICTURE_DELETE);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(w.program.m_folder / L"c.bmp"));
    ASSERT_EQ(1, w.Count());
    EXPECT_EQ(index, window->GetIndex());
    EXPECT_EQ(next, ShownName(window));
    // The last file going leaves the window on the new last one; the last of all closes it.
    Command(window, ID_PICTURE_LAST);
    const int last = window->GetIndex();
    CString before = w.Doc()->GetItem(last - 1)->GetFileName();
    Command(window, ID_PICTURE_DELETE);
    ASSERT_EQ(1, w.Count());
    EXPECT_EQ(last - 1, window->GetIndex());
    EXPECT_EQ(before, ShownName(window));
    for (int left = w.Doc()->GetItemCount(); left > 0 && w.Count() == 1; --left)
        Command(window, ID_PICTURE_DELETE);
    EXPECT_EQ(0, w.Doc()->GetItemCount());
    EXPECT_EQ(0, w.Count());
}

TEST(ThumbnailViewCommands, FullScreenAndWallpaperStartFromTheCursorItem)
{
    PictureWindows w;
    const int d = w.Index(L"d.bmp");
    w.Doc()->SetCursorIndex(d, nullptr);
    CView* view = w.Frame()->GetThumbPane();
    view->SendMessage(WM_COMMAND, ID_THUMB_FULLSCREEN);
    VSlideShowDlg* show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    EXPECT_EQ(d, show->GetIndex());
    EXPECT_EQ(w.Frame(), show->GetOwnerWindow());
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));

    // Full screen as the double-click command: activating the cursor item starts the slideshow.
    const int f = w.Index(L"f.bmp");
    w.Doc()->IDViewer = ID_THUMB_FULLSCREEN;
    w.Doc()->SetCursorIndex(f, nullptr);
    w.Doc()->UpdateAllViews(nullptr, HintItemActivated, HintValue(f));
    show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    EXPECT_EQ(f, show->GetIndex());
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));

    CRect frame;
    {
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(L"壁紙設定", 30000);
            GetWindowRect(GetDlgItem(dialog, IDC_WALL_PREVIEW), &frame);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        view->SendMessage(WM_COMMAND, ID_THUMB_WALLPAPER);
    }
    EXPECT_FALSE(frame.IsRectEmpty());
}

// Run by hand on a folder of real cameras' files (VYX_CAMERA_SAMPLES, a path as the program sees
// it): each "*-pw-turned.jpg" is turned right and each "*-pw-kept.jpg" shown as it is, and saved
// over itself as JPEG, for the files to be checked with other tools afterwards.
TEST(CameraSamples, DISABLED_EachIsSavedOverItselfFromThePictureWindow)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"VYX_CAMERA_SAMPLES", folder, MAX_PATH));
    PictureWindows w(false, [] { WriteAppIniInt(L"COneView", L"FitSize", COnePicture::FitAspect); });
    ASSERT_TRUE(w.program.Start(folder));
    for (int i = 0; i < w.Doc()->GetItemCount(); ++i) {
        const CString name = w.Doc()->GetItem(i)->GetFileName();
        if (name.Find(L"-pw-") < 0)
            continue;
        ASSERT_EQ(0, w.Frame()->OpenPictureWindow(i, PictureNewWindow)) << CStringA(name).GetString();
        COneWnd* window = nullptr;
        for (int k = 0; k < w.Count(); ++k)
            if (w.Window(k)->GetIndex() == i)
                window = w.Window(k);
        ASSERT_NE(nullptr, window) << CStringA(name).GetString();
        if (name.Find(L"-turned") >= 0)
            Command(window, ID_PICTURE_ROTATE_RIGHT);
        EXPECT_TRUE(window->SavePageAsShown(CString(folder) + L"\\" + name, 2)) << CStringA(name).GetString();
        window->DestroyWindow();
    }
}
