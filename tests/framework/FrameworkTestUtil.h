// Helpers shared by the framework tests: readable failure output and scratch folders.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

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

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const CString& Path() const { return m_path; }
    // The folder joined with a relative name.
    CString operator/(LPCWSTR name) const { return m_path + L"\\" + name; }
    // Writes bytes to a file in the folder; returns its path.
    CString WriteFile(LPCWSTR name, const std::string& bytes) const;
    static std::string ReadFile(LPCWSTR path);

private:
    CString m_path;
};
