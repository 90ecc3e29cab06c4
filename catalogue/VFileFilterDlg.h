// The display filter dialog: which entries of a location are listed, by name patterns, by a
// range of file dates and by a range of file sizes. It keeps its history and last values in
// section "Filter" of the settings file; the caller hands it the name patterns and reads the
// results after OK.
#pragma once

#include "catalogue/FolderList.h"

class VFileFilterDlg : public CDialog
{
public:
    explicit VFileFilterDlg(CWnd* parent = nullptr);

    BOOL m_bName = FALSE;
    CString m_strPathMask; // set before the dialog opens
    BOOL m_bDate = FALSE;
    long long m_dateBegin = 0; // seconds since 1970
    long long m_dateEnd = 0;
    BOOL m_bSize = FALSE;
    DWORD m_sizeBegin = 0; // bytes
    DWORD m_sizeEnd = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnClear();
    DECLARE_MESSAGE_MAP()

private:
    bool CreatePicker(CDateTimeCtrl& picker, int placeholderId);
    void LoadSettings();
    void SaveSettings();
    // The typed number times 1024 per unit step; the text goes to the top of its list.
    DWORD TakeSize(CComboBox& sizes, CComboBox& units);
    // The picker's day at the given time of day as seconds; false when it cannot be held.
    static bool PickedTime(const CDateTimeCtrl& picker, int hour, int minute, int second, long long& out);

    CDateTimeCtrl m_pickerBegin;
    CDateTimeCtrl m_pickerEnd;
    CComboBox m_names;
    CComboBox m_sizesBegin;
    CComboBox m_unitsBegin;
    CComboBox m_sizesEnd;
    CComboBox m_unitsEnd;
    FolderList m_nameHistory{2};
    FolderList m_beginHistory{13};
    FolderList m_endHistory{14};
    int m_unitBegin = 0;
    int m_unitEnd = 0;
};
