#include "Clicks.h"

void PressButton(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SetCheckAndNotify(HWND dialog, int id, bool checked)
{
    HWND control = GetDlgItem(dialog, id);
    SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void ToggleCheckAndNotify(HWND dialog, int id)
{
    SetCheckAndNotify(dialog, id, IsDlgButtonChecked(dialog, id) == BST_UNCHECKED);
}

void PostButtonClicked(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void ClickAt(HWND window, POINT point, UINT keys)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(point.x, point.y));
    SendMessageW(window, WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
}
