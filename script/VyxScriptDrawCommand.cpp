#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxLog.h"
#include "script/VyxDrawContext.h"
#include "script/VyxSpline.h"

#include <algorithm>
#include <climits>
#include <cmath>

CDC* VyxScriptDrawCommand::GetDC() const
{
    VyxDrawContext* context = GetDrawContext();
    return context && GetOwner() ? context->m_dc : nullptr;
}

std::vector<POINTD> VyxScriptDrawCommand::EvaluatePoints() const
{
    std::vector<POINTD> points(GetPointCount());
    for (int i = 0; i < GetPointCount(); ++i) {
        points[i].x = EvaluateDouble(GetX(i));
        points[i].y = EvaluateDouble(GetY(i));
    }
    return points;
}

void VyxScriptDrawCommand::EvaluateCorners(double corners[4]) const
{
    corners[0] = EvaluateDouble(GetX(0));
    corners[1] = EvaluateDouble(GetY(0));
    corners[2] = EvaluateDouble(GetX(1));
    corners[3] = EvaluateDouble(GetY(1));
}

VyxScriptDrawCommand::DrawStyle VyxScriptDrawCommand::EvaluateStyle(int colourIndex, int widthIndex,
                                                                    bool withBrush) const
{
    DrawStyle style;
    style.penColour = EvaluateInt(GetParameter(colourIndex));
    style.penWidth = EvaluateDouble(GetParameter(widthIndex));
    style.penStyle = EvaluateInt(GetParameter(widthIndex + 1));
    if (withBrush) {
        style.fillColour = EvaluateInt(GetParameter(widthIndex + 2));
        style.hatchStyle = EvaluateInt(GetParameter(widthIndex + 3));
        style.fill = HasParameterText(widthIndex + 2);
        style.hatch = HasParameterText(widthIndex + 3);
    }
    return style;
}

int VyxScriptDrawCommand::DeviceLimit() const
{
    const VyxDrawContext* context = GetDrawContext();
    const int width = context ? std::max(context->m_widthPx, 0) : 0;
    const int height = context ? std::max(context->m_heightPx, 0) : 0;
    return std::max(4096, 2 * std::min(width + height, INT_MAX / 4));
}

int VyxScriptDrawCommand::LimitToDevice(double value) const
{
    const double limit = DeviceLimit();
    return Truncate(value > limit ? limit : value < -limit ? -limit : value);
}

void VyxScriptDrawCommand::SelectStyle(VyxDrawTools& tools, const DrawStyle& style, bool withBrush) const
{
    tools.SelectPen(style.penStyle, LimitToDevice(PenWidthToDevice(style.penWidth)), style.penColour);
    if (withBrush)
        tools.SelectBrush(style.hatch, style.hatchStyle, style.fill, style.fillColour);
}

double VyxScriptDrawCommand::ToDevice(double value, int axis) const
{
    return GetDrawContext()->ScriptToDevice(value, axis);
}

std::vector<POINTD> VyxScriptDrawCommand::ToDevice(const std::vector<POINTD>& points) const
{
    std::vector<POINTD> device(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        device[i].x = ToDevice(points[i].x, 0);
        device[i].y = ToDevice(points[i].y, 1);
    }
    return device;
}

double VyxScriptDrawCommand::PenWidthToDevice(double width) const
{
    double device = ToDevice(width, 1);
    return device <= 0.0 ? 1.0 : device;
}

CString VyxScriptDrawCommand::PointsText(const std::vector<POINTD>& points, bool spaced, bool leadingDash)
{
    CString text = leadingDash ? L"-" : L"";
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0)
            text += L"-";
        CString point;
        point.Format(spaced ? L"(%g, %g)" : L"(%g,%g)", points[i].x, points[i].y);
        text += point;
    }
    return text;
}

unsigned VyxScriptDrawCommand::RgbText(int colour)
{
    COLORREF value = static_cast<COLORREF>(colour);
    return (GetRValue(value) << 16) | (GetGValue(value) << 8) | GetBValue(value);
}

// Coordinates far outside the device still give a defined integer.
int VyxScriptDrawCommand::Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= INT_MAX)
        return INT_MAX;
    if (value <= INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int VyxScriptDrawCommand::DrawSpline(bool cubic)
{
    CDC* dc = GetDC();
    if (!dc || GetPointCount() < 4)
        return 0;
    std::vector<POINTD> points = EvaluatePoints();
    DrawStyle style = EvaluateStyle(0, 1, false);
    int perCurve = EvaluateInt(GetParameter(3));
    if (style.penStyle < 0)
        style.penStyle = 0;
    if (perCurve < 1)
        perCurve = 100;
    // More points on a curve than the output has pixels around it draw nothing more; far more
    // would only take memory (50 million points came to a gigabyte).
    int most = DeviceLimit();
    if (perCurve > most)
        ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create(
                                    cubic ? "VyxScriptCommandCSpline" : "VyxScriptCommandBSpline", __LINE__,
                                    cubic ? "VyxScriptCommandCSpline::Execute" : "VyxScriptCommandBSpline::Execute"),
                                4, -3, L"too many points per curve: %d (at most %d)", perCurve, most);
    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord(cubic ? "VyxScriptCommandCSpline" : "VyxScriptCommandBSpline", __LINE__,
                                 cubic ? "VyxScriptCommandCSpline::Execute" : "VyxScriptCommandBSpline::Execute"),
                 LogLevelInfo, cubic ? L"CSpLine %s, #%06X, %g, %d, %d" : L"BSpLine %s, #%06X, %g, %d, %d",
                 PointsText(points, !cubic, false), RgbText(style.penColour), style.penWidth, style.penStyle, perCurve);
    std::vector<POINTD> device = ToDevice(points);
    VyxPointDArray curve;
    VyxSpline spline;
    int count = cubic ? spline.CubicSpline(device.data(), static_cast<int>(device.size()), perCurve, curve)
                      : VyxSpline::BSpline(device.data(), static_cast<int>(device.size()), perCurve, curve);
    if (count < 2)
        return 1;
    VyxDrawTools tools(dc);
    SelectStyle(tools, style, false);
    const POINTD* data = curve.GetData();
    dc->MoveTo(Truncate(data[0].x), Truncate(data[0].y));
    for (int i = 1; i < curve.GetCount(); ++i)
        dc->LineTo(Truncate(data[i].x), Truncate(data[i].y));
    return 1;
}

VyxDrawTools::~VyxDrawTools()
{
    if (m_oldBrush)
        m_dc->SelectObject(m_oldBrush);
    if (m_oldPen)
        m_dc->SelectObject(m_oldPen);
}

void VyxDrawTools::SelectPen(int style, int width, int colour)
{
    // A style the platform refuses leaves the DC's own pen in use.
    if (!m_pen.CreatePen(style, width, static_cast<COLORREF>(colour)))
        return;
    HGDIOBJ old = m_dc->SelectObject(m_pen.m_hObject);
    if (!m_oldPen)
        m_oldPen = old;
}

void VyxDrawTools::SelectBrush(bool hatch, int hatchStyle, bool fill, int fillColour)
{
    BOOL created = FALSE;
    if (hatch)
        created = m_brush.CreateHatchBrush(hatchStyle, static_cast<COLORREF>(fillColour));
    else if (fill)
        created = m_brush.CreateSolidBrush(static_cast<COLORREF>(fillColour));
    HGDIOBJ brush = created ? m_brush.m_hObject : ::GetStockObject(NULL_BRUSH);
    HGDIOBJ old = m_dc->SelectObject(brush);
    if (!m_oldBrush)
        m_oldBrush = old;
}
