// The options of a contact sheet: where to save it and under what name, the grid of columns by
// rows per sheet, BMP or JPEG and the JPEG quality (on a page of its own). The values are public:
// the contact-sheet command reads them after OK.
#pragma once

#include "catalogue/FolderList.h"
#include "controls/CXPropertySheet.h"

class VCOJpg;

class CContactDlg : public CDialog
{
public:
    enum { FileTypeBmp = 0, FileTypeJpeg = 1 };

    explicit CContactDlg(CWnd* parent = nullptr);

    CString m_folder;
    CString m_fileName;
    int m_rows = 0;
    int m_columns = 0;
    int m_fileType = FileTypeBmp;
    int m_jpegQuality = 95;
    CString m_outputPath;

    VCOJpg* GetJpegPage() const { return m_jpegPage; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnBrowseFolder();

    CEdit m_columnsEdit;
    CEdit m_rowsEdit;
    CComboBox m_folders;
    CComboBox m_fileNames;
    CComboBox m_fileTypes;
    CXPropertySheet m_pages;
    VCOJpg* m_jpegPage = nullptr; // owned by its window once in the sheet
    FolderList m_folderHistory{FolderListCatalogFolder};
    FolderList m_fileNameHistory{FolderListCatalogFileName};

    DECLARE_MESSAGE_MAP()
};
