// Where and how converted copies of pictures are written: a destination folder and, in an option
// tree, the format with its options, an optional resize with its resampling and sharpening, and a
// rotation. The dialog converts nothing: its callers read the public members after IDOK. The
// choices are its settings record's, kept in section "FileSave".
#pragma once

#include "catalogue/FolderList.h"
#include "controls/CMenuButtonCtrl.h"
#include "controls/CResizableDialog.h"
#include "controls/CTreeOptionsCtrl.h"
#include "fileops/FileSaveSettings.h"

class CFileSaveDlg : public CResizableDialog, public FileSaveSettings
{
public:
    explicit CFileSaveDlg(CWnd* parent = nullptr);
    ~CFileSaveDlg() override;

    // The tree's choices that are stored in another form.
    BOOL m_bmpReduce = FALSE;
    BOOL m_pngReduce = FALSE;
    int m_rotateChoice = 0;   // 0 none, 1 right 90, 2 180, 3 left 90, 4 the typed angle
    int m_resampleChoice = 0; // 0 "通常", 1 "美麗モード"
    CString m_tifCodecName;
    CString m_pngCodecName;
    CString m_gifCodecName;
    CStringArray m_quickAccess;
    CString m_folder;

    // The rotation choice of a stored angle: 0 or 360 none, 90, 180 and 270 their choices, any
    // other angle typed.
    static int RotateChoiceOf(int angle);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter does not close the dialog: only the run button does.
    void OnOK() override;

    afx_msg void OnDestroy();
    afx_msg void OnBrowseFolder();
    afx_msg void OnRun();
    afx_msg void OnQuickAccess(UINT id);

    // The record from its section, and the tree's choices from the record.
    void LoadSettings();
    void BuildOptionTree();
    bool IsSizeValid() const;

    CTreeOptionsCtrl m_tree;
    CComboBox m_folders;
    CMenuButtonCtrl m_quickAccessButton;
    CMenu m_quickAccessMenu;
    FolderList m_folderHistory{FolderListFilerFolder};
    bool m_treeBuilt = false;

    // The tree's items.
    HTREEITEM m_formatGroup = nullptr;
    HTREEITEM m_bmpReduceItem = nullptr;
    HTREEITEM m_jpegItem = nullptr;
    HTREEITEM m_jpegQualityItem = nullptr;
    HTREEITEM m_jpegProgressiveItem = nullptr;
    HTREEITEM m_jpegGrayItem = nullptr;
    HTREEITEM m_jpeg2000QualityItem = nullptr;
    HTREEITEM m_pngReduceItem = nullptr;
    HTREEITEM m_pngInterlaceItem = nullptr;
    HTREEITEM m_pngCodecItem = nullptr;
    HTREEITEM m_tifCodecItem = nullptr;
    HTREEITEM m_tifMultiPageItem = nullptr;
    HTREEITEM m_gifCodecItem = nullptr;
    HTREEITEM m_formatItems[6] = {};
    HTREEITEM m_sizeGroup = nullptr;
    HTREEITEM m_sizeItems[3] = {};
    HTREEITEM m_widthItem = nullptr;
    HTREEITEM m_heightItem = nullptr;
    HTREEITEM m_aspectItem = nullptr;
    HTREEITEM m_scaleItem = nullptr;
    HTREEITEM m_resampleGroup = nullptr;
    HTREEITEM m_unsharpItem = nullptr;
    HTREEITEM m_rotateGroup = nullptr;
    HTREEITEM m_angleChoiceItem = nullptr;
    HTREEITEM m_angleItem = nullptr;

    DECLARE_MESSAGE_MAP()

public:
    // The tree, for tests that drive it.
    CTreeOptionsCtrl& GetOptionTree() { return m_tree; }
    HTREEITEM GetFormatGroup() const { return m_formatGroup; }
    HTREEITEM GetSizeGroup() const { return m_sizeGroup; }
    HTREEITEM GetRotateGroup() const { return m_rotateGroup; }
    HTREEITEM GetAngleItem() const { return m_angleItem; }
    HTREEITEM GetWidthItem() const { return m_widthItem; }
    HTREEITEM GetHeightItem() const { return m_heightItem; }
    HTREEITEM GetScaleItem() const { return m_scaleItem; }
    HTREEITEM GetPngCodecItem() const { return m_pngCodecItem; }
    HTREEITEM GetTifCodecItem() const { return m_tifCodecItem; }
};
