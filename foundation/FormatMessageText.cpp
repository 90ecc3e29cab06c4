#include "foundation/FormatMessageText.h"

CString FormatMessageTextArray(DWORD messageId, const LPCWSTR* inserts, int count)
{
    // Every insert a message can name gets a text, so a message never reads past the arguments.
    DWORD_PTR arguments[99];
    for (int i = 0; i < 99; ++i)
        arguments[i] = reinterpret_cast<DWORD_PTR>(i < count && inserts[i] ? inserts[i] : L"");
    wchar_t buffer[1024];
    DWORD n =
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, AfxGetResourceHandle(), messageId,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 1024, reinterpret_cast<va_list*>(arguments));
    return n > 0 ? CString(buffer, static_cast<int>(n)) : CString();
}
