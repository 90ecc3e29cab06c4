// Lets an object that is not a window's own CWnd see every message of that window first. The
// hooks of one window form a chain whose head the window itself carries as a property, so the
// last hook installed sees a message first and the window's own procedure sees it last.
#pragma once

#include "framework/Framework.h"

class CHookWnd : public CObject
{
    DECLARE_DYNAMIC(CHookWnd)
public:
    CHookWnd() = default;
    // A hook still installed when it goes is taken off its window first.
    ~CHookWnd() override;

    // Passes the message on: to the next hook, else to the window's saved procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL HookWindow(CWnd* pWnd);
    BOOL HookWindowNoLock(CWnd* pWnd);
    BOOL Unhook();
    // Relinks the chain around this hook but leaves the hook's own members as they are.
    void UnhookNoLock();
    static void PASCAL UnhookAll(HWND hWnd);

    // The message being handled on this thread, passed down the chain.
    LRESULT Default();

    BOOL IsHooked() const { return m_pWndHooked != nullptr; }
    BOOL IsFirstHook() const;
    BOOL IsLastHook() const;
    BOOL IsMiddleHook() const;
    int GetHookCount() const;
    CWnd* GetHookedWnd() const { return m_pWndHooked; }

    // The head of a window's chain, or null.
    static CHookWnd* PASCAL GetHook(HWND hWnd);

protected:
    CWnd* m_pWndHooked = nullptr;
    WNDPROC m_pOldWndProc = nullptr;
    CHookWnd* m_pNext = nullptr;

private:
    // The handle as hooked: the CWnd may lose it (detached) before the chain is taken down.
    HWND m_hWndHooked = nullptr;

    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT DispatchNcDestroy(HWND hWnd, WPARAM wParam, LPARAM lParam);
};
