// Windows headers and the small vocabulary (macros, POSITION, exception helpers' declarations)
// that every class of the framework layer shares.
#pragma once

// std::min/std::max stay usable everywhere the framework is included.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <ole2.h>
#include <oleauto.h>

// A Win16 leftover that would rename the framework's GetCurrentTime members.
#undef GetCurrentTime

#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
#ifndef AFX_CDECL
#define AFX_CDECL __cdecl
#endif
#ifndef afx_msg
#define afx_msg
#endif
#ifndef AFX_STATIC
#define AFX_STATIC static
#endif

// Diagnostics: checks are compiled in debug builds only, as the framework documents.
void AFXAPI AfxAssertFailedLine(const char* file, int line);
#ifdef _DEBUG
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#endif
#define ASSERT_VALID(p) ((void)0)
#define ASSERT_POINTER(p, type) ASSERT((p) != nullptr)
#define ASSERT_NULL_OR_POINTER(p, type) ((void)0)
#define TRACE(...) ((void)0)
#define TRACE0(s) ((void)0)
#define TRACE1(s, a) ((void)0)
#define TRACE2(s, a, b) ((void)0)
#define TRACE3(s, a, b, c) ((void)0)
#define DEBUG_NEW new
#define UNUSED(x) (void)(x)
#define UNUSED_ALWAYS(x) (void)(x)

// The framework documents GetSafeHandle/GetSafeHdc/GetSafeHwnd as callable through a null object
// pointer. Inside a member the compiler takes `this` to be set and would drop the test; the empty
// asm makes the pointer opaque so the test stays.
template <class T> inline bool AfxIsNullObject(const T* p)
{
    asm("" : "+r"(p));
    return p == nullptr;
}

// Iteration position of the collections.
struct __POSITION
{
};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

// The module (executable or DLL) the framework is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;
