#include "common/ControlTestUtil.h"

#include <winternl.h>

FakeThemeState* ResetFakeTheme(LPCWSTR dll)
{
    HMODULE module = LoadLibraryW(dll);
    if (!module)
        return nullptr;
    auto state = reinterpret_cast<FakeThemeStateFn>(GetProcAddress(module, "FakeTheme_State"));
    if (!state)
        return nullptr;
    FakeThemeState* s = state();
    *s = FakeThemeState{TRUE, 0, 0, 0, 0, {}, 0, 0, {}};
    return s;
}

int CLogHostWnd::Count(UINT message) const
{
    int n = 0;
    for (const LoggedMessage& m : log)
        n += m.message == message;
    return n;
}

const LoggedMessage* CLogHostWnd::Last(UINT message) const
{
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
        if (it->message == message)
            return &*it;
    }
    return nullptr;
}

std::vector<UINT> CLogHostWnd::Commands() const
{
    std::vector<UINT> ids;
    for (const LoggedMessage& m : log) {
        if (m.message == WM_COMMAND)
            ids.push_back(LOWORD(m.wParam));
    }
    return ids;
}

std::vector<UINT> CLogHostWnd::MenuCommands() const
{
    std::vector<UINT> ids;
    for (const LoggedMessage& m : log) {
        if (m.message == WM_COMMAND && m.lParam == 0)
            ids.push_back(LOWORD(m.wParam));
    }
    return ids;
}

LRESULT CLogHostWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message >= WM_USER || message == WM_NOTIFY) {
        LoggedMessage entry = {message, wParam, lParam};
        if (message == WM_NOTIFY)
            entry.lParam = static_cast<LPARAM>(reinterpret_cast<NMHDR*>(lParam)->code);
        log.push_back(entry);
        if (onLogged)
            onLogged(entry);
        if (message >= WM_USER)
            return answer;
    }
    return CTestHostWnd::WindowProc(message, wParam, lParam);
}

bool IsClass(HWND hWnd, LPCWSTR className)
{
    wchar_t name[64] = {};
    return GetClassNameW(hWnd, name, 64) && lstrcmpiW(name, className) == 0;
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc.CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc.GetSafeHdc(), m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, fill);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(m_dc.GetSafeHdc(), m_old);
    DeleteObject(m_bitmap);
}

int MemoryCanvas::CountColour(const RECT& rect, COLORREF colour) const
{
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x)
            n += Pixel(x, y) == colour;
    }
    return n;
}

bool MemoryCanvas::SameAs(const MemoryCanvas& other) const
{
    if (m_width != other.m_width || m_height != other.m_height)
        return false;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y))
                return false;
        }
    }
    return true;
}

HICON MakeSolidIcon(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP colourBitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colourBitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    BYTE maskBits[16 * 2] = {}; // all 0: every pixel opaque
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits);
    ICONINFO info = {TRUE, 8, 8, mask, colourBitmap};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colourBitmap);
    return icon;
}

int OwnHandleCount()
{
    struct Entry
    {
        ULONG process;
        BYTE type;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table
    {
        ULONG count;
        Entry entries[1];
    };
    using QueryFn = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation"));
    const ULONG SystemHandleInformation = 16;
    std::vector<BYTE> buffer(1 << 20);
    for (int attempt = 0; query && attempt < 4; ++attempt) {
        ULONG needed = 0;
        NTSTATUS status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            auto* table = reinterpret_cast<Table*>(buffer.data());
            int count = 0;
            for (ULONG i = 0; i < table->count; ++i)
                count += table->entries[i].process == GetCurrentProcessId();
            return count;
        }
        buffer.resize(buffer.size() * 4);
    }
    return -1;
}

bool SaveScreenBitmap(const RECT& rect, LPCWSTR path)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    MemoryCanvas canvas(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.DC()->GetSafeHdc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * height);
    BITMAPINFOHEADER header = {
        sizeof(header), width, height, 1, 24, BI_RGB, static_cast<DWORD>(bits.size()), 0, 0, 0, 0};
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(canvas.DC()->GetSafeHdc(), OBJ_BITMAP));
    GetDIBits(canvas.DC()->GetSafeHdc(), bitmap, 0, height, bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(header)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              WriteFile(out, &header, sizeof(header), &written, nullptr) &&
              WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}

HWND WaitForMenu(DWORD timeoutMs)
{
    return WaitForWindow([](HWND hWnd) { return IsClass(hWnd, L"#32768"); }, timeoutMs);
}

void DriveMenu(HWND owner, int n, CRect* menuRect)
{
    HWND menu = WaitForMenu();
    if (!menu) {
        ADD_FAILURE() << "no menu opened";
        PostMessageW(owner, WM_CANCELMODE, 0, 0);
        return;
    }
    if (menuRect)
        GetWindowRect(menu, menuRect);
    for (int i = 0; i < n; ++i)
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, n < 0 ? VK_ESCAPE : VK_RETURN, 0);
}

bool MakeActive(CWnd& wnd)
{
    wnd.SetForegroundWindow();
    return PumpUntil([&] { return GetActiveWindow() == wnd.GetSafeHwnd(); });
}
