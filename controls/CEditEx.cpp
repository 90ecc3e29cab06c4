#include "controls/CEditEx.h"

IMPLEMENT_DYNCREATE(CEditEx, CEdit)
