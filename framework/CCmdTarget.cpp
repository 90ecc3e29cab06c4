#include "framework/CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
