// One field of a delimited text: separator text, double or single quotes, backslash escapes.
// The reader of every "%d,%d"-style value.
#pragma once

#include "framework/Framework.h"

class VyxVariant;

class VyxFieldParser
{
public:
    enum {
        KeepQuotes = 1,       // the quote characters stay in the field
        DecodeEscapes = 2,    // "\t", "\r", "\n", "\\", "\"", "\'" become the characters
        KeepAroundQuotes = 4, // text before an opening and after a closing quote stays
    };

    explicit VyxFieldParser(unsigned flags = 0) : m_flags(flags) {}

    // The field's length (output, when given, terminated; it must hold the text's length + 1),
    // -1 for an unterminated quote, -2 when the text has fewer fields.
    int GetField(wchar_t* output, const wchar_t* text, int fieldIndex, const wchar_t* separator);
    int GetFieldByChar(wchar_t* output, const wchar_t* text, int fieldIndex, wchar_t separator);

    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    // Where the last scan stopped (the separator that ended the field, or the terminator).
    unsigned GetPosition() const { return m_position; }

private:
    void Append(wchar_t ch);
    bool SeparatorAt(unsigned position) const;
    void EscapeStep();
    int QuoteStep(wchar_t quote);

    const wchar_t* m_text = nullptr;
    unsigned m_position = 0;
    wchar_t* m_output = nullptr;
    unsigned m_outputLength = 0;
    CString m_separator;
    unsigned m_flags = 0;
};

// GetField's result; the field into out (empty on failure).
int GetFieldString(CString* out, const wchar_t* text, int fieldIndex, wchar_t separator);
CString GetFieldString(const wchar_t* text, int fieldIndex, wchar_t separator);
// buffer must hold the text's length + 1 characters.
int GetFieldString(wchar_t* buffer, const wchar_t* text, int fieldIndex, wchar_t separator);
// A field that is a decimal number (VyxRegExp::IsNumber) is assigned to out from its text;
// otherwise out stays empty. Returns the length of out's text (0 when not a number).
int GetFieldVariant(VyxVariant* out, const wchar_t* text, int fieldIndex, wchar_t separator);
// The number's form into out (0 when missing or not a number); GetFieldVariant's result.
int GetFieldInt(int* out, const wchar_t* text, int fieldIndex, wchar_t separator);
int GetFieldInt64(long long* out, const wchar_t* text, int fieldIndex, wchar_t separator);
int GetFieldDouble(double* out, const wchar_t* text, int fieldIndex, wchar_t separator);
// Offset of the end of the fields that hold as many of character as there are fields; else 0.
int FindFieldEnd(const wchar_t* text, wchar_t character, const wchar_t* separator);
// Past leading blanks and tabs.
const wchar_t* SkipBlanks(const wchar_t* text);
