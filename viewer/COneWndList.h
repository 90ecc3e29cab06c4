// The main frame's list of open picture windows in opening order, and its open slideshow. The
// frame publishes the list's address in the shared block "COneWndList"; every picture window and
// the slideshow open the same block and hold its lock around every use of the list or of the
// slideshow member. Windows leave the list themselves as they are destroyed.
#pragma once

#include "foundation/VyxSharedMemory.h"
#include "framework/Framework.h"

#include <vector>

class CKWDoc;
class COneWnd;
class VSlideShowDlg;

class COneWndList : public CPtrList
{
public:
    COneWndList() : CPtrList(10) {}

    // A new picture window on the document, shown by nobody yet; null when it cannot be made.
    COneWnd* NewWindow(CKWDoc* pDocument, CWnd* pOwner);
    // TRUE when the window was in the list and was destroyed.
    BOOL CloseWindow(CWnd* pWnd);
    void CloseIndex(int nIndex);
    void CloseAll();
    // After the document removed the file at nIndex.
    void RemoveIndex(int nIndex);
    void RelocateAll();
    void RefreshIndex(int nIndex);

    COneWnd* GetWindow(int nIndex) const;
    // -1 when the window is not in the list.
    int IndexOf(const CWnd* pWnd) const;
    // Takes the window out (destroying nothing); FALSE when it was not there.
    BOOL Remove(const CWnd* pWnd);

    // The slideshow when its window is open. One whose window is gone while its end message is
    // still on the way is deleted here, so a new one can take its place.
    VSlideShowDlg* GetOpenSlideshow();
    // On the slideshow's end message: the object goes, unless a new slideshow opened meanwhile.
    void DeleteEndedSlideshow();
    // An owner that is going closes its slideshow first and deletes it: its end message would
    // find nobody.
    void CloseSlideshowOf(const CWnd* pOwner);

    VSlideShowDlg* m_pSlideShow = nullptr;

private:
    // The windows as they are now: they leave the list while the caller walks it.
    std::vector<COneWnd*> Snapshot() const;
};

// The "COneWndList" block holds the list's address: as wide as a pointer.
constexpr DWORD kOneWndListBlockSize = sizeof(COneWndList*);

// Holds the lock of a "COneWndList" block for a scope (taken without time limit).
class COneWndListLock
{
public:
    explicit COneWndListLock(VyxSharedMemory& block) : m_block(block), m_locked(block.Lock()) {}
    ~COneWndListLock()
    {
        if (m_locked)
            m_block.Unlock();
    }
    COneWndListLock(const COneWndListLock&) = delete;
    COneWndListLock& operator=(const COneWndListLock&) = delete;
    // The list whose address the block holds, or null.
    COneWndList* GetList() const;

private:
    VyxSharedMemory& m_block;
    bool m_locked;
};
