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
