// Writing a report file: one line template expanded for each file item, in the process's
// multibyte code page with CR LF line ends (UTF-8 with a byte-order mark when a line holds a
// character that code page lacks), under a progress window that can stop it. A file that cannot
// be created or written is reported to the user; the lines written before stay.
#pragma once

#include "framework/Framework.h"

class VCopyFileDlg;
class VyxFile;

class ReportFileWriter
{
public:
    explicit ReportFileWriter(CWnd* owner = nullptr) : m_owner(owner) {}
    virtual ~ReportFileWriter() = default;

    // Backslash-n becomes a line feed, backslash-t a tab, a backslash before any other character
    // that character; a backslash that ends the text stays.
    static CString Unescape(const CString& text);

    // The file created (an existing one truncated) and one expanded template per item, in order;
    // the number of items written, -1 when the file could not be created.
    int Write(const wchar_t* path, const CString& lineTemplate, const VyxFile* const* items, int count);

protected:
    // Asked after every item: true ends the run.
    virtual bool IsCancelled(VCopyFileDlg& progress);

private:
    void ShowFailure(const wchar_t* path, const wchar_t* what, DWORD error) const;

    CWnd* m_owner;
};
