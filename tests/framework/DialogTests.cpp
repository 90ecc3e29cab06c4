// Dialogs: modal dialogs driven from a helper thread (data exchange round trip, a failed check,
// the disabled owner), modeless dialogs in a message loop, and the DDX_/DDV_ functions.
#include "common/WindowTestUtil.h"

#include "FrameworkTestRes.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

const wchar_t kDataCaption[] = L"データ交換の確認";

class CDataDialog : public CDialog
{
public:
    explicit CDataDialog(CWnd* pParent = nullptr) : CDialog(IDD_FWTEST_DATA, pParent) {}

    CString m_name = L"写真";
    int m_count = 10;
    double m_scale = 1.5;
    int m_check = 1;
    int m_size = 1;
    int m_kind = 2;
    CString m_folder = L"D:\\画像";
    CString m_listChoice = L"二";
    CSpinButtonCtrl m_spin;
    CProgressCtrl m_progress;
    int m_nameChanges = 0;
    BOOL m_endInInit = FALSE;

protected:
    BOOL OnInitDialog() override
    {
        for (LPCWSTR kind : {L"JPEG", L"PNG", L"BMP"})
            SendDlgItemMessage(IDC_FWTEST_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
        for (LPCWSTR folder : {L"C:\\", L"D:\\画像"})
            SendDlgItemMessage(IDC_FWTEST_FOLDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder));
        for (LPCWSTR item : {L"一", L"二", L"三"})
            SendDlgItemMessage(IDC_FWTEST_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        if (m_endInInit) {
            EndDialog(7);
            return TRUE;
        }
        BOOL result = CDialog::OnInitDialog();
        m_spin.SetRange(0, 100);
        m_progress.SetRange32(0, 10);
        m_progress.SetPos(4);
        return result;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_FWTEST_SPIN, m_spin);
        DDX_Control(pDX, IDC_FWTEST_PROGRESS, m_progress);
        DDX_Text(pDX, IDC_FWTEST_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 20);
        DDX_Text(pDX, IDC_FWTEST_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 100);
        DDX_Text(pDX, IDC_FWTEST_SCALE, m_scale);
        DDV_MinMaxDouble(pDX, m_scale, 0.1, 10.0);
        DDX_Check(pDX, IDC_FWTEST_CHECK, m_check);
        DDX_Radio(pDX, IDC_FWTEST_SMALL, m_size);
        DDX_CBIndex(pDX, IDC_FWTEST_KIND, m_kind);
        DDX_CBString(pDX, IDC_FWTEST_FOLDER, m_folder);
        DDX_LBString(pDX, IDC_FWTEST_LIST, m_listChoice);
    }
    afx_msg void OnNameChange() { ++m_nameChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataDialog, CDialog)
ON_EN_CHANGE(IDC_FWTEST_NAME, OnNameChange)
END_MESSAGE_MAP()

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(Item(dialog, id), message, wParam, lParam);
}

