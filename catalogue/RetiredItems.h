// File items a listing let go, and the thumbnail caches of its folders, deleted a slice at a time
// in the program's idle time rather than all at once while the user waits for the next folder or
// for the window to close: under this platform deleting 200,000 items, or the 200,000 records of
// a folder's cache, takes a tenth of a second each. An item holding pictures, or one a
// stepped load is reading, is deleted at once, so that the picture budget and the load never meet
// a retired item. User-interface thread only.
#pragma once

#include <cstddef>
#include <vector>

class VyxCacheFolder;
class VyxFile;

class RetiredItems
{
public:
    // Items per slice: a few milliseconds of deleting.
    static constexpr int Slice = 10000;

    // The items are this store's to delete (null entries are skipped).
    static void Take(const std::vector<VyxFile*>& items);
    // The folder (its records, then itself) is this store's to delete.
    static void TakeCacheFolder(VyxCacheFolder* folder);
    // Deletes up to count items or cache records, the latest taken first; true while some are
    // left.
    static bool DeleteSome(int count = Slice);
    static void DeleteAll();
    // At the end of the process: what is left is let go undeleted, for the process's end frees
    // it at once (the items hold no picture, the folders' files are closed).
    static void Abandon();
    static size_t GetCount();
    static size_t GetCacheFolderCount();
};
