#include "script/VyxScriptFunction.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxText.h"
#include "script/VyxDrawContext.h"
#include "script/VyxRegExp.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace {

const wchar_t kBlanks[] = L" \t";

const struct
{
    const wchar_t* keyword;
    int id;
} kStatementKeywords[] = {
    {L"WHILE", StatementWhile},
    {L"WEND", StatementWend},
    {L"IF", StatementIf},
    {L"ELSE", StatementElse},
    {L"ENDIF", StatementEndIf},
    {L"FUNCTION", StatementFunction},
    {L"FEND", StatementFend},
    {L"RETURN", StatementReturn},
    {L"NEXTFILE", StatementNextFile},
    {L"STATEMENT", StatementExpression},
};

int StatementIdOf(const wchar_t* word)
{
    for (const auto& row : kStatementKeywords) {
        if (wcscmp(row.keyword, word) == 0)
            return row.id;
    }
    return -1;
}

bool IsAsciiLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// "^([A-Za-z]+)[ \t]*(.*)": the leading word and what follows the blanks after it; false when
// the text does not start with a letter.
bool SplitFirstWord(const wchar_t* text, CString& word, const wchar_t*& rest)
{
    int length = 0;
    while (IsAsciiLetter(text[length]))
        ++length;
    if (length == 0)
        return false;
    word = CString(text, length);
    rest = text + length;
    while (IsBlank(*rest))
        ++rest;
    return true;
}

// "^[ \t]*(;|//)"
bool IsCommentLine(const wchar_t* line)
{
    while (IsBlank(*line))
        ++line;
    return *line == L';' || (line[0] == L'/' && line[1] == L'/');
}

// The line before its first ";" outside quotes, trimmed. A line with an unclosed quote is kept
// whole rather than dropped.
CString CutStatement(const CString& line)
{
    std::vector<wchar_t> field(line.GetLength() + 1);
    VyxFieldParser parser(VyxFieldParser::KeepQuotes | VyxFieldParser::KeepAroundQuotes);
    CString cut = parser.GetFieldByChar(field.data(), line, 0, L';') >= 0 ? CString(field.data()) : line;
    cut.TrimLeft(kBlanks);
    cut.TrimRight(kBlanks);
    return cut;
}

bool IsHexText(const wchar_t* text)
{
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (!iswxdigit(*text) || *text > 0x7F)
            return false;
    }
    return true;
}

LogSourceRecord Source(int line, const char* function)
{
    return LogSourceRecord("VyxScriptFunction", line, function);
}

} // namespace

// One count for everything that nests on the stack while a script is parsed or run (blocks,
// definitions, calls, which can pass from one function to another); one level beyond the bound
// raises instead of exhausting the stack. Per thread: each thread has a stack of its own.
class VyxScriptFunction::NestingDepth
{
public:
    NestingDepth(const wchar_t* what, const char* function)
    {
        if (s_depth >= MaxNestingDepth)
            ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxScriptFunction", __LINE__, function), 4,
                                    ePostFixTooDeep, L"script nested deeper than %d: %s",
                                    static_cast<int>(MaxNestingDepth), what);
        ++s_depth;
    }
    ~NestingDepth() { --s_depth; }
    NestingDepth(const NestingDepth&) = delete;
    NestingDepth& operator=(const NestingDepth&) = delete;

private:
    static thread_local int s_depth;
};

thread_local int VyxScriptFunction::NestingDepth::s_depth = 0;

namespace {

// The runs in progress on this thread, the statements the outermost one has executed and when it
// started.
thread_local int s_runs = 0;
thread_local int s_statements = 0;
thread_local DWORD s_started = 0;
thread_local DWORD s_timeLimit = VyxScriptFunction::MaxMillisecondsPerRun;

} // namespace

void VyxScriptFunction::SetRunTimeLimit(unsigned milliseconds)
{
    s_timeLimit = milliseconds ? milliseconds : static_cast<DWORD>(MaxMillisecondsPerRun);
}

void VyxScriptFunction::LeaveOutOfRunTime(DWORD milliseconds)
{
    // Never past the run's own start: a request inside a request would count twice.
    if (s_runs > 0)
        s_started += std::min(milliseconds, GetTickCount() - s_started);
}

