// The options of an HTML catalog: where to write it, the first page's name, the definition file,
// the layout (pictures per page, or a table of columns by rows), how pictures are linked and the
// thumbnail folder. The values are public: the catalog command reads them after OK.
#pragma once

#include "catalogue/FolderList.h"
#include "foundation/SettingsTable.h"
#include "framework/Framework.h"

// The layout and link choices, section "Html": read when the dialog opens, written on OK.
struct HtmlCatalogChoices
{
    int m_pageCount = 0;
    int m_table = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_linkMode = 0; // 0 the pictures, 1 JPEG thumbnails, 2 PNG thumbnails
    int m_jpegQuality = 95;
    int m_progressive = 0;
    int m_reducePng = 0; // 8 or 0

    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = HtmlCatalogChoices;
        const wchar_t section[] = L"Html";
        v.ProfileInt(section, L"PageCount", &S::m_pageCount);
        v.ProfileInt(section, L"WidthCount", &S::m_columns);
        v.ProfileInt(section, L"HeightCount", &S::m_rows);
        v.ProfileInt(section, L"LinkFormat", &S::m_linkMode);
        v.ProfileInt(section, L"JpegQuality", &S::m_jpegQuality);
        v.ProfileInt(section, L"Progressive", &S::m_progressive);
        v.ProfileInt(section, L"Table", &S::m_table);
        v.ProfileInt(section, L"QuantPng", &S::m_reducePng);
    }
};

class CHtmlDlg : public CDialog, public HtmlCatalogChoices
{
public:
    explicit CHtmlDlg(CWnd* parent = nullptr);

    CString m_folder;
    CString m_fileName;
    CString m_definitionFile;
    CString m_thumbnailFolder;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnBrowseFolder();
    afx_msg void OnBrowseDefinition();
    afx_msg void OnLayoutOrLinkChanged();
    // The table check box and the link mode decide which fields can be edited.
    void ApplyEnablingRules();

    CComboBox m_folders;
    CComboBox m_fileNames;
    CComboBox m_definitions;
    CComboBox m_thumbnailFolders;
    FolderList m_folderHistory{FolderListHtmlFolder};
    FolderList m_fileNameHistory{FolderListHtmlFileName};
    FolderList m_definitionHistory{FolderListHtmlFile};
    FolderList m_thumbnailFolderHistory{FolderListHtmlThumbsFolder};

    DECLARE_MESSAGE_MAP()
};
