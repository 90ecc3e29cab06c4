// What the drawing-script tests share: a memory DC on a DIB section to draw on and read back, a
// host that records every request a script sends, and a loaded script attached to both.
#pragma once

#include "script/VyxScript.h"

#include "common/ScratchFolder.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace scripttest {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// A memory DC on a 32-bit top-down DIB section, filled white.
class Canvas
{
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<DWORD*>(bits);
        dc.CreateCompatibleDC(nullptr);
        m_old = dc.SelectObject(m_bitmap);
        Clear(kWhite);
    }
    ~Canvas()
    {
        dc.SelectObject(m_old);
        dc.DeleteDC();
        DeleteObject(m_bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Clear(COLORREF colour)
    {
        RECT all = {0, 0, m_width, m_height};
        dc.FillSolidRect(&all, colour);
        GdiFlush();
    }

    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        DWORD v = m_bits[y * m_width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    // The smallest rectangle holding every pixel of the colour (right and bottom exclusive);
    // empty when there is none.
    RECT BoundsOf(COLORREF colour) const { return BoundsWhere(colour, true); }

    // The smallest rectangle holding every pixel that is not the background: text of a smoothed
    // face is drawn in shades between its colour and the background.
    RECT BoundsOfInk(COLORREF background) const { return BoundsWhere(background, false); }

    // The smallest rectangle of the pixels that are (or, with `equal` false, are not) `colour`.
    RECT BoundsWhere(COLORREF colour, bool equal) const
    {
        RECT bounds = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if ((Pixel(x, y) == colour) == equal) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
        if (bounds.right == 0)
            bounds = RECT{0, 0, 0, 0};
        return bounds;
    }

    int Count(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                count += Pixel(x, y) == colour;
        return count;
    }

    // A packed 24-bit DIB of what the canvas shows.
    HGLOBAL ToDib() const
    {
        HGLOBAL dib = CreateDib(m_width, m_height, 24);
        BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
        BYTE* rows = DibBits(block);
        DWORD stride = DibRowSize(block);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                COLORREF c = Pixel(x, y);
                BYTE* p = rows + (m_height - 1 - y) * stride + x * 3;
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        GlobalUnlock(dib);
        return dib;
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    CDC dc;

private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// A 24-bit packed DIB of one colour, owned for the length of a test.
class SolidDib
{
public:
    SolidDib(int width, int height, COLORREF colour) : m_dib(CreateDib(width, height, 24))
    {
        BYTE* block = static_cast<BYTE*>(GlobalLock(m_dib));
        BYTE* rows = DibBits(block);
        DWORD stride = DibRowSize(block);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                BYTE* p = rows + y * stride + x * 3;
                p[0] = GetBValue(colour);
                p[1] = GetGValue(colour);
                p[2] = GetRValue(colour);
            }
        GlobalUnlock(m_dib);
    }
    ~SolidDib() { GlobalFree(m_dib); }
    SolidDib(const SolidDib&) = delete;
    SolidDib& operator=(const SolidDib&) = delete;
    operator HGLOBAL() const { return m_dib; }

private:
    HGLOBAL m_dib;
};

struct RecordedRequest
{
    int type;
    std::wstring text;
    HGLOBAL image;
    RECT area;
    int count;
};

// Records every request; answers next-file requests from a queue of pictures (0 when it runs
// out), expands texts and answers area requests as told.
class RecordingHost
{
public:
    VyxScriptCallback Callback()
    {
        return [this](VyxScriptRequest* request) {
            requests.push_back({request->type, static_cast<const wchar_t*>(request->text), request->image,
                                RECT{request->left, request->top, request->right, request->bottom}, request->count});
            if (onRequest)
                onRequest();
            switch (request->type) {
            case ScriptRequestNextFile:
                request->image = nextFiles.empty() ? nullptr : nextFiles.front();
                if (!nextFiles.empty())
                    nextFiles.pop_front();
                break;
            case ScriptRequestExpandText:
                if (expand)
                    request->text = expand(static_cast<const wchar_t*>(request->text)).c_str();
                break;
            case ScriptRequestAreaImage:
                if (answerArea)
                    request->image = areaImage;
                break;
            }
            return 0;
        };
    }

    std::vector<int> Types() const
    {
        std::vector<int> types;
        for (const RecordedRequest& r : requests)
            types.push_back(r.type);
        return types;
    }

    std::vector<RecordedRequest> requests;
    std::deque<HGLOBAL> nextFiles;
    std::function<std::wstring(const std::wstring&)> expand;
    bool answerArea = false;
    HGLOBAL areaImage = nullptr;
    // The host's own work on each request (a slow one: a picture loaded from a far disk).
    std::function<void()> onRequest;
};

// Writes the script text (ANSI code page bytes, as scripts are stored) and loads it.
inline int LoadScript(VyxScript& script, const ScratchFolder& folder, const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    std::wstring path = folder / L"script.txt";
    ScratchFolder::WriteFile(path, bytes);
    return script.Load(path.c_str());
}

// A script on a canvas in pixels (MM_TEXT), its requests going to a recording host.
class ScriptOnCanvas : public ::testing::Test
{
protected:
    explicit ScriptOnCanvas(int width = 120, int height = 120) : canvas(width, height)
    {
        script.Initialize();
        script.AttachDC(&canvas.dc, MM_TEXT);
        script.SetUnit(1);
        script.SetCallback(host.Callback());
    }

    // Loads and runs; fails the test when the script does not load.
    int Run(const std::wstring& text)
    {
        int state = LoadScript(script, folder, text);
        EXPECT_EQ(1, state) << "load state";
        return state == 1 ? script.Run() : state;
    }

    // The main function's variable, the empty value when it has none.
    VyxVariant Local(const wchar_t* name)
    {
        VyxVariant* value = script.GetMainFunction().GetLocalVariables().Lookup(name);
        return value ? *value : VyxVariant();
    }

    ScratchFolder folder{L"vyxscript"};
    Canvas canvas;
    RecordingHost host;
    CDrawMacro script;
};

} // namespace scripttest