CString ListSelection(HWND dialog)
{
    wchar_t text[64] = {};
    LRESULT selection = SendItem(dialog, IDC_FWTEST_LIST, LB_GETCURSEL);
    if (selection >= 0)
        SendItem(dialog, IDC_FWTEST_LIST, LB_GETTEXT, static_cast<WPARAM>(selection), reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Dialog, ModalDialogRoundTripsItsDataAndDisablesTheOwnerMeanwhile)
{
    CTestHostWnd owner;
    CDataDialog dialog(&owner);
    struct Seen
    {
        CString name, count, scale, folder, list;
        LRESULT check = -1, medium = -1, kind = -1, progress = -1;
        BOOL ownerEnabled = TRUE;
    } seen;
    INT_PTR result = 0;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(kDataCaption);
            ASSERT_NE(nullptr, dlg);
            seen.ownerEnabled = IsWindowEnabled(owner.m_hWnd);
            seen.name = TextOf(Item(dlg, IDC_FWTEST_NAME));
            seen.count = TextOf(Item(dlg, IDC_FWTEST_COUNT));
            seen.scale = TextOf(Item(dlg, IDC_FWTEST_SCALE));
            seen.folder = TextOf(Item(dlg, IDC_FWTEST_FOLDER));
            seen.list = ListSelection(dlg);
            seen.check = SendItem(dlg, IDC_FWTEST_CHECK, BM_GETCHECK);
            seen.medium = SendItem(dlg, IDC_FWTEST_MEDIUM, BM_GETCHECK);
            seen.kind = SendItem(dlg, IDC_FWTEST_KIND, CB_GETCURSEL);
            seen.progress = SendItem(dlg, IDC_FWTEST_PROGRESS, PBM_GETPOS);
            // The user's edits.
            SetWindowTextW(Item(dlg, IDC_FWTEST_NAME), L"風景");
            SetWindowTextW(Item(dlg, IDC_FWTEST_COUNT), L" 25 ");
            SetWindowTextW(Item(dlg, IDC_FWTEST_SCALE), L"2.25");
            SendItem(dlg, IDC_FWTEST_CHECK, BM_SETCHECK, BST_UNCHECKED);
            SendItem(dlg, IDC_FWTEST_MEDIUM, BM_SETCHECK, BST_UNCHECKED);
            SendItem(dlg, IDC_FWTEST_LARGE, BM_SETCHECK, BST_CHECKED);
            SendItem(dlg, IDC_FWTEST_KIND, CB_SETCURSEL, 0);
            SetWindowTextW(Item(dlg, IDC_FWTEST_FOLDER), L"E:\\新しいフォルダー");
            SendItem(dlg, IDC_FWTEST_LIST, LB_SETCURSEL, 2);
            PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDOK, result);
    // What the dialog showed.
    EXPECT_EQ(CString(L"写真"), seen.name);
    EXPECT_EQ(CString(L"10"), seen.count);
    EXPECT_EQ(CString(L"1.5"), seen.scale);
    EXPECT_EQ(BST_CHECKED, seen.check);
    EXPECT_EQ(BST_CHECKED, seen.medium);
    EXPECT_EQ(2, seen.kind);
    EXPECT_EQ(CString(L"D:\\画像"), seen.folder);
    EXPECT_EQ(CString(L"二"), seen.list);
    EXPECT_EQ(4, seen.progress);
    EXPECT_FALSE(seen.ownerEnabled);
    // What it read back.
    EXPECT_EQ(CString(L"風景"), dialog.m_name);
    EXPECT_EQ(25, dialog.m_count);
    EXPECT_DOUBLE_EQ(2.25, dialog.m_scale);
    EXPECT_EQ(0, dialog.m_check);
    EXPECT_EQ(2, dialog.m_size);
    EXPECT_EQ(0, dialog.m_kind);
    EXPECT_EQ(CString(L"E:\\新しいフォルダー"), dialog.m_folder);
    EXPECT_EQ(CString(L"三"), dialog.m_listChoice);
    // Filling the controls is no user edit; the helper's edit is.
    EXPECT_EQ(1, dialog.m_nameChanges);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Dialog, FailedCheckTellsTheUserAndLeavesTheFocusOnTheBadControl)
{
    CTestHostWnd owner;
    CDataDialog dialog(&owner);
    std::vector<CString> prompts;
    HWND focusAfterFirst = nullptr;
    DWORD selectionAfterFirst = 0;
    BOOL stillOpen = FALSE;
    HWND countEdit = nullptr;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(kDataCaption);
            ASSERT_NE(nullptr, dlg);
            countEdit = Item(dlg, IDC_FWTEST_COUNT);
            for (LPCWSTR bad : {L"500", L"12枚"}) {
                SetWindowTextW(countEdit, bad);
                SetFocus(nullptr);
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
                CString text;
                HWND box = WaitForMessageBox(&text);
                ASSERT_NE(nullptr, box);
                prompts.push_back(text);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                // Wait for the box to go and the focus to land.
                for (int i = 0; i < 3000 && (IsWindow(box) || FocusOfThread(dlg) != countEdit); ++i)
                    Sleep(10);
                if (!focusAfterFirst) {
                    focusAfterFirst = FocusOfThread(dlg);
                    selectionAfterFirst = static_cast<DWORD>(SendMessageW(countEdit, EM_GETSEL, 0, 0));
                    stillOpen = IsWindowVisible(dlg);
                }
            }
            SetWindowTextW(countEdit, L"42");
            PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(IDOK, dialog.DoModal());
    }
    ASSERT_EQ(2u, prompts.size());
    EXPECT_EQ(CString(L"1 から 100 までの整数を入力してください。"), prompts[0]);
    EXPECT_EQ(CString(L"整数を入力してください。"), prompts[1]);
    EXPECT_EQ(countEdit, focusAfterFirst);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 3)), selectionAfterFirst); // the whole text selected
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(42, dialog.m_count);
}

