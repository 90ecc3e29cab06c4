// Resource ids of the control tests' own templates (above the program's ranges).
#pragma once

#define IDM_TEST_DROP 31000
#define ID_TEST_DROP_FIRST 31001
#define ID_TEST_DROP_SECOND 31002
#define IDD_TEST_FLATCOMBO 31010
#define IDC_TEST_COMBO 31011
