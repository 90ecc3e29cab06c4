// The print job and its window: prints items one picture per page, each fitted and centred or laid
// out by a print definition script, shows the file being printed and the progress, answers the
// script's requests and lets the user abort after the current page. The window disables its owner
// while it lives, and the job keeps its own copies of the items, so nothing the user does meanwhile
// can take them away.
#pragma once

#include "controls/ProgressDlg.h"
#include "script/VyxScript.h"

class VyxFile;

class CPrintOutDialog : public CProgressDlgCore
{
public:
    explicit CPrintOutDialog(CWnd* parent = nullptr);
    ~CPrintOutDialog() override;

    // A copy of the item joins the job.
    void AddItem(const VyxFile* item);
    int GetItemCount() const { return static_cast<int>(m_items.GetSize()); }
    // The picture to print, which stays the caller's: the job neither loads nor frees pictures then.
    void SetImage(HGLOBAL image);
    // 0 when every page was printed, else the string id of the failure (1550 to 1560). Without a
    // printer nothing is started.
    int Print(CDC* printerDC, const wchar_t* definitionPath);
    // Writes the band height back, then enables the owner again and destroys the window.
    BOOL DestroyWindow() override;

    // The string id for a result of the platform's document and page calls (or a job state):
    // 0 for a success.
    static int ResultId(int code);
    // A band height below 1 (letters, 0, negative) means 500 rows.
    static int BandHeightOrDefault(int rows);
    // "Print"/"Raster".
    static int LoadBandHeight();

    int m_index = 0;
    VyxFile* m_current = nullptr;
    BOOL m_keepImage = FALSE;
    int m_bandHeight = 500;
    CDrawMacro m_script;

protected:
    // The printer's calls, in one place so that a test can stand in for the device.
    virtual int DeviceCaps(CDC* dc, int index);
    virtual int DeviceStartDoc(CDC* dc, DOCINFOW* info);
    virtual int DeviceStartPage(CDC* dc);
    virtual int DeviceEndPage(CDC* dc);
    virtual int DeviceEndDoc(CDC* dc);
    virtual int DeviceAbortDoc(CDC* dc);

    afx_msg LRESULT OnScriptRequest(WPARAM type, LPARAM request);
    int AnswerScriptRequest(int type, VyxScriptRequest* request);
    // The next item becomes the current one; the request's picture is freed and replaced by the
    // new item's (none after the last item).
    void MoveToNextItem(VyxScriptRequest* request);
    // The current item's picture, or none; shows its name.
    HGLOBAL TakeCurrentPicture();

    CArray<VyxFile*, VyxFile*> m_items; // owned

    DECLARE_MESSAGE_MAP()
};
