// The cell-drawing layer of a file item: its display state (pictures held, selection and refresh
// flags, cache and cannot-draw marks) and the property texts that need the note or the plug-ins.
#pragma once

#include "catalogue/CellSurfaceHolder.h"
#include "catalogue/HeldPictureBudget.h"
#include "catalogue/VyxFilexImage.h"
#include "script/VyxScript.h"

#include <functional>

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

    // Id 24: the note as it stands; id 27: the plug-in file names, upper-cased.
    CString GetPropertyText(int id) const override;
    // The note, fetched on first use.
    const CString& GetNote() const;
    // The note as it stands in the note file now, never as an earlier look read it (the item
    // holds it from then on): what a move, copy or paste carries. The note the item holds when
    // the note file cannot be read.
    const CString& GetNoteAsItStands() const;

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

    // ---- Cell drawing and thumbnails ----
    enum { PictureIcon = 1, PictureHeld = 2, PictureMade = 3 };
    enum { DrawIdle = 0, DrawingCell = 1, LoadingPicture = 2 };

    // Paints one cell: 0 picture or icon drawn, 1 icon wanted without a large image list, -1 no
    // picture step (mode outside 1-3). dc may be null: the cell goes to the kept surface only.
    int DrawCell(CDC* dc, int x, int y, int width, int height, int pictureMode);
    // The kept surface of the last cell when it shows this size and selection, else DrawCell.
    int Draw(CDC* dc, int x, int y, int width, int height, int pictureMode);
    // The cell drawn where nothing shows or is kept: the thumbnail is fetched or made (mode 3).
    int RenderCell(int width, int height, int pictureMode);
    // The kept surface goes, so that the cell is drawn again when it next shows.
    void ReleaseKeptCell();
    void DrawCursor(CDC* dc, int x, int y);
    // The shell icon: 1 when no image list is set, else 0.
    int DrawIcon(CDC* dc, int x, int y);
    int DrawIconFit(CDC* dc, const RECT& rect);
    // The picture area of a cell drawn into the rectangle (through the cell script when one is
    // loaded), the thumbnail made when make is set: 0 when drawn, 1 when the item has none.
    int DrawDesign(CDC* dc, const RECT& rect, bool make) { return DrawPictureArea(dc, rect, make); }
    // A dialog's picture frame: the frame less 2 pixels on each side filled black, then the
    // picture as its cell shows it, or the shell icon centred when there is none or picture is off.
    void DrawPreview(CDC* dc, const RECT& frame, bool picture);
    int DrawSmallIcon(CDC* dc, int x, int y);
    int DrawSmallIconFit(CDC* dc, const RECT& rect);
    // Picture area of the last draw, relative to the cell.
    CRect GetCellRect() const { return m_pictureArea; }
    CRect GetNameRect() const { return m_nameArea; }
    // The out-code of the point, relative to the cell position, against the last name area.
    int HitTest(int x, int y) const;

    // The thumbnail for a box (owned by the item), fetched from the cache or made when make is
    // set; null when there is none.
    HGLOBAL GetThumbnailFor(int left, int top, int right, int bottom, bool make);
    HGLOBAL CreateThumbnail(SIZE box);
    // A w x h thumbnail of source: the source itself when nothing is to be done, else a new DIB
    // the caller owns; null on failure.
    HGLOBAL MakeThumbnail(int width, int height, HGLOBAL source);
    // A thumbnail of a picture the caller holds, fitted into the box as the cells fit theirs.
    HGLOBAL MakeThumbnailFromPicture(HGLOBAL picture, SIZE box);
    using VyxFilexImage::LoadPicture;
    // Loads the item's picture into picture; false when there is none.
    bool LoadPicture(HGLOBAL& picture, const SIZE* desiredSize);
    void DropThumbnail();
    // The bytes of the thumbnail and picture the item holds.
    size_t GetHeldBytes() const;
    // The bound on held pictures takes this item's: the thumbnail goes to the cache first when
    // the item caches its own, and comes back from the cache when it is there.
    void ReleaseHeldPictures();
    void MarkCannotDraw() { m_cannotDraw = true; }
    // Takes the block over; the old thumbnail goes unless it is the picture.
    void SetThumbnail(HGLOBAL thumbnail);
    HGLOBAL GetPicture() const { return m_picture; }

    // The note, kept in memory and written through at once.
    // VyxNoteStore's outcome of the write.
    int SetNote(const wchar_t* text);
    int DeleteNote();
    // Where the item's note is, or would be, written; empty when nowhere yet.
    CString GetNoteFilePath() const;
    // The file renamed with its note as it stands: the note written under the new name while no
    // file has it, then the file renamed on disk (renameOnDisk(true); renameOnDisk(false) takes
    // the old name back), then the note cleared from the old name, so that a crash never leaves
    // the note only behind, all under the note file's lock. NoteWritten when renamed;
    // RenamedNoteKept when renamed but the old name's note changed meanwhile and stays;
    // RenameNotMade when the file could not be renamed; anything else is the note store's
    // refusal (NoteNameTaken: a file has the new name), with the item, the file and the note
    // where they were (or, should the old name not come back, the item renamed and its note
    // under both names).
    enum { RenameNotMade = -10, RenamedNoteKept = -11 };
    int RenameWithNote(const wchar_t* newName, const std::function<bool(bool forward)>& renameOnDisk);
    // Into the thumbnail cache: -1 when the item holds no thumbnail; on 0 the item is cached.
    int StoreCache();
    static void SetCacheRoot(const wchar_t* cacheRoot);

    // Process-wide set-up.
    static void SetLargeImageList(HIMAGELIST list);
    static void SetSmallImageList(HIMAGELIST list);
    static HIMAGELIST GetLargeImageList() { return s_largeImages; }
    static HIMAGELIST GetSmallImageList() { return s_smallImages; }
    static SIZE GetLargeIconSize();
    static SIZE GetSmallIconSize();
    // A file name in the program's folder; empty unloads. True when loaded.
    static bool LoadDesignThumbs(const wchar_t* fileName);
    static bool LoadDesignCursor(const wchar_t* fileName);

    // One field each.
    void SetFont(const LOGFONTW& font) { m_font = font; }
    const LOGFONTW& GetFont() const { return m_font; }
    void SetNameFormat(const wchar_t* format) { m_nameFormat = format ? format : L""; }
    const CString& GetNameFormat() const { return m_nameFormat; }
    BOOL SetFrame(BOOL on) { return Exchange(m_frame, on); }
    BOOL GetFrame() const { return m_frame; }
    int SetFrameEdge(int style) { return Exchange(m_frameEdge, style); }
    int GetFrameEdge() const { return m_frameEdge; }
    BOOL SetLimitCheck(BOOL on) { return Exchange(m_limitCheck, on); }
    BOOL GetLimitCheck() const { return m_limitCheck; }
    BOOL SetCacheLookup(BOOL on) { return Exchange(m_cacheLookup, on); }
    BOOL GetCacheLookup() const { return m_cacheLookup; }
    int SetName2Per(int percent) { return Exchange(m_name2Per, percent); }
    int GetName2Per() const { return m_name2Per; }
    int SetNameMode(int mode) { return Exchange(m_nameMode, mode); }
    int GetNameMode() const { return m_nameMode; }
    BOOL SetNameFrame(BOOL on) { return Exchange(m_nameFrame, on); }
    BOOL GetNameFrame() const { return m_nameFrame; }
    int SetNameFrameEdge(int style) { return Exchange(m_nameFrameEdge, style); }
    int GetNameFrameEdge() const { return m_nameFrameEdge; }
    BOOL SetThumbFixed(BOOL on) { return Exchange(m_thumbFixed, on); }
    BOOL GetThumbFixed() const { return m_thumbFixed; }
    BOOL SetUnsharp(BOOL on) { return Exchange(m_unsharp, on); }
    BOOL GetUnsharp() const { return m_unsharp; }
    BOOL SetThumbUnsharp(BOOL on) { return Exchange(m_thumbUnsharp, on); }
    BOOL GetThumbUnsharp() const { return m_thumbUnsharp; }
    BOOL SetAutoCache(BOOL on) { return Exchange(m_autoCache, on); }
    BOOL GetAutoCache() const { return m_autoCache; }
    int SetScaleMode(int mode) { return Exchange(m_scaleMode, mode); }
    int GetScaleMode() const { return m_scaleMode; }
    int SetThumbScaleMode(int mode) { return Exchange(m_thumbScaleMode, mode); }
    int GetThumbScaleMode() const { return m_thumbScaleMode; }
    int SetAngle(int angle) { return Exchange(m_angle, angle); }
    int GetAngle() const { return m_angle; }
    BOOL SetKeepAspect(BOOL on) { return Exchange(m_keepAspect, on); }
    BOOL GetKeepAspect() const { return m_keepAspect; }
    void SetCellSize(SIZE size) { m_cellSize = size; }
    SIZE GetCellSize() const { return m_cellSize; }
    void SetMarginSize(SIZE size) { m_marginSize = size; }
    SIZE GetMarginSize() const { return m_marginSize; }
    void SetPaddingSize(SIZE size) { m_paddingSize = size; }
    SIZE GetPaddingSize() const { return m_paddingSize; }
    void SetThumbFitSize(SIZE size) { m_boxSize = size; }
    SIZE GetBoxSize() const { return m_boxSize; }
    void SetWordBreak(BOOL on) { m_wordBreak = on; }
    BOOL GetWordBreak() const { return m_wordBreak; }
    void SetShadow(int style) { m_shadow = style; }
    int GetShadow() const { return m_shadow; }
    POINT SetPosition(POINT position) { return Exchange(m_position, position); }
    POINT GetPosition() const { return m_position; }
    int GetDrawState() const { return m_drawState; }
    bool IsThumbnailNew() const { return m_thumbnailNew; }
    // The item's look-up in the cache waits for its location's cache file, still being read in
    // the background or written (nothing is made for it meanwhile): its cell is to be drawn again
    // later.
    bool IsWaitingForCache() const;
    // Its next thumbnail fetch looks in the cache first.
    bool WillLookUpCache() const { return m_cacheLookup && !m_thumbnail && !m_cached; }
    // For the kept-surface bound: whether the last cell can be shown without drawing.
    bool HasKeptCell() const { return m_cellSurface.Get() != nullptr; }
    // Forgets the kept cell: a cell drawn with other settings (a contact sheet's) is not shown again.
    void DiscardKeptCell() { m_cellSurface.Release(); }

    COLORREF colBackGround = 0x000000;
    COLORREF colText = 0xFFFFFF;
    COLORREF colSelectText = 0x00FFFF;
    COLORREF colSelectBackGround = 0xFF0000;
    COLORREF colSelectCheck = 0xFF0000;
    COLORREF colNormalDraw = 0xFFFFFF;
    COLORREF colFolderDraw = 0xFFFFFF;
    COLORREF colArcDraw = 0xFFF0F0;
    COLORREF colCantDraw = 0x808080;

