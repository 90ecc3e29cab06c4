#include "catalogue/VyxCacheList.h"

VyxCacheList theCacheList;

VyxCacheList::VyxCacheList() {}

VyxCacheList::~VyxCacheList() {}

// The cache folders in memory arrive with the thumbnail cache; until then no item has a record.
void VyxCacheList::RemoveFromCache(VyxFilexDraw*) {}

int VyxCacheList::Flush()
{
    return 0;
}
