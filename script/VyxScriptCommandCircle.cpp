#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

VyxScriptCommandCircle::VyxScriptCommandCircle()
{
    AddKeyword(L"CIRCLE");
}

VyxScriptCommandCircle::~VyxScriptCommandCircle() = default;

VyxScriptCommand* VyxScriptCommandCircle::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandCircle>(line);
}

int VyxScriptCommandCircle::Execute()
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 1)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    double radiusX = EvaluateDouble(GetParameter(0));
    double radiusY = EvaluateDouble(GetParameter(1));
    DrawStyle style = EvaluateStyle(2, 3, true);
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandCircle", __LINE__, "VyxScriptCommandCircle::Execute"), LogLevelInfo,
                 L"Circle %s, %g, %g, #%06X, %g, %d, #%06X, %d", PointsText(points, true, false), radiusX, radiusY,
                 RgbText(style.penColour), style.penWidth, style.penStyle, RgbText(style.fillColour), style.hatchStyle);
    double rx = ToDevice(radiusX, 0);
    double ry = ToDevice(radiusY, 1);
    if (rx <= 0.0)
        rx = 1.0;
    if (ry <= 0.0)
        ry = 1.0;
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, true);
    for (const POINTD& centre : ToDevice(points)) {
        dc->Ellipse(Truncate(centre.x - rx), Truncate(centre.y - ry), Truncate(centre.x + rx), Truncate(centre.y + ry));
        SetCurrentPoint(centre);
    }
    return 1;
}