TEST(Dialog, CancelLeavesTheVariablesAlone)
{
    CDataDialog dialog;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(kDataCaption);
            ASSERT_NE(nullptr, dlg);
            SetWindowTextW(Item(dlg, IDC_FWTEST_COUNT), L"99");
            PostMessageW(dlg, WM_CLOSE, 0, 0); // the caption's close box means Cancel
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_EQ(10, dialog.m_count);
}

TEST(Dialog, EndDialogDuringInitialisationEndsDoModalAtOnce)
{
    CDataDialog dialog;
    dialog.m_endInInit = TRUE;
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    CDialog missing(29999u);
    EXPECT_EQ(-1, missing.DoModal()); // no such template
}

// A modeless dialog acting as a program's only window: it ends the loop when it goes.
class CModelessDialog : public CDialog
{
public:
    static int s_deleted;

protected:
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override
    {
        ++s_deleted;
        ::PostQuitMessage(5);
        delete this;
    }
};
int CModelessDialog::s_deleted = 0;

TEST(Dialog, ModelessDialogLivesInTheThreadLoopAndHandlesDialogKeys)
{
    PumpPending();
    auto* dialog = new CModelessDialog;
    ASSERT_TRUE(dialog->Create(IDD_FWTEST_MODELESS));
    EXPECT_EQ(nullptr, ::GetParent(dialog->m_hWnd)); // no main window: no owner
    dialog->ShowWindow(SW_SHOW);
    HWND first = dialog->GetDlgItem(IDC_FWTEST_NAME)->m_hWnd;
    HWND second = dialog->GetDlgItem(IDC_FWTEST_COUNT)->m_hWnd;
    HWND focusAfterTab = nullptr;
    CWinThread loop;
    int exitCode = 0;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(L"モードレスの確認");
            ASSERT_NE(nullptr, dlg);
            PostMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
            for (int i = 0; i < 3000 && FocusOfThread(dlg) != first; ++i)
                Sleep(10);
            // Tab reaches the dialog only through the loop's pre-translation (IsDialogMessage).
            PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
            for (int i = 0; i < 3000 && FocusOfThread(dlg) != second; ++i)
                Sleep(10);
            focusAfterTab = FocusOfThread(dlg);
            PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        exitCode = loop.Run();
    }
    EXPECT_EQ(5, exitCode);
    EXPECT_EQ(second, focusAfterTab);
    EXPECT_EQ(1, CModelessDialog::s_deleted);
}

TEST(Dialog, ModelessDialogIsCentredOnlyWithoutAnEnabledOwner)
{
    CTestHostWnd owner;
    owner.MoveWindow(40, 50, 600, 400);
    CRect ownerRect;
    owner.GetWindowRect(&ownerRect);
    for (BOOL ownerEnabled : {TRUE, FALSE}) {
        owner.EnableWindow(ownerEnabled);
        CDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_FWTEST_MODELESS, &owner));
        CRect rect;
        dialog.GetWindowRect(&rect);
        bool centred = abs(rect.CenterPoint().x - ownerRect.CenterPoint().x) <= 1 &&
                       abs(rect.CenterPoint().y - ownerRect.CenterPoint().y) <= 1;
        EXPECT_EQ(!ownerEnabled, centred) << ownerEnabled;
        dialog.DestroyWindow();
    }
    owner.EnableWindow(TRUE);
}

