#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxLog.h"
#include "script/VyxDrawContext.h"
#include "script/VyxSpline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

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
    tools.SelectPen(style.penStyle, PenWidthOf(style), style.penColour);
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

int VyxScriptDrawCommand::Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= kPlatformLimit)
        return static_cast<int>(kPlatformLimit);
    if (value <= -kPlatformLimit)
        return -static_cast<int>(kPlatformLimit);
    return static_cast<int>(value);
}

VyxScriptDrawCommand::Window VyxScriptDrawCommand::ShownWindow(CDC* dc, const VyxDrawContext* context, int penWidth)
{
    RECT shown = {};
    const int region = dc->GetClipBox(&shown);
    if (region == NULLREGION)
        return Window{1, 1, 0, 0}; // nothing is shown: an empty window
    if (region == ERROR)
        shown = RECT{0, 0, context ? context->m_widthPx : 0, context ? context->m_heightPx : 0};
    // In a mapping mode whose y axis points up the box can come top above bottom.
    if (shown.left > shown.right)
        std::swap(shown.left, shown.right);
    if (shown.top > shown.bottom)
        std::swap(shown.top, shown.bottom);
    const double margin = std::max(penWidth, 1) + 2.0;
    return Window{std::max(shown.left - margin, -kPlatformLimit), std::max(shown.top - margin, -kPlatformLimit),
                  std::min(shown.right + margin, kPlatformLimit), std::min(shown.bottom + margin, kPlatformLimit)};
}

namespace {

// Coordinates this near are drawn as they stand, as they always were: only a shape reaching
// farther is cut to the shown part of the page, where the platform would otherwise fill rows no
// one sees (or fail past its limit).
const double kOrdinaryReach = 1 << 20;

bool IsOrdinary(const std::vector<POINTD>& points)
{
    for (const POINTD& point : points)
        if (!(std::fabs(point.x) <= kOrdinaryReach && std::fabs(point.y) <= kOrdinaryReach))
            return false;
    return true;
}

// The point a share t of the way from one end to the other, without a difference of the two that
// could overflow; equal ends give that value exactly.
double Along(double from, double to, double t)
{
    return from == to ? from : from * (1 - t) + to * t;
}

// Where a segment whose ends lie at from and to along one axis (fromOther and toOther along the
// other) crosses side, along the other axis. Halved so that no difference overflows, and taken
// from the nearer end so that a far end's size does not swamp the share.
double Crossing(double from, double to, double side, double fromOther, double toOther)
{
    const double span = to / 2 - from / 2;
    if (span == 0)
        return fromOther;
    const double share = (side / 2 - from / 2) / span;
    if (share <= 0.5)
        return Along(fromOther, toOther, share);
    return Along(toOther, fromOther, (to / 2 - side / 2) / span);
}

} // namespace

bool VyxScriptDrawCommand::ClipSegment(POINTD& a, POINTD& b, const Window& window)
{
    // A point at infinity (or NaN) gives no segment that can be drawn.
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return false;
    auto sides = [&window](const POINTD& p) {
        return (p.x < window.left ? 1 : p.x > window.right ? 2 : 0) |
               (p.y < window.top ? 4 : p.y > window.bottom ? 8 : 0);
    };
    // An end outside is moved along the segment onto the side it is beyond, one side at a time;
    // the other coordinate is found from the end itself, so that a level or upright segment
    // keeps it exactly however far away the end lies.
    int outA = sides(a);
    int outB = sides(b);
    for (int moves = 0; moves < 4; ++moves) {
        if (!(outA | outB))
            return true;
        if (outA & outB)
            return false;
        const bool first = outA != 0;
        POINTD& p = first ? a : b;
        const POINTD q = first ? b : a;
        const int out = first ? outA : outB;
        // Never from the product of two coordinates, which overflows for ends past about 1e154.
        if (out & 4)
            p = POINTD{Crossing(p.y, q.y, window.top, p.x, q.x), window.top};
        else if (out & 8)
            p = POINTD{Crossing(p.y, q.y, window.bottom, p.x, q.x), window.bottom};
        else if (out & 1)
            p = POINTD{window.left, Crossing(p.x, q.x, window.left, p.y, q.y)};
        else
            p = POINTD{window.right, Crossing(p.x, q.x, window.right, p.y, q.y)};
        (first ? outA : outB) = sides(p);
    }
    return !(outA | outB);
}

