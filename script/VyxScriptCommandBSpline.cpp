#include "script/VyxScriptDrawCommands.h"

VyxScriptCommandBSpline::VyxScriptCommandBSpline()
{
    AddKeyword(L"BSPLINE");
}

VyxScriptCommandBSpline::~VyxScriptCommandBSpline() = default;

VyxScriptCommand* VyxScriptCommandBSpline::CreateFromLine(const wchar_t* line)
{
    return CreateFromLineAs<VyxScriptCommandBSpline>(line);
}

int VyxScriptCommandBSpline::Execute()
{
    return DrawSpline(false);
}
