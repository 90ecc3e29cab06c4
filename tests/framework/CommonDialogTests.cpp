// Common dialogs: the file dialog's filter and multiple-selection parsing, its hooks running
// inside the system's dialog (which the hook itself closes), the colour and font dialogs bound
// to their objects, and the print set-up form with no printer installed failing cleanly.
#include "common/Printers.h"
#include "common/SetUpParts.h"
#include "common/WindowTestUtil.h"

#include "PageAndPrintTestRes.h"

#include <dlgs.h>

#include <vector>

namespace {

std::vector<CString> Strings(LPCWSTR list)
{
    std::vector<CString> strings;
    for (LPCWSTR item = list; item && *item; item += wcslen(item) + 1)
        strings.emplace_back(item);
    return strings;
}

TEST(FileDialog, FilterBarsBecomeTheSystemsNulSeparatedList)
{
    struct Row
    {
        LPCWSTR filter;
        std::vector<CString> expected;
    };
    const Row rows[] = {
        {L"BMP files(*.bmp)|*.bmp|JPEG files(*.jpg)|*.jpg||",
         {L"BMP files(*.bmp)", L"*.bmp", L"JPEG files(*.jpg)", L"*.jpg"}},
        {L"実行ﾌｧｲﾙ (*.exe)|*.exe|all files(*.*)|*.*||", {L"実行ﾌｧｲﾙ (*.exe)", L"*.exe", L"all files(*.*)", L"*.*"}},
        {L"TEXT形式(*.txt)|*.txt||", {L"TEXT形式(*.txt)", L"*.txt"}},
        // Without its closing bars the list still ends.
        {L"A|*.a|", {L"A", L"*.a"}},
        {L"A|*.a", {L"A", L"*.a"}},
    };
    for (const Row& row : rows) {
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, row.filter);
        EXPECT_EQ(row.expected, Strings(dialog.m_ofn.lpstrFilter)) << testing::PrintToString(CString(row.filter));
    }
    CFileDialog none(TRUE);
    EXPECT_EQ(nullptr, none.m_ofn.lpstrFilter);
}

TEST(FileDialog, ChosenNamesAreWalkedAsFullPaths)
{
    struct Row
    {
        std::wstring buffer; // as the system leaves it, NULs included
        DWORD flags;
        std::vector<CString> expected;
    };
    const Row rows[] = {
        {std::wstring(L"C:\\写真\0a.jpg\0b c.jpg\0\0", 21),
         OFN_ALLOWMULTISELECT,
         {L"C:\\写真\\a.jpg", L"C:\\写真\\b c.jpg"}},
        {std::wstring(L"C:\\\0a.jpg\0\0", 11), OFN_ALLOWMULTISELECT, {L"C:\\a.jpg"}},
        {std::wstring(L"C:\\写真\\a.jpg\0\0", 13), OFN_ALLOWMULTISELECT, {L"C:\\写真\\a.jpg"}},
        {std::wstring(L"C:\\写真\\a.jpg\0stale\0\0", 19), 0, {L"C:\\写真\\a.jpg"}},
        {std::wstring(L"\0\0", 2), OFN_ALLOWMULTISELECT, {}},
    };
    for (const Row& row : rows) {
        CFileDialog dialog(TRUE, nullptr, nullptr, row.flags);
        std::wstring buffer = row.buffer;
        buffer.resize(64, L'\0');
        dialog.m_ofn.lpstrFile = &buffer[0];
        dialog.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        std::vector<CString> paths;
        for (POSITION pos = dialog.GetStartPosition(); pos && paths.size() < 10;)
            paths.push_back(dialog.GetNextPathName(pos));
        EXPECT_EQ(row.expected, paths);
        EXPECT_EQ(row.expected.empty() ? CString() : row.expected[0], dialog.GetPathName());
    }

    CFileDialog single(FALSE, L"bmp", L"C:\\写真\\夕焼け.2024.bmp");
    EXPECT_EQ(CString(L"夕焼け.2024.bmp"), single.GetFileName());
    EXPECT_EQ(CString(L"bmp"), single.GetFileExt());
    EXPECT_EQ(CString(L"夕焼け.2024"), single.GetFileTitle());
}

// Chooses two files through the dialog's own name box; refuses the first OK once.
class CScriptedFileDialog : public CFileDialog
{
public:
    CScriptedFileDialog(LPCWSTR folder, std::wstring& names)
        : CFileDialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                      L"BMP ファイル (*.bmp)|*.bmp|すべて (*.*)|*.*||")
    {
        names.assign(4096, L'\0');
        m_ofn.lpstrFile = &names[0];
        m_ofn.nMaxFile = static_cast<DWORD>(names.size());
        m_ofn.lpstrInitialDir = folder;
        m_ofn.nFilterIndex = 2;
    }
    std::vector<CString> m_filterNames;
    CString m_okText;
    int m_inits = 0, m_nameChecks = 0;
    bool m_boundAtInitDone = false;

protected:
    BOOL OnInitDialog() override
    {
        ++m_inits;
        return CFileDialog::OnInitDialog();
    }
    void OnInitDone() override
    {
        m_boundAtInitDone = m_hWnd != nullptr && CWnd::FromHandlePermanent(m_hWnd) == this;
        HWND explorer = ::GetParent(m_hWnd);
        HWND types = ::GetDlgItem(explorer, cmb1);
        for (int i = 0; i < static_cast<int>(::SendMessageW(types, CB_GETCOUNT, 0, 0)); ++i) {
            wchar_t text[128] = {};
            ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            m_filterNames.emplace_back(text);
        }
        SetControlText(IDOK, L"決定");
        m_okText = TextOf(::GetDlgItem(explorer, IDOK));
        HWND name = ::GetDlgItem(explorer, edt1);
        if (!name)
            name = ::GetDlgItem(explorer, cmb13);
        ::SetWindowTextW(name, L"\"a.bmp\" \"b.bmp\"");
        PressOk();
    }
    BOOL OnFileNameOK() override
    {
        if (++m_nameChecks == 1) {
            PressOk(); // asked again, it accepts
            return TRUE;
        }
        return FALSE;
    }

