#include "script/VyxPostfix.h"

#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxSystem.h"

#include <cmath>
#include <cwctype>

namespace {

// A name or a number ends at any of these.
const wchar_t kOperatorChars[] = L"!\"%&()[]-=^~|+*<>/,#.";

bool IsOperatorChar(wchar_t c)
{
    return c != 0 && wcschr(kOperatorChars, c) != nullptr;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// What VyxRegExp::IsNumber accepts: an optional sign, digits, at most one point, digits (the
// empty text, ".", "+" and "-" included). Read by hand, as a line's tokens are many.
// The length of an exponent ("e5", "E-3") at text, or 0.
int ExponentLength(const wchar_t* text)
{
    if (*text != L'e' && *text != L'E')
        return 0;
    int length = 1;
    if (text[length] == L'+' || text[length] == L'-')
        ++length;
    if (!IsDigit(text[length]))
        return 0;
    while (IsDigit(text[length]))
        ++length;
    return length;
}

bool IsNumberText(const wchar_t* text)
{
    if (*text == L'+' || *text == L'-')
        ++text;
    const wchar_t* mantissa = text;
    bool digits = false;
    while (IsDigit(*text))
        ++text, digits = true;
    if (*text == L'.')
        ++text;
    while (IsDigit(*text))
        ++text, digits = true;
    if (digits && text > mantissa)
        text += ExponentLength(text);
    return *text == 0;
}

const int kRaiseLevel = 4;
const int kMaxNesting = 256; // groups, calls and indexes inside one another while compiling

enum OperatorKind {
    OpUnknown,
    OpArithmetic, // + - * / % | & ^
    OpCompare,    // || && == != < <= > >=
    OpNot,
    OpComplement,
    OpHex,
    OpPreIncrement,
    OpPreDecrement,
    OpPostIncrement,
    OpPostDecrement,
    OpAssign,
    OpCompound, // *= /= %= += -= &= |= ^=
    OpMember,
    OpOpen, // ( [
    OpComma,
    OpCloseCall,
    OpCloseIndex,
};

OperatorKind KindOf(const wchar_t* op)
{
    static const struct
    {
        const wchar_t* text;
        OperatorKind kind;
    } table[] = {
        {L"+", OpArithmetic},
        {L"-", OpArithmetic},
        {L"*", OpArithmetic},
        {L"/", OpArithmetic},
        {L"%", OpArithmetic},
        {L"|", OpArithmetic},
        {L"&", OpArithmetic},
        {L"^", OpArithmetic},
        {L"||", OpCompare},
        {L"&&", OpCompare},
        {L"==", OpCompare},
        {L"!=", OpCompare},
        {L"<", OpCompare},
        {L"<=", OpCompare},
        {L">", OpCompare},
        {L">=", OpCompare},
        {L"!", OpNot},
        {L"~", OpComplement},
        {L"#", OpHex},
        {L"++", OpPreIncrement},
        {L"--", OpPreDecrement},
        {L"+++", OpPostIncrement},
        {L"---", OpPostDecrement},
        {L"=", OpAssign},
        {L"*=", OpCompound},
        {L"/=", OpCompound},
        {L"%=", OpCompound},
        {L"+=", OpCompound},
        {L"-=", OpCompound},
        {L"&=", OpCompound},
        {L"|=", OpCompound},
        {L"^=", OpCompound},
        {L".", OpMember},
        {L"(", OpOpen},
        {L"[", OpOpen},
        {L",", OpComma},
        {L")", OpCloseCall},
        {L"]", OpCloseIndex},
    };
    for (const auto& row : table) {
        if (wcscmp(row.text, op) == 0)
            return row.kind;
    }
    return OpUnknown;
}

// a op b for the one-character arithmetic and bitwise operators (also the compound forms' first
// character); the operators' static result.
VyxVariant& Arithmetic(wchar_t op, VyxVariant& a, const VyxVariant& b)
{
    switch (op) {
    case L'+':
        return a + b;
    case L'-':
        return a - b;
    case L'*':
        return a * b;
    case L'/':
        return a / b;
    case L'%':
        return a % b;
    case L'|':
        return a | b;
    case L'&':
        return a & b;
    default:
        return a ^ b;
    }
}

bool Compare(const wchar_t* op, const VyxVariant& a, const VyxVariant& b)
{
    if (wcscmp(op, L"||") == 0)
        return a || b;
    if (wcscmp(op, L"&&") == 0)
        return a && b;
    if (wcscmp(op, L"==") == 0)
        return a == b;
    if (wcscmp(op, L"!=") == 0)
        return a != b;
    if (wcscmp(op, L"<") == 0)
        return a < b;
    if (wcscmp(op, L"<=") == 0)
        return a <= b;
    if (wcscmp(op, L">") == 0)
        return a > b;
    return a >= b;
}

// The two-operand levels, weakest first.
enum BinaryLevel {
    LevelAssignment,
    LevelLogicalOr,
    LevelLogicalAnd,
    LevelBitOr,
    LevelBitXor,
    LevelBitAnd,
    LevelEquality,
    LevelRelational,
    LevelAdditive,
    LevelMultiplicative,
};

// The operator of the level that c (with next, the character after it) starts, or null;
// twoChars tells that next belongs to the operator.
const wchar_t* MatchBinaryOperator(int level, wchar_t c, wchar_t next, bool* twoChars)
{
    *twoChars = false;
    switch (level) {
    case LevelAssignment: {
        if (c == L'=' && next != L'=')
            return L"=";
        static const wchar_t* const compound[] = {L"*=", L"/=", L"%=", L"+=", L"-=", L"&=", L"|=", L"^="};
        for (const wchar_t* op : compound) {
            if (op[0] == c && next == L'=') {
                *twoChars = true;
                return op;
            }
        }
        return nullptr;
    }
    case LevelLogicalOr:
        *twoChars = c == L'|' && next == L'|';
        return *twoChars ? L"||" : nullptr;
    case LevelLogicalAnd:
        *twoChars = c == L'&' && next == L'&';
        return *twoChars ? L"&&" : nullptr;
    case LevelBitOr:
        return c == L'|' && next != L'=' && next != L'|' ? L"|" : nullptr;
    case LevelBitXor:
        return c == L'^' && next != L'=' ? L"^" : nullptr;
    case LevelBitAnd:
        return c == L'&' && next != L'=' && next != L'&' ? L"&" : nullptr;
    case LevelEquality:
        *twoChars = (c == L'=' || c == L'!') && next == L'=';
        return *twoChars ? (c == L'=' ? L"==" : L"!=") : nullptr;
    case LevelRelational:
        if (c != L'<' && c != L'>')
            return nullptr;
        *twoChars = next == L'=';
        return c == L'<' ? (*twoChars ? L"<=" : L"<") : (*twoChars ? L">=" : L">");
    case LevelAdditive:
        if (next == L'=')
            return nullptr;
        return c == L'+' ? L"+" : (c == L'-' ? L"-" : nullptr);
    case LevelMultiplicative:
        if (next == L'=')
            return nullptr;
        return c == L'*' ? L"*" : (c == L'/' ? L"/" : (c == L'%' ? L"%" : nullptr));
    default:
        return nullptr;
    }
}

} // namespace

void VyxPostfixList::Clear()
{
    m_items.RemoveAll();
    m_operators.clear();
}

void VyxPostfixList::AddOperand(const VyxVariant& value)
{
    m_items.AddGrowing(value);
    m_operators.push_back(0);
}

void VyxPostfixList::AddOperator(const wchar_t* op)
{
    m_items.AddGrowing(VyxVariant(op));
    m_operators.push_back(1);
}

// Makes an evaluation the one in progress for its lifetime, and restores the one before.
class VyxPostfix::EvaluationScope
{
public:
    EvaluationScope(VyxPostfix& owner, Evaluation& evaluation) : m_owner(owner), m_previous(owner.m_evaluation)
    {
        owner.m_evaluation = &evaluation;
    }
    ~EvaluationScope() { m_owner.m_evaluation = m_previous; }
    EvaluationScope(const EvaluationScope&) = delete;
    EvaluationScope& operator=(const EvaluationScope&) = delete;

private:
    VyxPostfix& m_owner;
    Evaluation* m_previous;
};

void VyxPostfix::Evaluation::Reset()
{
    values.RemoveAll();
    arguments.RemoveAll();
    depth = 0;
    argumentCounts[0] = 0;
    stackMarks[0] = 0;
    argumentStarts[0] = 0;
}

VyxPostfix::VyxPostfix() : m_shared(&theSharedVariables), m_postfix(std::make_shared<VyxPostfixList>()) {}

VyxPostfix::VyxPostfix(const wchar_t* infix) : VyxPostfix()
{
    SetFormula(infix);
}

VyxPostfix::VyxPostfix(const VyxPostfix& other) : VyxPostfix()
{
    m_locals = other.m_locals;
}

VyxPostfix::~VyxPostfix() = default;

VyxPostfix& VyxPostfix::operator=(const VyxPostfix& other)
{
    if (this != &other)
        m_locals = other.m_locals;
    return *this;
}

const wchar_t* VyxPostfix::ToString()
{
    m_dump.Format(L"{Infix:\"%s\", Postfix:%s}", static_cast<const wchar_t*>(m_infix), m_postfix->ToText());
    return m_dump;
}

void VyxPostfix::SetFormula(const wchar_t* text)
{
    m_infix = text ? text : L"";
}

wchar_t VyxPostfix::FilterChar(wchar_t ch)
{
    return ch;
}

// ---- compilation ----------------------------------------------------------------------------

wchar_t VyxPostfix::NextChar()
{
    // The position moves on at the end too, so reading the last character is progress.
    m_operand = 0;
    int position = m_position++;
    return position < m_infix.GetLength() ? FilterChar(m_infix[position]) : 0;
}

wchar_t VyxPostfix::NextNonBlank()
{
    wchar_t c;
    do
        c = NextChar();
    while (c != 0 && iswspace(c));
    return c;
}

wchar_t VyxPostfix::PeekChar()
{
    return m_position < m_infix.GetLength() ? FilterChar(m_infix[m_position]) : 0;
}

void VyxPostfix::RaiseSyntaxError()
{
    ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxPostfix", __LINE__, "VyxPostfix::FormulaPostfix"),
                            kRaiseLevel, ePostFixSyntax, L"syntax error at %d: %s", m_position,
                            static_cast<const wchar_t*>(m_infix));
}

