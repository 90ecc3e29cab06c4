// The process-wide thumbnail and note cache: the cache folders in memory and the index the items
// use.
#pragma once

#include "framework/Framework.h"

class VyxFilexDraw;

class VyxCacheList : public CPtrList
{
public:
    VyxCacheList();
    ~VyxCacheList() override;

    // Deletes the item's record when its cache folder is in memory.
    void RemoveFromCache(VyxFilexDraw* item);
    // 1 when the last folder reached was written or needed no writing, 0 otherwise.
    int Flush();
};

extern VyxCacheList theCacheList;
