// Shared set-up of the file-operation tests: items with the names, times and sizes a test says,
// without files behind them, and a group file of the test's own.
#pragma once

#include "../catalogue/DocumentTestUtil.h"
#include "fileops/RegExpGroupFile.h"

#include <functional>

namespace fileopstest {

using namespace doctest;

// An item standing for a file in C:\pictures, known only by its facts.
struct NamedItem : VyxFile
{
    explicit NamedItem(const wchar_t* name, long long writeTime = 1722744000, int width = 0)
    {
        m_fileName = name;
        m_folder = L"C:\\pictures";
        m_path = m_folder + L"\\" + name;
        m_writeTime = writeTime;
        m_width = width;
    }
};

// The named groups kept in a scratch file for one test.
struct ScratchGroups
{
    ScratchFolder folder{L"groups"};
    RegExpGroupFile file;
    ScratchGroups() { file.SetPath((folder / L"RegExpGroup.ini").c_str()); }
    void Write(const wchar_t* name, std::initializer_list<const wchar_t*> patterns) const
    {
        CStringArray list;
        for (const wchar_t* pattern : patterns)
            list.Add(pattern);
        file.WriteGroup(name, list);
    }
};

// A value of the application settings file, empty when missing.
inline CString ReadSettingText(const wchar_t* section, const wchar_t* key)
{
    CString value;
    GetAppIniString(value, section, key, L"");
    return value;
}

inline std::vector<CString> Texts(const CStringArray& array)
{
    std::vector<CString> texts;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        texts.push_back(array[i]);
    return texts;
}

// Runs the dialog modally while a helper thread finds its window by caption, does what the test
// says with it and ends it with the button; the dialog's result.
inline INT_PTR DriveModal(CDialog& dialog, const wchar_t* caption, const std::function<void(HWND)>& script,
                          int button = IDOK)
{
    HelperThread driver([&] {
        HWND window = WaitForDialog(caption, 30000);
        if (!window)
            return;
        script(window);
        PostMessageW(window, WM_COMMAND, button, 0);
    });
    return dialog.DoModal();
}

// A dialog of a test, made modeless on the test's thread and destroyed with its object.
template <class DIALOG> class Modeless : public DIALOG
{
public:
    ~Modeless() override
    {
        if (this->GetSafeHwnd())
            this->DestroyWindow();
    }
    HWND Control(int id) const { return ::GetDlgItem(this->m_hWnd, id); }
    void Press(int id)
    {
        this->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    }
};

// The text of a cell of a list view (of any thread's).
inline CString ListCell(HWND list, int row, int column)
{
    wchar_t text[600] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 600;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

inline std::vector<CString> ListColumn(HWND list, int column)
{
    std::vector<CString> cells;
    for (int row = 0, rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); row < rows; ++row)
        cells.push_back(ListCell(list, row, column));
    return cells;
}

inline void SelectListRow(HWND list, int row)
{
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// An in-place edit of a row's first cell, ended with Enter (kept) or Esc.
inline void EditListLabel(HWND list, int row, const wchar_t* text, bool escape = false)
{
    HWND edit = reinterpret_cast<HWND>(::SendMessageW(list, LVM_EDITLABELW, row, 0));
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, text);
    ::SendMessageW(edit, WM_KEYDOWN, escape ? VK_ESCAPE : VK_RETURN, 0);
    PumpPending();
}

} // namespace fileopstest