void VyxPostfix::FormulaPostfix()
{
    // A running evaluation keeps the list it started with; a new one is compiled beside it.
    if (m_postfix.use_count() > 1)
        m_postfix = std::make_shared<VyxPostfixList>();
    m_postfix->Clear();
    m_position = 0;
    m_operand = -1;
    m_nesting = 0;
    if (m_infix.GetLength() > MaxFormulaLength)
        ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxPostfix", __LINE__, "VyxPostfix::FormulaPostfix"),
                                kRaiseLevel, ePostFixSyntax, L"expression too long: %d characters (at most %d): %s...",
                                m_infix.GetLength(), static_cast<int>(MaxFormulaLength),
                                static_cast<const wchar_t*>(m_infix.Left(80)));
    try {
        wchar_t c = NextNonBlank();
        while (c != 0)
            c = ParseListChecked(c);
    } catch (...) {
        m_postfix->Clear();
        throw;
    }
    // The dump of a script function holds all its statements: built only for a debug line.
    if (IsLogLevelOn(LogLevelDebug))
        LogWrite(LogSourceRecord("VyxPostfix", __LINE__, "VyxPostfix::FormulaPostfix"), LogLevelDebug, L"%s",
                 ToString());
}

wchar_t VyxPostfix::ParseListChecked(wchar_t c)
{
    int position = m_position;
    c = ParseList(c);
    if (m_position == position)
        RaiseSyntaxError(); // a character no level can use, such as an unmatched ")"
    return c;
}

