// The drive bar's buttons as the screen shows them after the program starts: plain faces like
// every other button of the window (no themed frame round the current drive), and a button whose
// icon came after its letter shows what it shows when drawn anew (no second letter under the icon).
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "browser/VyxDriveBar.h"
#include "common/RealInput.h"

#include <set>
#include <vector>

namespace {

// The screen's pixels of a window, row by row.
std::vector<COLORREF> ScreenPixels(HWND window, CRect& rect)
{
    ::GetWindowRect(window, &rect);
    std::vector<COLORREF> pixels;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, rect.Width(), rect.Height());
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, rect.Width(), rect.Height(), screen, rect.left, rect.top, SRCCOPY);
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            pixels.push_back(::GetPixel(memory, x, y));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// Lets the window and its children paint what they have to paint.
void Settle(FrameProgram& p)
{
    RunLoopUntil([] { return true; });
    p.Frame()->UpdateWindow();
    ::GdiFlush();
}

} // namespace

TEST(DriveButtons, AfterTheStartEachButtonShowsAPlainFaceAndWhatItShowsWhenDrawnAnew)
{
    FrameProgram p;
    MakeActive(*p.Frame());
    VyxDriveBar& bar = p.Frame()->GetDriveBar();
    ASSERT_TRUE(bar.IsWindowVisible());
    ASSERT_TRUE(RunLoopUntil([&] { return bar.HasDriveDetails() != FALSE; }, 60000));
    Settle(p);
    CXDriveBar* buttons = bar.GetDriveButtons();
    ASSERT_NE(nullptr, buttons);
    ASSERT_GT(buttons->GetButtonCount(), 0);
    // The colours a plain button face and frame are drawn in.
    const std::set<COLORREF> plain = {::GetSysColor(COLOR_BTNFACE),   ::GetSysColor(COLOR_BTNHIGHLIGHT),
                                      ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_3DDKSHADOW),
                                      ::GetSysColor(COLOR_3DLIGHT),   ::GetSysColor(COLOR_WINDOWFRAME),
                                      ::GetSysColor(COLOR_3DHILIGHT), RGB(0, 0, 0),
                                      ::GetSysColor(COLOR_WINDOW)};
    for (int i = 0; i < buttons->GetButtonCount(); ++i) {
        CXPStyleButtonST* button = buttons->GetButton(i);
        ASSERT_TRUE(button && button->GetSafeHwnd());
        CString letter;
        button->GetWindowText(letter);
        CRect rect;
        const std::vector<COLORREF> shown = ScreenPixels(button->GetSafeHwnd(), rect);
        // The outer two rows and columns: the button's frame.
        int foreign = 0;
        for (int y = 0; y < rect.Height(); ++y)
            for (int x = 0; x < rect.Width(); ++x)
                if ((x < 2 || y < 2 || x >= rect.Width() - 2 || y >= rect.Height() - 2) &&
                    plain.count(shown[static_cast<size_t>(y) * rect.Width() + x]) == 0)
                    ++foreign;
        EXPECT_EQ(0, foreign) << CStringA(letter).GetString() << ": a frame in colours of no plain button";
        button->Invalidate();
        Settle(p);
        EXPECT_TRUE(shown == ScreenPixels(button->GetSafeHwnd(), rect))
            << CStringA(letter).GetString() << ": drawn anew the button looks otherwise";
    }
}
