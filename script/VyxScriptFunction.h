// VyxScriptFunction: one function of a drawing script: a calculator whose local variables are the
// function's variables, with the function's statements. The script's main function receives
// every statement outside a FUNCTION ... FEND block. VyxScriptFunctionMap holds a script's named
// functions.
#pragma once

#include "script/VyxPostfix.h"
#include "script/VyxScriptCommand.h"

#include <memory>
#include <string>
#include <unordered_map>

class VyxDrawContext;
class VyxScriptFunctionMap;
class VyxText;

enum VyxStatementId {
    StatementWhile = 0,
    StatementWend = 1,
    StatementIf = 2,
    StatementElse = 3,
    StatementEndIf = 4,
    StatementFunction = 5,
    StatementFend = 6,
    StatementReturn = 7,
    StatementNextFile = 8,
    StatementExpression = 9,
};

class VyxScriptFunction : public VyxPostfix
{
public:
    // Blocks being run, function definitions being parsed and calls in progress, counted
    // together, nest at most this deep: no script, however deep, exhausts the stack.
    enum { MaxNestingDepth = 400 };
    // One run (the outermost function run, with every call and loop in it) executes at most this
    // many statements; past it the library exception is raised, so that no script, however it
    // loops, holds up the window that draws it.
    enum { MaxStatementsPerRun = 250000 };
    // Nor does it run longer than this: a run of slow statements ends with the same error.
    enum { MaxMillisecondsPerRun = 5000 };
    // The time bound of the runs started on this thread from now on; 0 restores
    // MaxMillisecondsPerRun.
    static void SetRunTimeLimit(unsigned milliseconds);
    // Time the host spent on a request of the running script, which its bound does not count.
    static void LeaveOutOfRunTime(DWORD milliseconds);

    VyxScriptFunction();
    ~VyxScriptFunction() override;
    VyxScriptFunction(const VyxScriptFunction&) = delete;
    // As VyxPostfix: the local variables only.
    VyxScriptFunction& operator=(const VyxPostfix& other) override;
    // {command:[...], vars:{...}, }
    const wchar_t* ToString() override;

    // Takes over the other's links and statements (shared by holder count) and copies its variables.
    virtual void CopyFrom(const VyxScriptFunction& other);
    // The next-file request; true when the host gave a picture.
    virtual bool CmdNextFile();

    // Parses lines from the text's read position into statements: 1 when it stopped at FEND, 0 at
    // the end of the text. Raises the library exception for a malformed statement.
    int ParseText(VyxText& text);
    // One statement from one complete statement text; null for an empty text.
    VyxScriptCommand* ParseFunction(const wchar_t* text);
    // Runs the statement at the statement index; blocks leave the index on their last statement.
    // The result is one slot shared by all functions.
    const VyxVariant& ExecStatement();
    // Runs the statements from the first until the last or the stop flag; the result of the last
    // statement run at the top level (one shared slot).
    const VyxVariant& RunFunction();
    // Links the statement to this function and appends it; the list owns it.
    void AddStatement(VyxScriptCommand* statement);
    // Empties the function map, the statements and the local variables.
    void Clear();

    // The text evaluated by this function's calculator, compiled once per distinct text.
    const VyxVariant& Evaluate(const wchar_t* text);

    void SetLinks(VyxDrawContext* context, VyxScriptCommandPtrArray* registry, VyxScriptFunctionMap* functions);
    VyxDrawContext* GetDrawContext() const { return m_context; }
    VyxScriptCommandPtrArray* GetRegistry() const { return m_registry; }
    VyxScriptFunctionMap* GetFunctionMap() const { return m_functions; }
    VyxScriptCommandPtrArray& GetStatements() { return m_statements; }
    int GetStatementIndex() const { return m_index; }
    VyxScriptCommand* GetCurrentStatement() const { return m_current; }

protected:
    // "#" turns RRGGBB into the platform colour value 0x00BBGGRR.
    int CalcOperator(const wchar_t* op) override;
    // A function of the function map first, else the built-ins.
    const VyxVariant& OperateFunction(const VyxVariant& name, VyxVariantArray& arguments) override;

private:
    class NestingDepth;
    class RunScope;
    // Counts one statement against the run's budget.
    static void CountStatement();

    // Empties the statement list; shared statements no longer point at this function.
    void DropStatements();
    // 1 stopped at FEND, 0 the parse ends, -1 go on.
    int TakeStatement(const CString& text, VyxText& source);
    void ExecWhile(VyxScriptCommand* statement);
    void ExecIf(VyxScriptCommand* statement);
    // The index of the end of the IF or WHILE block opening at index (nested blocks counted).
    int FindBlockEnd(int index) const;
    bool IsStopped() const;

    VyxDrawContext* m_context = nullptr;
    VyxScriptCommandPtrArray* m_registry = nullptr;
    VyxScriptFunctionMap* m_functions = nullptr;
    VyxScriptCommandPtrArray m_statements;
    int m_index = 0;
    VyxScriptCommand* m_current = nullptr;
    CString m_dump;
    std::unordered_map<std::wstring, std::shared_ptr<const VyxPostfixList>> m_compiled;
};

// Named functions in insertion order, looked up case-sensitively. Each function lives in a block
// of its own, so adding a function never moves one that is being parsed or run.
class VyxScriptFunctionMap : public VyxMapT<CString, const wchar_t*, VyxScriptFunction*, VyxScriptFunction*>
{
public:
    typedef VyxMapT<CString, const wchar_t*, VyxScriptFunction*, VyxScriptFunction*> Base;

    VyxScriptFunctionMap() = default;
    // Copies are new functions that share the statements (CopyFrom).
    VyxScriptFunctionMap(const VyxScriptFunctionMap& other);
    VyxScriptFunctionMap& operator=(const VyxScriptFunctionMap& other);
    ~VyxScriptFunctionMap() override;

    int CompareKeys(const wchar_t* key, const CString& entryKey) const override;
    // {key:"f", value:{command:[...], vars:{...}, }, key:"g", value:...}
    const wchar_t* ToText() override;

    // The function of that name, or null.
    VyxScriptFunction* Lookup(const wchar_t* name) const;
    // The function of that name, appended as a new function when the name is new.
    VyxScriptFunction* Take(const wchar_t* name);
    // Deletes every function; the count becomes 0.
    void RemoveAll();

private:
    CString m_dump;
};
