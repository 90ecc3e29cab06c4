#include "common/FrameTestUtil.h"

#include "catalogue/FrameMessages.h"
#include "foundation/VyxPath.h"
#include "image/plugins/Spi.h"

void CHintRecorder::OnUpdate(CView*, LPARAM hint, CObject* argument)
{
    std::wstring text = std::to_wstring(hint);
    if ((hint == HintFolderChanged || hint == HintGoToPath) && argument)
        text += L" " + std::wstring(reinterpret_cast<const wchar_t*>(argument));
    heard.push_back(text);
}

int CHintRecorder::Count(LPARAM hint) const
{
    int n = 0;
    for (const std::wstring& text : heard)
        n += std::stol(text) == hint;
    return n;
}

ProfileRedirect::ProfileRedirect() : m_previous(const_cast<LPWSTR>(AfxGetApp()->m_pszProfileName))
{
    AfxGetApp()->m_pszProfileName = _wcsdup(theAppIni.GetPath());
}

ProfileRedirect::~ProfileRedirect()
{
    free(const_cast<LPWSTR>(AfxGetApp()->m_pszProfileName));
    AfxGetApp()->m_pszProfileName = m_previous;
}

FrameProgram::FrameProgram(const std::function<void()>& settings, bool start)
{
    m_folder.WriteFile(L"a.jpg", "aaaa");
    m_folder.WriteFile(L"b.jpg", "bbbbbb");
    CreateDirectoryW(m_folder / L"sub", nullptr);
    if (settings)
        settings();
    if (start)
        Start(m_folder.Path());
}

FrameProgram::~FrameProgram()
{
    Close();
}

bool FrameProgram::Start(LPCWSTR lpszPath)
{
    m_document = DYNAMIC_DOWNCAST(CKWDoc, m_template.OpenDocumentFile(lpszPath));
    if (!m_document)
        return false;
    m_frame = DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
    if (!m_frame)
        return false;
    m_frameWindow = m_frame->m_hWnd;
    m_frame->ShowWindow(SW_SHOW);
    m_document->AddView(&m_hints);
    m_treeRoot = m_document->TreeRoot;
    m_document->UpdateAllViews(nullptr, HintSettingsChanged, reinterpret_cast<CObject*>(&m_treeRoot));
    PumpPending();
    return true;
}

void FrameProgram::Close()
{
    if (m_document && m_hints.GetDocument())
        m_document->RemoveView(&m_hints);
    // The frame may have closed itself meanwhile (and is then gone with its window).
    if (m_frame && IsWindow(m_frameWindow)) {
        const HWND frame = m_frameWindow;
        m_frame->SendMessage(WM_CLOSE);
        // A frame still writing the thumbnail cache closes once that is written.
        PumpUntil([frame] { return !IsWindow(frame); }, 120000);
    }
    m_frameWindow = nullptr;
    m_frame = nullptr;
    m_document = nullptr;
    PumpPending();
    AfxDeleteTempMaps();
}

int FrameProgram::RunIdle(int limit)
{
    for (int count = 0; count < limit; ++count)
        if (!m_frame->SendMessage(WMU_IDLESTEP, count, 0))
            return count + 1;
    return -1;
}

bool PumpUntilTimer(HWND hWnd, UINT_PTR id, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            bool fired = msg.message == WM_TIMER && msg.hwnd == hWnd && msg.wParam == id;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (fired)
                return true;
        }
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
