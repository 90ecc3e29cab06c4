// COM initialised on the calling thread for the lifetime of the object (and uninitialised
// afterwards when the initialisation succeeded), around calls to the shell and media interfaces.
#pragma once

#include <objbase.h>

class ComScope
{
public:
    ComScope() : m_ok(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (m_ok)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_ok;
};
