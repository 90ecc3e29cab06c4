// The foundation library's one exception. Raised on the heap, thrown as a pointer, deleted by
// whoever catches it; raising it leaves an ERROR line in the dated log first.
#pragma once

#include "foundation/VyxFormatArg.h"

#include <cstdarg>

class VyxGlobalErrorException;

[[noreturn]] void ThrowGlobalErrorV(VyxGlobalErrorException* exception, int code, const wchar_t* format, va_list args);

class VyxGlobalErrorException
{
public:
    // file: the raising source's name ("VyxMemory"); function: the function text of the site.
    VyxGlobalErrorException(const char* file, int line, const char* function);
    virtual ~VyxGlobalErrorException();

    // Allocates without throwing; null when memory is exhausted, which ThrowGlobalError accepts.
    static VyxGlobalErrorException* Create(const char* file, int line, const char* function);
    static void operator delete(void* p);

    const CString& GetFile() const { return m_file; }
    long GetLine() const { return m_line; }
    const CString& GetFunction() const { return m_function; }
    const CString& GetLocation() const { return m_location; }
    int GetCode() const { return m_code; }
    const CString& GetErrorMessage() const { return m_message; }

private:
    VyxGlobalErrorException();
    friend void ThrowGlobalErrorV(VyxGlobalErrorException*, int, const wchar_t*, va_list);

    CString m_file;
    long m_line = 0;
    CString m_function;
    CString m_location; // "%s(%ld) %s()": file name part, line, function
    int m_code = 0;
    CString m_message;
};

[[noreturn]] void ThrowGlobalErrorArgs(VyxGlobalErrorException* exception, int code, const wchar_t* format, ...);

// Formats the message (null format: empty), stores code and message, logs "errcode %d: %s" at
// ERROR and throws the pointer. A null exception throws a reserved instance instead.
template <class... Args>
[[noreturn]] void ThrowGlobalError(VyxGlobalErrorException* exception, int code, const wchar_t* format,
                                   const Args&... args)
{
    ThrowGlobalErrorArgs(exception, code, format, VyxFormatArg(args)...);
}

// The level is accepted for the script engines' call sites; the line is logged at ERROR always.
template <class... Args>
[[noreturn]] void ThrowGlobalErrorAtLevel(VyxGlobalErrorException* exception, int /*level*/, int code,
                                          const wchar_t* format, const Args&... args)
{
    ThrowGlobalErrorArgs(exception, code, format, VyxFormatArg(args)...);
}
