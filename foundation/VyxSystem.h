// Questions about the machine and the desktop (monitors, wallpaper, versions, error texts, the
// wheel, disks and volumes) and three small value helpers.
#pragma once

#include "framework/Framework.h"

int GetMonitorCount(); // enumerates afresh
// A monitor's rectangle; an index past the last gives the last, a negative one the first.
void GetMonitorRect(RECT& out, int index);
CString& GetMonitorDeviceString(CString& out, int index);
void GetWindowMonitorRect(RECT& out, HWND window);
void GetWorkAreaAtPoint(RECT& out, int x, int y);
// The part of the rectangle inside the work areas of the monitors at its four corners.
void GetCommonWorkArea(RECT& out, int left, int top, int right, int bottom);

// style: 0 centre, 1 tile, 2 stretch.
bool SetDesktopWallpaper(const wchar_t* path, int style);

DWORD GetComCtl32Version(); // (major << 16) | minor, 0x40000 when unknown
// A string of the file's version resource (null path: the program file); empty when absent.
CString& GetVersionInfoString(CString& out, const wchar_t* path, const wchar_t* valueName);
// valueIndex 0..7: CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
// OriginalFilename, ProductName, ProductVersion.
CString& GetVersionInfoString(CString& out, const wchar_t* path, int valueIndex);

// The system text of GetLastError; empty when it does not fit 512 characters. A name refused for
// leading to another file (TwinNameGuard::kRefused) gives the refusal, naming both.
CString GetLastErrorText();
CString& LoadLastErrorText(CString& out);
DWORD GetLastErrorCodeAndText(CString& out);

// Lines per wheel notch, never negative; cached after the first call. When the user chose to
// scroll a page at a time, *pageScroll is set and the count is the default 3.
int GetWheelScrollLines(bool* pageScroll = nullptr);
// The same, read from the system now.
int ReadWheelScrollLines(bool* pageScroll);

CString& GetWindowsVersionText(CString& out);
// The text for a given version record; bitness 1 (32-bit), 2 (32-bit process on 64-bit), 3 (64-bit);
// edition: the GetProductInfo product type, or -1 when unknown.
CString& FormatWindowsVersionText(CString& out, const OSVERSIONINFOEXW& version, int bitness, int productType);

// Free bytes for the caller, total bytes, total free bytes; all 0 on failure.
bool GetDiskFreeSpace64(const wchar_t* root, ULONGLONG* freeForCaller, ULONGLONG* total, ULONGLONG* totalFree);
CString& GetVolumeLabel(CString& out, const wchar_t* path);
DWORD GetVolumeSerialNumber(const wchar_t* path);
CString& GetVolumeSerialText(CString& out, const wchar_t* path);
// 525, 350, 800 for 5.25-, 3.5- and 8-inch floppies, 2 removable, 3 fixed media; otherwise GetDriveTypeW.
int GetDriveKind(int driveIndex);

// Nothing when either pointer is null or both are equal; overlapping ranges are copied correctly.
void* CopyMemorySafe(void* destination, const void* source, size_t byteCount);
// Leading blanks and tabs skipped, one leading "#" ignored, hexadecimal digits up to the first other character.
int HexTextToInt(const wchar_t* text);
// Leading blanks and tabs skipped, one sign, decimal digits up to the first other character (0
// without digits); a value beyond the range of int is held at its end.
int DecimalTextToInt(const wchar_t* text);
CString& FormatHex8(CString& out, int value); // "%08X"

// Centres the window on the display's resolution (SetWindowPos with the given insert-after and flags).
void CenterWindowOnDisplay(HWND window, HWND insertAfter, UINT flags);
// A device context for the default printer ("windows"/"device"), null when there is none.
HDC CreateDefaultPrinterDC();
// Dispatches the waiting messages through the thread's PumpMessage, then runs its idle handler
// until it is done. False when a WM_QUIT is waiting; it stays in the queue.
bool PumpWaitingMessages();
