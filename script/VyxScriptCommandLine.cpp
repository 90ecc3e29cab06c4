#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

VyxScriptCommandLine::VyxScriptCommandLine()
{
    AddKeyword(L"LINE");
    AddKeyword(L"LINETO");
}

VyxScriptCommandLine::~VyxScriptCommandLine() = default;

VyxScriptCommand* VyxScriptCommandLine::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandLine>(line);
}

int VyxScriptCommandLine::Execute()
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 1)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    DrawStyle style = EvaluateStyle(0, 1, false);
    if (style.penStyle < 0)
        style.penStyle = 0;
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandLine", __LINE__, "VyxScriptCommandLine::Execute"), LogLevelInfo,
                 L"Line %s, #%06X, %g, %d", PointsText(points, false, IsFromCurrentPoint()), RgbText(style.penColour),
                 style.penWidth, style.penStyle);
    std::vector<POINTD> device = ToDevice(points);
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, false);
    // Without "-" the line starts at the first pair; with it, where the DC's pen stands.
    std::vector<POINTD> line;
    if (IsFromCurrentPoint()) {
        const CPoint pen = dc->GetCurrentPosition();
        line.push_back(POINTD{static_cast<double>(pen.x), static_cast<double>(pen.y)});
    }
    line.insert(line.end(), device.begin(), device.end());
    DrawPolyline(dc, line, ShownWindow(dc, GetDrawContext(), PenWidthOf(style)));
    for (const POINTD& point : device)
        SetCurrentPoint(point);
    return 1;
}
