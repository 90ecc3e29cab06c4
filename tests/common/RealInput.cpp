#include "RealInput.h"

#include "framework/Framework.h"

#include <vector>

bool RunLoopUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (!AfxGetApp()->PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void SendKeyStrokes(const std::vector<KeyStroke>& strokes)
{
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : strokes) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.vk;
        input.ki.dwFlags = stroke.down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendKey(WORD vk, WORD modifier)
{
    std::vector<KeyStroke> strokes;
    if (modifier)
        strokes.push_back({modifier, true});
    strokes.push_back({vk, true});
    strokes.push_back({vk, false});
    if (modifier)
        strokes.push_back({modifier, false});
    SendKeyStrokes(strokes);
}

void SendText(const wchar_t* text)
{
    for (const wchar_t* p = text; *p; ++p) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wScan = input[1].ki.wScan = *p;
        input[0].ki.dwFlags = KEYEVENTF_UNICODE;
        input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
}

bool Press(WORD vk, WORD modifier, const std::function<bool()>& done)
{
    SendKey(vk, modifier);
    bool reached = RunLoopUntil(done);
    RunLoopUntil([] { return true; });
    return reached;
}

void SendMouse(POINT screen, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void SendClick(POINT screen, DWORD downFlag, int clicks)
{
    SendMouse(screen, 0);
    // The button's release flag is the next bit up (LEFTDOWN 2 / LEFTUP 4, RIGHTDOWN 8 / RIGHTUP 16).
    for (int i = 0; i < clicks; ++i) {
        SendMouse(screen, downFlag);
        SendMouse(screen, downFlag << 1);
    }
}

bool ClickOnScreen(POINT screen, const std::function<bool()>& done)
{
    SendClick(screen, MOUSEEVENTF_LEFTDOWN);
    bool reached = RunLoopUntil(done);
    RunLoopUntil([] { return true; });
    return reached;
}

bool ShowsAt(HWND window, POINT screen)
{
    HWND top = GetAncestor(window, GA_ROOT);
    SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(top);
    return RunLoopUntil([&] { return WindowFromPoint(screen) == window && GetForegroundWindow() == top; }, 30000);
}
