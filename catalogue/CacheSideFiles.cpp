#include "catalogue/CacheSideFiles.h"

#include "catalogue/ListedSideFiles.h"

bool IsCacheSideFileName(const wchar_t* name)
{
    return ListedSideFiles::KindOf(name) != 0;
}
