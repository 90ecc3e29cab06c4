// The cell-drawing layer of a file item: its display state (pictures held, selection and refresh
// flags, cache and cannot-draw marks) and the property texts that need the note or the plug-ins.
#pragma once

#include "catalogue/VyxFilexImage.h"

class VyxFilexDraw : public VyxFilexImage
{
    DECLARE_DYNAMIC(VyxFilexDraw)
public:
    enum { FlagSelected = 1, FlagMarked = 2 };

    VyxFilexDraw();
    explicit VyxFilexDraw(const wchar_t* path);
    VyxFilexDraw(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member);
    // The pictures are copied into new blocks; a thumbnail that is the picture stays so.
    VyxFilexDraw(const VyxFilexDraw& other);
    VyxFilexDraw& operator=(const VyxFilexDraw& other);
    ~VyxFilexDraw() override;

    // Id 24: the note with its own macros expanded; id 27: the plug-in file names, upper-cased.
    CString GetPropertyText(int id) const override;
    // The note, fetched on first use.
    const CString& GetNote() const;

    DWORD GetFlags() const { return m_flags; }
    void SetFlags(DWORD mask) { m_flags |= mask; }
    void ClearFlags(DWORD mask) { m_flags &= ~mask; }
    bool TestFlags(DWORD mask) const { return (m_flags & mask) != 0; }

    HGLOBAL GetThumbnail() const { return m_thumbnail; }
    bool HasThumbnail() const { return m_thumbnail != nullptr; }
    bool IsCached() const { return m_cached; }
    bool IsCannotDraw() const { return m_cannotDraw; }
    void ResetCantDraw() { m_cannotDraw = false; }
    // Forgets the loaded picture: loader id -1, information text empty, pictures freed.
    void ResetImage();
    // Drops the item's record from the thumbnail cache and the cached mark.
    void RemoveFromCache();

protected:
    void FreePictures();

    HGLOBAL m_thumbnail;
    HGLOBAL m_picture;
    DWORD m_flags;
    bool m_cached;
    bool m_cannotDraw;
    // Set while the note expands its own macros, so a note naming itself is not expanded again.
    mutable bool m_expandingNote;

private:
    void CopyDrawState(const VyxFilexDraw& other);
};
