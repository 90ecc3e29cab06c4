// The Active Desktop declarations of shlobj.h need the internet types first.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <wininet.h>

#include "foundation/VyxSystem.h"

#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxPath.h"

#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

// ---- monitors

const int kMaxMonitors = 9;

struct MonitorTable
{
    int count = 0;
    HMONITOR handles[kMaxMonitors] = {};
    RECT rects[kMaxMonitors] = {};
};

MonitorTable s_monitors;
bool s_monitorsFilled = false;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data)
{
    MonitorTable* table = reinterpret_cast<MonitorTable*>(data);
    if (table->count >= kMaxMonitors)
        return FALSE; // the table is full: further monitors are not listed
    table->handles[table->count] = monitor;
    table->rects[table->count] = *rect;
    ++table->count;
    return TRUE;
}

void FillMonitorTable()
{
    s_monitors = MonitorTable();
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&s_monitors));
    s_monitorsFilled = true;
}

int ClampMonitorIndex(int index, int count)
{
    if (index >= count)
        index = count - 1;
    return index < 0 ? 0 : index;
}

// ---- version texts

const wchar_t* EditionText(int productType)
{
    switch (productType) {
    case 0:
        return L" An unknown product";
    case 1:
    case 28:
        return L" Ultimate Edition";
    case 2:
    case 5:
        return L" Home Basic Edition";
    case 3:
    case 26:
        return L" Home Premium Edition";
    case 4:
    case 27:
        return L" Enterprise Edition";
    case 6:
    case 16:
        return L" Business Edition";
    case 7:
        return L" Server Standard Edition (full installation)";
    case 8:
        return L" Server Datacenter Edition (full installation)";
    case 9:
        return L" Small Business Server";
    case 10:
        return L" Server Enterprise Edition (full installation)";
    case 11:
        return L" Starter Edition";
    case 12:
        return L" Server Datacenter Edition (core installation)";
    case 13:
        return L" Server Standard Edition (core installation)";
    case 14:
        return L" Server Enterprise Edition (core installation)";
    case 15:
        return L" Server Enterprise Edition for Itanium-based Systems";
    case 17:
        return L" Web Server Edition";
    case 18:
        return L" Cluster Server Edition";
    case 19:
        return L" Home Server Edition";
    case 20:
        return L" Storage Server Express Edition";
    case 21:
        return L" Storage Server Standard Edition";
    case 22:
        return L" Storage Server Workgroup Edition";
    case 23:
        return L" Storage Server Enterprise Edition";
    case 24:
        return L" Server for Small Business Edition";
    case 25:
        return L" Small Business Server Premium Edition";
    default:
        return L"";
    }
}

// 1: 32-bit system; 2: 32-bit process on a 64-bit system; 3: native 64-bit processor.
int GetSystemBitness()
{
    typedef BOOL(WINAPI * IsWow64ProcessProc)(HANDLE, PBOOL);
    typedef void(WINAPI * GetNativeSystemInfoProc)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (!kernel)
        return 1;
    auto isWow64 = reinterpret_cast<IsWow64ProcessProc>(GetProcAddress(kernel, "IsWow64Process"));
    auto nativeInfo = reinterpret_cast<GetNativeSystemInfoProc>(GetProcAddress(kernel, "GetNativeSystemInfo"));
    if (!isWow64 || !nativeInfo)
        return 1;
    BOOL wow64 = FALSE;
    if (isWow64(GetCurrentProcess(), &wow64) && wow64)
        return 2;
    SYSTEM_INFO info = {};
    nativeInfo(&info);
    if (info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
        info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64)
        return 3;
    return 1;
}

int GetProductType(const OSVERSIONINFOEXW& version)
{
    typedef BOOL(WINAPI * GetProductInfoProc)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    HMODULE kernel = LoadLibraryW(L"kernel32.dll");
    if (!kernel)
        return -1;
    int result = -1;
    if (auto getProductInfo = reinterpret_cast<GetProductInfoProc>(GetProcAddress(kernel, "GetProductInfo"))) {
        DWORD type = 0;
        if (getProductInfo(version.dwMajorVersion, version.dwMinorVersion, version.wServicePackMajor,
                           version.wServicePackMinor, &type))
            result = static_cast<int>(type);
    }
    FreeLibrary(kernel);
    return result;
}

// ---- helpers

// A path without a drive stands for the current directory's, which "\\" names.
CString DriveRootOf(const wchar_t* path)
{
    CString root = PathRoot(path);
    return root.IsEmpty() ? CString(L"\\") : root;
}

