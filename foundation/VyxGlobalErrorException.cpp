#include "foundation/VyxGlobalErrorException.h"

#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"

namespace {

// The instance thrown when the raising site could not allocate its own (see operator delete).
alignas(VyxGlobalErrorException) unsigned char s_reserve[sizeof(VyxGlobalErrorException)];

} // namespace

VyxGlobalErrorException::VyxGlobalErrorException(const char* file, int line, const char* function)
    : m_file(file ? file : ""), m_line(line), m_function(function ? function : "")
{
    CString name;
    GetPathPart(name, m_file, PartName);
    m_location.Format(L"%s(%ld) %s()", name, m_line, m_function);
}

VyxGlobalErrorException::VyxGlobalErrorException() = default;

VyxGlobalErrorException::~VyxGlobalErrorException() = default;

VyxGlobalErrorException* VyxGlobalErrorException::Create(const char* file, int line, const char* function)
{
    try {
        return new (std::nothrow) VyxGlobalErrorException(file, line, function);
    } catch (...) {
        return nullptr;
    }
}

// Catchers delete what they catch; the reserve instance lives in static storage and is only destroyed.
void VyxGlobalErrorException::operator delete(void* p)
{
    if (p != s_reserve)
        ::operator delete(p);
}

void ThrowGlobalErrorV(VyxGlobalErrorException* exception, int code, const wchar_t* format, va_list args)
{
    if (!exception)
        exception = new (s_reserve) VyxGlobalErrorException();
    exception->m_code = code;
    try {
        exception->m_message.Empty();
        if (format)
            exception->m_message.FormatV(format, args);
    } catch (...) {
        // Out of memory while formatting: the code alone still reaches the catcher.
    }
    try {
        LogSourceRecord source(static_cast<const wchar_t*>(exception->m_file), exception->m_line,
                               static_cast<const wchar_t*>(exception->m_function));
        LogWrite(source, LogLevelError, L"errcode %d: %s", code, exception->m_message);
    } catch (...) {
        // The log never stops a raise.
    }
    throw exception;
}

void ThrowGlobalErrorArgs(VyxGlobalErrorException* exception, int code, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    ThrowGlobalErrorV(exception, code, format, args);
}
