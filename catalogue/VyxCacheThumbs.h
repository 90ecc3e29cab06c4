// One thumbnail record of a cache file: the facts that identify a picture file (name, size, time,
// loader), the facts shown in its cell and the thumbnail image itself; and the owned list of them
// that a cache folder keeps.
#pragma once

#include "framework/Framework.h"

#include <memory>

class VyxFilexDraw;

class VyxCacheThumbs : public CObject
{
    DECLARE_DYNAMIC(VyxCacheThumbs)
public:
    enum { ImageNone = 0, ImageJpeg = 1022, ImageDib = 1024 };
    enum { PlaceNone = 0, PlaceCacheFile = 1, PlaceSpill = 2 };
    // The longest text a record field holds.
    enum { MaxText = 259 };

    VyxCacheThumbs();
    // Deep: the copy owns a copy of the image bytes.
    VyxCacheThumbs(const VyxCacheThumbs& other);
    VyxCacheThumbs& operator=(const VyxCacheThumbs& other);
    ~VyxCacheThumbs() override;

    void Clear();
    // False when the bytes cannot be copied (the old image stays).
    bool SetImage(int kind, const BYTE* bytes, DWORD length);
    // Frees owned bytes; kind and length stay, so the record still knows an image was stored,
    // and so does its place in a file.
    void ReleaseImage();
    // No image at all: kind, length and place go with the bytes.
    void DropImage();
    // Points at bytes owned elsewhere: the mapped file while it is parsed.
    void ReferImage(int kind, const BYTE* bytes, DWORD length);
    bool HasImageBytes() const { return m_image != nullptr && m_imageLength > 0; }
    // The stored thumbnail as a new packed DIB (JPEG bytes decoded, DIB bytes through the gate of
    // pictures from outside); null when there is none, it cannot be read, or it is larger than
    // the box it was made for.
    HGLOBAL DecodeImage() const;
    // The same for this record's image read from elsewhere (m_imageLength bytes).
    HGLOBAL DecodeImage(const BYTE* bytes) const;
    // One field of a cache file, never read past length. A field narrower than its tag needs is
    // ignored; a text too long for the record makes the record unusable.
    void ParseField(int tag, const BYTE* value, DWORD length);
    // The identifying and shown facts of the item; the image fields are not touched. False (the
    // record unchanged) when a text of the item does not fit.
    bool BuildFromItem(const VyxFilexDraw& item);
    // Whether the picture's facts and the cell and box sizes are sizes at all: a damaged record
    // (a width of -7, a box of 70000) is refused when its file is read.
    bool SizesFit() const;
    // Names equal ignoring case, and the member path too when the record has one.
    bool Matches(const wchar_t* fileName, const wchar_t* memberPath) const;

    bool m_ownsImage;
    int m_imageKind;
    const BYTE* m_image;
    DWORD m_imageLength;
    ULONGLONG m_fileSize;
    long long m_fileTime;
    CString m_fileName;
    CString m_loaderName;
    CString m_memberPath;
    SIZE m_cellSize;
    SIZE m_boxSize;
    SIZE m_margin;
    int m_width;
    int m_height;
    int m_bitCount;
    CString m_archiveFileName;
    CString m_archiveLoaderName;
    // The name font (read only, and only some records carry one).
    const LOGFONTW& GetFont() const;
    void SetFont(const LOGFONTW& font);
    BYTE m_frameShown;
    BYTE m_nameShown;
    BYTE m_nameFrameShown;
    BYTE m_scaled;
    BYTE m_sharpened;
    int m_frameEdge;
    int m_nameFrameEdge;
    int m_kind;
    // Set by a field that the record cannot hold; such a record is never kept.
    bool m_unusable;
    // Restored while its folder had unwritten changes: the bytes go once the folder is written.
    bool m_releaseWhenWritten;
    // The bytes were moved out of memory to the folder's spill file: the image is still the
    // record's and is read back from its place.
    bool m_imageAway;
    // Where the record lies in a file (PlaceNone, the cache file or the spill file): its fields
    // from m_placeOffset on, m_placeLength bytes up to and with its end tag, its image bytes
    // m_placeImage bytes into them. A new image forgets it.
    BYTE m_place;
    DWORD m_placeLength;
    DWORD m_placeImage;
    ULONGLONG m_placeOffset;

private:
    void CopyFrom(const VyxCacheThumbs& other);

    // Held apart: a file of many thousands of records, of which none has a font, would otherwise
    // keep a font's room in each.
    std::unique_ptr<LOGFONTW> m_font;
};

// Owns its records.
class VyxCacheThumbsArray : public CPtrArray
{
public:
    VyxCacheThumbsArray() = default;
    ~VyxCacheThumbsArray() override;
    VyxCacheThumbs* GetRecord(INT_PTR index) const { return static_cast<VyxCacheThumbs*>(GetAt(index)); }
    void DeleteAll();

private:
    VyxCacheThumbsArray(const VyxCacheThumbsArray&) = delete;
    VyxCacheThumbsArray& operator=(const VyxCacheThumbsArray&) = delete;
};