TEST(Dialog, EscapeInAMultiLineEditStillCancels)
{
    CDataDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    MSG msg = {dialog.GetDlgItem(IDC_FWTEST_NOTE)->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(dialog.PreTranslateMessage(&msg));
    EXPECT_EQ(IDCANCEL, dialog.m_nModalResult);
    dialog.DestroyWindow();
}

const UINT ID_FWTEST_OWNER_COMMAND = 0x8201;

class CCommandOwner : public CTestHostWnd
{
public:
    int m_commands = 0;
    int m_controlNotifications = 0;

protected:
    afx_msg void OnOwnerCommand() { ++m_commands; }
    afx_msg void OnApply() { ++m_controlNotifications; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandOwner, CTestHostWnd)
ON_COMMAND(ID_FWTEST_OWNER_COMMAND, OnOwnerCommand)
ON_BN_CLICKED(IDC_FWTEST_APPLY, OnApply)
END_MESSAGE_MAP()

TEST(Dialog, CommandsTheDialogLeavesGoToItsOwnerButControlNotificationsDoNot)
{
    CCommandOwner owner;
    CDataDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA, &owner));
    dialog.SendMessage(WM_COMMAND, ID_FWTEST_OWNER_COMMAND);
    EXPECT_EQ(1, owner.m_commands);
    HWND apply = dialog.GetDlgItem(IDC_FWTEST_APPLY)->m_hWnd;
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FWTEST_APPLY, BN_CLICKED), reinterpret_cast<LPARAM>(apply));
    EXPECT_EQ(0, owner.m_controlNotifications);
    dialog.DestroyWindow();
}

// The last stop of a dialog's command: the thread it runs on.
const UINT ID_FWTEST_THREAD_COMMAND = 0x8202;

class CCommandThread : public CWinThread
{
    DECLARE_DYNCREATE(CCommandThread)
public:
    static LONG s_commands;
    static LONG s_dialogCreated;

    BOOL InitInstance() override
    {
        CDataDialog dialog;
        if (dialog.Create(IDD_FWTEST_DATA)) {
            InterlockedIncrement(&s_dialogCreated);
            dialog.SendMessage(WM_COMMAND, ID_FWTEST_THREAD_COMMAND);
            dialog.DestroyWindow();
        }
        return FALSE; // done: no message loop
    }

protected:
    afx_msg void OnThreadCommand() { InterlockedIncrement(&s_commands); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CCommandThread, CWinThread)
LONG CCommandThread::s_commands = 0;
LONG CCommandThread::s_dialogCreated = 0;

BEGIN_MESSAGE_MAP(CCommandThread, CWinThread)
ON_COMMAND(ID_FWTEST_THREAD_COMMAND, OnThreadCommand)
END_MESSAGE_MAP()

TEST(Dialog, CommandsNobodyElseHandlesReachTheDialogsThread)
{
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CCommandThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 10000));
    delete thread;
    EXPECT_EQ(1, CCommandThread::s_dialogCreated);
    EXPECT_EQ(1, CCommandThread::s_commands);
}

// ---- the DDX_/DDV_ functions one by one, on a modeless dialog

// Closes every message box that appears, keeping its text.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
        : m_thread([this] {
              while (!m_stop) {
                  CString text;
                  HWND box = WaitForMessageBox(&text, 20);
                  if (box) {
                      {
                          std::lock_guard<std::mutex> lock(m_mutex);
                          m_texts.push_back(text);
                      }
                      SendMessageW(box, WM_COMMAND, IDOK, 0);
                  }
              }
          })
    {
    }
    ~MessageBoxCloser()
    {
        m_stop = true;
        m_thread.join();
    }
    std::vector<CString> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<CString> texts;
        texts.swap(m_texts);
        return texts;
    }

private:
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<CString> m_texts;
    std::thread m_thread;
};

class CExchangeDialog : public CDialog
{
public:
    std::function<void(CDataExchange*)> m_exchange;

protected:
    BOOL OnInitDialog() override { return TRUE; }
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_exchange)
            m_exchange(pDX);
    }
};

struct TextCase
{
    const wchar_t* text;
    bool accepted;
    LONGLONG value;
};

template <class T> void CheckNumberParsing(const TextCase* cases, size_t count, const wchar_t* prompt)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    T value{};
    dialog.m_exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, IDC_FWTEST_COUNT, value); };
    MessageBoxCloser closer;
    for (size_t i = 0; i < count; ++i) {
        const TextCase& c = cases[i];
        dialog.SetDlgItemText(IDC_FWTEST_COUNT, c.text);
        value = T{};
        BOOL ok = dialog.UpdateData(TRUE);
        EXPECT_EQ(c.accepted, ok != FALSE) << static_cast<LPCSTR>(CStringA(c.text));
        std::vector<CString> prompts = closer.Take();
        if (c.accepted) {
            EXPECT_EQ(static_cast<T>(c.value), value) << static_cast<LPCSTR>(CStringA(c.text));
            EXPECT_TRUE(prompts.empty());
        } else {
            ASSERT_EQ(1u, prompts.size()) << static_cast<LPCSTR>(CStringA(c.text));
            EXPECT_EQ(CString(prompt), prompts[0]);
        }
    }
    dialog.DestroyWindow();
}

