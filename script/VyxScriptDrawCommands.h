// The nine drawing commands of the script language. A statement evaluates its pairs and
// parameters through its function's calculator, converts them from the script unit to the
// logical units of the attached DC and draws; Execute returns 0 when there is no DC or too few
// pairs, 1 when it drew.
#pragma once

#include "script/VyxScriptCommand.h"

#include <vector>

class CDC;

class VyxDrawContext;
class VyxDrawTools;

// What the drawing commands share: evaluation and conversion of the pairs, the log texts, and
// the pen and brush of one drawing.
class VyxScriptDrawCommand : public VyxScriptCommand
{
protected:
    // Pen and brush parameters: the pen colour, then pen width, pen style, fill colour and hatch
    // style in a row. Fill and hatch are wanted when their parameter texts are not empty.
    struct DrawStyle
    {
        int penColour = 0;
        double penWidth = 0.0; // script units
        int penStyle = 0;
        int fillColour = 0;
        int hatchStyle = 0;
        bool fill = false;
        bool hatch = false;
    };

    CDC* GetDC() const;
    // Every pair evaluated, x then y, in script units.
    std::vector<POINTD> EvaluatePoints() const;
    // x1, y1, x2, y2 of pairs 0 and 1 (a missing text gives 0).
    void EvaluateCorners(double corners[4]) const;
    DrawStyle EvaluateStyle(int colourIndex, int widthIndex, bool withBrush) const;
    // Selects the style's pen, and its brush when asked.
    void SelectStyle(VyxDrawTools& tools, const DrawStyle& style, bool withBrush) const;
    // BOX and RoundBox: draw from the current point to the first point when the first pair
    // carried "-", then between each two consecutive points; the current point follows.
    template <class Draw> void DrawBetweenPoints(const std::vector<POINTD>& device, Draw draw)
    {
        if (IsFromCurrentPoint()) {
            draw(GetCurrentPoint(), device[0]);
            SetCurrentPoint(device[0]);
        }
        for (size_t i = 0; i + 1 < device.size(); ++i) {
            draw(device[i], device[i + 1]);
            SetCurrentPoint(device[i + 1]);
        }
    }
    double ToDevice(double value, int axis) const;
    std::vector<POINTD> ToDevice(const std::vector<POINTD>& points) const;
    // A pen width in device units; 0 or less becomes 1.
    double PenWidthToDevice(double width) const;
    // The most device units a pen, a font or a curve's points may count: twice the output's
    // width and height, at least 4096. More draws nothing more and only takes the platform's time
    // (a pen millions of pixels wide took minutes).
    int DeviceLimit() const;
    // value in device units, truncated, held within the device limit either way.
    int LimitToDevice(double value) const;
    // The pairs as "(x, y)" (spaced) or "(x,y)" joined by "-", with a leading "-" when asked.
    static CString PointsText(const std::vector<POINTD>& points, bool spaced, bool leadingDash);
    // A platform colour value as RRGGBB for the log.
    static unsigned RgbText(int colour);
    // The most the platform's drawing takes either way for a coordinate (2^27): far larger ones
    // exhausted its memory and crashed it. No shape passes it a coordinate beyond.
    static constexpr double kPlatformLimit = 134217728.0;
    // Truncated and held within the platform's limit (NaN gives 0).
    static int Truncate(double value);
    // Where lines and polygons are cut: the part of the DC's output that is shown (its clip box)
    // with a margin of the pen's width, never beyond the platform's limit. A shape cut there draws
    // the same, and the platform never fills rows that no one sees.
    struct Window
    {
        double left, top, right, bottom;
    };
    static Window ShownWindow(CDC* dc, const VyxDrawContext* context, int penWidth);
    // The part of the segment inside the window; false when there is none.
    static bool ClipSegment(POINTD& a, POINTD& b, const Window& window);
    // The polygon cut at the window; what it covers inside the window stays the same.
    static std::vector<POINT> ClipPolygon(const std::vector<POINTD>& polygon, const Window& window);
    // The polygon cut at the window, for one reaching past ordinary coordinates.
    static std::vector<POINTD> CutAtWindow(const std::vector<POINTD>& polygon, const Window& window);
    // Segments from each point to the next, each cut at the window; the pen is left at the last
    // point, or where the last segment leaves the platform's limit.
    static void DrawPolyline(CDC* dc, const std::vector<POINTD>& points, const Window& window);
    // The pen width of the style in device units, as SelectStyle selects it.
    int PenWidthOf(const DrawStyle& style) const { return LimitToDevice(PenWidthToDevice(style.penWidth)); }
    // BSPLINE and CSPLINE: the curve through the converted pairs, drawn with the pen only.
    int DrawSpline(bool cubic);
};

