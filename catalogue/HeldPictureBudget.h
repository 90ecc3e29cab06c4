// The bound on the pictures that file items keep for their cells. Every drawn item holds its
// thumbnail (and, while pictures are not freed after making, the picture it was made from):
// about 70 KB a cell, so a long folder would fill the 32-bit address space. The items drawn
// are kept in the order they were last drawn; past the bound in bytes, the least recently drawn
// let their pictures go and fetch them again (from the cache, or by making them) when their
// cells are drawn again.
#pragma once

#include <cstddef>
#include <list>

class VyxFilexDraw;

class HeldPictureBudget
{
public:
    // The bound while pictures are freed after making ("MemDraw" on), and while they are kept.
    static constexpr size_t SmallLimit = 64u << 20;
    static constexpr size_t LargeLimit = 320u << 20;

    // An item's place in the order; a copied item holds a place of its own only once drawn.
    class Entry
    {
    public:
        Entry() = default;
        ~Entry() { Forget(); }
        Entry(const Entry&) {}
        Entry& operator=(const Entry&)
        {
            Forget();
            return *this;
        }

        // The item was drawn holding these bytes: it becomes the most recent, and the least
        // recent items beyond the bound let go of theirs.
        void Touch(VyxFilexDraw* owner, size_t bytes);
        // The item now holds these bytes (0: it leaves the order); its place stays.
        void Update(size_t bytes);
        void Forget();

    private:
        friend class HeldPictureBudget;
        VyxFilexDraw* m_owner = nullptr;
        size_t m_bytes = 0;
        std::list<Entry*>::iterator m_place;
    };

    static size_t GetLimit();
    static void SetLimit(size_t bytes);
    static size_t GetHeldBytes();

private:
    static void Trim(const Entry* keep);
};