void VyxScriptFunction::CountStatement()
{
    if (++s_statements > MaxStatementsPerRun)
        ThrowGlobalErrorAtLevel(
            VyxGlobalErrorException::Create("VyxScriptFunction", __LINE__, "VyxScriptFunction::ExecStatement"), 4,
            ePostFixSyntax, L"script stopped after %d statements", static_cast<int>(MaxStatementsPerRun));
    const DWORD elapsed = GetTickCount() - s_started;
    if (elapsed > s_timeLimit)
        ThrowGlobalErrorAtLevel(
            VyxGlobalErrorException::Create("VyxScriptFunction", __LINE__, "VyxScriptFunction::ExecStatement"), 4,
            ePostFixSyntax, L"script stopped after %u ms (%d statements)", static_cast<unsigned>(elapsed),
            s_statements);
}

// A run keeps the statement index of the run it interrupted (a function calling itself); the
// outermost run starts the statement count.
class VyxScriptFunction::RunScope
{
public:
    explicit RunScope(VyxScriptFunction& function)
        : m_function(function), m_index(function.m_index), m_current(function.m_current)
    {
        if (s_runs++ == 0) {
            s_statements = 0;
            s_started = GetTickCount();
        }
    }
    ~RunScope()
    {
        --s_runs;
        m_function.m_index = m_index;
        m_function.m_current = m_current;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    VyxScriptFunction& m_function;
    int m_index;
    VyxScriptCommand* m_current;
};

VyxScriptFunction::VyxScriptFunction() = default;

VyxScriptFunction::~VyxScriptFunction()
{
    DropStatements();
}

void VyxScriptFunction::DropStatements()
{
    // Statements shared with a copy outlive this function: none may point back at it.
    for (int i = 0; i < m_statements.GetCount(); ++i) {
        VyxScriptCommand* statement = m_statements.GetData()[i];
        if (statement->GetOwner() == this)
            statement->SetOwner(nullptr);
    }
    m_statements.RemoveAll();
}

VyxScriptFunction& VyxScriptFunction::operator=(const VyxPostfix& other)
{
    VyxPostfix::operator=(other);
    return *this;
}

void VyxScriptFunction::SetLinks(VyxDrawContext* context, VyxScriptCommandPtrArray* registry,
                                 VyxScriptFunctionMap* functions)
{
    m_context = context;
    m_registry = registry;
    m_functions = functions;
}

const wchar_t* VyxScriptFunction::ToString()
{
    m_dump.Format(L"{command:%s, vars:%s, }", m_statements.ToText(), GetLocalVariables().ToText());
    return m_dump;
}

void VyxScriptFunction::CopyFrom(const VyxScriptFunction& other)
{
    if (this == &other)
        return;
    m_context = other.m_context;
    m_registry = other.m_registry;
    DropStatements();
    // Shared: each statement is run by, and reads the variables of, the function running it.
    for (int i = 0; i < other.m_statements.GetCount(); ++i) {
        VyxScriptCommand* statement = other.m_statements.GetData()[i];
        statement->AddHolder();
        m_statements.Add(statement);
    }
    m_functions = other.m_functions;
    GetLocalVariables() = const_cast<VyxScriptFunction&>(other).GetLocalVariables();
}

void VyxScriptFunction::AddStatement(VyxScriptCommand* statement)
{
    statement->SetDrawContext(m_context);
    statement->SetOwner(this);
    m_statements.Add(statement);
}

void VyxScriptFunction::Clear()
{
    if (m_functions)
        m_functions->RemoveAll();
    DropStatements();
    GetLocalVariables() = VyxVariantMap();
    m_index = 0;
    m_current = nullptr;
    m_compiled.clear();
}

const VyxVariant& VyxScriptFunction::Evaluate(const wchar_t* text)
{
    std::wstring key(text ? text : L"");
    auto found = m_compiled.find(key);
    std::shared_ptr<const VyxPostfixList> program;
    if (found != m_compiled.end()) {
        program = found->second;
    } else {
        program = Compile(key.c_str());
        m_compiled.emplace(key, program);
    }
    return FormulaCalc(program);
}

// ---- parsing --------------------------------------------------------------------------------

int VyxScriptFunction::ParseText(VyxText& text)
{
    CString pending;
    CString line;
    while (text.GetLine(line)) {
        if (m_context)
            ++m_context->m_lineNumber;
        if (IsCommentLine(line))
            continue;
        pending += CutStatement(line);
        int length = pending.GetLength();
        if (length > MaxFormulaLength)
            ThrowGlobalErrorAtLevel(
                VyxGlobalErrorException::Create("VyxScriptFunction", __LINE__, "VyxScriptFunction::ParseText"), 4,
                ePostFixSyntax, L"#%04d: statement too long: %d characters (at most %d)",
                m_context ? m_context->m_lineNumber : 0, length, static_cast<int>(MaxFormulaLength));
        if (length >= 2 && pending[length - 1] == L'\\') {
            pending.Truncate(length - 1); // continued on the next line, without a blank
            continue;
        }
        CString statement = pending;
        pending.Empty();
        int outcome = TakeStatement(statement, text);
        if (outcome >= 0)
            return outcome;
    }
    // A continuation on the last line still makes its statement.
    if (!pending.IsEmpty()) {
        int outcome = TakeStatement(pending, text);
        if (outcome >= 0)
            return outcome;
    }
    return 0;
}

int VyxScriptFunction::TakeStatement(const CString& text, VyxText& source)
{
    std::unique_ptr<VyxScriptCommand> statement(ParseFunction(text));
    if (!statement)
        return -1;
    if (IsLogLevelOn(LogLevelDebug))
        LogWrite(Source(__LINE__, "VyxScriptFunction::ParseText"), LogLevelDebug, L"#%04d:%s",
                 m_context ? m_context->m_lineNumber : 0, statement->ToString());
    switch (statement->GetId()) {
    case StatementFunction: {
        if (!m_functions)
            return -1; // a function without a map cannot hold definitions
        NestingDepth depth(statement->GetParameter(0), "VyxScriptFunction::ParseText");
        VyxScriptFunction* function = m_functions->Take(statement->GetParameter(0));
        function->SetLinks(m_context, m_registry, m_functions);
        function->DropStatements();
        function->GetLocalVariables() = VyxVariantMap();
        VyxScriptCommand* definition = statement.release();
        function->AddStatement(definition);
        for (int i = 1; i < definition->GetParameterCount(); ++i)
            function->SetLocalVariable(definition->GetParameter(i), VyxVariant(L""));
        // The map holds each function in a block of its own: this function and the one being
        // defined stay where they are while the definition adds entries.
        return function->ParseText(source) == 0 ? 0 : -1;
    }
    case StatementFend:
        return 1;
    case -1:
        return -1;
    default:
        AddStatement(statement.release());
        return -1;
    }
}

VyxScriptCommand* VyxScriptFunction::ParseFunction(const wchar_t* text)
{
    if (!text || !*text)
        return nullptr;
    CString word;
    const wchar_t* rest = nullptr;
    int id = -1;
    if (SplitFirstWord(text, word, rest)) {
        word.MakeUpper();
        id = StatementIdOf(word);
        if (id < 0 || id == StatementExpression) {
            for (int i = 0; m_registry && i < m_registry->GetCount(); ++i) {
                VyxScriptCommand* prototype = m_registry->GetData()[i];
                if (!prototype->HasKeyword(word))
                    continue;
                if (prototype->GetId() == StatementExpression)
                    break;
                if (!prototype->GetDrawContext())
                    prototype->SetDrawContext(m_context);
                return prototype->CreateFromLine(rest);
            }
            id = -1;
        }
    }
    auto statement = std::make_unique<VyxScriptCommand>();
    if (id < 0) {
        statement->SetId(StatementExpression);
        statement->AddKeyword(L"STATEMENT");
        statement->AddParameter(text);
        return statement.release();
    }
    statement->SetId(id);
    statement->AddKeyword(word);
    switch (id) {
    case StatementElse: {
        // ELSE IF cond (any second word) carries the condition.
        CString second;
        const wchar_t* condition = nullptr;
        if (SplitFirstWord(rest, second, condition))
            statement->ParseParameters(condition);
        break;
    }
    case StatementReturn:
        statement->AddParameter(rest);
        break;
    case StatementFunction: {
        VyxRegExp definition(L"(\\w+?)[\\t ]*\\(([\\w$_,]*)\\)", 0);
        if (definition.Match(rest) == 0)
            ThrowGlobalErrorAtLevel(
                VyxGlobalErrorException::Create("VyxScriptFunction", __LINE__, "VyxScriptFunction::ParseFunction"), 4,
                -2, L"illegal FUNCTION statement");
        statement->AddParameter(definition.GetMatch(1));
        statement->ParseParameters(definition.GetMatch(2));
        break;
    }
    default:
        statement->ParseParameters(rest);
        break;
    }
    return statement.release();
}

// ---- running --------------------------------------------------------------------------------

bool VyxScriptFunction::IsStopped() const
{
    return m_context && m_context->m_stop;
}

namespace {

VyxVariant& StatementResult()
{
    static VyxVariant result;
    return result;
}

} // namespace

const VyxVariant& VyxScriptFunction::ExecStatement()
{
    CountStatement();
    VyxVariant& result = StatementResult();
    result = VyxVariant();
    VyxScriptCommand* statement = m_statements.GetAt(m_index);
    statement->SetOwner(this);
    m_current = statement;
    switch (statement->GetId()) {
    case StatementWhile:
        ExecWhile(statement);
        break;
    case StatementIf:
        ExecIf(statement);
        break;
    case StatementWend:
    case StatementEndIf:
        break;
    case StatementReturn: {
        VyxVariant value(Evaluate(statement->GetParameter(0)));
        StatementResult() = value;
        break;
    }
    case StatementNextFile:
        CmdNextFile();
        break;
    case StatementExpression:
        Evaluate(statement->GetParameter(0));
        if (IsLogLevelOn(LogLevelInfo))
            LogWrite(Source(__LINE__, "VyxScriptFunction::ExecStatement"), LogLevelInfo, L"Statement: %s",
                     statement->GetParameter(0));
        break;
    default:
        statement->Execute();
        break;
    }
    return StatementResult();
}

int VyxScriptFunction::FindBlockEnd(int index) const
{
    int depth = 0;
    int count = m_statements.GetCount();
    for (int i = index; i < count; ++i) {
        int id = m_statements.GetData()[i]->GetId();
        if (id == StatementIf || id == StatementWhile)
            ++depth;
        else if ((id == StatementEndIf || id == StatementWend) && --depth == 0)
            return i;
    }
    return count - 1; // an unclosed block takes the rest
}

void VyxScriptFunction::ExecWhile(VyxScriptCommand* statement)
{
    NestingDepth depth(L"WHILE", "VyxScriptFunction::ExecStatement");
    CString condition = statement->GetParameter(0);
    bool running = Evaluate(condition).GetBool();
    int start = m_index;
    for (m_index = start + 1; m_index < m_statements.GetCount(); ++m_index) {
        VyxScriptCommand* inner = m_statements.GetData()[m_index];
        int id = inner->GetId();
        if (id == StatementWend) {
            CountStatement();
            // Once a next-file request found no picture the loop ends, or a loop over the
            // files would never stop.
            running = Evaluate(condition).GetBool() && !IsStopped();
            if (!running)
                break;
            m_index = start;
        } else if (running) {
            ExecStatement();
        } else if (id == StatementIf || id == StatementWhile) {
            m_index = FindBlockEnd(m_index); // a passed-over block is passed over whole
        }
    }
}

void VyxScriptFunction::ExecIf(VyxScriptCommand* statement)
{
    NestingDepth depth(L"IF", "VyxScriptFunction::ExecStatement");
    bool running = Evaluate(statement->GetParameter(0)).GetBool();
    bool taken = running; // once a branch has run, every later branch is passed over
    for (++m_index; m_index < m_statements.GetCount(); ++m_index) {
        VyxScriptCommand* inner = m_statements.GetData()[m_index];
        int id = inner->GetId();
        if (id == StatementEndIf)
            return;
        if (id == StatementElse) {
            if (taken)
                running = false;
            else if (inner->GetParameterCount() > 0)
                running = Evaluate(inner->GetParameter(0)).GetBool();
            else
                running = true;
            taken = taken || running;
        } else if (running) {
            ExecStatement();
        } else if (id == StatementIf || id == StatementWhile) {
            m_index = FindBlockEnd(m_index);
        }
    }
}

const VyxVariant& VyxScriptFunction::RunFunction()
{
    static VyxVariant result;
    result = VyxVariant();
    RunScope scope(*this);
    m_index = 0;
    if (IsStopped())
        return result;
    while (m_index < m_statements.GetCount()) {
        VyxVariant last(ExecStatement());
        result = last;
        ++m_index;
        if (IsStopped())
            break;
    }
    return result;
}

bool VyxScriptFunction::CmdNextFile()
{
    if (!m_context)
        return false;
    VyxScriptRequest request;
    request.type = ScriptRequestNextFile;
    request.image = m_context->m_image;
    request.count = 1;
    bool hadImage = m_context->m_image != nullptr;
    m_context->SendRequest(&request);
    if (hadImage) {
        request.type = ScriptRequestProgress;
        m_context->SendRequest(&request);
    }
    m_context->m_image = request.image;
    if (!request.image)
        m_context->m_stop = true;
    LogWrite(Source(__LINE__, "VyxScriptFunction::CmdNextFile"), LogLevelInfo, L"NextFile(%d)",
             static_cast<int>(m_context->m_stop));
    return request.image != nullptr;
}

int VyxScriptFunction::CalcOperator(const wchar_t* op)
{
    if (wcscmp(op, L"#") != 0)
        return VyxPostfix::CalcOperator(op);
    VyxVariant value = PopResolved();
    CString text = value.GetString();
    if (!IsHexText(text))
        RaiseEvaluationError(ePostFixSyntax);
    int v = HexTextToInt(text);
    // RRGGBB as written becomes 0x00BBGGRR.
    GetValueStack().Push(VyxVariant((v & 0xFF) * 65536 + (v & 0xFF00) + ((v >> 16) & 0xFF)));
    return 1;
}

const VyxVariant& VyxScriptFunction::OperateFunction(const VyxVariant& name, VyxVariantArray& arguments)
{
    static VyxVariant result;
    VyxScriptFunction* function = m_functions ? m_functions->Lookup(name.GetString()) : nullptr;
    if (!function)
        return VyxPostfix::OperateFunction(name, arguments);
    VyxScriptCommand* definition = function->m_statements.GetAt(0);
    int declared = definition->GetParameterCount() - 1;
    if (arguments.GetCount() > declared)
        RaiseEvaluationError(ePostFixSyntax);
    for (int i = 0; i < arguments.GetCount(); ++i)
        function->SetLocalVariable(definition->GetParameter(i + 1), arguments.GetAt(i));
    NestingDepth depth(name.GetString(), "VyxScriptFunction::OperateFunction");
    VyxVariant value(function->RunFunction());
    result = value;
    return result;
}

// ---- the function map -----------------------------------------------------------------------

VyxScriptFunctionMap::VyxScriptFunctionMap(const VyxScriptFunctionMap& other) : Base()
{
    operator=(other);
}

VyxScriptFunctionMap& VyxScriptFunctionMap::operator=(const VyxScriptFunctionMap& other)
{
    if (this == &other)
        return *this;
    RemoveAll();
    for (int i = 0; i < other.GetCount(); ++i) {
        const KEYVALUE& entry = other.GetAtIndex(i);
        auto function = std::make_unique<VyxScriptFunction>();
        function->CopyFrom(*entry.value);
        Base::SetAt(entry.key, function.get());
        function.release();
    }
    return *this;
}

VyxScriptFunctionMap::~VyxScriptFunctionMap()
{
    RemoveAll();
}

int VyxScriptFunctionMap::CompareKeys(const wchar_t* key, const CString& entryKey) const
{
    int order = wcscmp(key ? key : L"", entryKey);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

const wchar_t* VyxScriptFunctionMap::ToText()
{
    CString text = L"{";
    for (int i = 0; i < GetCount(); ++i) {
        KEYVALUE& entry = GetAtIndex(i);
        if (i > 0)
            text += L", ";
        CString item;
        item.Format(L"key:\"%s\", value:%s", static_cast<const wchar_t*>(entry.key), entry.value->ToString());
        text += item;
    }
    text += L"}";
    m_dump = text;
    return m_dump;
}

VyxScriptFunction* VyxScriptFunctionMap::Lookup(const wchar_t* name) const
{
    int index = Find(name);
    return index < 0 ? nullptr : GetAtIndex(index).value;
}

VyxScriptFunction* VyxScriptFunctionMap::Take(const wchar_t* name)
{
    if (VyxScriptFunction* found = Lookup(name))
        return found;
    auto function = std::make_unique<VyxScriptFunction>();
    Base::SetAt(name, function.get());
    return function.release();
}

void VyxScriptFunctionMap::RemoveAll()
{
    // The count drops first: a function's statements never reach back into the map, but a
    // half-emptied map should not be walked either way.
    int count = m_entries.GetCount();
    std::vector<VyxScriptFunction*> functions;
    functions.reserve(count);
    for (int i = 0; i < count; ++i) {
        functions.push_back(m_entries.GetData()[i].value);
        m_entries.GetData()[i].value = nullptr;
    }
    m_entries.RemoveAll();
    for (VyxScriptFunction* function : functions)
        delete function;
}