// Selects a pen and a brush for one drawing and puts back what was selected before.
class VyxDrawTools
{
public:
    explicit VyxDrawTools(CDC* dc) : m_dc(dc) {}
    ~VyxDrawTools();
    VyxDrawTools(const VyxDrawTools&) = delete;
    VyxDrawTools& operator=(const VyxDrawTools&) = delete;

    void SelectPen(int style, int width, int colour);
    // Hatched when hatch, else solid when fill, else the hollow stock brush.
    void SelectBrush(bool hatch, int hatchStyle, bool fill, int fillColour);

private:
    CDC* m_dc;
    CPen m_pen;
    CBrush m_brush;
    HGDIOBJ m_oldPen = nullptr;
    HGDIOBJ m_oldBrush = nullptr;
};

// BOX (BOXTO) (x,y)-(x,y)..., pen colour, pen width, pen style, fill colour, hatch style
class VyxScriptCommandBox : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandBox();
    ~VyxScriptCommandBox() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// LINE (LINETO) (x,y)-(x,y)..., pen colour, pen width, pen style
class VyxScriptCommandLine : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandLine();
    ~VyxScriptCommandLine() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// POLYGON (x,y)-(x,y)..., pen colour, pen width, pen style, fill colour, hatch style
class VyxScriptCommandPolygon : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandPolygon();
    ~VyxScriptCommandPolygon() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// RoundBox (x,y)-(x,y)..., pen colour, corner width, corner height, pen width, pen style, fill
// colour, hatch style
class VyxScriptCommandRoundBox : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandRoundBox();
    ~VyxScriptCommandRoundBox() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// CIRCLE (x,y)..., radius x, radius y, pen colour, pen width, pen style, fill colour, hatch style
class VyxScriptCommandCircle : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandCircle();
    ~VyxScriptCommandCircle() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;

private:
    // An ellipse reaching beyond the platform's limit: the part of it inside the window, as a
    // polygon of its rows.
    void DrawLargeEllipse(CDC* dc, POINTD centre, double rx, double ry, const Window& window) const;
};

// DRAWTEXT (x,y)-(x,y), text, format flags, font face, colour, size or (width:height) in
// points, weight plus LF_ attribute bits
class VyxScriptCommandDrawText : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandDrawText();
    ~VyxScriptCommandDrawText() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// DRAWIMAGE (x,y)-(x,y), alignment flags (DT_RIGHT, DT_CENTER, DT_BOTTOM, DT_VCENTER)
class VyxScriptCommandDrawImage : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandDrawImage();
    ~VyxScriptCommandDrawImage() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

// BSPLINE / CSPLINE (x,y)-(x,y)-(x,y)-(x,y)..., pen colour, pen width, pen style, points per curve
class VyxScriptCommandBSpline : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandBSpline();
    ~VyxScriptCommandBSpline() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};

class VyxScriptCommandCSpline : public VyxScriptDrawCommand
{
public:
    VyxScriptCommandCSpline();
    ~VyxScriptCommandCSpline() override;
    VyxScriptCommand* CreateFromLine(const wchar_t* line) override;
    int Execute() override;
};