wchar_t VyxPostfix::ParseListUntil(wchar_t c, wchar_t close)
{
    // Every group, call or index descends once more; a text cannot exhaust the stack.
    if (m_nesting >= kMaxNesting)
        RaiseSyntaxError();
    ++m_nesting;
    while (c != 0 && c != close)
        c = ParseListChecked(c);
    --m_nesting;
    return c;
}

wchar_t VyxPostfix::ParseList(wchar_t c)
{
    c = ParseBinary(LevelAssignment, c);
    while (c == L',') {
        if (m_operand != 1)
            m_postfix->AddOperand(VyxVariant(L"")); // an empty list element
        m_postfix->AddOperator(L",");
        c = NextNonBlank();
        if (c != L',')
            return c;
    }
    return c;
}

wchar_t VyxPostfix::ParsePrefixOperand(const wchar_t* op)
{
    wchar_t c = ParsePostfix(NextNonBlank());
    m_postfix->AddOperator(op);
    return c;
}

wchar_t VyxPostfix::ParseBinary(int level, wchar_t c)
{
    if (level > LevelMultiplicative)
        return ParseUnary(c);
    c = ParseBinary(level + 1, c);
    for (;;) {
        bool twoChars = false;
        const wchar_t* op = MatchBinaryOperator(level, c, PeekChar(), &twoChars);
        if (!op)
            return c;
        if (twoChars)
            NextChar();
        c = ParseBinary(level + 1, NextNonBlank()); // so every level groups from the left
        m_postfix->AddOperator(op);
    }
}

