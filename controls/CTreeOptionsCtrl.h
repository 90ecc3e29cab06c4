// A tree control that shows a dialog's options: headings, check boxes, radio buttons and items
// whose text ends in an editable value ("label: value"). Selecting such an item opens an in-place
// editor right of its label (edit, combo box, edit with spin, browse button or menu button) made
// from a run-time class, and the edited value goes back into the item text when it closes.
// Item kinds are told apart by their image (bitmap 244): 0-1, 4-5, 8-9 check boxes (unchecked,
// checked, disabled forms, partly checked), 2-3, 6-7 radio buttons; any other image is a heading.
#pragma once

#include "framework/Framework.h"

class CTreeOptionsCombo;
class CTreeOptionsEdit;
class CTreeOptionsSpinCtrl;
class CTreeOptionsBrowseButton;
class CTreeOptionsMenuButton;

// The editor of one item, kept as the item's data and freed with the item.
class CTreeOptionsItemData
{
public:
    enum ControlType { Unknown = 0, Spin = 2, FileBrowser = 3, FolderBrowser = 4, ColorBrowser = 5, MenuButton = 6 };

    CRuntimeClass* m_pRuntimeClass1 = nullptr; // the combo box or edit class
    CRuntimeClass* m_pRuntimeClass2 = nullptr; // the companion's class, or none
    ControlType m_Type = Unknown;
    DWORD m_dwItemData = 0;
    int m_nComboIndex = -1; // the combo's selection when it last closed
};

class CTreeOptionsCtrl : public CTreeCtrl
{
    DECLARE_DYNAMIC(CTreeOptionsCtrl)
public:
    CTreeOptionsCtrl();
    ~CTreeOptionsCtrl() override;

