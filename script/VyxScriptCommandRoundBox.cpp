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
    int penColour = EvaluateInt(GetParameter(0));
    double cornerWidth = EvaluateDouble(GetParameter(1));
    double cornerHeight = EvaluateDouble(GetParameter(2));
    double penWidth = EvaluateDouble(GetParameter(3));
    int penStyle = EvaluateInt(GetParameter(4));
    int fillColour = EvaluateInt(GetParameter(5));
    int hatchStyle = EvaluateInt(GetParameter(6));
    LogWrite(LogSourceRecord("VyxScriptCommandRoundBox", __LINE__, "VyxScriptCommandRoundBox::Execute"), LogLevelInfo,
             L"RoundBox %s, #%06X, %g, %g, %g, %d, #%06X, %d", PointsText(points, false, IsFromCurrentPoint()),
             RgbText(penColour), cornerWidth, cornerHeight, penWidth, penStyle, RgbText(fillColour), hatchStyle);
    std::vector<POINTD> device = ToDevice(points);
    int cornerX = Truncate(ToDevice(cornerWidth, 0));
    int cornerY = Truncate(ToDevice(cornerHeight, 1));
    VyxDrawTools tools(dc);
    tools.SelectPen(penStyle, Truncate(PenWidthToDevice(penWidth)), penColour);
    tools.SelectBrush(HasParameterText(6), hatchStyle, HasParameterText(5), fillColour);
    if (IsFromCurrentPoint()) {
        POINTD from = GetCurrentPoint();
        dc->RoundRect(Truncate(from.x), Truncate(from.y), Truncate(device[0].x), Truncate(device[0].y), cornerX,
                      cornerY);
        SetCurrentPoint(device[0]);
    }
    for (size_t i = 0; i + 1 < device.size(); ++i) {
        dc->RoundRect(Truncate(device[i].x), Truncate(device[i].y), Truncate(device[i + 1].x),
                      Truncate(device[i + 1].y), cornerX, cornerY);
        SetCurrentPoint(device[i + 1]);
    }
    return 1;
}
