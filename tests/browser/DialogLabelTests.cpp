// Every dialog of the program's resources, opened as the prefix's fonts draw it: each label, button,
// check box, radio button and group caption shows its whole text inside its control, and a static
// the program fills with a name at run time shows the name's "&" as itself.
#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/ControlTestUtil.h"
#include "catalogue/COneViewCtrl.h"

#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto* names = reinterpret_cast<std::vector<LPCWSTR>*>(param);
    // A name that is a string lives only during the enumeration.
    names->push_back(IS_INTRESOURCE(name) ? name : _wcsdup(name));
    return TRUE;
}

std::string Utf8(const CString& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

std::string DialogName(LPCWSTR name)
{
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<UINT_PTR>(name)) : Utf8(name);
}

CString ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Where the label of a check box or radio button begins: the first ink right of the box, as the
// platform draws a button of that kind and font with a label of one letter.
int LabelStart(HWND parent, DWORD style, HFONT font)
{
    const int width = 120, height = 30;
    HWND probe = CreateWindowExW(0, L"BUTTON", L"M", WS_CHILD | (style & (BS_TYPEMASK | BS_LEFTTEXT)), 0, 0, width,
                                 height, parent, nullptr, nullptr, nullptr);
    if (!probe)
        return -1;
    SendMessageW(probe, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    MemoryCanvas canvas(width, height, GetSysColor(COLOR_BTNFACE));
    SendMessageW(probe, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()->GetSafeHdc()), PRF_CLIENT);
    DestroyWindow(probe);
    const COLORREF face = canvas.Pixel(width - 1, height - 1);
    // Past the box (the first run of ink) and the gap after it.
    bool inBox = false, pastBox = false;
    for (int x = 0; x < width; ++x) {
        bool ink = false;
        for (int y = 0; y < height && !ink; ++y)
            ink = canvas.Pixel(x, y) != face;
        if (ink && pastBox)
            return x;
        if (ink)
            inBox = true;
        else if (inBox)
            pastBox = true;
    }
    return -1;
}

struct Extent
{
    CSize size;
    int lineHeight = 0;
};

Extent Measure(HWND control, const CString& text, UINT flags, int width)
{
    Extent extent;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    CRect rect(0, 0, width, 0);
    DrawTextW(dc, text, text.GetLength(), &rect, flags | DT_CALCRECT);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    extent.size = rect.Size();
    extent.lineHeight = metrics.tmHeight;
    return extent;
}

// The lines a control of that height shows: at least one, and a last one may lose a little of its
// foot (descent and leading, where Japanese text has no ink).
int ShownLines(int height, int lineHeight)
{
    return std::max(1, (height + lineHeight / 4) / std::max(lineHeight, 1));
}

// How the text of one control does not fit it; empty when it does.
std::string Misfit(HWND control)
{
    const CString text = TextOf(control);
    CString blank = text;
    CRect client;
    GetClientRect(control, &client);
    if (blank.Trim().IsEmpty() || client.IsRectEmpty())
        return {}; // filled at run time, or a placeholder never shown
    const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const CString kind = ClassOf(control);
    int room = client.Width();
    UINT flags = DT_EXPANDTABS;
    if (kind.CompareNoCase(L"Static") == 0) {
        const DWORD type = style & SS_TYPEMASK;
        if ((type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
             type != SS_LEFTNOWORDWRAP) ||
            (style & SS_ELLIPSISMASK))
            return {}; // a picture or a frame, or a text that is shortened on purpose
        flags |= (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        flags |= (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) ? DT_WORDBREAK : DT_SINGLELINE;
    } else if (kind.CompareNoCase(L"Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        if (style & (BS_BITMAP | BS_ICON))
            return {};
        switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            room -= 6; // the raised edge and the focus frame on both sides
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            const int start =
                LabelStart(GetParent(control), style, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            if (start < 0)
                return "its label's place cannot be measured";
            room -= start + 1;
            break;
        }
        case BS_GROUPBOX:
            room -= 9 + 9; // the caption's indent past the frame, and the frame's corner at the right
            break;
        default:
            return {};
        }
        flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    } else {
        return {};
    }
    const Extent extent = Measure(control, text, flags, std::max(room, 1));
    std::string misfit;
    if (extent.size.cx > room)
        misfit = "needs " + std::to_string(extent.size.cx) + " px of width, has " + std::to_string(room);
    else if ((flags & DT_WORDBREAK) && extent.lineHeight > 0 &&
             (extent.size.cy + extent.lineHeight - 1) / extent.lineHeight >
                 ShownLines(client.Height(), extent.lineHeight))
        misfit = "needs " + std::to_string(extent.size.cy) + " px of height, has " + std::to_string(client.Height());
    return misfit.empty() ? misfit : "\"" + Utf8(text) + "\" " + misfit;
}

// Every dialog template of the program's resources, opened hidden with no code of its own.
class EveryDialog
{
public:
    EveryDialog()
    {
        COneViewCtrl::RegisterWndClass();
        EnumResourceNamesW(AfxGetResourceHandle(), RT_DIALOG, CollectDialog, reinterpret_cast<LONG_PTR>(&m_names));
        m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    }
    ~EveryDialog()
    {
        for (LPCWSTR name : m_names)
            if (!IS_INTRESOURCE(name))
                free(const_cast<LPWSTR>(name));
        DestroyWindow(m_parent);
    }
    EveryDialog(const EveryDialog&) = delete;
    EveryDialog& operator=(const EveryDialog&) = delete;

    size_t Count() const { return m_names.size(); }
    // Calls check(dialog name, control) for every child of every dialog.
    template <class Check> void ForEachControl(Check check) const
    {
        for (LPCWSTR name : m_names) {
            HWND dialog = CreateDialogParamW(AfxGetResourceHandle(), name, m_parent, PlainDialog, 0);
            EXPECT_NE(nullptr, dialog) << "dialog " << DialogName(name) << " does not open";
            if (!dialog)
                continue;
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                check(DialogName(name), child);
            DestroyWindow(dialog);
        }
    }

private:
    std::vector<LPCWSTR> m_names;
    HWND m_parent = nullptr;
};

} // namespace

TEST(DialogLabels, EveryLabelOfEveryDialogShowsWholeInItsControl)
{
    EveryDialog dialogs;
    ASSERT_GT(dialogs.Count(), 40u);
    int measured = 0;
    dialogs.ForEachControl([&](const std::string& dialog, HWND control) {
        const std::string misfit = Misfit(control);
        EXPECT_TRUE(misfit.empty()) << "dialog " << dialog << ", control " << GetDlgCtrlID(control) << ": " << misfit;
        ++measured;
    });
    EXPECT_GT(measured, 500);
}

// A static whose template leaves its text blank is one the program fills at run time, with a
// file or folder name, a path or a figure: it draws "&" as itself.
TEST(DialogLabels, EveryStaticTheProgramFillsShowsAnAmpersandAsItself)
{
    EveryDialog dialogs;
    int filled = 0;
    dialogs.ForEachControl([&](const std::string& dialog, HWND control) {
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        const DWORD type = style & SS_TYPEMASK;
        CString text = TextOf(control);
        if (ClassOf(control).CompareNoCase(L"Static") != 0 || !text.Trim().IsEmpty() ||
            (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
             type != SS_LEFTNOWORDWRAP))
            return;
        EXPECT_TRUE(style & SS_NOPREFIX) << "dialog " << dialog << ", static " << GetDlgCtrlID(control)
                                         << " takes \"&\" for a mnemonic";
        ++filled;
    });
    EXPECT_GT(filled, 20);
}