TEST(DataExchange, IntegerTextIsParsedWholeOrRefused)
{
    const TextCase intCases[] = {
        {L"42", true, 42},
        {L"  -7  ", true, -7},
        {L"+3", true, 3},
        {L"-2147483648", true, INT_MIN},
        {L"2147483647", true, INT_MAX},
        {L"2147483648", false, 0},
        {L"", false, 0},
        {L"12a", false, 0},
        {L"1 2", false, 0},
        {L"-", false, 0},
        {L"0x10", false, 0},
    };
    CheckNumberParsing<int>(intCases, sizeof(intCases) / sizeof(intCases[0]), L"整数を入力してください。");

    const TextCase uintCases[] = {
        {L"4294967295", true, 4294967295LL}, {L"0", true, 0}, {L"-1", false, 0}, {L"4294967296", false, 0}};
    CheckNumberParsing<UINT>(uintCases, sizeof(uintCases) / sizeof(uintCases[0]), L"0 以上の整数を入力してください。");

    const TextCase byteCases[] = {{L"255", true, 255}, {L"256", false, 0}, {L"-1", false, 0}};
    CheckNumberParsing<BYTE>(byteCases, sizeof(byteCases) / sizeof(byteCases[0]),
                              L"0 から 255 までの整数を入力してください。");
}

TEST(DataExchange, RealTextIsDecimalOnly)
{
    const TextCase cases[] = {
        {L"16", true, 16}, {L" -3 ", true, -3}, {L"1e2", true, 100}, {L"+2.0", true, 2}, {L"0x10", false, 0},
        {L"nan", false, 0}, {L"inf", false, 0},  {L"1e999", false, 0}, {L"1.", true, 1},  {L".", false, 0},
    };
    CheckNumberParsing<double>(cases, sizeof(cases) / sizeof(cases[0]), L"数値を入力してください。");
}

TEST(DataExchange, NumbersAreWrittenBackInFull)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    int count = -12;
    double scale = 0.1;
    float small = 2.5f;
    ULONGLONG big = 18446744073709551615ULL;
    dialog.m_exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, IDC_FWTEST_COUNT, count);
        DDX_Text(pDX, IDC_FWTEST_SCALE, scale);
        DDX_Text(pDX, IDC_FWTEST_NAME, small);
        DDX_Text(pDX, IDC_FWTEST_NOTE, big);
    };
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    CString text;
    EXPECT_EQ(CString(L"-12"), (dialog.GetDlgItemText(IDC_FWTEST_COUNT, text), text));
    EXPECT_EQ(CString(L"0.1"), (dialog.GetDlgItemText(IDC_FWTEST_SCALE, text), text));
    EXPECT_EQ(CString(L"2.5"), (dialog.GetDlgItemText(IDC_FWTEST_NAME, text), text));
    EXPECT_EQ(CString(L"18446744073709551615"), (dialog.GetDlgItemText(IDC_FWTEST_NOTE, text), text));
    // And read back unchanged.
    count = 0;
    scale = 0;
    big = 0;
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(-12, count);
    EXPECT_DOUBLE_EQ(0.1, scale);
    EXPECT_EQ(18446744073709551615ULL, big);
    dialog.DestroyWindow();
}

