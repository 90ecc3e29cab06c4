#include "catalogue/CacheSideFiles.h"

#include <windows.h>

bool IsCacheSideFileName(const wchar_t* name)
{
    if (!name)
        return false;
    return lstrcmpiW(name, L"_THUMBS_.KWI") == 0 || lstrcmpiW(name, L"_NOTE_.KWI") == 0 ||
           lstrcmpiW(name, L"_CONFIG_.KWI") == 0;
}