// A prefix operator applies to one postfix-level operand; prefix operators do not nest.
wchar_t VyxPostfix::ParseUnary(wchar_t c)
{
    c = ParsePostfix(c);
    if (m_operand == 1)
        return c;
    switch (c) {
    case L'-':
        if (PeekChar() == L'-') {
            NextChar();
            return ParsePrefixOperand(L"--");
        }
        c = ParsePostfix(NextNonBlank());
        m_postfix->AddOperand(VyxVariant(-1)); // negation is multiplication by -1
        m_postfix->AddOperator(L"*");
        return c;
    case L'+':
        if (PeekChar() == L'+') {
            NextChar();
            return ParsePrefixOperand(L"++");
        }
        return ParsePostfix(NextNonBlank()); // unary plus is the operand itself
    case L'!':
        return ParsePrefixOperand(L"!");
    case L'~':
        return ParsePrefixOperand(L"~");
    case L'#':
        return ParsePrefixOperand(L"#");
    default:
        return c;
    }
}

wchar_t VyxPostfix::ParsePostfix(wchar_t c)
{
    c = ParsePrimary(c);
    for (;;) {
        if (c == L'(' || c == L'[') {
            bool call = c == L'(';
            wchar_t close = call ? L')' : L']';
            m_postfix->AddOperator(call ? L"(" : L"[");
            c = ParseListUntil(NextNonBlank(), close);
            c = NextNonBlank();
            m_postfix->AddOperator(call ? L")" : L"]");
            m_operand = 1; // what follows a call or index follows an operand
        } else if (c == L'.') {
            // The member is one name: "s.length - 1" subtracts from the length.
            c = ParseToken(NextNonBlank());
            m_postfix->AddOperator(L".");
        } else if ((c == L'+' || c == L'-') && m_operand == 1 && PeekChar() == c) {
            const wchar_t* op = c == L'+' ? L"+++" : L"---";
            NextChar();
            c = NextNonBlank();
            m_postfix->AddOperator(op);
            m_operand = 1; // "i++ + 1" adds to the old value
        } else {
            return c;
        }
    }
}

