// The report file: the template's escapes, the lines written (code page 932, CR LF), a cancel
// and a file that cannot be written, and the dialog with its template history and macro menu.
#include "FileopsTestUtil.h"

#include "common/ImportPatch.h"
#include "controls/ProgressDlg.h"
#include "fileops/CReportFileDlg.h"
#include "fileops/ReportFileWriter.h"
#include "res/resource.h"

#include <cstring>

using namespace fileopstest;

namespace {

const wchar_t kCaption[] = L"レポートファイルの作成";

std::string Ansi(const CString& text)
{
    int n = WideCharToMultiByte(932, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, text, text.GetLength(), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

// Stops after the given number of items, as a press on the progress window's button would.
class StoppingWriter : public ReportFileWriter
{
public:
    explicit StoppingWriter(int after) : m_after(after) {}

protected:
    bool IsCancelled(VCopyFileDlg&) override { return ++m_asked >= m_after; }

private:
    int m_after;
    int m_asked = 0;
};

// The next message box's text; the box is closed.
struct MessageBoxAnswer
{
    CString text;
    HelperThread driver{[this] {
        HWND box = WaitForMessageBox(&text, 30000);
        if (box)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
    }};
};

// The disk fills up when the line of b.jpg is written.
decltype(&WriteFile) s_writeFile = nullptr;
BOOL WINAPI FailingWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    if (size >= 5 && std::memcmp(data, "b.jpg", 5) == 0) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return s_writeFile(file, data, size, written, overlapped);
}

} // namespace

TEST(ReportFile, EscapesBecomeLineFeedsTabsOrTheCharacterItself)
{
    EXPECT_EQ(CString(L"a\nb\tc\\d\"x"), ReportFileWriter::Unescape(L"a\\nb\\tc\\\\d\\\"\\x"));
    EXPECT_EQ(CString(L"end\\"), ReportFileWriter::Unescape(L"end\\"));
    EXPECT_EQ(CString(L""), ReportFileWriter::Unescape(L""));
}

TEST(ReportFile, EachItemGetsItsLinesInCodePage932WithCrLf)
{
    ScratchSettings settings;
    ScratchFolder folder;
    NamedItem first(L"写真.jpg", 0, 640);
    NamedItem second(L"b.png", 0, 32);
    const VyxFile* items[] = {&first, &second};
    std::wstring path = folder / L"report.txt";
    ReportFileWriter writer;
    CString fields = ReportFileWriter::Unescape(CReportFileDlg::DefaultTemplate());
    EXPECT_EQ(2, writer.Write(path.c_str(), fields, items, 2));
    std::string text = ScratchFolder::ReadFile(path);
    EXPECT_EQ(Ansi(first.ExpandMacros(fields) + L"\r\n" + second.ExpandMacros(fields) + L"\r\n"), text);
    // Eight values in six tab-separated fields.
    EXPECT_EQ(2 * 5, std::count(text.begin(), text.end(), '\t'));
    EXPECT_EQ(0u, text.find(Ansi(L"写真.jpg\t")));

    // A line feed in the template gives two lines for each file; an existing report is replaced.
    EXPECT_EQ(2, writer.Write(path.c_str(), ReportFileWriter::Unescape(L"$(FileName)\\n$(Width)"), items, 2));
    EXPECT_EQ(Ansi(L"写真.jpg\r\n640\r\nb.png\r\n32\r\n"), ScratchFolder::ReadFile(path));
}

TEST(ReportFile, ANameHoldingAMacroWordIsWrittenAsItStands)
{
    ScratchSettings settings;
    ScratchFolder folder;
    NamedItem item(L"$(Ext)x.jpg");
    const VyxFile* items[] = {&item};
    std::wstring path = folder / L"report.txt";
    ReportFileWriter writer;
    EXPECT_EQ(1, writer.Write(path.c_str(), L"$(FileName)|$(Name)|$(Ext)", items, 1));
    EXPECT_EQ("$(Ext)x.jpg|$(Ext)x|jpg\r\n", ScratchFolder::ReadFile(path));
}

TEST(ReportFile, AReportHoldingACharacterOutsideCodePage932IsUtf8WithAByteOrderMark)
{
    ScratchSettings settings;
    ScratchFolder folder;
    // The lines written before the first such name are written again in UTF-8.
    NamedItem first(L"写真.jpg"), second(L"café.png"), third(L"雪☃.jpg");
    const VyxFile* items[] = {&first, &second, &third};
    std::wstring path = folder / L"report.txt";
    ReportFileWriter writer;
    EXPECT_EQ(3, writer.Write(path.c_str(), ReportFileWriter::Unescape(L"$(FileName)\\n-"), items, 3));
    const CString expected = L"写真.jpg\r\n-\r\ncafé.png\r\n-\r\n雪☃.jpg\r\n-\r\n";
    std::string utf8(static_cast<size_t>(expected.GetLength()) * 4, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, expected, expected.GetLength(), &utf8[0],
                                                        static_cast<int>(utf8.size()), nullptr, nullptr)));
    EXPECT_EQ("\xEF\xBB\xBF" + utf8, ScratchFolder::ReadFile(path));
}

