#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

#include <algorithm>
#include <cmath>

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
        const double left = centre.x - rx, top = centre.y - ry, right = centre.x + rx, bottom = centre.y + ry;
        if (left >= -kPlatformLimit && top >= -kPlatformLimit && right <= kPlatformLimit && bottom <= kPlatformLimit)
            dc->Ellipse(Truncate(left), Truncate(top), Truncate(right), Truncate(bottom));
        else if (!std::isnan(centre.x + centre.y + rx + ry)) // an infinite radius covers the page
            DrawLargeEllipse(dc, centre, rx, ry, ShownWindow(dc, GetDrawContext(), PenWidthOf(style)));
        SetCurrentPoint(centre);
    }
    return 1;
}

void VyxScriptCommandCircle::DrawLargeEllipse(CDC* dc, POINTD centre, double rx, double ry, const Window& window) const
{
    const double top = std::max(window.top, centre.y - ry);
    const double bottom = std::min(window.bottom, centre.y + ry);
    if (!(top <= bottom && window.left <= window.right))
        return;
    // Rows from top to bottom, at most one a unit and at most 4,096 of them: the right ends down,
    // then the left ends up.
    const int rows = static_cast<int>(std::min(4096.0, std::max(1.0, std::ceil(bottom - top))));
    std::vector<POINTD> rightEnds;
    std::vector<POINTD> leftEnds;
    for (int i = 0; i <= rows; ++i) {
        const double y = top + (bottom - top) * i / rows;
        const double t = (y - centre.y) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - t * t));
        const double from = std::max(window.left, centre.x - half);
        const double to = std::min(window.right, centre.x + half);
        if (from > to)
            continue;
        rightEnds.push_back(POINTD{to, y});
        leftEnds.push_back(POINTD{from, y});
    }
    rightEnds.insert(rightEnds.end(), leftEnds.rbegin(), leftEnds.rend());
    const std::vector<POINT> vertices = ClipPolygon(rightEnds, window);
    if (vertices.size() >= 3)
        dc->Polygon(vertices.data(), static_cast<int>(vertices.size()));
}