wchar_t VyxPostfix::ParsePrimary(wchar_t c)
{
    c = ParseToken(c);
    for (;;) {
        if (c == L'(') {
            if (m_operand == 1)
                return c; // a call, taken by the postfix level
            int count = m_postfix->GetCount();
            c = NextNonBlank();
            if (c == 0)
                return 0;
            ParseListUntil(c, L')');
            c = NextNonBlank();
            // What follows a group follows an operand: "(1+2)-1" subtracts.
            m_operand = m_postfix->GetCount() > count ? 1 : 0;
        } else if (c == L'"') {
            c = ParseStringLiteral();
        } else {
            return c;
        }
    }
}

// After the opening quote: the text up to the closing quote or the end; \" stands for a quote,
// every other backslash stays.
wchar_t VyxPostfix::ParseStringLiteral()
{
    CString text;
    for (;;) {
        wchar_t ch = NextChar();
        if (ch == 0 || ch == L'"')
            break;
        if (ch == L'\\' && PeekChar() == L'"')
            ch = NextChar();
        text += ch;
    }
    wchar_t c = NextNonBlank();
    m_postfix->AddOperand(VyxVariant(static_cast<const wchar_t*>(text)));
    m_operand = 1;
    return c;
}

wchar_t VyxPostfix::ParseToken(wchar_t c)
{
    if (c == 0)
        return 0;
    // The leading number part, as ^(([0-9]*\.?[0-9]*)|([0-9]+\.?)) matches it from c on.
    int start = m_position - 1;
    int end = start;
    const wchar_t* text = m_infix;
    bool digits = false;
    while (IsDigit(text[end]))
        ++end, digits = true;
    if (text[end] == L'.')
        ++end;
    while (IsDigit(text[end]))
        ++end, digits = true;
    // A number may carry an exponent, whose sign is no operator: "-1e300", "2.5E-3".
    if (digits)
        end += ExponentLength(text + end);
    CString token(text + start, end - start);
    m_position = end;
    c = NextNonBlank();
    // Blanks inside a name or number are dropped: "ab cd" is abcd, "1 2" is 12.
    while (c != 0 && !IsOperatorChar(c)) {
        token += c;
        c = NextNonBlank();
    }
    m_operand = token.IsEmpty() ? 0 : 1;
    if (token.IsEmpty())
        return c;
    if (IsNumberText(token)) {
        if (token.FindOneOf(L".eE") >= 0)
            m_postfix->AddOperand(VyxVariant(_wtof(token)));
        else
            m_postfix->AddOperand(VyxVariant(_wtoi(token)));
    } else {
        m_postfix->AddOperand(VyxVariant(static_cast<const wchar_t*>(token)));
    }
    return c;
}

// ---- evaluation -----------------------------------------------------------------------------

const VyxVariant& VyxPostfix::Calc(const wchar_t* text)
{
    SetFormula(text);
    FormulaPostfix();
    return FormulaCalc();
}

std::shared_ptr<const VyxPostfixList> VyxPostfix::Compile(const wchar_t* text)
{
    SetFormula(text);
    FormulaPostfix();
    return m_postfix; // held by the caller too, so the next compile starts a list of its own
}

const VyxVariant& VyxPostfix::FormulaCalc()
{
    return FormulaCalc(m_postfix);
}

const VyxVariant& VyxPostfix::FormulaCalc(const std::shared_ptr<const VyxPostfixList>& compiled)
{
    static VyxVariant result;
    std::shared_ptr<const VyxPostfixList> program = compiled;
    // A nested evaluation (a function called from this one calling back) gets stacks of its own.
    Evaluation nested;
    Evaluation& evaluation = m_evaluation ? nested : m_topEvaluation;
    evaluation.Reset();
    EvaluationScope scope(*this, evaluation);
    for (int i = 0; i < program->GetCount(); ++i) {
        if (program->IsOperator(i))
            CalcOperator(program->GetAt(i).GetString());
        else
            evaluation.values.Push(program->GetAt(i));
    }
    if (evaluation.values.IsEmpty())
        evaluation.values.Push(VyxVariant());
    result = ResolveValue(evaluation.values.GetAt(0));
    return result;
}

