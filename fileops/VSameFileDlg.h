// The question a copy or move asks when a file of the same name is at the destination: both
// files side by side with a preview and two information lines, and what to do with this file
// (or, through "以降全て", with every later conflict of the job): keep the newer, overwrite,
// ignore, rename to a typed name, number automatically or keep the larger; and whether to skip
// identical files and to send the old file to the recycle bin. The engine reads the answers back.
#pragma once

#include "catalogue/VyxFile.h"
#include "controls/CEditEx.h"
#include "controls/CResizableDialog.h"
#include "foundation/SettingsTable.h"
#include "catalogue/COneViewCtrl.h"

#include <memory>

// The two information lines' templates and the previews' zoom, section "Filer": read when
// the question opens, written when it goes.
struct SameFileViewChoices
{
    CString m_upperFormat = L"$(DateTime) $(Size) バイト";
    CString m_lowerFormat;
    int m_sourceZoom = 0;
    int m_destinationZoom = 0;

    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = SameFileViewChoices;
        const wchar_t section[] = L"Filer";
        v.String(section, L"InfoUpper", &S::m_upperFormat);
        v.String(section, L"InfoLower", &S::m_lowerFormat);
        v.ProfileInt(section, L"SameSourceZoom", &S::m_sourceZoom);
        v.ProfileInt(section, L"SameDestZoom", &S::m_destinationZoom);
    }
};

class VSameFileDlg : public CResizableDialog, protected SameFileViewChoices
{
public:
    VSameFileDlg(const VyxFile& item, LPCWSTR destination, int move, int skipIdentical, int recycleOld,
                 LPCWSTR uniqueNameFormat, CWnd* parent = nullptr);
    ~VSameFileDlg() override;

    // Read back after IDOK (both OK and "以降全て").
    int m_skipIdentical;
    int m_recycleOld;
    int m_mode = 0;
    int m_applyToAll = 0;
    CString m_targetPath; // the typed path when renaming

    // The path the two edits make (an empty extension gives the name alone).
    CString GetCandidatePath() const;
    int GetRememberedMode() const { return m_modeBeforeRename; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    afx_msg void OnDestroy();
    afx_msg void OnModeClicked(UINT id);
    afx_msg void OnNameChanged();
    afx_msg void OnAllSubsequent();
    afx_msg void OnSourceZoom();
    afx_msg void OnDestinationZoom();
    DECLARE_MESSAGE_MAP()

private:
    void SelectMode(int mode);
    void ShowSource();
    // Makes the path the one shown: the edits (filled under the guard), the preview and the lines.
    void ShowDestination(const CString& path);
    void ShowPreview(COneViewCtrl& view, VyxFile* item, int zoom);
    void FillInfo(int upperId, int lowerId, const VyxFile& item);

    COneViewCtrl m_destinationView;
    COneViewCtrl m_sourceView;
    CButton m_sourceZoomButton;
    CButton m_destinationZoomButton;
    CButton m_recycleOldButton;
    CButton m_skipIdenticalButton;
    CButton m_allButton;
    CEditEx m_nameEdit;
    CEditEx m_extensionEdit;
    CString m_sourcePath;
    CString m_proposedTarget;
    CString m_targetFolder;
    CString m_destinationTitle; // as the template has it
    CString m_uniqueNameFormat;
    int m_move;
    int m_modeBeforeRename = -1;
    std::unique_ptr<VyxFile> m_sourceItem;
    std::unique_ptr<VyxFile> m_destinationItem;
    int m_guard = 0;
};
