// The minimise, restore and close buttons that the menu bar draws at its right end for a
// maximised MDI child, in the three kinds that differ in place, command and availability.
#pragma once

#include "framework/Framework.h"

#include <uxtheme.h>

class CMenuBarButton
{
public:
    CMenuBarButton() = default;
    virtual ~CMenuBarButton() = default;
    CMenuBarButton(const CMenuBarButton&) = delete;
    CMenuBarButton& operator=(const CMenuBarButton&) = delete;

    // The button's rectangle in the area, from the menu button size of the non-client metrics.
    virtual void GetRect(RECT* pRect) const = 0;
    virtual UINT GetCommand() const = 0;
    virtual BOOL IsVisible() const { return TRUE; }
    virtual BOOL IsEnabled() const;
    void Draw(CDC* pDC, BOOL bFrameActive) const;

    HWND m_hWndMDIChild = nullptr;
    RECT m_rcArea = {};
    BOOL m_bHidden = TRUE;
    BOOL m_bPushed = FALSE;
    HTHEME m_hTheme = nullptr;

protected:
    // The rectangle of the slot nSlot buttons from the area's right end (the close button is 1).
    void GetSlotRect(RECT* pRect, int nSlot, int nExtraLeft) const;
    BOOL ChildHasStyle(DWORD dwStyle) const;
};

class CMenuBarButtonMin : public CMenuBarButton
{
public:
    void GetRect(RECT* pRect) const override;
    UINT GetCommand() const override;
    BOOL IsVisible() const override;
    BOOL IsEnabled() const override;
};

class CMenuBarButtonMax : public CMenuBarButton
{
public:
    void GetRect(RECT* pRect) const override;
    UINT GetCommand() const override;
    BOOL IsVisible() const override;
    BOOL IsEnabled() const override;
};

class CMenuBarButtonClose : public CMenuBarButton
{
public:
    void GetRect(RECT* pRect) const override;
    UINT GetCommand() const override;
};