TEST(DataExchange, RangeAndLengthChecksNameTheLimits)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    double scale = 0;
    CString name;
    dialog.m_exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, IDC_FWTEST_SCALE, scale);
        DDV_MinMaxDouble(pDX, scale, 0.5, 4.0);
        DDX_Text(pDX, IDC_FWTEST_NAME, name);
        DDV_MaxChars(pDX, name, 4);
    };
    MessageBoxCloser closer;
    dialog.SetDlgItemText(IDC_FWTEST_SCALE, L"4.5");
    dialog.SetDlgItemText(IDC_FWTEST_NAME, L"四文字");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    dialog.SetDlgItemText(IDC_FWTEST_SCALE, L"1e0");
    dialog.SetDlgItemText(IDC_FWTEST_NAME, L"五文字以上");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    dialog.SetDlgItemText(IDC_FWTEST_SCALE, L"inf");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    std::vector<CString> prompts = closer.Take();
    ASSERT_EQ(3u, prompts.size());
    EXPECT_EQ(CString(L"0.5 から 4 までの数値を入力してください。"), prompts[0]);
    EXPECT_EQ(CString(L"4 文字以内で入力してください。"), prompts[1]);
    EXPECT_EQ(CString(L"数値を入力してください。"), prompts[2]);
    // Loading sets the control's own limit.
    name = L"短い";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(4, dialog.SendDlgItemMessage(IDC_FWTEST_NAME, EM_GETLIMITTEXT));
    dialog.DestroyWindow();
}

TEST(DataExchange, ChoiceControlsExchangeIndexesAndTexts)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    for (LPCWSTR item : {L"りんご", L"みかん", L"ぶどう"}) {
        dialog.SendDlgItemMessage(IDC_FWTEST_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        dialog.SendDlgItemMessage(IDC_FWTEST_FOLDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        dialog.SendDlgItemMessage(IDC_FWTEST_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    int check = 0;
    int size = 0;
    CString kind;
    CString folder;
    int listIndex = 0;
    dialog.m_exchange = [&](CDataExchange* pDX) {
        DDX_Check(pDX, IDC_FWTEST_CHECK, check);
        DDX_Radio(pDX, IDC_FWTEST_SMALL, size);
        DDX_CBString(pDX, IDC_FWTEST_KIND, kind);
        DDX_CBStringExact(pDX, IDC_FWTEST_FOLDER, folder);
        DDX_LBIndex(pDX, IDC_FWTEST_LIST, listIndex);
    };
    struct Case
    {
        int check, size;
        const wchar_t* kind;
        const wchar_t* folder;
        int listIndex;
        // read back
        int checkBack, sizeBack;
        const wchar_t* kindBack;
        const wchar_t* folderBack;
    } cases[] = {
        {1, 0, L"みかん", L"ぶどう", 2, 1, 0, L"みかん", L"ぶどう"},
        {0, 2, L"ぶ", L"ぶ", 0, 0, 2, L"ぶどう", L"ぶ"},          // a drop-down list selects by prefix; exact needs all
        {7, -1, L"なし", L"なし", -1, 0, -1, L"ぶどう", L"なし"}, // no such check state, no radio, no match
    };
    for (const Case& c : cases) {
        check = c.check;
        size = c.size;
        kind = c.kind;
        folder = c.folder;
        listIndex = c.listIndex;
        ASSERT_TRUE(dialog.UpdateData(FALSE));
        check = size = listIndex = 99;
        kind = folder = L"?";
        ASSERT_TRUE(dialog.UpdateData(TRUE));
        EXPECT_EQ(c.checkBack, check);
        EXPECT_EQ(c.sizeBack, size);
        EXPECT_EQ(CString(c.kindBack), kind);
        EXPECT_EQ(CString(c.folderBack), folder);
        EXPECT_EQ(c.listIndex, listIndex);
    }
    dialog.DestroyWindow();
}

TEST(DataExchange, AMissingControlFailsTheExchangeWithoutHarm)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_MODELESS));
    int value = 0;
    dialog.m_exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, IDC_FWTEST_SCALE, value); };
    CString prompt;
    BOOL ok = TRUE;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&prompt);
            if (box)
                PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        ok = dialog.UpdateData(FALSE);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(CString(L"この操作はサポートされていません。"), prompt);
    dialog.DestroyWindow();
}

TEST(DataExchange, AnyExceptionLeavingTheExchangeEndsTheNotificationLockout)
{
    CExchangeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FWTEST_DATA));
    dialog.m_exchange = [](CDataExchange*) { throw std::bad_alloc(); };
    // Not the framework's own exception: it goes on to the caller, as before.
    EXPECT_THROW(dialog.UpdateData(TRUE), std::bad_alloc);
    EXPECT_EQ(nullptr, AfxGetThreadState()->m_hLockoutNotifyWindow);
    dialog.DestroyWindow();
}

} // namespace
