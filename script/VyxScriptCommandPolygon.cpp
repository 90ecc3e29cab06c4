#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

VyxScriptCommandPolygon::VyxScriptCommandPolygon()
{
    AddKeyword(L"POLYGON");
}

VyxScriptCommandPolygon::~VyxScriptCommandPolygon() = default;

VyxScriptCommand* VyxScriptCommandPolygon::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandPolygon>(line);
}

int VyxScriptCommandPolygon::Execute()
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 2)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    int penColour = EvaluateInt(GetParameter(0));
    double penWidth = EvaluateDouble(GetParameter(1));
    int penStyle = EvaluateInt(GetParameter(2));
    int fillColour = EvaluateInt(GetParameter(3));
    int hatchStyle = EvaluateInt(GetParameter(4));
    LogWrite(LogSourceRecord("VyxScriptCommandPolygon", __LINE__, "VyxScriptCommandPolygon::Execute"), LogLevelInfo,
             L"Polygon %s, #%06X, %g, %d, #%06X, %d", PointsText(points, false, IsFromCurrentPoint()),
             RgbText(penColour), penWidth, penStyle, RgbText(fillColour), hatchStyle);
    std::vector<POINTD> device = ToDevice(points);
    std::vector<POINT> vertices;
    if (IsFromCurrentPoint()) {
        POINTD from = GetCurrentPoint();
        vertices.push_back({Truncate(from.x), Truncate(from.y)});
    }
    for (const POINTD& point : device)
        vertices.push_back({Truncate(point.x), Truncate(point.y)});
    VyxDrawTools tools(dc);
    tools.SelectPen(penStyle, Truncate(PenWidthToDevice(penWidth)), penColour);
    tools.SelectBrush(HasParameterText(4), hatchStyle, HasParameterText(3), fillColour);
    dc->Polygon(vertices.data(), static_cast<int>(vertices.size()));
    SetCurrentPoint(device.back());
    return 1;
}
