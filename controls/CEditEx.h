// The kit's edit control: the class library's edit with nothing added, the base of the program's
// own edits (the same-name dialog's, the rename dialog's).
#pragma once

#include "framework/Framework.h"

class CEditEx : public CEdit
{
    DECLARE_DYNAMIC(CEditEx)
public:
    CEditEx() = default;
};
