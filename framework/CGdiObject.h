// Interim stand-in for part 1's GDI objects (replaced on merge).
#pragma once

#include "framework/CObject.h"

class CGdiObject : public CObject
{
public:
    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
};

class CFont : public CGdiObject
{
public:
    static CFont* PASCAL FromHandle(HFONT hFont);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CRgn : public CGdiObject
{
};
