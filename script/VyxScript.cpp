#include "script/VyxScript.h"

#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxText.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"
#include "script/VyxScriptDrawCommands.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

const struct
{
    const wchar_t* name;
    int value;
} kConstants[] = {
    {L"COLOR_BLACK", 0x000000},
    {L"COLOR_BLUE", 0xFF0000},
    {L"COLOR_GREEN", 0x00FF00},
    {L"COLOR_CYAN", 0xFFFF00},
    {L"COLOR_RED", 0x0000FF},
    {L"COLOR_PURPLE", 0xFF00FF},
    {L"COLOR_YELLOW", 0x00FFFF},
    {L"COLOR_WHITE", 0xFFFFFF},
    {L"COLOR_GRAY", 0x808080},
    {L"COLOR_LIGHTGRAY", 0xC0C0C0},
    {L"COLOR_HILIGHTGRAY", 0xF0F0F0},
    {L"COLOR_DARKGRAY", 0x404040},
    {L"COLOR_DARKBLUE", 0x800000},
    {L"COLOR_DARKRED", 0x000080},
    {L"COLOR_VYX", 0xFF8C8C},
    {L"COLOR_TIFFANY", 0xFFF0F0},
    {L"COLOR_CREAM", 0xF0FFFF},
    {L"FW_THIN", 100},
    {L"FW_EXTRALIGHT", 200},
    {L"FW_LIGHT", 300},
    {L"FW_NORMAL", 400},
    {L"FW_MEDIUM", 500},
    {L"FW_SEMIBOLD", 600},
    {L"FW_BOLD", 700},
    {L"FW_EXTRABOLD", 800},
    {L"FW_HEAVY", 900},
    {L"LF_ITALIC", 0x10000},
    {L"LF_UNDERLINE", 0x20000},
    {L"LF_STRIKEOUT", 0x40000},
    {L"PS_SOLID", 0},
    {L"PS_DASH", 1},
    {L"PS_DOT", 2},
    {L"PS_DASHDOT", 3},
    {L"PS_DASHDOTDOT", 4},
    {L"HS_HORIZONTAL", 0},
    {L"HS_VERTICAL", 1},
    {L"HS_FDIAGONAL", 2},
    {L"HS_BDIAGONAL", 3},
    {L"HS_CROSS", 4},
    {L"HS_DIAGCROSS", 5},
    {L"DT_LEFT", 0},
    {L"DT_RIGHT", 2},
    {L"DT_CENTER", 1},
    {L"DT_TOP", 0},
    {L"DT_BOTTOM", 8},
    {L"DT_VCENTER", 4},
    {L"DT_WORDBREAK", 16},
};

// The failure code of an exception other than the library's, inside a catch-all: -2 when memory
// ran out (a text grown without bound), -3 for anything else.
int FailureCode()
{
    try {
        throw;
    } catch (CMemoryException* e) {
        e->Delete();
        return -2;
    } catch (CException* e) {
        e->Delete();
        return -3;
    } catch (const std::bad_alloc&) {
        return -2;
    } catch (...) {
        return -3;
    }
}

} // namespace

VyxScript::VyxScript() = default;

VyxScript::~VyxScript() = default;

void VyxScript::Initialize()
{
    VyxVariantMap* shared = m_main.GetSharedVariables();
    for (const auto& constant : kConstants)
        shared->SetAt(constant.name, VyxVariant(constant.value));
    m_main.SetLinks(&m_context, &m_registry, &m_functions);
    RegisterCommand(new VyxScriptCommandBox);
    RegisterCommand(new VyxScriptCommandLine);
    RegisterCommand(new VyxScriptCommandDrawImage);
    RegisterCommand(new VyxScriptCommandPolygon);
    RegisterCommand(new VyxScriptCommandRoundBox);
    RegisterCommand(new VyxScriptCommandDrawText);
    RegisterCommand(new VyxScriptCommandBSpline);
    RegisterCommand(new VyxScriptCommandCSpline);
    RegisterCommand(new VyxScriptCommandCircle);
    m_state = 0;
    m_main.Clear();
}