void VyxPostfix::RaiseEvaluationError(int code)
{
    ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxPostfix", __LINE__, "VyxPostfix::FormulaCalc"),
                            kRaiseLevel, code, L"%s", GetValueStack().ToText());
}

VyxVariant VyxPostfix::PopResolved()
{
    VyxVariant* top = GetValueStack().Pop();
    return ResolveValue(*top);
}

void VyxPostfix::SetLocalVariable(const wchar_t* name, const VyxVariant& value)
{
    m_locals.SetAt(name, value);
}

const VyxVariant& VyxPostfix::GetVariable(const wchar_t* name)
{
    static VyxVariant result;
    const VyxVariant* found = m_locals.Lookup(name);
    if (!found)
        found = m_shared->Lookup(name);
    result = found ? *found : VyxVariant();
    return result;
}

const VyxVariant& VyxPostfix::ResolveValue(const VyxVariant& value)
{
    static VyxVariant result;
    if (value.GetType() == VyxVariant::String) {
        const VyxVariant& variable = GetVariable(value.GetString());
        if (variable.GetType() != VyxVariant::Empty) {
            result = variable;
            return result;
        }
    }
    result = value;
    return result;
}

int VyxPostfix::CalcOperator(const wchar_t* op)
{
    VyxVariantStack& values = GetValueStack();
    OperatorKind kind = KindOf(op);
    switch (kind) {
    case OpArithmetic: {
        VyxVariant b = PopResolved();
        VyxVariant a = PopResolved();
        values.Push(Arithmetic(op[0], a, b));
        break;
    }
    case OpCompare: {
        VyxVariant b = PopResolved();
        VyxVariant a = PopResolved();
        values.Push(VyxVariant(Compare(op, a, b)));
        break;
    }
    case OpNot: {
        VyxVariant a = PopResolved();
        values.Push(!a);
        break;
    }
    case OpComplement: {
        VyxVariant a = PopResolved();
        values.Push(~a);
        break;
    }
    case OpHex: {
        VyxVariant a = PopResolved();
        values.Push(VyxVariant(HexTextToInt(a.GetString())));
        break;
    }
    case OpPreIncrement:
    case OpPreDecrement:
    case OpPostIncrement:
    case OpPostDecrement: {
        VyxVariant name(*values.Pop());
        VyxVariant old = ResolveValue(name);
        VyxVariant changed(old);
        bool prefix = kind == OpPreIncrement || kind == OpPreDecrement;
        if (kind == OpPreIncrement || kind == OpPostIncrement)
            ++changed;
        else
            --changed;
        SetLocalVariable(name.GetString(), changed);
        values.Push(prefix ? changed : old);
        break;
    }
    case OpAssign: {
        VyxVariant b = PopResolved();
        VyxVariant name(*values.Pop());
        if (name.GetType() == VyxVariant::String)
            SetLocalVariable(name.GetString(), b);
        break;
    }
    case OpCompound: {
        VyxVariant b = PopResolved();
        VyxVariant name(*values.Pop());
        if (name.GetType() == VyxVariant::String) {
            VyxVariant a = ResolveValue(name);
            SetLocalVariable(name.GetString(), Arithmetic(op[0], a, b));
        }
        break;
    }
    case OpMember: {
        VyxVariant member(*values.Pop());
        VyxVariant object(*values.Pop());
        values.Push(OperateMember(object, member));
        break;
    }
    case OpOpen:
        OpenCall();
        break;
    case OpComma: {
        Evaluation& evaluation = CurrentEvaluation();
        VyxVariant a = PopResolved();
        ++evaluation.argumentCounts[evaluation.depth];
        evaluation.arguments.Push(a);
        break;
    }
    case OpCloseCall:
    case OpCloseIndex:
        CloseCall(kind == OpCloseIndex);
        break;
    default:
        RaiseEvaluationError(ePostFixSyntax);
    }
    return 1;
}

