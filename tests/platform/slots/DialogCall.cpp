// A program that calls a common dialog through its header's dllimport declaration, linked two ways
// for the import slot check: with the ordinary import library, and with a delay-load one, which
// leaves the slot empty (the call would jump to address 0). It is never run.
#include <windows.h>

#include <commdlg.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    return GetOpenFileNameW(&dialog) ? 0 : 1;
}
