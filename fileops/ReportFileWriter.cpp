#include "fileops/ReportFileWriter.h"

#include "catalogue/VyxFile.h"
#include "fileops/ProgressDlg.h"

CString ReportFileWriter::Unescape(const CString& text)
{
    CString result;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        wchar_t ch = text[i];
        if (ch == L'\\' && i + 1 < length) {
            ch = text[++i];
            if (ch == L'n')
                ch = L'\n';
            else if (ch == L't')
                ch = L'\t';
        }
        result += ch;
    }
    return result;
}

bool ReportFileWriter::IsCancelled(VCopyFileDlg& progress)
{
    return progress.CheckCancel() != 0;
}

void ReportFileWriter::ShowFailure(const wchar_t* path, const wchar_t* what, DWORD error) const
{
    CString reason;
    if (error) {
        wchar_t* system = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
        if (system) {
            reason = system;
            LocalFree(system);
        }
    }
    CString text;
    text.Format(L"%s\n%s\n%s", path, what, static_cast<LPCWSTR>(reason));
    HWND owner = m_owner ? m_owner->GetSafeHwnd() : nullptr;
    ::MessageBoxW(owner, text, nullptr, MB_OK | MB_ICONSTOP);
}

int ReportFileWriter::Write(const wchar_t* path, const CString& lineTemplate, const VyxFile* const* items, int count)
{
    CStdioFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText, &error)) {
        ShowFailure(path, L"レポートファイルを作成できません", static_cast<DWORD>(error.m_lOsError));
        return -1;
    }
    VCopyFileDlg progress(m_owner);
    bool shown = progress.Create(m_owner) != FALSE;
    if (shown) {
        progress.SetWindowText(L"レポートファイル作成中...");
        progress.SetRange(0, count);
    }
    int written = 0;
    try {
        for (int i = 0; i < count; ++i) {
            if (items[i]) {
                if (shown)
                    progress.SetText(items[i]->GetFileName());
                file.WriteString(items[i]->ExpandMacros(lineTemplate) + L"\n");
                ++written;
                if (shown)
                    progress.OffsetPos(1);
            }
            if (shown && IsCancelled(progress))
                break;
        }
        file.Close();
    } catch (CFileException* e) {
        DWORD osError = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        file.Abort();
        if (shown)
            progress.DestroyWindow();
        ShowFailure(path, L"レポートファイルの書き込みに失敗しました", osError);
        return written;
    }
    if (shown)
        progress.DestroyWindow();
    return written;
}