template <class Proc> Proc LookUp(const wchar_t* module, const char* name)
{
    HMODULE handle = GetModuleHandleW(module);
    return handle ? reinterpret_cast<Proc>(GetProcAddress(handle, name)) : nullptr;
}

} // namespace

int GetMonitorCount()
{
    FillMonitorTable();
    return s_monitors.count;
}

void GetMonitorRect(RECT& out, int index)
{
    if (!s_monitorsFilled)
        FillMonitorTable();
    if (s_monitors.count == 0) {
        SetRectEmpty(&out);
        return;
    }
    out = s_monitors.rects[ClampMonitorIndex(index, s_monitors.count)];
}

CString& GetMonitorDeviceString(CString& out, int index)
{
    if (!s_monitorsFilled)
        FillMonitorTable();
    out.Empty();
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    if (EnumDisplayDevicesW(nullptr, ClampMonitorIndex(index, s_monitors.count), &device, 0))
        out = device.DeviceString;
    return out;
}

void GetWindowMonitorRect(RECT& out, HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        out = info.rcMonitor;
    else
        SetRectEmpty(&out);
}

void GetWorkAreaAtPoint(RECT& out, int x, int y)
{
    POINT point = {x, y};
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY), &info)) {
        out = info.rcWork;
        return;
    }
    out.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    out.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    out.right = out.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    out.bottom = out.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void GetCommonWorkArea(RECT& out, int left, int top, int right, int bottom)
{
    RECT a, b, c, d;
    GetWorkAreaAtPoint(a, left, top);
    GetWorkAreaAtPoint(b, left, bottom);
    GetWorkAreaAtPoint(c, right, top);
    GetWorkAreaAtPoint(d, right, bottom);
    out.left = a.left > b.left ? a.left : b.left;
    out.top = a.top > c.top ? a.top : c.top;
    out.right = c.right < d.right ? c.right : d.right;
    out.bottom = b.bottom < d.bottom ? b.bottom : d.bottom;
}

bool SetDesktopWallpaper(const wchar_t* path, int style)
{
    if (!path)
        return false;
    if (*path && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    wchar_t* pathParam = const_cast<wchar_t*>(path);
    if (SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, pathParam, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            CString tile, stretch;
            tile.Format(L"%u", style == 1 ? 1u : 0u);
            stretch.Format(L"%u", style == 2 ? 2u : 0u);
            RegSetValueExW(key, L"TileWallpaper", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(static_cast<const wchar_t*>(tile)),
                           (tile.GetLength() + 1) * sizeof(wchar_t));
            RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(static_cast<const wchar_t*>(stretch)),
                           (stretch.GetLength() + 1) * sizeof(wchar_t));
            RegCloseKey(key);
        }
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, pathParam, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        return true;
    }

    // The Active Desktop object as the fallback.
    bool ok = false;
    HRESULT init = CoInitialize(nullptr);
    IActiveDesktop* desktop = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                   reinterpret_cast<void**>(&desktop))) &&
        desktop) {
        COMPONENTSOPT options = {};
        options.dwSize = sizeof(options);
        bool proceed = SUCCEEDED(desktop->GetDesktopItemOptions(&options, 0));
        if (proceed && !options.fActiveDesktop) {
            proceed =
                ShowMessageBox(GetActiveWindow(),
                               L"この壁紙を表示にするには Active Desktop を有効にする必要があります。\n有効にしますか",
                               L"壁紙の設定", MB_YESNO | MB_ICONQUESTION) == IDYES;
        }
        if (proceed) {
            options.fEnableComponents = TRUE;
            options.fActiveDesktop = TRUE;
            WALLPAPEROPT wallpaperOptions = {};
            wallpaperOptions.dwSize = sizeof(wallpaperOptions);
            wallpaperOptions.dwStyle = style == 1 ? WPSTYLE_TILE : (style == 2 ? WPSTYLE_STRETCH : WPSTYLE_CENTER);
            ok = SUCCEEDED(desktop->SetDesktopItemOptions(&options, 0)) && SUCCEEDED(desktop->SetWallpaper(path, 0)) &&
                 SUCCEEDED(desktop->SetWallpaperOptions(&wallpaperOptions, 0)) &&
                 SUCCEEDED(desktop->ApplyChanges(AD_APPLY_ALL));
        }
        desktop->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

DWORD GetComCtl32Version()
{
    static DWORD cached = 0xFFFFFFFF;
    if (cached != 0xFFFFFFFF)
        return cached;
    cached = 0x40000;
    if (auto getVersion = LookUp<DLLGETVERSIONPROC>(L"COMCTL32.DLL", "DllGetVersion")) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(getVersion(&info)))
            cached = (info.dwMajorVersion << 16) | info.dwMinorVersion;
    }
    return cached;
}