void VyxPostfix::OpenCall()
{
    Evaluation& evaluation = CurrentEvaluation();
    if (evaluation.depth + 1 >= MaxDepth)
        RaiseEvaluationError(ePostFixTooDeep);
    int depth = ++evaluation.depth;
    evaluation.argumentCounts[depth] = 0;
    evaluation.stackMarks[depth] = evaluation.values.GetCount();
    evaluation.argumentStarts[depth] = evaluation.arguments.GetCount();
}

void VyxPostfix::CloseCall(bool isIndex)
{
    Evaluation& evaluation = CurrentEvaluation();
    int depth = evaluation.depth;
    if (depth <= 0)
        RaiseEvaluationError(ePostFixSyntax); // a close without its open
    if (evaluation.values.GetCount() > evaluation.stackMarks[depth]) {
        VyxVariant last = PopResolved();
        evaluation.arguments.Push(last);
        ++evaluation.argumentCounts[depth];
    }
    VyxVariantArray arguments;
    int start = evaluation.argumentStarts[depth];
    for (int i = 0; i < evaluation.argumentCounts[depth]; ++i)
        arguments.Add(evaluation.arguments.GetAt(start + i));
    while (evaluation.arguments.GetCount() > start)
        evaluation.arguments.Pop();
    VyxVariant callee = PopResolved();
    VyxVariant result = isIndex ? OperateIndex(callee, arguments) : OperateFunction(callee, arguments);
    // A function may have run an evaluation of its own; this one's state is where it was.
    evaluation.values.Push(result);
    evaluation.depth = depth - 1;
}

const VyxVariant& VyxPostfix::OperateMember(const VyxVariant& object, const VyxVariant& member)
{
    static VyxVariant result;
    VyxVariant resolved = ResolveValue(object);
    if (_wcsicmp(member.GetString(), L"length") == 0)
        result = static_cast<int>(wcslen(resolved.GetString()));
    else
        result = resolved;
    return result;
}

const VyxVariant& VyxPostfix::OperateIndex(const VyxVariant& base, VyxVariantArray& indices)
{
    static VyxVariant result;
    VyxVariant name(base);
    name = name + VyxVariant(L"[");
    for (int i = 0; i < indices.GetCount(); ++i) {
        if (i > 0)
            name = name + VyxVariant(L",");
        name = name + VyxVariant(indices.GetAt(i).GetString());
    }
    name = name + VyxVariant(L"]");
    result = name;
    return result;
}

const VyxVariant& VyxPostfix::OperateFunction(const VyxVariant& name, VyxVariantArray& arguments)
{
    static VyxVariant result;
    const wchar_t* function = name.GetString();
    if (arguments.GetCount() == 0)
        RaiseEvaluationError(ePostFixSyntax);
    if (_wcsicmp(function, L"@abs") == 0) {
        result = std::fabs(arguments.GetAt(0).GetDouble());
    } else if (_wcsicmp(function, L"@round") == 0) {
        result = std::round(arguments.GetAt(0).GetDouble()); // halves away from zero
    } else if (_wcsicmp(function, L"@left") == 0) {
        CString text = arguments.GetAt(0).GetString();
        int count = arguments.GetAt(1).GetInt();
        if (count < 0)
            count = 0;
        if (count > text.GetLength())
            count = text.GetLength();
        result = static_cast<const wchar_t*>(text.Left(count));
    } else if (_wcsicmp(function, L"@logger") == 0) {
        CString text = arguments.GetAt(0).GetString();
        LogWrite(LogSourceRecord("VyxPostfix", __LINE__, "VyxPostfix::OperateFunction"), LogLevelDebug, L"%s",
                 static_cast<const wchar_t*>(text));
        result = static_cast<const wchar_t*>(text);
    } else {
        RaiseEvaluationError(ePostFixUnknownFunction);
    }
    return result;
}
