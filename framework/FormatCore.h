// The one printf-style formatter of the program. It reads the Microsoft conventions the callers
// are written in and produces the same text on every build:
// - in wide formats %s/%c take wide text and %S/%C narrow text (the other way round in narrow
//   formats); h forces narrow, l and w force wide; narrow text converts through the ANSI code page;
// - a precision counts output characters, and for narrow arguments also bounds the bytes read;
// - %I64d/%I64u/%I64x, %lld, %I32d, %Id, %zu, %hd and %hhd select the argument size as usual;
// - floating point prints two-digit exponents ("1e+20"); %p prints eight upper-case hex digits;
// - a null string prints "(null)"; %n is ignored (its pointer is consumed, nothing is written);
// - an unknown conversion is copied to the output as it stands.
#pragma once

#include "framework/FrameworkBase.h"

void AFXAPI AfxAppendFormatV(std::wstring& out, const wchar_t* format, va_list args);
void AFXAPI AfxAppendFormatV(std::string& out, const char* format, va_list args);
