// The new-name edit of the single rename: Delete with the caret before the extension removes the
// whole extension, and Insert puts the file's extension back on a name that has none.
#pragma once

#include "controls/CEditEx.h"

class CEditExtName : public CEditEx
{
public:
    CEditExtName() = default;

    // With its dot; empty turns the help off.
    void SetExtension(const wchar_t* extension) { m_extension = extension ? extension : L""; }
    const CString& GetExtension() const { return m_extension; }
    // Appends the extension when one is known and the text has no "." at all.
    void AppendExtension();
    BOOL IsAutoExtension() const { return m_autoExtension; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

private:
    CString m_extension;
    BOOL m_autoExtension = 1;
};
