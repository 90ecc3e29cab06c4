#include "script/VyxScriptDrawCommands.h"

#include "foundation/VyxLog.h"
#include "foundation/VyxUtility.h"
#include "script/VyxDrawContext.h"
#include "script/VyxRegExp.h"

namespace {

// "700+LF_ITALIC+LF_UNDERLINE"
CString WeightText(int weight, bool italic, bool underline, bool strikeOut)
{
    CString text;
    text.Format(L"%d", weight);
    if (italic)
        text += L"+LF_ITALIC";
    if (underline)
        text += L"+LF_UNDERLINE";
    if (strikeOut)
        text += L"+LF_STRIKEOUT";
    return text;
}

} // namespace

VyxScriptCommandDrawText::VyxScriptCommandDrawText()
{
    AddKeyword(L"DRAWTEXT");
}

VyxScriptCommandDrawText::~VyxScriptCommandDrawText() = default;

VyxScriptCommand* VyxScriptCommandDrawText::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandDrawText>(line);
}

int VyxScriptCommandDrawText::Execute()
{
    CDC* dc = GetDC();
    if (!dc)
        return 0;
    VyxDrawContext* context = GetDrawContext();
    double corners[4];
    EvaluateCorners(corners);
    double x1 = corners[0], y1 = corners[1], x2 = corners[2], y2 = corners[3];

    // The script's own "\n" breaks lines before the host puts its values in: a value's "\n" (a
    // path, a note's text) is its own, and the host gives a note's line breaks as CR LF.
    VyxScriptRequest request;
    request.type = ScriptRequestExpandText;
    request.text = EvaluateText(GetParameter(0));
    request.text.Replace(L"\\n", L"\r\n");
    context->SendRequest(&request);
    CString text = request.text;

    int flags = EvaluateInt(GetParameter(1));
    CString face = EvaluateText(GetParameter(2));
    int colour = EvaluateInt(GetParameter(3));
    double fontWidth = 0.0;
    double fontHeight = 0.0;
    VyxRegExp size(L"^[ \\t]*\\((.*?):(.*?)\\)", 0);
    if (size.Match(GetParameter(4)) > 0) {
        CString width = size.GetMatch(1);
        CString height = size.GetMatch(2);
        fontWidth = EvaluateDouble(width);
        fontHeight = EvaluateDouble(height);
    } else {
        fontHeight = EvaluateDouble(GetParameter(4));
        if (fontHeight == 0.0)
            fontHeight = 9.0;
    }
    int bits = EvaluateInt(GetParameter(5));
    int weight = bits & 0xFFFF;
    bool italic = (bits & 0x10000) != 0;
    bool underline = (bits & 0x20000) != 0;
    bool strikeOut = (bits & 0x40000) != 0;

    LOGFONTW font = {};
    FindFontFamily(dc->m_hDC, face, font);
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;

    if (IsLogLevelOn(LogLevelInfo))
        LogWrite(LogSourceRecord("VyxScriptCommandDrawText", __LINE__, "VyxScriptCommandDrawText::Execute"),
                 LogLevelInfo, L"DrawText (%g, %g)-(%g, %g), \"%s\", %d, \"%s\", #%06X, (%g:%g), %s", x1, y1, x2, y2,
                 text, flags, face, RgbText(colour), fontWidth, fontHeight,
                 WeightText(weight, italic, underline, strikeOut));
    x1 = ToDevice(x1, 0);
    x2 = ToDevice(x2, 0);
    y1 = ToDevice(y1, 1);
    y2 = ToDevice(y2, 1);

    int mapMode = context->GetMapMode();
    font.lfHeight = -LimitToDevice(ConvertUnit(fontHeight, UnitPoint, mapMode, context->m_dpiY));
    font.lfWidth = LimitToDevice(ConvertUnit(fontWidth, UnitPoint, mapMode, context->m_dpiX));
    CFont created;
    HGDIOBJ oldFont = nullptr;
    if (created.CreateFontIndirect(&font))
        oldFont = dc->SelectObject(created.m_hObject);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextAlign(0);
    dc->SetTextColor(static_cast<COLORREF>(colour));

    RECT rect = {Truncate(x1), Truncate(y1), Truncate(x2), Truncate(y2)};
    if (!(flags & DT_WORDBREAK))
        flags |= DT_SINGLELINE;
    if (rect.right - rect.left < 1 || rect.bottom - rect.top < 1)
        dc->TextOut(rect.left, rect.top, text);
    else
        dc->DrawText(text, &rect, static_cast<UINT>(flags));
    if (oldFont)
        dc->SelectObject(oldFont);
    return 1;
}
