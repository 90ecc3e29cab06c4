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
    DrawStyle style = EvaluateStyle(0, 1, true);
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandPolygon", __LINE__, "VyxScriptCommandPolygon::Execute"), LogLevelInfo,
                 L"Polygon %s, #%06X, %g, %d, #%06X, %d", PointsText(points, false, IsFromCurrentPoint()),
                 RgbText(style.penColour), style.penWidth, style.penStyle, RgbText(style.fillColour), style.hatchStyle);
    std::vector<POINTD> device = ToDevice(points);
    std::vector<POINTD> polygon;
    if (IsFromCurrentPoint())
        polygon.push_back(GetCurrentPoint());
    polygon.insert(polygon.end(), device.begin(), device.end());
    const std::vector<POINT> vertices = ClipPolygon(polygon, ShownWindow(dc, GetDrawContext(), PenWidthOf(style)));
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, true);
    if (!vertices.empty())
        dc->Polygon(vertices.data(), static_cast<int>(vertices.size()));
    SetCurrentPoint(device.back());
    return 1;
}
