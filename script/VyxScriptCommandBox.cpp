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
    int penColour = EvaluateInt(GetParameter(0));
    double penWidth = EvaluateDouble(GetParameter(1));
    int penStyle = EvaluateInt(GetParameter(2));
    int fillColour = EvaluateInt(GetParameter(3));
    int hatchStyle = EvaluateInt(GetParameter(4));
    LogWrite(LogSourceRecord("VyxScriptCommandBox", __LINE__, "VyxScriptCommandBox::Execute"), LogLevelInfo,
             L"Box %s, #%06X, %g, %d, #%06X, %d", PointsText(points, true, IsFromCurrentPoint()), RgbText(penColour),
             penWidth, penStyle, RgbText(fillColour), hatchStyle);
    std::vector<POINTD> device = ToDevice(points);
    VyxDrawTools tools(dc);
    tools.SelectPen(penStyle, Truncate(PenWidthToDevice(penWidth)), penColour);
    tools.SelectBrush(HasParameterText(4), hatchStyle, HasParameterText(3), fillColour);
    if (IsFromCurrentPoint()) {
        POINTD from = GetCurrentPoint();
        dc->Rectangle(Truncate(from.x), Truncate(from.y), Truncate(device[0].x), Truncate(device[0].y));
        SetCurrentPoint(device[0]);
    }
    for (size_t i = 0; i + 1 < device.size(); ++i) {
        dc->Rectangle(Truncate(device[i].x), Truncate(device[i].y), Truncate(device[i + 1].x),
                      Truncate(device[i + 1].y));
        SetCurrentPoint(device[i + 1]);
    }
    return 1;
}
