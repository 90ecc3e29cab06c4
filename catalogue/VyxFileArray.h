// The document's items of the current location: kept in the order they were added (storage
// order) with the order the views show them beside it, running selection counts, and the last
// lookup remembered for views that ask for the same position again and again. Every position
// outside the storage-level calls is a view position.
#pragma once

#include "framework/Framework.h"

class VyxFile;

class VyxFileArray
{
public:
    VyxFileArray();
    // Deletes every item.
    ~VyxFileArray();

    // Appends to the storage and to the view order; returns the storage index.
    int Add(VyxFile* item);
    // Null out of range or for an emptied slot.
    VyxFile* GetAt(int position);
    VyxFile* GetItem(int index) const;
    int GetCount() const { return static_cast<int>(m_order.GetSize()); }
    int GetItemCount() const { return static_cast<int>(m_items.GetSize()); }
    // -1 out of range.
    int GetOrderEntry(int position) const;
    // Grows the view order when needed.
    void SetOrderEntry(int position, int index);

    // Walks from start to the end, then from 0; path and archive path compared without case.
    VyxFile* Find(const wchar_t* path, const wchar_t* archivePath, int start);
    VyxFile* FindItem(const VyxFile* item, int start);
    // The view position of the item, -1 when it is not listed.
    int IndexOf(const VyxFile* item, int start);

    int GetSelectedCount(bool recount);
    // Selected items that are not archive members (folders count).
    int GetSelectedOutsideArchivesCount(bool recount);
    // 1 when the state changed.
    int SetSelected(int position, bool select);
    void SetFlagsAll(DWORD mask);

    // 1 when a view entry was removed.
    int RemoveAt(int position);
    // Removes the items marked for removal, then compacts the storage: the view order becomes
    // the storage order.
    void RemoveMarked();
    void RemoveAll(bool deleteItems);
    void ResetCantDrawAll();
    void ResetImageAll();

private:
    VyxFileArray(const VyxFileArray&) = delete;
    VyxFileArray& operator=(const VyxFileArray&) = delete;

    VyxFile* Slot(DWORD index) const;
    void RemoveItem(int position);
    void ForgetLookup();

    CObArray m_items;
    CDWordArray m_order;
    int m_selectedCount;
    int m_selectedOutsideArchives;
    VyxFile* m_lastItem;
    int m_lastPosition;
    int m_emptiedSlots;
};
