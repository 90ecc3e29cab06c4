#include "controls/CEditEx.h"

IMPLEMENT_DYNAMIC(CEditEx, CEdit)
