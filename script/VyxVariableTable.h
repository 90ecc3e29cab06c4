// VyxVariableTable: the HTML catalog's variables and text lines. Variables are set from numbers
// and texts, or by an assignment line ("#X=#Y*2") whose value is evaluated by the calculator.
#pragma once

#include "script/VyxVariantMap.h"

class VyxVariableTable
{
public:
    VyxVariableTable();
    ~VyxVariableTable();

    // Each stores the value (String, Int, Double) under the name; 0.
    int SetAt(const wchar_t* name, const wchar_t* text);
    int SetAt(const wchar_t* name, int value);
    int SetAt(const wchar_t* name, double value);
    // "name = value": a quoted value is stored as a String; otherwise its first token is evaluated
    // and stored as a Double, or as an Int when the name begins with "&". 0 when stored, 1 when
    // the line holds no "=". Expression errors propagate as the calculator raises them.
    int Let(const wchar_t* line);
    // The text unchanged, as a new string.
    CString CopyText(const wchar_t* text) const;

    // Appends a non-empty text to the lines.
    void AddLine(const wchar_t* text);
    // A copy of the line; empty outside 0..count - 1.
    CString GetLine(int index) const;
    int GetLineCount() const { return static_cast<int>(m_lines.GetSize()); }
    // Appends the file's lines as read, except blank ones and ";" or "//" comments; 0.
    int LoadFile(const wchar_t* path);
    // The text of the variable's value; null when there is no such variable.
    const wchar_t* GetText(const wchar_t* name) const;
    // A fresh calculator's result for the text, as a double.
    double Evaluate(const wchar_t* expression) const;
    // Every token (cut at "(", "+", "-", "*", "/", ")" and blank) that names a variable becomes the
    // text of its value.
    CString ReplaceNames(const wchar_t* text) const;

    VyxVariantMap& GetVariables() { return m_variables; }

private:
    CStringArray m_lines;
    VyxVariantMap m_variables;
};
