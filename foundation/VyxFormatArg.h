// How an argument of the foundation's printf-style functions reaches the shared formatting core:
// the project's strings as their text, numbers, characters and pointers as they are.
#pragma once

#include "framework/Framework.h"

#include <type_traits>

class VyxString;

template <class T> const T& VyxFormatArg(const T& value)
{
    static_assert(!std::is_class<T>::value || std::is_empty<T>::value,
                  "format arguments are numbers, characters, pointers, CString or VyxString");
    return value;
}
inline const wchar_t* VyxFormatArg(const CString& text)
{
    return text.GetString();
}
inline const char* VyxFormatArg(const CStringA& text)
{
    return text.GetString();
}
const wchar_t* VyxFormatArg(const VyxString& text);
