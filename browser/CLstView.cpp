#include "browser/CLstView.h"

IMPLEMENT_DYNCREATE(CLstView, CListView)