    // ---- building (appended under the parent; item data 0 until an editor is attached)
    HTREEITEM InsertGroup(LPCWSTR lpszItem, int nImage, HTREEITEM hParent = TVI_ROOT);
    HTREEITEM InsertCheckBox(LPCWSTR lpszItem, HTREEITEM hParent, BOOL bCheck = TRUE);
    HTREEITEM InsertRadioButton(LPCWSTR lpszItem, HTREEITEM hParent, BOOL bCheck = TRUE);
    BOOL AddComboBox(HTREEITEM hItem, CRuntimeClass* pRuntimeClass, DWORD dwItemData = 0);
    BOOL AddEditBox(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl, DWORD dwItemData = 0);
    BOOL AddEditBoxWithSpin(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl, CRuntimeClass* pRuntimeClassSpinCtrl,
                            DWORD dwItemData = 0);
    BOOL AddEditBoxWithFileBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                  CRuntimeClass* pRuntimeClassButton, DWORD dwItemData = 0);
    BOOL AddEditBoxWithFolderBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                    CRuntimeClass* pRuntimeClassButton, DWORD dwItemData = 0);
    BOOL AddEditBoxWithColorBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                   CRuntimeClass* pRuntimeClassButton, DWORD dwItemData = 0);
    BOOL AddEditBoxWithMenu(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                            CRuntimeClass* pRuntimeClassMenuButton, DWORD dwItemData = 0);

    // ---- states; each answers FALSE for an item of another kind
    BOOL IsCheckBox(HTREEITEM hItem) const;
    BOOL IsRadioButton(HTREEITEM hItem) const;
    BOOL SetCheckBox(HTREEITEM hItem, BOOL bCheck);
    BOOL GetCheckBox(HTREEITEM hItem, BOOL* pbCheck) const;
    BOOL SetCheckBoxEnable(HTREEITEM hItem, BOOL bEnable);
    BOOL GetCheckBoxEnable(HTREEITEM hItem, BOOL* pbEnable) const;
    BOOL SetSemiCheckBox(HTREEITEM hItem, BOOL bEnable);
    BOOL IsSemiChecked(HTREEITEM hItem) const;
    BOOL SetRadioButton(HTREEITEM hItem);
    // Among the parent's radio children, counted from 0 in tree order.
    BOOL SetRadioButton(HTREEITEM hParent, int nIndex);
    BOOL GetRadioButton(HTREEITEM hItem, BOOL* pbCheck) const;
    // The radio child that is on; with none on: the number of radio children and no item (FALSE).
    BOOL GetRadioButton(HTREEITEM hParent, int* pnIndex, HTREEITEM* phItem) const;
    BOOL SetRadioButtonEnable(HTREEITEM hItem, BOOL bEnable);
    BOOL GetRadioButtonEnable(HTREEITEM hItem, BOOL* pbEnable) const;
    BOOL SetGroupEnable(HTREEITEM hParent, BOOL bEnable);

    // ---- values. While an item is being edited its value lives in the editor, so these read
    // and write the editor then.
    CString GetEditText(HTREEITEM hItem) const;
    void SetEditText(HTREEITEM hItem, LPCWSTR lpszNewText);
    COLORREF GetColor(HTREEITEM hItem) const;
    void SetColor(HTREEITEM hItem, COLORREF color);
    int GetComboIndex(HTREEITEM hItem) const;
    DWORD GetUserItemData(HTREEITEM hItem) const;

    // ---- options
    void SetToggleOverIconOnly(BOOL bToggle) { m_bToggleOverIconOnly = bToggle; }
    BOOL GetToggleOverIconOnly() const { return m_bToggleOverIconOnly; }
    void SetAutoSelect(BOOL bAutoSelect) { m_bAutoSelect = bAutoSelect; }
    BOOL GetAutoSelect() const { return m_bAutoSelect; }

    // ---- the editor of the item being edited
    void CreateItemEditors(HTREEITEM hItem);
    void CommitItemEditors();
    void DestroyItemEditors();
    // Commit, then destroy.
    void CloseItemEditors();
    // Closes the editors later, unless others have been opened since (an editor losing the focus
    // cannot destroy itself inside its own message).
    void PostCloseItemEditors();
    HTREEITEM GetEditedItem() const { return m_hControlItem; }
    CTreeOptionsCombo* GetComboEditor() const { return m_pCombo; }
    CTreeOptionsEdit* GetEditEditor() const { return m_pEdit; }
    CTreeOptionsSpinCtrl* GetSpinEditor() const { return m_pSpin; }
    CTreeOptionsBrowseButton* GetBrowseButton() const { return m_pButton; }
    CTreeOptionsMenuButton* GetMenuButton() const { return m_pMenuButton; }
    CTreeOptionsItemData* GetItemRecord(HTREEITEM hItem) const;
    // The window that has the focus is one of the editors (or inside the combo box).
    BOOL IsEditorWindow(HWND hWnd) const;

    void ToggleCheckBox(HTREEITEM hItem, BOOL bCheck);

    static const UINT kEditorId = 100;

protected:
    void PreSubclassWindow() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    int GetImage(HTREEITEM hItem) const;
    void SetImage(HTREEITEM hItem, int nImage);
    BOOL AttachRecord(HTREEITEM hItem, CRuntimeClass* pClass1, CRuntimeClass* pClass2,
                      CTreeOptionsItemData::ControlType type, DWORD dwItemData);
    void HandleCheckBox(HTREEITEM hItem);
    // Everything up to the first ": " (the whole text when there is none).
    static CString LabelOf(const CString& text);

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnSetFocusToChild(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCloseEditors(WPARAM wParam, LPARAM lParam);

    CImageList m_ilTree;
    UINT m_nilID;
    CTreeOptionsCombo* m_pCombo = nullptr;
    CTreeOptionsEdit* m_pEdit = nullptr;
    CTreeOptionsSpinCtrl* m_pSpin = nullptr;
    CTreeOptionsBrowseButton* m_pButton = nullptr;
    CTreeOptionsMenuButton* m_pMenuButton = nullptr;
    HTREEITEM m_hControlItem = nullptr;
    BOOL m_bToggleOverIconOnly = FALSE;
    BOOL m_bAutoSelect = FALSE;
    int m_nEditorSerial = 0;
    BOOL m_bClosing = FALSE;

    DECLARE_MESSAGE_MAP()
};
