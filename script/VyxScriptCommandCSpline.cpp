#include "script/VyxScriptDrawCommands.h"

VyxScriptCommandCSpline::VyxScriptCommandCSpline()
{
    AddKeyword(L"CSPLINE");
}

VyxScriptCommandCSpline::~VyxScriptCommandCSpline() = default;

VyxScriptCommand* VyxScriptCommandCSpline::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandCSpline>(line);
}

int VyxScriptCommandCSpline::Execute()
{
    return DrawSpline(true);
}