std::vector<POINT> VyxScriptDrawCommand::ClipPolygon(const std::vector<POINTD>& polygon, const Window& window)
{
    const std::vector<POINTD> points = IsOrdinary(polygon) ? polygon : CutAtWindow(polygon, window);
    std::vector<POINT> vertices;
    for (const POINTD& point : points)
        vertices.push_back(POINT{Truncate(point.x), Truncate(point.y)});
    return vertices;
}

std::vector<POINTD> VyxScriptDrawCommand::CutAtWindow(const std::vector<POINTD>& polygon, const Window& window)
{
    // Cut at each side of the window in turn; the new edges lie on the window.
    std::vector<POINTD> points;
    for (const POINTD& point : polygon)
        if (std::isfinite(point.x) && std::isfinite(point.y))
            points.push_back(point);
    const double sides[4] = {window.left, window.right, window.top, window.bottom};
    for (int side = 0; side < 4 && !points.empty(); ++side) {
        const bool vertical = side < 2;
        const double limit = sides[side];
        auto inside = [&](const POINTD& p) {
            const double v = vertical ? p.x : p.y;
            return side % 2 ? v <= limit : v >= limit;
        };
        std::vector<POINTD> cut;
        for (size_t i = 0; i < points.size(); ++i) {
            const POINTD& from = points[i];
            const POINTD& to = points[(i + 1) % points.size()];
            if (inside(from))
                cut.push_back(from);
            if (inside(from) != inside(to)) {
                const double across = vertical ? Crossing(from.x, to.x, limit, from.y, to.y)
                                               : Crossing(from.y, to.y, limit, from.x, to.x);
                cut.push_back(vertical ? POINTD{limit, across} : POINTD{across, limit});
            }
        }
        points.swap(cut);
    }
    return points;
}

void VyxScriptDrawCommand::DrawPolyline(CDC* dc, const std::vector<POINTD>& points, const Window& window)
{
    if (points.empty())
        return;
    POINT pen = {Truncate(points[0].x), Truncate(points[0].y)};
    dc->MoveTo(pen);
    if (IsOrdinary(points)) {
        for (size_t i = 1; i < points.size(); ++i)
            dc->LineTo(Truncate(points[i].x), Truncate(points[i].y));
        return;
    }
    for (size_t i = 1; i < points.size(); ++i) {
        POINTD a = points[i - 1];
        POINTD b = points[i];
        if (!ClipSegment(a, b, window))
            continue;
        const POINT from = {Truncate(a.x), Truncate(a.y)};
        if (from.x != pen.x || from.y != pen.y)
            dc->MoveTo(from);
        pen = POINT{Truncate(b.x), Truncate(b.y)};
        dc->LineTo(pen);
    }
    // A later line from the pen goes on in the same direction.
    POINTD end = points.back();
    if (points.size() > 1) {
        POINTD start = points[points.size() - 2];
        const Window limit = {-kPlatformLimit, -kPlatformLimit, kPlatformLimit, kPlatformLimit};
        ClipSegment(start, end, limit);
    }
    const POINT last = {Truncate(end.x), Truncate(end.y)};
    if (last.x != pen.x || last.y != pen.y)
        dc->MoveTo(last);
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
    DrawPolyline(dc, std::vector<POINTD>(curve.GetData(), curve.GetData() + curve.GetCount()),
                 ShownWindow(dc, GetDrawContext(), PenWidthOf(style)));
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
