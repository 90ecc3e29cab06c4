// The picture-loading layer of a file item: which source (file, archive member, folder or archive
// cover), which decoder, in which order, through the plug-in host; the item's whole bytes; and the
// settings the document hands to every item at once.
#pragma once

#include "catalogue/ItemSettings.h"
#include "catalogue/VyxFilexInfo.h"

class PictureFileBytes;

class VyxFilexImage : public VyxFilexInfo
{
    DECLARE_DYNAMIC(VyxFilexImage)
public:
    VyxFilexImage();
    explicit VyxFilexImage(const wchar_t* path);
    VyxFilexImage(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member);
    VyxFilexImage(const VyxFilexImage& other);
    VyxFilexImage& operator=(const VyxFilexImage& other);
    ~VyxFilexImage() override;

    // The item's picture as a packed DIB (owned by the caller), or null. desiredSize may be null.
    HGLOBAL LoadPicture(const SIZE* desiredSize = nullptr);
    // Finds and stores the decoder without decoding; -1 when none.
    int DetectPlugin();
    // The item's whole bytes in a movable block (owned by the caller), or null. Raises the library
    // exception when a file that fits 32 bits cannot be held in memory.
    HGLOBAL ReadFileData();
    // The item's file open for reading (a shortcut's target, a trimmed name as it stands), shared
    // so that it may still be written, renamed or deleted; the caller closes it.
    // INVALID_HANDLE_VALUE for an archive member or a file that does not open.
    HANDLE OpenFileForReading() const;
    // Asks the decoder of the stored loader id for the picture's facts and keeps them. path, or
    // data with its size for a member in memory.
    void ReadPictureFacts(const wchar_t* path, const void* data = nullptr, DWORD size = 0);
    // What a load of the same file on another item found: decoder, facts, texts, archive mark.
    void TakeLoadingState(const VyxFilexImage& from);
    // The Exif texts read the picture's facts first when they were never read, so that a text made
    // for an item never depends on whether its cell was drawn.
    CString GetPropertyText(int id) const override;

    bool HasCover() const;
    // The settings of every item (the defaults until the document hands its own).
    static void SetItemSettings(const ItemSettings& settings);
    static const ItemSettings& GetItemSettings();

protected:
    // A member extracted into memory (owned by the caller), or null.
    HGLOBAL ExtractMemberToMemory() const;

private:
    // What one decoder chain reads: a file (opened once through file), or a block in memory
    // named by path.
    struct PictureSource
    {
        const wchar_t* path;
        const void* data;
        DWORD size;
        int archivePluginId;
        PictureFileBytes* file;
    };

    HGLOBAL LoadFilePicture(const SIZE* desiredSize);
    HGLOBAL LoadMemberPicture(const SIZE* desiredSize);
    HGLOBAL LoadFolderCover(const SIZE* desiredSize);
    HGLOBAL LoadArchiveCover(const SIZE* desiredSize);
    // One try per item, whatever it finds.
    void ReadExifOnce();
    // The decoders that accept the source, in turn, until one decodes it. A cover search asks from
    // the first decoder, always reads the facts and leaves the loader id and text standing between
    // queries.
    HGLOBAL DecodeWithChain(const PictureSource& source, const SIZE* desiredSize, bool coverSearch);
};
