// The process's current directory moved for a while (or only kept) and given back on every way out.
#pragma once

#include "framework/Framework.h"

class CurrentDirectoryScope
{
public:
    // A null folder leaves the current directory where it is until the way out.
    explicit CurrentDirectoryScope(const wchar_t* folder = nullptr);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

    // The directory that was current; empty when it could not be read (nothing is given back then).
    const CString& Previous() const { return m_previous; }
    // The current directory stays where it is on the way out.
    void Keep() { m_previous.Empty(); }

    // Moves to folder (when not null) and answers the directory that was current, empty when it
    // could not be read.
    static CString Swap(const wchar_t* folder);

private:
    CString m_previous;
};
