// The document's items of the current location: kept in the order they were added (storage
// order) with the order the views show them beside it, running selection counts, and the last
// lookup remembered for views that ask for the same position again and again. Every position
// outside the storage-level calls is a view position.
#pragma once

#include "framework/Framework.h"

class VyxFile;

// Which selected items a walk over the view order visits.
enum class SelectedFilter
{
    Any,
    // Not an archive member (folders count).
    OnDisk,
    // On disk and its name is there now, spelled as listed (another name differing from it only
    // in letter case stands for another file).
    Existing,
    // On disk but its name is gone.
    Missing,
};

// One visited item: converts to the item, and keeps its view position for those who need it.
struct SelectedEntry
{
    int position;
    VyxFile* item;
    operator VyxFile*() const { return item; }
    VyxFile* operator->() const { return item; }
};

class VyxFileArray
{
public:
    // The selected items that pass a filter, in view order. Each step reads the array as it is
    // then, so a walk's body may change the selection or remove items behind the current one.
    class SelectedRange
    {
    public:
        class Iterator
        {
        public:
            Iterator(VyxFileArray* array, SelectedFilter filter, int position);
            SelectedEntry operator*() const { return {m_position, m_item}; }
            Iterator& operator++();
            bool operator!=(const Iterator& other) const { return m_item != other.m_item; }

        private:
            void Settle();

            VyxFileArray* m_array;
            SelectedFilter m_filter;
            int m_position;
            VyxFile* m_item;
        };

        SelectedRange(VyxFileArray* array, SelectedFilter filter, int start)
            : m_array(array), m_filter(filter), m_start(start) {}
        Iterator begin() const { return Iterator(m_array, m_filter, m_start); }
        Iterator end() const { return Iterator(nullptr, m_filter, 0); }

    private:
        VyxFileArray* m_array;
        SelectedFilter m_filter;
        int m_start;
    };

    // False for null.
    static bool IsSelected(const VyxFile* item, SelectedFilter filter);


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

    // Walks from start to the end, then from 0; path and archive path compared without case, an
    // item spelled exactly so taken first (two names differing only in case are two files).
    // exactCase: only such an item.
    VyxFile* Find(const wchar_t* path, const wchar_t* archivePath, int start, bool exactCase = false);
    VyxFile* FindItem(const VyxFile* item, int start);
    // The view position of the item, -1 when it is not listed.
    int IndexOf(const VyxFile* item, int start);

    int GetSelectedCount(bool recount);
    // Selected items that are not archive members (folders count).
    int GetSelectedOutsideArchivesCount(bool recount);
    // 1 when the state changed.
    int SetSelected(int position, bool select);
    void SetFlagsAll(DWORD mask);
    SelectedRange Selected(SelectedFilter filter, int start = 0) { return SelectedRange(this, filter, start); }

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
