// An edit control with no behaviour beyond the class library's edit; the base of the same-name
// dialog's two edits.
#pragma once

#include "framework/Framework.h"

class CEditEx : public CEdit
{
    DECLARE_DYNCREATE(CEditEx)
public:
    CEditEx() = default;
};
