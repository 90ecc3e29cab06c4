// Helpers shared by the framework tests: readable failure output for the framework's strings and
// exceptions (scratch folders in its strings: FrameworkScratchFolder.h).
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "common/FrameworkScratchFolder.h"
#include "framework/Framework.h"

inline void PrintTo(const CStringW& s, std::ostream* os)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), &utf8[0], n, nullptr, nullptr);
    *os << "L\"" << utf8 << "\"";
}

inline void PrintTo(const CStringA& s, std::ostream* os)
{
    *os << "\"" << s.GetString() << "\"";
}

// Runs f; true when it throws a framework exception of class E (released here).
template <class E, class F> bool ThrowsFrameworkException(F&& f)
{
    try {
        f();
    } catch (CException* e) {
        bool matches = dynamic_cast<E*>(e) != nullptr;
        e->Delete();
        return matches;
    }
    return false;
}
