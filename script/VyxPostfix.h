// VyxPostfix: compiles one line of infix expression text into a postfix list and evaluates it on a
// value stack. Names are variables: the evaluator's own table first, then theSharedVariables.
// The values handed back by GetVariable, ResolveValue, FormulaCalc, Calc and the Operate* hooks
// live in one static slot per operation: copy them before the same operation runs again.
#pragma once

#include "script/VyxVariantArray.h"
#include "script/VyxVariantMap.h"

#include <memory>
#include <vector>

// The calculator's own error codes; they reach callers as VyxGlobalErrorException with the code.
enum enumPostFix {
    ePostFixTooDeep = -1,         // a call or index would open depth 32
    ePostFixSyntax = -3,          // compiling made no progress; a close without an open; a built-in without arguments
    ePostFixUnknownFunction = -4, // no function of that name
};

// A compiled expression: operands are values, operators are marked beside them, so no operand
// text can pass for an operator.
class VyxPostfixList
{
public:
    void Clear();
    void AddOperand(const VyxVariant& value);
    void AddOperator(const wchar_t* op);

    int GetCount() const { return m_items.GetCount(); }
    bool IsOperator(int index) const { return m_operators[index] != 0; }
    // The operand, or the operator's text as a String value.
    const VyxVariant& GetAt(int index) const { return m_items.GetAt(index); }
    // ["a", 1, "+"]: every element in its display form, operators as quoted texts.
    const wchar_t* ToText() { return m_items.ToText(); }

private:
    VyxVariantArray m_items;
    std::vector<unsigned char> m_operators;
};

class VyxPostfix
{
public:
    enum { MaxDepth = 32 }; // calls and indexes nest at most MaxDepth - 1 deep
    // Longer expression texts (and script statements) are refused as syntax errors: no sensible
    // script comes near, and a text's evaluation can take time growing with its square.
    enum { MaxFormulaLength = 16384 };

    VyxPostfix();
    explicit VyxPostfix(const wchar_t* infix);
    // Like assignment, a copy takes only the local variables.
    VyxPostfix(const VyxPostfix& other);
    virtual ~VyxPostfix();
    // Copies the entries of the other's local variables; text, lists and stacks stay as they are.
    virtual VyxPostfix& operator=(const VyxPostfix& other);
    // {Infix:"a+1", Postfix:["a", 1, "+"]}
    virtual const wchar_t* ToString();

    void SetFormula(const wchar_t* text);
    const wchar_t* GetFormula() const { return m_infix; }
    // Raises -3 (ePostFixSyntax) when the text cannot be read; the list is then empty.
    void FormulaPostfix();
    // Each evaluation starts with empty stacks and depth 0; an evaluation started while another
    // one of this object is running (a function calling back into its calculator) runs on its
    // own stacks and on the list it started with, and leaves the outer one undisturbed.
    const VyxVariant& FormulaCalc();
    const VyxVariant& Calc(const wchar_t* text);
    // Compiles the text into a list that later compiles leave alone (raises as FormulaPostfix),
    // so that a caller can evaluate it again and again without compiling.
    std::shared_ptr<const VyxPostfixList> Compile(const wchar_t* text);
    // Evaluates a list compiled by this calculator, as FormulaCalc evaluates the current one.
    const VyxVariant& FormulaCalc(const std::shared_ptr<const VyxPostfixList>& program);

    // Assignments write here only, never to the shared variables.
    void SetLocalVariable(const wchar_t* name, const VyxVariant& value);
    // The local variable of that name, else the shared one, else the empty value.
    virtual const VyxVariant& GetVariable(const wchar_t* name);
    // A String naming a variable that has a (non-empty) value gives that value; anything else itself.
    const VyxVariant& ResolveValue(const VyxVariant& value);

    VyxVariantMap& GetLocalVariables() { return m_locals; }
    VyxVariantMap* GetSharedVariables() const { return m_shared; }
    const VyxPostfixList& GetPostfixList() const { return *m_postfix; }

protected:
    // Every character read from the infix text passes through here.
    virtual wchar_t FilterChar(wchar_t ch);
    // Applies one operator (its text) to the value stack of the evaluation in progress; returns 1.
    virtual int CalcOperator(const wchar_t* op);
    // "length" (any case) gives the length of the object's text; any other member the object.
    virtual const VyxVariant& OperateMember(const VyxVariant& object, const VyxVariant& member);
    // The built-ins @abs, @round, @left and @logger.
    virtual const VyxVariant& OperateFunction(const VyxVariant& name, VyxVariantArray& arguments);
    // The variable name base[i,j].
    virtual const VyxVariant& OperateIndex(const VyxVariant& base, VyxVariantArray& indices);

    // Raises code as the library exception of an evaluation (location VyxPostfix::FormulaCalc,
    // the value stack's text as message).
    [[noreturn]] void RaiseEvaluationError(int code);
    // The value stack of the evaluation in progress.
    VyxVariantStack& GetValueStack() { return CurrentEvaluation().values; }
    // Pops the top value and resolves it.
    VyxVariant PopResolved();

private:
    // The state of one running evaluation.
    struct Evaluation
    {
        void Reset();

        VyxVariantStack values;
        VyxVariantStack arguments; // evaluated arguments of every open call
        int depth = 0;
        int argumentCounts[MaxDepth] = {};
        int stackMarks[MaxDepth] = {};     // value count when the call or index was opened
        int argumentStarts[MaxDepth] = {}; // argument count when the call or index was opened
    };
    class EvaluationScope;

    Evaluation& CurrentEvaluation() { return m_evaluation ? *m_evaluation : m_topEvaluation; }
    void OpenCall();
    void CloseCall(bool isIndex);

    // The descent; each level takes the current, consumed character and returns the first one it
    // did not use (0 at the end).
    wchar_t NextChar();
    wchar_t NextNonBlank();
    wchar_t PeekChar();
    wchar_t ParseList(wchar_t c);
    // Assignment down to multiplication (level 0 to 9), each with the next stronger level as operand.
    wchar_t ParseBinary(int level, wchar_t c);
    wchar_t ParseUnary(wchar_t c);
    wchar_t ParsePostfix(wchar_t c);
    wchar_t ParsePrimary(wchar_t c);
    wchar_t ParseToken(wchar_t c);
    wchar_t ParseStringLiteral();
    // The list level over and over until close or the end; -3 when it stops making progress.
    wchar_t ParseListUntil(wchar_t c, wchar_t close);
    wchar_t ParseListChecked(wchar_t c);
    // A postfix-level operand after the next blanks, then the prefix operator.
    wchar_t ParsePrefixOperand(const wchar_t* op);
    [[noreturn]] void RaiseSyntaxError();

    VyxVariantMap* m_shared;
    int m_position = 0;
    CString m_infix;
    // Shared so that an evaluation keeps the list it started with when a nested compile replaces it.
    std::shared_ptr<VyxPostfixList> m_postfix;
    VyxVariantMap m_locals;
    int m_nesting = 0;  // open groups, calls and indexes while compiling
    int m_operand = -1; // 1 right after a name, number, literal or a closed group, call or index
    Evaluation m_topEvaluation;
    Evaluation* m_evaluation = nullptr; // the evaluation in progress, null when none runs
    CString m_dump;
};
