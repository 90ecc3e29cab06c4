#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"
#include "image/DibCore.h"
#include "script/VyxDrawContext.h"
#include "script/VyxScriptFunction.h"

#include <algorithm>
#include <cmath>

VyxScriptCommandDrawImage::VyxScriptCommandDrawImage()
{
    AddKeyword(L"DRAWIMAGE");
}

VyxScriptCommandDrawImage::~VyxScriptCommandDrawImage() = default;

VyxScriptCommand* VyxScriptCommandDrawImage::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandDrawImage>(line);
}

namespace {

// The placeholder of a missing picture: a red frame with a cross.
void DrawMissingPicture(CDC* dc, int x1, int y1, int x2, int y2)
{
    int saved = dc->SaveDC();
    CPen pen;
    if (pen.CreatePen(PS_SOLID, 1, RGB(255, 0, 0)))
        dc->SelectObject(pen.m_hObject);
    dc->SelectObject(::GetStockObject(NULL_BRUSH));
    dc->Rectangle(x1, y1, x2, y2);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
    dc->MoveTo(x2, y1);
    dc->LineTo(x1, y2);
    dc->RestoreDC(saved);
}

} // namespace

int VyxScriptCommandDrawImage::Execute()
{
    CDC* dc = GetDC();
    if (!dc)
        return 0;
    VyxDrawContext* context = GetDrawContext();
    double corners[4];
    EvaluateCorners(corners);
    double x1 = corners[0], y1 = corners[1], x2 = corners[2], y2 = corners[3];
    int flags = EvaluateInt(GetParameter(0));
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandDrawImage", __LINE__, "VyxScriptCommandDrawImage::Execute"),
                 LogLevelInfo, L"DrawImage (%g,%g)-(%g,%g),%d", x1, y1, x2, y2, flags);
    x1 = ToDevice(x1, 0);
    x2 = ToDevice(x2, 0);
    y1 = ToDevice(y1, 1);
    y2 = ToDevice(y2, 1);
    if (x1 > x2 || y1 > y2)
        return 0;

    VyxScriptRequest request;
    request.type = ScriptRequestAreaImage;
    request.image = context->m_image;
    request.left = Truncate(x1);
    request.top = Truncate(y1);
    request.right = Truncate(x2);
    request.bottom = Truncate(y2);
    context->SendRequest(&request);
    HGLOBAL image = request.image;
    if (!image)
        return 0;
    if (image == ScriptNoPicture) {
        DrawMissingPicture(dc, Truncate(x1), Truncate(y1), Truncate(x2), Truncate(y2));
        return 1;
    }

    LONG width = GetDibWidth(image);
    LONG height = GetDibHeight(image);
    if (width <= 0 || height <= 0)
        return 0; // nothing to fit: an empty picture would divide by zero
    double w = width;
    double h = height;
    double scale = std::min(std::fabs(x2 - x1) / w, std::fabs(y2 - y1) / h);
    int fittedHeight = Truncate(scale * h + 0.5);
    int fittedWidth = Truncate(scale * w + 0.5);
    double left, right, top, bottom;
    if (flags & DT_RIGHT) {
        left = x2 - fittedWidth;
        right = x2;
    } else if (flags & DT_CENTER) {
        left = (x1 + x2 - fittedWidth) / 2;
        right = left + fittedWidth;
    } else {
        left = x1;
        right = x1 + fittedWidth;
    }
    if (flags & DT_BOTTOM) {
        top = y2 - fittedHeight;
        bottom = y2;
    } else if (flags & DT_VCENTER) {
        top = (y1 + y2) / 2 - fittedHeight / 2;
        bottom = top + fittedHeight;
    } else {
        top = y1;
        bottom = y1 + fittedHeight;
    }
    // A large picture sent to a printer takes the device's time, not the script's.
    const DWORD began = GetTickCount();
    context->PaintDibBanded(Truncate(left), Truncate(top), Truncate(right), Truncate(bottom), image);
    VyxScriptFunction::LeaveOutOfRunTime(GetTickCount() - began);
    return 1;
}
