#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"

VyxScriptCommandRoundBox::VyxScriptCommandRoundBox()
{
    AddKeyword(L"RoundBox");
}

VyxScriptCommandRoundBox::~VyxScriptCommandRoundBox() = default;

VyxScriptCommand* VyxScriptCommandRoundBox::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandRoundBox>(line);
}

int VyxScriptCommandRoundBox::Execute()
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 1)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    DrawStyle style = EvaluateStyle(0, 3, true);
    double cornerWidth = EvaluateDouble(GetParameter(1));
    double cornerHeight = EvaluateDouble(GetParameter(2));
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandRoundBox", __LINE__, "VyxScriptCommandRoundBox::Execute"),
                 LogLevelInfo, L"RoundBox %s, #%06X, %g, %g, %g, %d, #%06X, %d",
                 PointsText(points, false, IsFromCurrentPoint()), RgbText(style.penColour), cornerWidth, cornerHeight,
                 style.penWidth, style.penStyle, RgbText(style.fillColour), style.hatchStyle);
    int cornerX = Truncate(ToDevice(cornerWidth, 0));
    int cornerY = Truncate(ToDevice(cornerHeight, 1));
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, true);
    DrawBetweenPoints(ToDevice(points), [dc, cornerX, cornerY](const POINTD& a, const POINTD& b) {
        dc->RoundRect(Truncate(a.x), Truncate(a.y), Truncate(b.x), Truncate(b.y), cornerX, cornerY);
    });
    return 1;
}
