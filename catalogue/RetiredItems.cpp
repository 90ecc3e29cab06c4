#include "catalogue/RetiredItems.h"

#include "catalogue/SteppedPictureLoad.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxFile.h"

namespace {

// Never destroyed: its items are deleted by DeleteAll while the program's objects still stand,
// or let go undeleted at its end (Abandon), never deleted by the end of the process.
std::vector<VyxFile*>& Store()
{
    static auto* store = new std::vector<VyxFile*>;
    return *store;
}

std::vector<VyxCacheFolder*>& Folders()
{
    static auto* folders = new std::vector<VyxCacheFolder*>;
    return *folders;
}

} // namespace

void RetiredItems::Take(const std::vector<VyxFile*>& items)
{
    std::vector<VyxFile*>& store = Store();
    store.reserve(store.size() + items.size());
    for (VyxFile* item : items) {
        if (!item)
            continue;
        if (item->GetThumbnail() || item->GetPicture() || SteppedPictureLoad::IsPendingFor(*item))
            delete item;
        else
            store.push_back(item);
    }
}

void RetiredItems::TakeCacheFolder(VyxCacheFolder* folder)
{
    if (!folder)
        return;
    folder->LetGo();
    Folders().push_back(folder);
}

bool RetiredItems::DeleteSome(int count)
{
    std::vector<VyxCacheFolder*>& folders = Folders();
    while (count > 0 && !folders.empty()) {
        VyxCacheFolder* folder = folders.back();
        const INT_PTR records = folder->GetCount();
        if (folder->DeleteSomeRecords(count)) {
            count = 0;
            break;
        }
        count -= static_cast<int>(records) + 1;
        delete folder;
        folders.pop_back();
    }
    std::vector<VyxFile*>& store = Store();
    for (; count > 0 && !store.empty(); --count) {
        delete store.back();
        store.pop_back();
    }
    if (store.empty())
        store.shrink_to_fit();
    return !store.empty() || !folders.empty();
}

void RetiredItems::DeleteAll()
{
    while (DeleteSome()) {
    }
}

void RetiredItems::Abandon()
{
    // Nothing of them is used again, and deleting 200,000 would hold the end of the process.
    Store().clear();
    Store().shrink_to_fit();
    Folders().clear();
}

size_t RetiredItems::GetCount()
{
    return Store().size();
}

size_t RetiredItems::GetCacheFolderCount()
{
    return Folders().size();
}
