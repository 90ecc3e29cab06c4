// Resource ids shared by res/Vyx.rc and the sources.
#pragma once

// Dialog templates
#define IDD_PROGRESS 108

// Controls
#define IDC_PROGRESS_BAR 1003
#define IDC_PROGRESS_PERCENT 1004
#define IDC_PROGRESS_TEXT 1005

// Strings
#define IDS_PROGRESS_TITLE 103
#define IDS_COLOR_REDUCTION 232

// Progress dialogs (CProgressDlg 108 above, CProgDlg, VCopyFileDlg) and the wait cursor
#define IDD_PROGRESS_LINES 102
#define IDD_COPY_PROGRESS 172
#define IDC_PROGRESS_TEXT2 1006
#define IDC_PROGRESS_TEXT3 1007
#define IDC_PROGRESS_TEXT4 1008
#define IDC_PROGRESS_ICON 1009
#define IDC_COPY_PROGRESS_TEXT 1052
#define IDC_COPY_PROGRESS_PERCENT 1055
#define IDC_COPY_PROGRESS_BAR 1069
#define IDC_WAIT_CURSOR 233

// ---- catalogue/
// The wait cursor of long document operations (storing thumbnails, listing)
#define IDC_DOCUMENT_WAIT_CURSOR 186

// ---- controls/

// ---- browser/

// ---- viewer/

// ---- fileops/
