// The entry point of GUI programs built on the framework: a program that defines no wWinMain of
// its own gets this one (the build asks the linker for it), which runs the application object.
#include "framework/CWinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
