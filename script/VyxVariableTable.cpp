#include "script/VyxVariableTable.h"

#include "foundation/TokenReader.h"
#include "foundation/VyxFieldParser.h"
#include "script/VyxPostfix.h"

namespace {

const int kTokenSize = 200; // names and values are cut to 199 characters

} // namespace

VyxVariableTable::VyxVariableTable() = default;

VyxVariableTable::~VyxVariableTable() = default;

int VyxVariableTable::SetAt(const wchar_t* name, const wchar_t* text)
{
    m_variables.SetAt(name, VyxVariant(text));
    return 0;
}

int VyxVariableTable::SetAt(const wchar_t* name, int value)
{
    m_variables.SetAt(name, VyxVariant(value));
    return 0;
}

int VyxVariableTable::SetAt(const wchar_t* name, double value)
{
    m_variables.SetAt(name, VyxVariant(value));
    return 0;
}

int VyxVariableTable::Let(const wchar_t* line)
{
    if (!line)
        return 1;
    const wchar_t* equals = wcschr(line, L'=');
    if (!equals)
        return 1;
    wchar_t name[kTokenSize];
    CopyUntilDelimiter(line, name, kTokenSize, L"=");
    const wchar_t* valueStart = SkipBlanks(equals + 1);
    wchar_t value[kTokenSize];
    GetNextToken(value, valueStart, kTokenSize);
    if (*valueStart == L'\'' || *valueStart == L'"') {
        m_variables.SetAt(name, VyxVariant(value));
        return 0;
    }
    VyxPostfix calculator;
    calculator.SetFormula(value);
    calculator.FormulaPostfix();
    double result = calculator.FormulaCalc().GetDouble();
    if (name[0] == L'&')
        m_variables.SetAt(name, VyxVariant(VyxVariant(result).GetInt())); // truncated toward zero
    else
        m_variables.SetAt(name, VyxVariant(result));
    return 0;
}

CString VyxVariableTable::CopyText(const wchar_t* text) const
{
    return CString(text ? text : L"");
}

void VyxVariableTable::AddLine(const wchar_t* text)
{
    if (text && *text)
        m_lines.Add(text);
}

CString VyxVariableTable::GetLine(int index) const
{
    if (index < 0 || index >= GetLineCount())
        return CString();
    return m_lines.GetAt(index);
}

const wchar_t* VyxVariableTable::GetText(const wchar_t* name) const
{
    const VyxVariant* value = m_variables.Lookup(name);
    return value ? value->GetString() : nullptr;
}

double VyxVariableTable::Evaluate(const wchar_t* expression) const
{
    VyxPostfix calculator;
    calculator.SetFormula(expression);
    calculator.FormulaPostfix();
    return calculator.FormulaCalc().GetDouble();
}

CString VyxVariableTable::ReplaceNames(const wchar_t* text) const
{
    CString result;
    CString token;
    auto flush = [&] {
        const wchar_t* replacement = token.IsEmpty() ? nullptr : GetText(token);
        result += replacement ? replacement : static_cast<const wchar_t*>(token);
        token.Empty();
    };
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (wcschr(L"(+-*/) ", *p)) {
            flush();
            result += *p;
        } else {
            token += *p;
        }
    }
    flush();
    return result;
}

int VyxVariableTable::LoadFile(const wchar_t* path)
{
    CStdioFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeText))
        return 0;
    try {
        CString line;
        while (file.ReadString(line)) {
            const wchar_t* text = SkipBlanks(line);
            if (*text == 0 || *text == L';' || (text[0] == L'/' && text[1] == L'/'))
                continue;
            m_lines.Add(line);
        }
    } catch (CException* e) {
        e->Delete(); // a read error ends the reading with the lines read so far
    }
    return 0;
}
