// The named regular-expression groups: an ini file "RegExpGroup" beside the program (not the
// settings file), one section per group whose entries, keyed "000", "001", ..., hold the group's
// expressions in order.
#pragma once

#include "foundation/VyxIni.h"

class RegExpGroupFile
{
public:
    RegExpGroupFile() : m_ini(L"RegExpGroup") {}

    // Another file (a bare name goes beside the program).
    void SetPath(const wchar_t* path) { m_ini.SetPath(path); }
    const CString& GetPath() const { return m_ini.GetPath(); }

    // In file order; none when the file is missing.
    void GetGroupNames(CStringArray& names) const;
    // The text after the first "=" of each entry line (the whole line when it has none), in file
    // order; key names are not read.
    void ReadGroup(const wchar_t* name, CStringArray& patterns) const;
    // The section rewritten with consecutive keys; an empty list removes it.
    bool WriteGroup(const wchar_t* name, const CStringArray& patterns) const;
    bool DeleteGroup(const wchar_t* name) const;

private:
    VyxIni m_ini;
};
