// Scratch folders of plug-in DLLs, made-up test pictures and archives, and the record of calls the
// test plug-ins keep, for the plug-in module and host tests.
#pragma once

#include "../foundation/TestSettings.h"
#include "DibTestUtil.h"
#include "image/plugins/Spi.h"
#include "TestArchiveFile.h"
#include "plugins/TestPluginProtocol.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace plugintest {

inline std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The test plug-ins beside the test executables, and the program's own beside Vyx.exe.
inline std::wstring TestPluginPath(const wchar_t* name)
{
    return ExeFolder() + L"\\plugins\\" + name;
}
inline std::wstring OwnPluginFolder()
{
    return ExeFolder() + L"\\..\\bin";
}

// A scratch folder holding copies of test plug-ins under names of the test's choosing, with the
// settings file pointed at a scratch ini while it lives.
class PluginFolder
{
public:
    // Copies tests/plugins/<source>.spi to <name>.spi.
    void Add(const wchar_t* source, const wchar_t* name)
    {
        std::wstring from = TestPluginPath((std::wstring(source) + L".spi").c_str());
        CopyFileW(from.c_str(), Path(name).c_str(), FALSE);
    }
    std::wstring Path(const wchar_t* name) const { return m_settings.Folder() / (std::wstring(name) + L".spi"); }
    std::wstring Pattern() const { return m_settings.Folder() / L"*.spi"; }
    const ScratchFolder& Folder() const { return m_settings.Folder(); }

private:
    ScratchSettings m_settings;
};

inline TestPluginCalls* Calls(VyxSPI* plugin)
{
    if (!plugin || !plugin->GetModule())
        return nullptr;
    auto get = reinterpret_cast<TestPluginGetCallsProc>(GetProcAddress(plugin->GetModule(), "TestPluginGetCalls"));
    return get ? get() : nullptr;
}

// The colour of pixel (x, y), y counted from the top, in the test pictures.
inline COLORREF TestColor(int x, int y)
{
    return RGB(x * 20 + 5, y * 30 + 7, 100 + x + y);
}

inline std::string MakeTestPicture(BYTE mode, WORD width = 7, WORD height = 5)
{
    TestPictureHeader header = {{'T', 'P', 'I', 'C'}, mode, {}, width, height};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = TestColor(x, y);
            bytes += static_cast<char>(GetBValue(c));
            bytes += static_cast<char>(GetGValue(c));
            bytes += static_cast<char>(GetRValue(c));
        }
    return bytes;
}

// The pixel (x, y) from the top of a 24- or 32-bit packed DIB.
inline COLORREF DibPixel(HGLOBAL dib, int x, int y)
{
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
    const BYTE* bits = DibBits(block);
    int bytesPerPixel = DibBitCount(block) / 8;
    const BYTE* p = bits + (DibHeight(block) - 1 - y) * DibRowSize(block) + x * bytesPerPixel;
    COLORREF c = RGB(p[2], p[1], p[0]);
    GlobalUnlock(dib);
    return c;
}

inline bool HasTestPixels(HGLOBAL dib, int width = 7, int height = 5)
{
    if (GetDibWidth(dib) != width || GetDibHeight(dib) != height)
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (DibPixel(dib, x, y) != TestColor(x, y))
                return false;
    return true;
}

// Collects the status texts a scan sends (WM_USER, wParam, text).
class StatusWindow
{
public:
    StatusWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VyxPluginTestStatus";
        RegisterClassW(&wc);
        m_window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        s_texts = &texts;
    }
    ~StatusWindow()
    {
        DestroyWindow(m_window);
        s_texts = nullptr;
    }
    HWND Handle() const { return m_window; }

    std::vector<std::pair<int, std::wstring>> texts;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_USER && s_texts)
            s_texts->emplace_back(static_cast<int>(wParam), reinterpret_cast<const wchar_t*>(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline std::vector<std::pair<int, std::wstring>>* s_texts = nullptr;
    HWND m_window;
};

// A picture request for a file, or for its bytes in memory (which must outlive the request).
inline SPIRequest PictureRequest(int id, const std::wstring& path, const std::string& bytes, bool memory)
{
    SPIRequest request;
    request.id = id;
    if (memory) {
        request.source = bytes.data();
        request.length = static_cast<LONG_PTR>(bytes.size());
        request.flags = SPI_INPUT_MEMORY;
    } else {
        request.source = path.c_str();
    }
    return request;
}

// A probe of a file from the first plug-in.
inline SPISupportQuery FileQuery(const std::wstring& path, int kind = SPImapIndex::KindImage, int startAfter = -1)
{
    SPISupportQuery query = {};
    query.kind = kind;
    query.startAfter = startAfter;
    query.archiveId = -1;
    query.path = path.c_str();
    return query;
}

} // namespace plugintest