void VyxScript::RegisterCommand(VyxScriptCommand* command)
{
    command->SetId(m_registry.GetCount() + 10);
    // The statements made from it take the context from it, for the line numbers of parse messages.
    command->SetDrawContext(&m_context);
    m_registry.Add(command);
}

int VyxScript::Load(const wchar_t* path)
{
    m_state = 0;
    if (!path || !*path)
        return m_state;
    VyxText text;
    try {
        if (text.LoadFile(path) < 0) {
            m_state = -1;
            return m_state;
        }
    } catch (VyxGlobalErrorException* e) {
        // A file larger than the memory left is no script: told like a parse failure.
        m_state = e->GetCode();
        delete e;
        if (m_state == 1 || m_state == 0 || m_state == -1)
            m_state = -3;
        return m_state;
    } catch (...) {
        m_state = FailureCode();
        return m_state;
    }
    // A new script replaces the one loaded before rather than adding to it.
    m_main.Clear();
    m_context.m_lineNumber = 0;
    try {
        m_main.ParseText(text);
        m_state = 1;
    } catch (VyxGlobalErrorException* e) {
        m_state = e->GetCode();
        delete e;
        // A parse failure never reads as loaded, as no script or as an unreadable file.
        if (m_state == 1 || m_state == 0 || m_state == -1)
            m_state = -3;
    } catch (...) {
        m_state = FailureCode();
    }
    return m_state;
}

int VyxScript::Run()
{
    try {
        double width = ConvertUnit(m_context.m_widthPx, UnitPixel, m_context.m_unit, m_context.m_dpiX);
        double height = ConvertUnit(m_context.m_heightPx, UnitPixel, m_context.m_unit, m_context.m_dpiY);
        VyxVariantMap* shared = m_main.GetSharedVariables();
        shared->SetAt(L"$_WIDTH", VyxVariant(std::round(width)));
        shared->SetAt(L"$_HEIGHT", VyxVariant(std::round(height)));
        m_main.RunFunction();
        return 1;
    } catch (VyxGlobalErrorException* e) {
        int code = e->GetCode();
        delete e;
        return code;
    } catch (...) {
        return FailureCode();
    }
}

const wchar_t* VyxScript::ToString()
{
    m_dump.Format(L"{main:%s}", m_main.ToString());
    return m_dump;
}

void VyxScript::AttachDC(CDC* dc, int mapMode)
{
    m_context.m_dc = dc;
    if (!dc)
        return;
    if (mapMode != 0)
        dc->SetMapMode(mapMode);
    m_context.SetDeviceSize(dc->GetDeviceCaps(HORZSIZE), dc->GetDeviceCaps(VERTSIZE), dc->GetDeviceCaps(HORZRES),
                            dc->GetDeviceCaps(VERTRES), dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY));
    dc->SetViewportOrg(0, 0);
    dc->SetWindowOrg(0, 0);
}

void VyxScript::SetVariable(const wchar_t* name, int value)
{
    m_main.GetSharedVariables()->SetAt(name, VyxVariant(value));
}

void VyxScript::SetVariableFormula(const wchar_t* name, const wchar_t* expression)
{
    VyxVariant value(m_main.Calc(expression));
    m_main.GetSharedVariables()->SetAt(name, value);
}

CDrawMacro::~CDrawMacro() = default;

int CDrawMacro::DrawDefault()
{
    LONG width = GetDibWidth(m_context.m_image);
    LONG height = GetDibHeight(m_context.m_image);
    // No picture, or an empty one: nothing to fit (and nothing to divide by).
    if (width <= 0 || height <= 0)
        return 0;
    double w = width;
    double h = height;
    double outputWidth = m_context.m_widthPx;
    double outputHeight = m_context.m_heightPx;
    double scale = std::min(outputWidth / w, outputHeight / h);
    int left = static_cast<int>((outputWidth - w * scale) / 2);
    int top = static_cast<int>((outputHeight - h * scale) / 2);
    m_context.PaintDibBanded(left, top, m_context.m_widthPx - left, m_context.m_heightPx - top, m_context.m_image);
    return 0;
}
