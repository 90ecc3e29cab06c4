#include "fileops/ReportFileWriter.h"

#include "catalogue/VyxFile.h"
#include "controls/ProgressDlg.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxCode.h"

#include <vector>

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
    ShowMessageBox(owner, text, nullptr, MB_OK | MB_ICONSTOP);
}

namespace {

// The line with CR LF line ends in the code page; CP_UTF8 for UTF-8.
CStringA EncodedLine(const CString& line, UINT codePage)
{
    CString text;
    text.Preallocate(line.GetLength() + 2);
    for (int i = 0; i < line.GetLength(); ++i) {
        if (line[i] == L'\n' && (i == 0 || line[i - 1] != L'\r'))
            text += L'\r';
        text += line[i];
    }
    text += L"\r\n";
    int n = WideCharToMultiByte(codePage, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    CStringA bytes;
    if (n > 0) {
        WideCharToMultiByte(codePage, 0, text, text.GetLength(), bytes.GetBuffer(n), n, nullptr, nullptr);
        bytes.ReleaseBuffer(n);
    }
    return bytes;
}

} // namespace

int ReportFileWriter::Write(const wchar_t* path, const CString& lineTemplate, const VyxFile* const* items, int count)
{
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) {
        ShowFailure(path, L"レポートファイルを作成できません", static_cast<DWORD>(error.m_lOsError));
        return -1;
    }
    VCopyFileDlg progress(m_owner);
    bool shown = progress.Create(m_owner) != FALSE;
    if (shown) {
        progress.SetWindowText(L"レポートファイル作成中...");
        progress.SetRange(0, count);
    }
    // The report stays in the process's code page while every line fits it; the first line that
    // does not makes the whole report UTF-8 with a byte-order mark, the lines before rewritten.
    bool utf8 = false;
    std::vector<CString> lines;
    int written = 0;
    try {
        for (int i = 0; i < count; ++i) {
            if (items[i]) {
                if (shown)
                    progress.SetText(items[i]->GetFileName());
                const CString line = items[i]->ExpandMacros(lineTemplate);
                if (!utf8 && !FitsCodePage(line, line.GetLength())) {
                    CStringA bytes("\xEF\xBB\xBF");
                    for (const CString& before : lines)
                        bytes += EncodedLine(before, CP_UTF8);
                    utf8 = true;
                    written = 0;
                    file.SeekToBegin();
                    file.SetLength(0);
                    file.Write(bytes.GetString(), static_cast<UINT>(bytes.GetLength()));
                    written = static_cast<int>(lines.size());
                    lines.clear();
                }
                const CStringA bytes = EncodedLine(line, utf8 ? CP_UTF8 : CP_ACP);
                file.Write(bytes.GetString(), static_cast<UINT>(bytes.GetLength()));
                if (!utf8)
                    lines.push_back(line);
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