CString& GetVersionInfoString(CString& out, const wchar_t* path, const wchar_t* valueName)
{
    out.Empty();
    wchar_t program[520];
    if (!path) {
        DWORD length = GetModuleFileNameW(nullptr, program, 520);
        if (length == 0 || length >= 520)
            return out;
        path = program;
    }
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0 || !valueName)
        return out;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data()))
        return out;
    WORD* translation = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationBytes) ||
        translationBytes < 2 * sizeof(WORD))
        return out;
    CString query;
    query.Format(L"\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], valueName);
    wchar_t* value = nullptr;
    UINT valueLength = 0;
    if (VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &valueLength) && value)
        out = value;
    return out;
}

CString& GetVersionInfoString(CString& out, const wchar_t* path, int valueIndex)
{
    static const wchar_t* const names[] = {L"CompanyName",    L"FileDescription",  L"FileVersion", L"InternalName",
                                           L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};
    if (valueIndex < 0 || valueIndex > 7) {
        out.Empty();
        return out;
    }
    return GetVersionInfoString(out, path, names[valueIndex]);
}

CString GetLastErrorText()
{
    DWORD code = GetLastError();
    // The program's own refusal, which names the files it concerns.
    if (code == TwinNameGuard::kRefused) {
        const CString refusal = TwinNameGuard::LastRefusalText();
        SetLastError(code);
        return refusal;
    }
    CString text;
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    // The callers' 512-character buffers kept 14 characters for their own use.
    if (buffer && length > 0 && length + 14 <= 512)
        text = buffer;
    if (buffer)
        LocalFree(buffer);
    SetLastError(code);
    return text;
}

CString& LoadLastErrorText(CString& out)
{
    out = GetLastErrorText();
    return out;
}

DWORD GetLastErrorCodeAndText(CString& out)
{
    DWORD code = GetLastError();
    out = GetLastErrorText();
    return code;
}

int ReadWheelScrollLines(bool* pageScroll)
{
    static UINT message = 0;
    static int messageState = 0; // 0 not tried, 1 no message, 2 registered
    if (pageScroll)
        *pageScroll = false;
    int lines = 3;
    if (messageState == 0) {
        message = RegisterWindowMessageW(L"MSH_SCROLL_LINES_MSG");
        messageState = message ? 2 : 1;
    }
    HWND magellan = messageState == 2 ? FindWindowW(L"MouseZ", L"Magellan MSWHEEL") : nullptr;
    if (magellan) {
        lines = static_cast<int>(SendMessageW(magellan, message, 0, 0));
    } else {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        GetVersionExW(&version);
        if (((version.dwMajorVersion << 8) + version.dwMinorVersion) == 0x400) {
            HKEY key;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) == ERROR_SUCCESS) {
                wchar_t text[32] = {};
                DWORD bytes = sizeof(text) - sizeof(wchar_t);
                if (RegQueryValueExW(key, L"WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                                     &bytes) == ERROR_SUCCESS)
                    lines = static_cast<int>(wcstol(text, nullptr, 10));
                RegCloseKey(key);
            }
        } else {
            UINT setting = 3;
            if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &setting, 0))
                lines = setting > INT_MAX ? -1 : static_cast<int>(setting);
        }
    }
    // Page scrolling reads as all bits set (or any negative count): callers multiply by the
    // count, so they get the flag and a count that scrolls forwards.
    if (lines < 0) {
        if (pageScroll)
            *pageScroll = true;
        lines = 3;
    }
    return lines;
}

int GetWheelScrollLines(bool* pageScroll)
{
    static bool computed = false;
    static bool page = false;
    static int lines = 3;
    if (!computed) {
        lines = ReadWheelScrollLines(&page);
        computed = true;
    }
    if (pageScroll)
        *pageScroll = page;
    return lines;
}

