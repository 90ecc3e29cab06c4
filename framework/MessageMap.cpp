#include "framework/MessageMap.h"

namespace {

const AFX_MSGMAP* BaseMap(const AFX_MSGMAP* map)
{
    return map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr;
}

} // namespace

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message)
{
    // Registered messages (0xC000..0xFFFF) are matched through the variable holding their number.
    const bool registered = message >= 0xC000 && message <= 0xFFFF;
    for (; map; map = BaseMap(map)) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (registered) {
                if (entry->nMessage == 0xC000 && *reinterpret_cast<const UINT*>(entry->nSig) == message)
                    return entry;
            } else if (entry->nMessage == message && entry->nCode == 0 && entry->nID == 0) {
                return entry;
            }
        }
    }
    return nullptr;
}

const AFX_MSGMAP_ENTRY* AfxFindCommandEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode, UINT nID)
{
    for (; map; map = BaseMap(map)) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage == nMessage && entry->nCode == nCode && nID >= entry->nID && nID <= entry->nLastID)
                return entry;
        }
    }
    return nullptr;
}
