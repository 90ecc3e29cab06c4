// Interim stand-in for part 1's CDC (replaced on merge): only what the window layer touches.
#pragma once

#include "framework/CObject.h"

class CDC : public CObject
{
public:
    CDC() = default;
    ~CDC() override = default;
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* PASCAL FromHandle(HDC hDC);
    BOOL Attach(HDC hDC)
    {
        m_hDC = m_hAttribDC = hDC;
        return hDC != nullptr;
    }
    HDC Detach()
    {
        HDC hDC = m_hDC;
        m_hDC = m_hAttribDC = nullptr;
        return hDC;
    }
};