protected:
    void FreePictures();

    HGLOBAL m_thumbnail;
    HGLOBAL m_picture;
    DWORD m_flags;
    bool m_cached;
    bool m_cannotDraw;

private:
    void CopyDrawState(const VyxFilexDraw& other);

    // ---- Cell drawing and thumbnails ----
    template <class T> static T Exchange(T& field, T value)
    {
        T old = field;
        field = value;
        return old;
    }
    void CopyCellState(const VyxFilexDraw& other);
    // The strips outside the cell's margins in the background colour.
    void FillMargins(CDC* dc, int width, int height);
    // The cell at (ox, oy) of the target; a null target records the geometry only.
    // backgroundFilled: the target already holds the background colour where the cell goes.
    // ownSurface: the target is a 24-bit surface of the cells' own, with no clipping or mapping.
    int PaintCell(CDC* target, int ox, int oy, int width, int height, int pictureMode, bool backgroundFilled,
                  bool ownSurface);
    // 0 with a thumbnail drawn; 1 when the item holds none.
    int DrawPictureArea(CDC* dc, CRect rect, bool make);
    void DrawName(CDC* dc, CRect rect, bool ownSurface);
    bool IsShownByCover() const;
    int GetIconIndex();
    int DrawIconFrom(HIMAGELIST list, CDC* dc, int x, int y);
    void SelectNameFont(CDC* dc);
    // The request handler of the cell script, answering for the item being drawn.
    static int DesignRequest(VyxScriptRequest* request);

    SIZE m_cellSize = {0, 0};
    SIZE m_boxSize = {0, 0};
    SIZE m_marginSize = {0, 0};
    SIZE m_paddingSize = {2, 2};
    LOGFONTW m_font = {};
    CellSurfaceHolder m_cellSurface;
    HeldPictureBudget::Entry m_heldEntry;
    // The selection state the kept surface shows.
    bool m_keptSelected = false;
    BOOL m_limitCheck = FALSE;
    BOOL m_frame = TRUE;
    int m_frameEdge = 1;
    BOOL m_nameFrame = TRUE;
    int m_nameFrameEdge = 2;
    BOOL m_unsharp = FALSE;
    BOOL m_thumbUnsharp = FALSE;
    int m_nameMode = 1;
    int m_name2Per = 90;
    int m_scaleMode = 0;
    int m_thumbScaleMode = 0;
    int m_angle = 0;
    BOOL m_keepAspect = TRUE;
    CRect m_pictureArea;
    CRect m_nameArea;
    int m_iconIndex = -1;
    CString m_nameFormat;
    BOOL m_wordBreak = FALSE;
    int m_shadow = 2;
    POINT m_position = {32767, 0};
    BOOL m_thumbFixed = FALSE;
    BOOL m_cacheLookup = TRUE;
    // The last cache look-up was told to come back (the file being read or written).
    bool m_cacheAnswerPending = false;
    BOOL m_autoCache = FALSE;
    int m_drawState = DrawIdle;
    bool m_thumbnailNew = false;

    static HIMAGELIST s_largeImages;
    static HIMAGELIST s_smallImages;
    static SIZE s_largeIconSize;
    static SIZE s_smallIconSize;
    static VyxFilexDraw* s_designItem;
};

// The drawing scripts of the cells: the picture area, and the cursor frame.
extern VyxScript theDesignThumbs;
extern VyxScript theDesignCursor;