TEST(ReportFile, AStoppedRunKeepsTheLinesWrittenSoFar)
{
    ScratchSettings settings;
    ScratchFolder folder;
    NamedItem a(L"a.jpg"), b(L"b.jpg"), c(L"c.jpg");
    const VyxFile* items[] = {&a, &b, &c};
    std::wstring path = folder / L"report.txt";
    StoppingWriter writer(2);
    EXPECT_EQ(2, writer.Write(path.c_str(), L"$(FileName)", items, 3));
    EXPECT_EQ("a.jpg\r\nb.jpg\r\n", ScratchFolder::ReadFile(path));
}

TEST(ReportFile, AReportThatCannotBeCreatedOrWrittenSaysSoAndKeepsItsLines)
{
    ScratchSettings settings;
    ScratchFolder folder;
    NamedItem a(L"a.jpg"), b(L"b.jpg"), c(L"c.jpg");
    const VyxFile* items[] = {&a, &b, &c};
    {
        MessageBoxAnswer answer;
        ReportFileWriter writer;
        std::wstring missing = folder / L"no such folder\\report.txt";
        EXPECT_EQ(-1, writer.Write(missing.c_str(), L"$(FileName)", items, 3));
        EXPECT_NE(-1, answer.text.Find(L"レポートファイルを作成できません"));
        EXPECT_NE(-1, Joined(answer.text).Find(missing.c_str()));
    }
    std::wstring path = folder / L"report.txt";
    MessageBoxAnswer answer;
    ImportPatch patch("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&FailingWriteFile));
    ASSERT_TRUE(patch);
    s_writeFile = reinterpret_cast<decltype(&WriteFile)>(patch.Original());
    ReportFileWriter writer;
    EXPECT_EQ(1, writer.Write(path.c_str(), L"$(FileName)", items, 3));
    EXPECT_NE(-1, answer.text.Find(L"レポートファイルの書き込みに失敗しました"));
    EXPECT_EQ("a.jpg\r\n", ScratchFolder::ReadFile(path));
}

TEST(ReportFileDialog, TheTypedNameIsRememberedAndTheTemplateGoesToTheTopOfItsHistory)
{
    ScratchSettings settings;
    // An empty history gets the default template.
    {
        CReportFileDlg dialog;
        CString shown;
        EXPECT_EQ(IDOK, DriveModal(dialog, kCaption, [&](HWND window) {
                      shown = TextOf(GetDlgItem(window, IDC_REPORT_FILE_TEMPLATE));
                      SetWindowTextW(GetDlgItem(window, IDC_REPORT_FILE_NAME), L"一覧.txt");
                  }));
        EXPECT_EQ(CReportFileDlg::DefaultTemplate(), shown);
        EXPECT_EQ(CString(L"一覧.txt"), dialog.m_fileName);
        EXPECT_EQ(ReportFileWriter::Unescape(CReportFileDlg::DefaultTemplate()), dialog.m_lineTemplate);
    }
    EXPECT_EQ(CString(L"一覧.txt"), ReadSettingText(L"ReportFile", L"ReportFile"));
    EXPECT_EQ(CReportFileDlg::DefaultTemplate(), ReadSettingText(L"ReportFile", L"0"));

    WriteAppIniString(L"ReportFile", L"1", L"$(Path)");
    CReportFileDlg dialog;
    CString name;
    EXPECT_EQ(IDOK, DriveModal(dialog, kCaption, [&](HWND window) {
                  name = TextOf(GetDlgItem(window, IDC_REPORT_FILE_NAME));
                  SetWindowTextW(GetDlgItem(window, IDC_REPORT_FILE_TEMPLATE), L"$(Path)\\t$(Size)");
              }));
    EXPECT_EQ(CString(L"一覧.txt"), name);
    EXPECT_EQ(CString(L"$(Path)\t$(Size)"), dialog.m_lineTemplate);
    EXPECT_EQ(CString(L"$(Path)\\t$(Size)"), ReadSettingText(L"ReportFile", L"0"));
    EXPECT_EQ(CReportFileDlg::DefaultTemplate(), ReadSettingText(L"ReportFile", L"1"));
    EXPECT_EQ(CString(L"$(Path)"), ReadSettingText(L"ReportFile", L"2"));
}

TEST(ReportFileDialog, AMacroChosenFromTheMenuGoesWhereTheCaretWas)
{
    ScratchSettings settings;
    WriteAppIniString(L"ReportFile", L"0", L"ab");
    CReportFileDlg dialog;
    CString text;
    auto script = [&](HWND window) {
        HWND combo = GetDlgItem(window, IDC_REPORT_FILE_TEMPLATE);
        HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
        // Typing "x" between a and b leaves the caret after it.
        SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(1, 1));
        SendMessageW(edit, WM_CHAR, L'x', 0);
        // "サイズ" is the fifth entry.
        SendMessageW(combo, WM_COMMAND, CReportFileDlg::MenuFirst + 4, 0);
        text = TextOf(combo);
    };
    EXPECT_EQ(IDCANCEL, DriveModal(dialog, kCaption, script, IDCANCEL));
    EXPECT_EQ(CString(L"ax$(Size)b"), text);
}