CString& FormatWindowsVersionText(CString& out, const OSVERSIONINFOEXW& v, int bitness, int productType)
{
    const wchar_t* sp = v.szCSDVersion;
    DWORD major = v.dwMajorVersion;
    DWORD minor = v.dwMinorVersion;
    bool workstation = v.wProductType == VER_NT_WORKSTATION;
    bool server = v.wProductType == VER_NT_SERVER;
    bool is64 = bitness == 2 || bitness == 3;
    int build = static_cast<int>(v.dwBuildNumber);
    out.Format(L"Windows ?? %d.%d %s Build %d", static_cast<int>(major), static_cast<int>(minor), sp, build);

    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        build &= 0xFFFF;
        if (minor == 0)
            out.Format(L"Windows 95 %s Build %d", sp, build);
        else if (minor == 10)
            out.Format(L"Windows 98 %s Build %d", sp, build);
        else if (minor == 90)
            out.Format(L"Windows Me %s Build %d", sp, build);
        return out;
    }
    if (v.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return out;

    auto choose = [&](const wchar_t* ws32, const wchar_t* ws64, const wchar_t* srv) {
        if (workstation)
            out.Format(is64 ? ws64 : ws32, sp, build);
        else if (server)
            out.Format(srv, sp, build);
    };
    if (major == 0) {
        out = L"Windows 3.1 or Win32s";
    } else if (major == 3 || major == 4) {
        out.Format(L"Windows NT%d.%d %s Build %d", static_cast<int>(major), static_cast<int>(minor), sp, build);
    } else if (major == 5 && minor == 0) {
        choose(L"Windows 2000 Professional %s Build %d", L"Windows 2000 Professional %s Build %d",
               L"Windows 2000 Server %s Build %d");
    } else if (major == 5 && minor == 1) {
        if (v.wSuiteMask & VER_SUITE_PERSONAL)
            out.Format(L"Windows XP Home Edition %s Build %d", sp, build);
        else
            choose(L"Windows XP Professional %s Build %d", L"Windows XP Professional %s Build %d",
                   L"Windows 2002 .NET Server %s Build %d");
    } else if (major == 5 && minor == 2) {
        choose(L"Windows 2003 Professional %s Build %d", L"Windows XP Professional x64 Edition %s Build %d",
               L"Windows 2003 Server %s Build %d");
    } else if (major == 6 && minor == 0) {
        if (workstation)
            out = CString(L"Windows Vista") + EditionText(productType);
        else if (server)
            out.Format(L"Windows 2008 Server %s Build %d", sp, build);
    } else if (major == 6 && minor == 1) {
        choose(L"Windows 7 %s Build %d", L"Windows 7 %s x64 Edition Build %d", L"Windows 2008 Server R2 %s Build %d");
    } else if (major == 6 && minor == 2) {
        choose(L"Windows 8 %s Build %d", L"Windows 8 %s x64 Edition Build %d", L"Windows 2012 Server %s Build %d");
    } else if (major == 6 && minor == 3) {
        choose(L"Windows 8.1 %s Build %d", L"Windows 8.1 %s x64 Edition Build %d",
               L"Windows 2012 Server R2 %s Build %d");
    } else if (major == 10 && minor == 0) {
        if (workstation)
            out = CString(L"Windows 10") + EditionText(productType);
        else if (server)
            out.Format(L"Windows 2019 Server %s Build %d", sp, build);
    }
    return out;
}

CString& GetWindowsVersionText(CString& out)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        out.Empty();
        return out;
    }
    return FormatWindowsVersionText(out, version, GetSystemBitness(), GetProductType(version));
}

// The wide call: a root outside the ANSI code page works too.
bool GetDiskFreeSpace64(const wchar_t* root, ULONGLONG* freeForCaller, ULONGLONG* total, ULONGLONG* totalFree)
{
    ULARGE_INTEGER caller = {}, all = {}, free = {};
    bool ok = GetDiskFreeSpaceExW(root, &caller, &all, &free) != FALSE;
    if (!ok) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        ok = GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) != FALSE;
        ULONGLONG cluster = static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
        caller.QuadPart = ok ? cluster * freeClusters : 0;
        free.QuadPart = caller.QuadPart;
        all.QuadPart = ok ? cluster * totalClusters : 0;
    }
    if (freeForCaller)
        *freeForCaller = caller.QuadPart;
    if (total)
        *total = all.QuadPart;
    if (totalFree)
        *totalFree = free.QuadPart;
    return ok;
}

namespace {

bool ReadVolume(const wchar_t* path, CString& label, DWORD& serial)
{
    label.Empty();
    serial = 0;
    wchar_t name[520] = {};
    wchar_t fileSystem[64] = {};
    DWORD maxComponent = 0, flags = 0;
    if (!GetVolumeInformationW(DriveRootOf(path), name, 520, &serial, &maxComponent, &flags, fileSystem, 64)) {
        serial = 0;
        return false;
    }
    label = name;
    return true;
}

} // namespace

CString& GetVolumeLabel(CString& out, const wchar_t* path)
{
    DWORD serial;
    ReadVolume(path, out, serial);
    return out;
}

