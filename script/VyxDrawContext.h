// The drawing state every statement and drawing command of a script works on, and the one
// record through which a running script asks its host for data.
#pragma once

#include "framework/Framework.h"

#include <functional>

// wParam: the request type; lParam: the VyxScriptRequest*. The host answers by changing the record.
#define WMU_SCRIPTREQUEST (WM_USER + 0x1000)

enum VyxScriptRequestType {
    ScriptRequestNextFile = 1,   // image: the next item's picture, or 0 when there is none
    ScriptRequestExpandText = 2, // text: the text with the item's $(...) macros expanded
    ScriptRequestAreaImage = 3,  // image: the picture for the area; 0 nothing; ScriptNoPicture the placeholder
    ScriptRequestProgress = 4,   // count: progress steps
};

// The answer to an area request that asks for the placeholder of a missing picture.
#define ScriptNoPicture (reinterpret_cast<HGLOBAL>(static_cast<INT_PTR>(-1)))

struct VyxScriptRequest
{
    int type = 0;
    CString text;
    HGLOBAL image = nullptr;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int count = 1;
};

// The host's handler when it has no owner window; its result is not used.
typedef std::function<int(VyxScriptRequest*)> VyxScriptCallback;

class VyxDrawContext
{
public:
    VyxDrawContext() = default;

    // To the owner window (SendMessage), else to the callback, else 0 with the record unchanged.
    int SendRequest(VyxScriptRequest* request);
    // A length in the script unit in the logical units of the DC's mapping mode; axis 0 x, 1 y,
    // any other axis returns the value unchanged.
    double ScriptToDevice(double value, int axis) const;
    // Paints the DIB into the rectangle, in bands of the band height when that is set.
    void PaintDibBanded(int left, int top, int right, int bottom, HGLOBAL dib);

    // Takes the device's size; the resolution comes from the physical size, or from the logical
    // pixels per inch when the device reports no physical size.
    void SetDeviceSize(int widthMm, int heightMm, int widthPx, int heightPx, int logPixelsX, int logPixelsY);
    // The DC's mapping mode, MM_TEXT without a DC.
    int GetMapMode() const;

    int m_lineNumber = 0; // the script line being parsed
    CDC* m_dc = nullptr;  // commands draw nothing while it is null
    int m_widthMm = 0;
    int m_heightMm = 0;
    int m_widthPx = 0;
    int m_heightPx = 0;
    int m_dpiX = 0;
    int m_dpiY = 0;
    int m_unit = 9;               // a ConvertUnit code: millimetres by default
    HGLOBAL m_image = nullptr;    // the current picture; the host's, never freed here
    int m_bandHeight = 0;         // 0: images are painted at once
    HWND m_owner = nullptr;       // receives WMU_SCRIPTREQUEST
    VyxScriptCallback m_callback; // used when there is no owner
    bool m_stop = false;          // set when a next-file request found no picture; the host clears it
};
