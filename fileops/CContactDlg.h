// The options of a contact sheet: where to save it and under what name, the grid of columns by
// rows per sheet, BMP or JPEG and the JPEG quality (on a page of its own). The values are public:
// the contact-sheet command reads them after OK.
#pragma once

#include "catalogue/FolderList.h"
#include "controls/CXPropertySheet.h"
#include "foundation/SettingsTable.h"

class VCOJpg;

// The grid, the type and the JPEG quality, section "Catalog": read when the dialog opens, written
// on OK.
struct ContactSheetChoices
{
    enum { FileTypeBmp = 0, FileTypeJpeg = 1 };

    int m_rows = 0;
    int m_columns = 0;
    int m_fileType = FileTypeBmp;
    int m_jpegQuality = 95;

    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = ContactSheetChoices;
        const wchar_t section[] = L"Catalog";
        v.ProfileInt(section, L"Width", &S::m_columns);
        v.ProfileInt(section, L"Height", &S::m_rows);
        v.ProfileInt(section, L"Filetype", &S::m_fileType);
        v.ProfileInt(section, L"JpgQuality", &S::m_jpegQuality);
    }
};

class CContactDlg : public CDialog, public ContactSheetChoices
{
public:
    explicit CContactDlg(CWnd* parent = nullptr);

    CString m_folder;
    CString m_fileName;
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
