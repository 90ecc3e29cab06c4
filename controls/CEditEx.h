// The kit's edit-control base: the class library's edit and nothing more, kept as the common base
// of the edits that add their own key handling (the same-name dialog's name and extension edits).
#pragma once

#include "framework/Framework.h"

class CEditEx : public CEdit
{
    DECLARE_DYNAMIC(CEditEx)
public:
    CEditEx() = default;
};
