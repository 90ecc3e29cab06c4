#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

VyxScriptCommandBox::VyxScriptCommandBox()
{
    AddKeyword(L"BOX");
    AddKeyword(L"BOXTO");
}

VyxScriptCommandBox::~VyxScriptCommandBox() = default;

VyxScriptCommand* VyxScriptCommandBox::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandBox>(line);
}

int VyxScriptCommandBox::Execute()
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 1)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    DrawStyle style = EvaluateStyle(0, 1, true);
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandBox", __LINE__, "VyxScriptCommandBox::Execute"), LogLevelInfo,
                 L"Box %s, #%06X, %g, %d, #%06X, %d", PointsText(points, true, IsFromCurrentPoint()),
                 RgbText(style.penColour), style.penWidth, style.penStyle, RgbText(style.fillColour), style.hatchStyle);
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, true);
    DrawBetweenPoints(ToDevice(points), [dc](const POINTD& a, const POINTD& b) {
        dc->Rectangle(Truncate(a.x), Truncate(a.y), Truncate(b.x), Truncate(b.y));
    });
    return 1;
}