DWORD GetVolumeSerialNumber(const wchar_t* path)
{
    CString label;
    DWORD serial;
    ReadVolume(path, label, serial);
    return serial;
}

CString& GetVolumeSerialText(CString& out, const wchar_t* path)
{
    out.Format(L"%08X", GetVolumeSerialNumber(path));
    return out;
}

int GetDriveKind(int driveIndex)
{
    if (driveIndex < 0 || driveIndex > 25)
        return DRIVE_NO_ROOT_DIR;
    wchar_t device[] = L"\\\\.\\A:";
    device[4] = static_cast<wchar_t>(L'A' + driveIndex);
    HANDLE handle = CreateFileW(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        DISK_GEOMETRY geometry[20] = {};
        DWORD bytes = 0;
        BOOL ok = DeviceIoControl(handle, IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, geometry, sizeof(geometry), &bytes,
                                  nullptr);
        CloseHandle(handle);
        if (ok && bytes >= sizeof(DISK_GEOMETRY)) {
            switch (geometry[0].MediaType) {
            case F5_1Pt2_512:
            case F5_360_512:
            case F5_320_512:
            case F5_320_1024:
            case F5_180_512:
            case F5_160_512:
            case F5_640_512:
            case F5_720_512:
            case F5_1Pt23_1024:
                return 525;
            case F3_1Pt44_512:
            case F3_2Pt88_512:
            case F3_20Pt8_512:
            case F3_720_512:
            case F3_120M_512:
            case F3_640_512:
            case F3_1Pt2_512:
            case F3_1Pt23_1024:
            case F3_128Mb_512:
            case F3_230Mb_512:
            case F3_200Mb_512:
            case F3_240M_512:
            case F3_32M_512:
                return 350;
            case F8_256_128:
                return 800;
            case RemovableMedia:
                return 2;
            case FixedMedia:
                return 3;
            default:
                break;
            }
        }
    }
    CString root;
    root.Format(L"%c:\\", static_cast<wchar_t>(L'A' + driveIndex));
    return static_cast<int>(GetDriveTypeW(root));
}

void* CopyMemorySafe(void* destination, const void* source, size_t byteCount)
{
    if (!destination || !source || destination == source)
        return destination;
    memmove(destination, source, byteCount); // correct for every overlap
    return destination;
}

int DecimalTextToInt(const wchar_t* text)
{
    if (!text)
        return 0;
    while (*text == L' ' || *text == L'\t')
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        value = std::min<long long>(value * 10 + (*text - L'0'), 1LL << 32);
    value = negative ? -value : value;
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

int HexTextToInt(const wchar_t* text)
{
    if (!text)
        return 0;
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (*text == L'#')
        ++text;
    unsigned value = 0;
    for (;; ++text) {
        wchar_t ch = static_cast<wchar_t>(towupper(*text));
        unsigned digit;
        if (ch >= L'0' && ch <= L'9')
            digit = ch - L'0';
        else if (ch >= L'A' && ch <= L'F')
            digit = ch - L'A' + 10;
        else
            break;
        value = value * 16 + digit; // wraps on overflow
    }
    return static_cast<int>(value);
}

CString& FormatHex8(CString& out, int value)
{
    out.Format(L"%08X", value);
    return out;
}

void CenterWindowOnDisplay(HWND window, HWND insertAfter, UINT flags)
{
    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return;
    int width = GetDeviceCaps(display, HORZRES);
    int height = GetDeviceCaps(display, VERTRES);
    DeleteDC(display);
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    SetWindowPos(window, insertAfter, (width - w) / 2, (height - h) / 2, w, h, flags);
}

HDC CreateDefaultPrinterDC()
{
    wchar_t text[80] = {};
    GetProfileStringW(L"windows", L"device", L",,,", text, 80);
    CString fields[3];
    int field = 0;
    for (const wchar_t* p = text; *p && field < 3; ++p) {
        if (*p == L',')
            ++field;
        else
            fields[field] += *p;
    }
    if (fields[0].IsEmpty() || fields[1].IsEmpty() || fields[2].IsEmpty())
        return nullptr;
    return CreateDCW(fields[1], fields[0], fields[2], nullptr);
}

bool PumpWaitingMessages()
{
    CWinThread* thread = AfxGetThread();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        // A quit request stays queued for the message loop that owns it.
        if (message.message == WM_QUIT)
            return false;
        if (thread) {
            if (!thread->PumpMessage()) {
                PostQuitMessage(0); // taken from the queue after all: give it back
                return false;
            }
        } else if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (thread) {
        LONG count = 0;
        while (thread->OnIdle(count++)) {
        }
    }
    return true;
}
