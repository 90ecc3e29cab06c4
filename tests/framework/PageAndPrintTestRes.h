// Resource ids of the property page and print set-up test templates (kept clear of
// res/resource.h and FrameworkTestRes.h).
#pragma once

#define IDD_FWTEST_PAGE_GENERAL 29201
#define IDD_FWTEST_PAGE_VIEW 29202
#define IDD_FWTEST_PAGE_DETAIL 29203

#define IDC_FWTEST_PAGE_COUNT 29211
#define IDC_FWTEST_PAGE_GRID 29212
#define IDC_FWTEST_PAGE_NOTE 29213

#define IDD_FWTEST_PRINT_SETUP 29221
#define IDC_FWTEST_PRINT_BAND 29222
