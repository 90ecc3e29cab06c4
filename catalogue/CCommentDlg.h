// The comment dialog: the note of one file item written and shown, with the item's picture, name,
// size and date. The note is stored as one line (NoteText): the edit box shows the text typed.
#pragma once

#include "controls/CResizableDialog.h"

class VyxFile;

class CCommentDlg : public CResizableDialog
{
public:
    enum { IDD = 218 };

    CCommentDlg(VyxFile* item, CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    VyxFile* m_item;
    CStatic m_date;
    CStatic m_size;
    CStatic m_name;
    CEdit m_edit;
};
