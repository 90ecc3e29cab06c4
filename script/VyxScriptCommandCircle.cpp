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
    int penColour = EvaluateInt(GetParameter(2));
    double penWidth = EvaluateDouble(GetParameter(3));
    int penStyle = EvaluateInt(GetParameter(4));
    int fillColour = EvaluateInt(GetParameter(5));
    int hatchStyle = EvaluateInt(GetParameter(6));
    LogWrite(LogSourceRecord("VyxScriptCommandCircle", __LINE__, "VyxScriptCommandCircle::Execute"), LogLevelInfo,
             L"Circle %s, %g, %g, #%06X, %g, %d, #%06X, %d", PointsText(points, true, false), radiusX, radiusY,
             RgbText(penColour), penWidth, penStyle, RgbText(fillColour), hatchStyle);
    std::vector<POINTD> device = ToDevice(points);
    double rx = ToDevice(radiusX, 0);
    double ry = ToDevice(radiusY, 1);
    if (rx <= 0.0)
        rx = 1.0;
    if (ry <= 0.0)
        ry = 1.0;
    VyxDrawTools tools(dc);
    tools.SelectPen(penStyle, Truncate(PenWidthToDevice(penWidth)), penColour);
    tools.SelectBrush(HasParameterText(6), hatchStyle, HasParameterText(5), fillColour);
    for (const POINTD& centre : device) {
        dc->Ellipse(Truncate(centre.x - rx), Truncate(centre.y - ry), Truncate(centre.x + rx), Truncate(centre.y + ry));
        SetCurrentPoint(centre);
    }
    return 1;
}