private:
    void PressOk()
    {
        HWND explorer = ::GetParent(m_hWnd);
        ::PostMessageW(explorer, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(explorer, IDOK)));
    }
};

TEST(FileDialog, HooksRunInsideTheSystemsDialogWhichTheyClose)
{
    FrameworkScratchFolder folder;
    folder.WriteFile(L"a.bmp", "BM");
    folder.WriteFile(L"b.bmp", "BM");
    CTestHostWnd owner;
    std::wstring names;
    CScriptedFileDialog dialog(folder.Path(), names);
    dialog.m_pParentWnd = &owner;
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_inits);
    EXPECT_TRUE(dialog.m_boundAtInitDone);
    EXPECT_EQ((std::vector<CString>{L"BMP ファイル (*.bmp)", L"すべて (*.*)"}), dialog.m_filterNames);
    EXPECT_EQ(CString(L"決定"), dialog.m_okText);
    EXPECT_EQ(2, dialog.m_nameChecks);
    EXPECT_EQ(2u, dialog.m_ofn.nFilterIndex);
    std::vector<CString> paths;
    for (POSITION pos = dialog.GetStartPosition(); pos && paths.size() < 10;)
        paths.push_back(dialog.GetNextPathName(pos));
    EXPECT_EQ((std::vector<CString>{folder / L"a.bmp", folder / L"b.bmp"}), paths);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// Closes itself from OnInitDialog with the OK button, through its own message map.
template <class Base> class CSelfClosing : public Base
{
public:
    using Base::Base;
    int m_inits = 0, m_exchanges = 0;
    bool m_readBack = false;

protected:
    BOOL OnInitDialog() override
    {
        ++m_inits;
        BOOL result = Base::OnInitDialog();
        this->PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(this->m_hWnd, IDOK)));
        return result;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++m_exchanges;
        if (pDX->m_bSaveAndValidate)
            m_readBack = true;
    }
};

TEST(ColorDialog, RunsItsDataExchangeInsideTheSystemsDialogAndKeepsTheColour)
{
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i)
        custom[i] = RGB(i * 16, 255 - i * 16, 128);
    CSelfClosing<CColorDialog> dialog(RGB(10, 20, 30), CC_FULLOPEN);
    dialog.m_cc.lpCustColors = custom;
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(RGB(10, 20, 30), dialog.GetColor());
    EXPECT_EQ(1, dialog.m_inits);
    EXPECT_EQ(2, dialog.m_exchanges); // filled at the start, read back at OK
    EXPECT_TRUE(dialog.m_readBack);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(RGB(16, 239, 128), custom[1]);
    EXPECT_EQ(RGB(255, 255, 255), CColorDialog::GetSavedCustomColors()[0]);
}

TEST(FontDialog, ReturnsTheFontItWasOpenedOn)
{
    LOGFONTW initial = {};
    initial.lfHeight = -16;
    initial.lfWeight = FW_BOLD;
    initial.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(initial.lfFaceName, L"IPAGothic");
    CSelfClosing<CFontDialog> dialog(&initial, CF_SCREENFONTS | CF_EFFECTS);
    dialog.m_cf.rgbColors = RGB(200, 0, 0);
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_inits);
    EXPECT_EQ(RGB(200, 0, 0), dialog.GetColor());
    EXPECT_GT(dialog.GetSize(), 0);
    EXPECT_FALSE(dialog.GetFaceName().IsEmpty());
}

// The printer set-up form of the printing dialog: its own template and data exchange.
class CSetupDialog : public CPrintDialog
{
public:
    CSetupDialog() : CPrintDialog(TRUE, PD_NOSELECTION | PD_HIDEPRINTTOFILE)
    {
        m_pd.Flags |= PD_ENABLESETUPTEMPLATE;
        m_pd.lpSetupTemplateName = MAKEINTRESOURCEW(IDD_FWTEST_PRINT_SETUP);
        m_pd.nMinPage = 1;
        m_pd.nMaxPage = 9999;
    }
    int m_inits = 0, m_oks = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++m_inits;
        return CPrintDialog::OnInitDialog();
    }
    void OnOK() override
    {
        ++m_oks;
        CPrintDialog::OnOK();
    }
};

TEST(PrintDialog, WithoutAPrinterTheSetupFormAndThePrinterDcFailCleanly)
{
    VYX_NEEDS_SETUP_PART(!PrinterInstalled(), "a session whose printer is out of reach");
    CTestHostWnd owner;
    CSetupDialog setup;
    setup.m_pParentWnd = &owner;
    CString warning;
    INT_PTR result = 0;
    {
        // The system tells the user there is no printer.
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&warning);
            ASSERT_NE(nullptr, box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        result = setup.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_NE(-1, warning.Find(L"プリンター"));
    EXPECT_EQ(0, setup.m_inits);
    EXPECT_EQ(nullptr, setup.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, setup.CreatePrinterDC());
    EXPECT_EQ(nullptr, setup.GetPrinterDC());
    EXPECT_TRUE(setup.GetDeviceName().IsEmpty());
    EXPECT_EQ(nullptr, setup.GetDevMode());

    CPrintDialog defaults(FALSE);
    EXPECT_FALSE(defaults.GetDefaults());
    EXPECT_EQ(nullptr, defaults.CreatePrinterDC());
    EXPECT_EQ(1, defaults.GetCopies());
}

} // namespace
