// Resource ids of the control tests' own templates (above the program's ranges).
#pragma once

#define IDM_TEST_DROP 31000
#define ID_TEST_DROP_FIRST 31001
#define ID_TEST_DROP_SECOND 31002
