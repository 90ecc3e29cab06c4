#include "script/VyxDrawContext.h"

#include "script/VyxScriptFunction.h"

#include "foundation/VyxUtility.h"
#include "image/DibPaint.h"

#include <climits>
#include <cmath>

int VyxDrawContext::SendRequest(VyxScriptRequest* request)
{
    // What the host does for the script (the next file of a printed page, a picture loaded to be
    // drawn) is not the script's own running time.
    const DWORD began = GetTickCount();
    int result = 0;
    if (m_owner)
        result = static_cast<int>(
            ::SendMessageW(m_owner, WMU_SCRIPTREQUEST, request->type, reinterpret_cast<LPARAM>(request)));
    else if (m_callback)
        result = m_callback(request);
    VyxScriptFunction::LeaveOutOfRunTime(GetTickCount() - began);
    return result;
}

int VyxDrawContext::GetMapMode() const
{
    return m_dc && m_dc->m_hAttribDC ? m_dc->GetMapMode() : MM_TEXT;
}

double VyxDrawContext::ScriptToDevice(double value, int axis) const
{
    if (axis != 0 && axis != 1)
        return value;
    return ConvertUnit(value, m_unit, GetMapMode(), axis == 0 ? m_dpiX : m_dpiY);
}

void VyxDrawContext::PaintDibBanded(int left, int top, int right, int bottom, HGLOBAL dib)
{
    if (m_dc)
        ::PaintDibBanded(m_dc, m_bandHeight, left, top, right, bottom, dib);
}

namespace {

// A device that reports no physical size (some memory and virtual devices) would give an
// infinite resolution: its logical pixels per inch stand in.
int DotsPerInch(int pixels, int millimetres, int logicalPixels)
{
    if (millimetres <= 0)
        return logicalPixels;
    double dpi = std::floor(pixels / (millimetres / 25.4));
    return dpi >= INT_MAX ? INT_MAX : static_cast<int>(dpi);
}

} // namespace

void VyxDrawContext::SetDeviceSize(int widthMm, int heightMm, int widthPx, int heightPx, int logPixelsX, int logPixelsY)
{
    m_widthMm = widthMm;
    m_heightMm = heightMm;
    m_widthPx = widthPx;
    m_heightPx = heightPx;
    m_dpiX = DotsPerInch(widthPx, widthMm, logPixelsX);
    m_dpiY = DotsPerInch(heightPx, heightMm, logPixelsY);
}
