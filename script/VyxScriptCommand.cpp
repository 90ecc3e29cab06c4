#include "script/VyxScriptCommand.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxGlobalErrorException.h"
#include "script/VyxDrawContext.h"
#include "script/VyxRegExp.h"
#include "script/VyxScriptFunction.h"

#include <vector>

namespace {

const wchar_t kPairPattern[] = L"^[ \\t]*(-?)[ \\t]*\\((.*?),(.*?)\\)";
const wchar_t kBlanks[] = L" \t";

CString Trimmed(const wchar_t* text)
{
    CString trimmed(text);
    trimmed.TrimLeft(kBlanks);
    trimmed.TrimRight(kBlanks);
    return trimmed;
}

} // namespace

VyxScriptCommand::VyxScriptCommand() = default;

VyxScriptCommand::VyxScriptCommand(const VyxScriptCommand& other)
    : VyxPtrObject(), m_keywords(other.m_keywords), m_id(other.m_id), m_x(other.m_x), m_y(other.m_y),
      m_parameters(other.m_parameters), m_context(other.m_context), m_owner(other.m_owner)
{
}

VyxScriptCommand::~VyxScriptCommand() = default;

VyxScriptCommand& VyxScriptCommand::Assign(const VyxScriptCommand& other)
{
    if (this != &other) {
        m_id = other.m_id;
        m_keywords = other.m_keywords;
        m_x = other.m_x;
        m_y = other.m_y;
        m_parameters = other.m_parameters;
        m_context = other.m_context;
        m_owner = other.m_owner;
    }
    OnAssigned();
    return *this;
}

void VyxScriptCommand::OnAssigned() {}

VyxScriptCommand* VyxScriptCommand::CreateFromLine(const wchar_t*)
{
    return nullptr;
}

int VyxScriptCommand::Execute()
{
    return 0;
}

void VyxScriptCommand::AddKeyword(const wchar_t* keyword)
{
    CString upper(keyword);
    upper.MakeUpper();
    m_keywords.Add(VyxString(static_cast<const wchar_t*>(upper)));
}

bool VyxScriptCommand::HasKeyword(const wchar_t* word) const
{
    CString upper(word);
    upper.MakeUpper();
    return m_keywords.Find(upper) >= 0;
}

int VyxScriptCommand::AddParameter(const wchar_t* text)
{
    m_parameters.AddGrowing(VyxString(text ? text : L""));
    return m_parameters.GetCount();
}

namespace {

const wchar_t* TextAt(const VyxStringArray& texts, int index)
{
    return index >= 0 && index < texts.GetCount() ? texts.GetData()[index].GetText() : L"";
}

} // namespace

const wchar_t* VyxScriptCommand::GetParameter(int index) const
{
    return TextAt(m_parameters, index);
}

const wchar_t* VyxScriptCommand::GetX(int index) const
{
    return TextAt(m_x, index);
}

const wchar_t* VyxScriptCommand::GetY(int index) const
{
    return TextAt(m_y, index);
}

int VyxScriptCommand::ParseParameters(const wchar_t* text)
{
    if (!text)
        text = L"";
    // Quotes stay, so that a text parameter reaches the calculator as a string literal and a
    // comma inside it does not split it.
    VyxFieldParser parser(VyxFieldParser::KeepQuotes | VyxFieldParser::KeepAroundQuotes);
    std::vector<wchar_t> field(wcslen(text) + 1);
    int count = 0;
    // Field by field from where the last one ended: a long line splits in linear time.
    for (const wchar_t* rest = text; parser.GetFieldByChar(field.data(), rest, 0, L',') >= 0;) {
        AddParameter(Trimmed(field.data()));
        ++count;
        rest += parser.GetPosition();
        if (*rest == 0)
            break;
        ++rest;
    }
    return count;
}

const wchar_t* VyxScriptCommand::ParseCoordinate(const wchar_t* text)
{
    if (!text)
        text = L"";
    VyxRegExp pair(kPairPattern, 0);
    if (pair.Match(text) == 0)
        ThrowGlobalErrorAtLevel(
            VyxGlobalErrorException::Create("VyxScriptCommand", __LINE__, "VyxScriptCommand::ParseCoordinate"), 4, -3,
            L"not found (x,y) #%04d:%s", m_context ? m_context->m_lineNumber : 0, text);
    m_fromCurrentPoint = pair.GetMatch(1)[0] != 0;
    int position = 0;
    for (;;) {
        int length = FindFieldEnd(text + position, L'(', L")");
        if (length == 0)
            break;
        CString piece(text + position, length);
        if (pair.Match(piece) == 0)
            break;
        m_x.AddGrowing(VyxString(static_cast<const wchar_t*>(Trimmed(pair.GetMatch(2)))));
        m_y.AddGrowing(VyxString(static_cast<const wchar_t*>(Trimmed(pair.GetMatch(3)))));
        position += length;
    }
    const wchar_t* rest = SkipBlanks(text + position);
    if (*rest == L',')
        ++rest;
    return rest;
}

void VyxScriptCommand::ParseLine(const wchar_t* line)
{
    ParseParameters(ParseCoordinate(line));
}

namespace {

const wchar_t kCurrentX[] = L"$_CP_[0]";
const wchar_t kCurrentY[] = L"$_CP_[1]";

} // namespace

POINTD VyxScriptCommand::GetCurrentPoint() const
{
    POINTD point;
    if (!m_owner)
        return point;
    VyxVariantMap& locals = m_owner->GetLocalVariables();
    point.x = locals.GetAtIndex(locals.Find(kCurrentX)).value.GetDouble();
    point.y = locals.GetAtIndex(locals.Find(kCurrentY)).value.GetDouble();
    return point;
}

void VyxScriptCommand::SetCurrentPoint(POINTD point)
{
    if (!m_owner)
        return;
    m_owner->SetLocalVariable(kCurrentX, VyxVariant(point.x));
    m_owner->SetLocalVariable(kCurrentY, VyxVariant(point.y));
}

const VyxVariant& VyxScriptCommand::Evaluate(const wchar_t* text) const
{
    static const VyxVariant empty;
    return m_owner ? m_owner->Evaluate(text) : empty;
}

const wchar_t* VyxScriptCommand::ToString()
{
    CString pairs;
    for (int i = 0; i < m_x.GetCount(); ++i) {
        if (i > 0)
            pairs += L", ";
        CString pair;
        pair.Format(L"(%s,%s)", GetX(i), GetY(i));
        pairs += pair;
    }
    m_text.Format(L"{tag:%s, XY:[%s], param:%s}", m_keywords.ToText(), static_cast<const wchar_t*>(pairs),
                  m_parameters.ToText());
    return m_text;
}

VyxScriptCommandPtrArray::~VyxScriptCommandPtrArray() = default;

const wchar_t* VyxScriptCommandPtrArray::ToText()
{
    CString text = L"[";
    for (int i = 0; i < m_count; ++i) {
        if (i > 0)
            text += L", ";
        text += m_data[i]->ToString();
    }
    text += L"]";
    m_dump = text;
    return m_dump;
}
