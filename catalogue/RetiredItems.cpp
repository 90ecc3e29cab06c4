#include "catalogue/RetiredItems.h"

#include "catalogue/SteppedPictureLoad.h"
#include "catalogue/VyxFile.h"

namespace {

// Never destroyed: its items are deleted by DeleteAll while the program's objects still stand,
// never by the end of the process.
std::vector<VyxFile*>& Store()
{
    static auto* store = new std::vector<VyxFile*>;
    return *store;
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

bool RetiredItems::DeleteSome(int count)
{
    std::vector<VyxFile*>& store = Store();
    for (; count > 0 && !store.empty(); --count) {
        delete store.back();
        store.pop_back();
    }
    if (store.empty())
        store.shrink_to_fit();
    return !store.empty();
}

void RetiredItems::DeleteAll()
{
    while (DeleteSome()) {
    }
}

size_t RetiredItems::GetCount()
{
    return Store().size();
}
