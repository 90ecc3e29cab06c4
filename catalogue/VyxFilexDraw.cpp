#include "catalogue/VyxFilexDraw.h"

#include "catalogue/CalcFitRect.h"
#include "catalogue/CellEdge.h"
#include "catalogue/LowLinePainter.h"
#include "catalogue/NoteFileLock.h"
#include "catalogue/SteppedPictureLoad.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxNoteStore.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxUtility.h"
#include "image/DibColor.h"
#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibFilter.h"
#include "image/DibPaint.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"
#include "image/plugins/Spi.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(VyxFilexDraw, VyxFilexImage)

namespace {

// The store of the item's notes: its location with display names resolved.
VyxNoteStore NoteStoreOf(const VyxFilexDraw& item)
{
    VyxNoteStore store(theCacheList.GetCacheFolder());
    store.SetLocation(item.GetResolvedFolder(), item.GetArchiveFileName());
    return store;
}

} // namespace

VyxFilexDraw::VyxFilexDraw()
    : m_thumbnail(nullptr), m_picture(nullptr), m_flags(0), m_cached(false), m_cannotDraw(false)
{
}

VyxFilexDraw::VyxFilexDraw(const wchar_t* path) : VyxFilexImage(path)
{
    m_thumbnail = m_picture = nullptr;
    m_flags = 0;
    m_cached = m_cannotDraw = false;
}

VyxFilexDraw::VyxFilexDraw(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member)
    : VyxFilexImage(found, loaderId, archivePluginId, member)
{
    m_thumbnail = m_picture = nullptr;
    m_flags = 0;
    m_cached = m_cannotDraw = false;
}

VyxFilexDraw::VyxFilexDraw(const VyxFilexDraw& other) : VyxFilexImage(other)
{
    m_thumbnail = m_picture = nullptr;
    CopyDrawState(other);
}

VyxFilexDraw& VyxFilexDraw::operator=(const VyxFilexDraw& other)
{
    if (this != &other) {
        VyxFilexImage::operator=(other);
        CopyDrawState(other);
    }
    return *this;
}

VyxFilexDraw::~VyxFilexDraw()
{
    // Nobody will ask for this item's picture again: a load waiting for it goes now.
    if (SteppedPictureLoad::IsPendingFor(*this))
        SteppedPictureLoad::Abort();
    FreePictures();
}

void VyxFilexDraw::CopyDrawState(const VyxFilexDraw& other)
{
    FreePictures();
    m_picture = other.m_picture ? CopyGlobal(other.m_picture) : nullptr;
    if (other.m_thumbnail && other.m_thumbnail == other.m_picture)
        m_thumbnail = m_picture;
    else
        m_thumbnail = other.m_thumbnail ? CopyGlobal(other.m_thumbnail) : nullptr;
    m_flags = other.m_flags;
    m_cached = other.m_cached;
    m_cannotDraw = other.m_cannotDraw;
    CopyCellState(other);
}

void VyxFilexDraw::FreePictures()
{
    if (m_thumbnail && m_thumbnail != m_picture)
        GlobalFree(m_thumbnail);
    if (m_picture)
        GlobalFree(m_picture);
    m_thumbnail = m_picture = nullptr;
    m_heldEntry.Forget();
}

size_t VyxFilexDraw::GetHeldBytes() const
{
    size_t bytes = m_thumbnail ? GlobalSize(m_thumbnail) : 0;
    if (m_picture && m_picture != m_thumbnail)
        bytes += GlobalSize(m_picture);
    return bytes;
}

void VyxFilexDraw::ReleaseHeldPictures()
{
    if (m_thumbnail && !m_cached && m_autoCache)
        StoreCache();
    const bool cached = m_cached;
    FreePictures();
    m_boxSize = SIZE{0, 0};
    m_cached = false;
    if (cached)
        m_cacheLookup = TRUE;
}

void VyxFilexDraw::ResetImage()
{
    SetLoaderId(-1);
    SetInfoText(L"");
    FreePictures();
    m_boxSize = SIZE{0, 0};
    m_cached = false;
}

void VyxFilexDraw::RemoveFromCache()
{
    theCacheList.RemoveFromCache(this);
    m_cached = false;
}

const CString& VyxFilexDraw::GetNote() const
{
    if (!m_noteLoaded) {
        m_noteText = NoteStoreOf(*this).ReadNote(m_path);
        m_noteLoaded = true;
    }
    return m_noteText;
}

const CString& VyxFilexDraw::GetNoteAsItStands() const
{
    CString note;
    if (NoteStoreOf(*this).ReadNoteAsItStands(m_path, note)) {
        m_noteText = note;
        m_noteLoaded = true;
    }
    return GetNote();
}

CString VyxFilexDraw::GetPropertyText(int id) const
{
    // The note as it stands: a "$(" in it is the user's text, never a macro.
    if (id == kNoteProperty)
        return GetNote();
    if (id == 27) {
        CString names = theSPImapIndex.GetPluginFileName(m_loaderId, SPImapIndex::KindImage);
        if (IsArchiveMember())
            names += L"/" + theSPImapIndex.GetPluginFileName(m_archivePluginId, SPImapIndex::KindArchive);
        names.MakeUpper();
        return names;
    }
    return VyxFilexImage::GetPropertyText(id);
}

// ---- Cell drawing and thumbnails ----

VyxScript theDesignThumbs;
VyxScript theDesignCursor;

HIMAGELIST VyxFilexDraw::s_largeImages = nullptr;
HIMAGELIST VyxFilexDraw::s_smallImages = nullptr;
SIZE VyxFilexDraw::s_largeIconSize = {0, 0};
SIZE VyxFilexDraw::s_smallIconSize = {0, 0};
VyxFilexDraw* VyxFilexDraw::s_designItem = nullptr;

namespace {

const int kJpegLoaderGroup = 0x0101;

// Sharpening corrections by tenths of the thumbnail's scale: against the full picture (T1), and
// against the decoded source (rows) and the full picture (columns) (T2).
const double kT1[11] = {0.5, 0.3, 0.2, 0.15, 0.1, 0.1, 0.0, 0.0, 0.0, 0.0, 0.0};
const double kT2[11][11] = {
    {0.0, 0.1, 0.2, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5}, {0.0, 0.1, 0.2, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5},
    {0.0, 0.1, 0.2, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5}, {0.0, 0.1, 0.2, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5},
    {0.4, 0.1, 0.2, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5}, {0.4, 0.1, 0.0, 0.2, 0.3, 0.3, 0.3, 0.4, 0.4, 0.4, 0.5},
    {0.0, 0.2, 0.1, 0.1, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.3}, {0.0, 0.4, 0.4, 0.1, 0.1, 0.2, 0.2, 0.2, 0.2, 0.2, 0.3},
    {0.0, 0.4, 0.4, 0.1, 0.1, 0.1, 0.2, 0.2, 0.2, 0.2, 0.3}, {0.0, 0.4, 0.6, 0.4, 0.1, 0.1, 0.1, 0.2, 0.2, 0.2, 0.3},
    {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
};

// min(1, w / sw, h / sh), a factor whose dimension is 0 left out. The one expression for the
// scale against the source and against the full picture, so that the two compare equal whenever
// the source is the full picture.
double FitFactor(int width, int height, int sourceWidth, int sourceHeight)
{
    double factor = 1.0;
    if (sourceWidth > 0)
        factor = std::min(factor, static_cast<double>(width) / sourceWidth);
    if (sourceHeight > 0)
        factor = std::min(factor, static_cast<double>(height) / sourceHeight);
    return factor;
}

double SharpenCorrection(double full, double source)
{
    int i = static_cast<int>(10 * full), j = static_cast<int>(10 * source);
    if (source == full)
        return i >= 0 && i < 11 ? kT1[i] - (full - i / 10.0) : 0.0;
    return i >= 0 && i < 11 && j >= 0 && j < 11 ? kT2[j][i] - (full - i / 10.0) : 0.0;
}

// The name font all cells share, made again only when an item asks for another, with the
// height of its line (0 until measured).
struct SharedNameFont
{
    HFONT font = nullptr;
    LOGFONTW made = {};
    int lineHeight = 0;
    ~SharedNameFont()
    {
        if (font)
            DeleteObject(font);
    }
};

SharedNameFont& NameFont()
{
    static SharedNameFont shared;
    return shared;
}

// The name's box of the last cells (its fill and frame), copied into the cells that draw the same
// box onto a surface of their own: the frame's calls cost several times the copy under Wine. The
// frame's colours are the system's, which may change between two cells.
class NameBoxStrip
{
public:
    // The box painted at rect; false when it is not to come from the strip (the caller paints it).
    bool Paint(CDC* dc, const CRect& rect, COLORREF fill, bool frame, int edge)
    {
        // Only frames drawn inside the box: the other ones reach past it.
        if (frame && (edge & CellEdgeOwn))
            return false;
        Key key = {rect.Width(), rect.Height(), fill, frame ? edge : -1, {}};
        for (size_t i = 0; i < kColours; ++i)
            key.colours[i] = GetSysColor(kColourIndexes[i]);
        if (key.width <= 0 || key.height <= 0)
            return false;
        if (!m_made || std::memcmp(&key, &m_key, sizeof key) != 0) {
            m_made = false;
            if (!m_strip.Create24(nullptr, key.width, key.height, fill))
                return false;
            CDC* strip = m_strip.GetMemDC();
            strip->FillSolidRect(0, 0, key.width, key.height, fill);
            if (frame)
                DrawCellEdge(strip, CRect(0, 0, key.width, key.height), edge);
            m_key = key;
            m_made = true;
        }
        return ::BitBlt(dc->GetSafeHdc(), rect.left, rect.top, key.width, key.height, m_strip.GetMemDC()->GetSafeHdc(),
                        0, 0, SRCCOPY) != FALSE;
    }

private:
    static constexpr size_t kColours = 6;
    static constexpr int kColourIndexes[kColours] = {COLOR_3DHIGHLIGHT, COLOR_3DLIGHT,    COLOR_3DFACE,
                                                     COLOR_3DSHADOW,    COLOR_3DDKSHADOW, COLOR_WINDOWFRAME};
    struct Key
    {
        int width, height;
        COLORREF fill;
        int edge;
        COLORREF colours[kColours];
    };
    CDibSection m_strip;
    Key m_key = {};
    bool m_made = false;
};

NameBoxStrip& TheNameBoxStrip()
{
    static NameBoxStrip strip;
    return strip;
}

// Fields of a template split by the two characters "\" and "n". Every cell of a folder asks
// with the same template: the last answer is kept.
int CountTemplateLines(const CString& format)
{
    static CString s_format;
    static int s_count = 0;
    if (s_count > 0 && format == s_format)
        return s_count;
    VyxFieldParser parser;
    int count = 0;
    int limit = format.GetLength() + 1;
    while (count < limit && parser.GetField(nullptr, format, count, L"\\n") != -2)
        ++count;
    s_format = format;
    s_count = std::max(count, 1);
    return s_count;
}

// The text at the left, or centred, of the top of a rectangle, cut at its edges: a line that
// fits needs none of the measuring that DrawText does.
void DrawFittingLine(CDC* dc, const CString& text, CRect rect, int width, bool centre)
{
    const int x = centre ? rect.left + (rect.Width() - width) / 2 : rect.left;
    ::ExtTextOutW(dc->GetSafeHdc(), x, rect.top, ETO_CLIPPED, &rect, text, static_cast<UINT>(text.GetLength()),
                  nullptr);
    PaintLowLines(dc->GetSafeHdc(), text, x, rect.top, INT_MAX, rect);
}

void FreeUnless(HGLOBAL block, HGLOBAL keep1, HGLOBAL keep2)
{
    if (block && block != keep1 && block != keep2)
        GlobalFree(block);
}

// Puts the previous draw state back on every way out of a picture load.
class DrawStateScope
{
public:
    DrawStateScope(int& state, int value) : m_state(state), m_previous(state) { state = value; }
    ~DrawStateScope() { m_state = m_previous; }

private:
    int& m_state;
    int m_previous;
};

} // namespace

void VyxFilexDraw::CopyCellState(const VyxFilexDraw& other)
{
    m_cellSize = other.m_cellSize;
    m_boxSize = other.m_boxSize;
    m_marginSize = other.m_marginSize;
    m_paddingSize = other.m_paddingSize;
    m_font = other.m_font;
    m_cellSurface.Release();
    m_limitCheck = other.m_limitCheck;
    m_frame = other.m_frame;
    m_frameEdge = other.m_frameEdge;
    m_nameFrame = other.m_nameFrame;
    m_nameFrameEdge = other.m_nameFrameEdge;
    m_unsharp = other.m_unsharp;
    m_thumbUnsharp = other.m_thumbUnsharp;
    m_nameMode = other.m_nameMode;
    m_name2Per = other.m_name2Per;
    m_scaleMode = other.m_scaleMode;
    m_thumbScaleMode = other.m_thumbScaleMode;
    m_angle = other.m_angle;
    m_keepAspect = other.m_keepAspect;
    m_pictureArea = other.m_pictureArea;
    m_nameArea = other.m_nameArea;
    m_iconIndex = other.m_iconIndex;
    m_nameFormat = other.m_nameFormat;
    m_wordBreak = other.m_wordBreak;
    m_shadow = other.m_shadow;
    m_position = other.m_position;
    m_thumbFixed = other.m_thumbFixed;
    m_cacheLookup = other.m_cacheLookup;
    m_autoCache = other.m_autoCache;
    m_drawState = other.m_drawState;
    m_thumbnailNew = other.m_thumbnailNew;
    colBackGround = other.colBackGround;
    colText = other.colText;
    colSelectText = other.colSelectText;
    colSelectBackGround = other.colSelectBackGround;
    colSelectCheck = other.colSelectCheck;
    colNormalDraw = other.colNormalDraw;
    colFolderDraw = other.colFolderDraw;
    colArcDraw = other.colArcDraw;
    colCantDraw = other.colCantDraw;
}

int VyxFilexDraw::SetNote(const wchar_t* text)
{
    m_noteText = text ? text : L"";
    m_noteLoaded = true;
    // A file gone meanwhile (renamed or moved by another instance) would leave it to no file.
    int result = NoteStoreOf(*this).WriteNote(m_path, m_noteText, VyxNoteStore::FileThere);
    // What the item shows is what the store holds.
    if (result != VyxNoteStore::NoteWritten)
        m_noteLoaded = false;
    return result;
}

int VyxFilexDraw::DeleteNote()
{
    m_noteText.Empty();
    m_noteLoaded = true;
    return NoteStoreOf(*this).DeleteNote(m_path);
}

namespace {

// A change of letter case alone keeps the note's section.
bool SameSection(const VyxNoteStore& store, const CString& a, const CString& b)
{
    return store.GetSectionOf(a).CompareNoCase(store.GetSectionOf(b)) == 0;
}

} // namespace

CString VyxFilexDraw::GetNoteFilePath() const
{
    return NoteStoreOf(*this).GetNoteFilePath();
}

int VyxFilexDraw::RenameWithNote(const wchar_t* newName, const std::function<bool(bool forward)>& renameOnDisk)
{
    const CString oldPath = m_path, oldName = GetFileName();
    const CString newPath = m_path.Left(m_path.GetLength() - oldName.GetLength()) + (newName ? newName : L"");
    const VyxNoteStore store = NoteStoreOf(*this);
    // A change of letter case alone leaves the note in its section.
    if (SameSection(store, newPath, oldPath)) {
        if (!renameOnDisk(true))
            return RenameNotMade;
        Rename(newName);
        return VyxNoteStore::NoteWritten;
    }
    // Another instance's notes and renames in the folder wait until both names are settled.
    const std::unique_ptr<NoteFileLock> hold = store.HoldNoteFile();
    CString note, replaced;
    if (!hold || !store.ReadNoteAsItStands(oldPath, note) || !store.ReadNoteAsItStands(newPath, replaced))
        return VyxNoteStore::NoteFailed;
    // The note as it stands goes under the new name before the file takes it, and only while no
    // file has that name; it leaves the old name only after: a crash at any moment leaves it under
    // both names at worst, never behind, and never with a file of another's.
    const int written = store.WriteNote(newPath, note, VyxNoteStore::NameFree);
    // Without a note, a section shared with another name is not this file's to clear.
    if (written != VyxNoteStore::NoteWritten && !(note.IsEmpty() && written == VyxNoteStore::NoteRefused))
        return written;
    if (!renameOnDisk(true)) {
        store.ReplaceNote(newPath, note, replaced);
        return RenameNotMade;
    }
    Rename(newName);
    m_noteText = note;
    m_noteLoaded = true;
    if (note.IsEmpty())
        return VyxNoteStore::NoteWritten;
    const int cleared = store.ReplaceNote(oldPath, note, nullptr);
    // A section another name shares is not this file's to clear, and one that holds another note
    // now is not the note carried.
    if (cleared == VyxNoteStore::NoteWritten || cleared == VyxNoteStore::NoteRefused)
        return VyxNoteStore::NoteWritten;
    if (cleared == VyxNoteStore::NoteChanged)
        return RenamedNoteKept;
    // Any other failure would leave the note for the next file given the old name: the file
    // takes its old name back. Should the old name not come back either, the note stands under both.
    if (!renameOnDisk(false))
        return cleared;
    Rename(oldName);
    store.ReplaceNote(newPath, note, replaced);
    m_noteLoaded = false;
    return cleared;
}

int VyxFilexDraw::StoreCache()
{
    if (!m_thumbnail)
        return -1;
    int result = theCacheList.StoreToCache(this);
    if (result == 0)
        m_cached = true;
    return result;
}

void VyxFilexDraw::SetCacheRoot(const wchar_t* cacheRoot)
{
    theCacheList.SetCacheFolder(cacheRoot);
}

void VyxFilexDraw::SetLargeImageList(HIMAGELIST list)
{
    s_largeImages = list;
    int cx = 0, cy = 0;
    if (list && ImageList_GetIconSize(list, &cx, &cy))
        s_largeIconSize = SIZE{cx, cy};
}

void VyxFilexDraw::SetSmallImageList(HIMAGELIST list)
{
    s_smallImages = list;
    int cx = 0, cy = 0;
    if (list && ImageList_GetIconSize(list, &cx, &cy))
        s_smallIconSize = SIZE{cx, cy};
}

SIZE VyxFilexDraw::GetLargeIconSize()
{
    if (s_largeIconSize.cx > 0)
        return s_largeIconSize;
    return SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
}

SIZE VyxFilexDraw::GetSmallIconSize()
{
    if (s_smallIconSize.cx > 0)
        return s_smallIconSize;
    return SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
}

namespace {

bool LoadDesign(VyxScript& script, bool& initialized, const wchar_t* fileName)
{
    if (!initialized) {
        script.Initialize();
        initialized = true;
    }
    if (!fileName || !*fileName) {
        script.Load(nullptr);
        return false;
    }
    CString path;
    MakeModulePath(path, fileName);
    return script.Load(path) == 1;
}

} // namespace

bool VyxFilexDraw::LoadDesignThumbs(const wchar_t* fileName)
{
    static bool initialized = false;
    bool loaded = LoadDesign(theDesignThumbs, initialized, fileName);
    if (loaded)
        theDesignThumbs.SetCallback(&VyxFilexDraw::DesignRequest);
    return loaded;
}

bool VyxFilexDraw::LoadDesignCursor(const wchar_t* fileName)
{
    static bool initialized = false;
    return LoadDesign(theDesignCursor, initialized, fileName);
}

bool VyxFilexDraw::IsShownByCover() const
{
    return HasCover();
}

void VyxFilexDraw::SelectNameFont(CDC* dc)
{
    SharedNameFont& shared = NameFont();
    if (!shared.font || std::memcmp(&shared.made, &m_font, sizeof(m_font)) != 0) {
        HFONT font = CreateFontIndirectW(&m_font);
        if (!font)
            return;
        if (shared.font)
            DeleteObject(shared.font);
        shared.font = font;
        shared.made = m_font;
        shared.lineHeight = 0;
    }
    SelectObject(dc->GetSafeHdc(), shared.font);
    // A line is as high as the font, whatever it holds (Wine measures an empty text 0 high).
    TEXTMETRICW metrics = {};
    if (shared.lineHeight == 0 && GetTextMetricsW(dc->GetSafeHdc(), &metrics))
        shared.lineHeight = metrics.tmHeight;
}

int VyxFilexDraw::Draw(CDC* dc, int x, int y, int width, int height, int pictureMode)
{
    // The kept cell serves while it shows this size and this selection state.
    CDibSection* surface = m_cellSurface.Get();
    if (dc && surface && surface->IsCreated() && m_keptSelected == TestFlags(FlagSelected) &&
        surface->GetSize() == CSize(width, height)) {
        m_cellSurface.Touch();
        surface->Draw(dc, x, y, SRCCOPY);
        return 0;
    }
    return DrawCell(dc, x, y, width, height, pictureMode);
}

int VyxFilexDraw::DrawCell(CDC* dc, int x, int y, int width, int height, int pictureMode)
{
    DrawStateScope state(m_drawState, DrawingCell);
    CDibSection* surface = nullptr;
    // An unselected cell is all background before its picture and name: one fill of the whole
    // surface serves, where the margins and the cell would take five (each call costs more than
    // the pixels under Wine).
    const bool plain = !TestFlags(FlagSelected);
    if (width != 0 || height != 0) {
        surface = m_cellSurface.Acquire();
        // A surface of this size is painted over as it is: the cell fills all but its margins.
        const bool reused = surface->IsCreated() && surface->GetSize() == CSize(width, height);
        if (!reused && !surface->Create24(dc, width, height, colBackGround)) {
            m_cellSurface.Release();
            surface = nullptr;
        } else if (reused && plain) {
            surface->GetMemDC()->FillSolidRect(0, 0, width, height, colBackGround);
        } else if (reused) {
            FillMargins(surface->GetMemDC(), width, height);
        }
    }
    if (!surface)
        return PaintCell(dc, x, y, width, height, pictureMode, false, false);
    const int result = PaintCell(surface->GetMemDC(), 0, 0, width, height, pictureMode, plain, true);
    m_keptSelected = TestFlags(FlagSelected);
    if (dc)
        surface->Draw(dc, x, y, SRCCOPY);
    return result;
}

int VyxFilexDraw::RenderCell(int width, int height, int pictureMode)
{
    DrawStateScope state(m_drawState, DrawingCell);
    // One surface for every item: nothing of it is kept or shown.
    static CDibSection scratch;
    CDC* target = scratch.Create24(nullptr, std::max(width, 1), std::max(height, 1), colBackGround) ? scratch.GetMemDC()
                                                                                                    : nullptr;
    return PaintCell(target, 0, 0, width, height, pictureMode, !TestFlags(FlagSelected), true);
}

void VyxFilexDraw::FillMargins(CDC* dc, int width, int height)
{
    const int mx = m_marginSize.cx, my = m_marginSize.cy;
    const int left = mx / 2, top = my / 2, right = width - (mx - mx / 2), bottom = height - (my - my / 2);
    if (top > 0)
        dc->FillSolidRect(0, 0, width, top, colBackGround);
    if (bottom < height)
        dc->FillSolidRect(0, bottom, width, height - bottom, colBackGround);
    if (left > 0)
        dc->FillSolidRect(0, top, left, bottom - top, colBackGround);
    if (right < width)
        dc->FillSolidRect(right, top, width - right, bottom - top, colBackGround);
}

void VyxFilexDraw::ReleaseKeptCell()
{
    m_cellSurface.Release();
}

int VyxFilexDraw::PaintCell(CDC* target, int ox, int oy, int width, int height, int pictureMode, bool backgroundFilled,
                            bool ownSurface)
{
    // The caller's font goes back in place: the shared one may be deleted by the next cell.
    HGDIOBJ oldFont = nullptr;
    if (target) {
        oldFont = GetCurrentObject(target->GetSafeHdc(), OBJ_FONT);
        SelectNameFont(target);
        target->SetBkMode(TRANSPARENT);
        target->SetTextAlign(TA_LEFT | TA_TOP);
    }

    const int mx = m_marginSize.cx, my = m_marginSize.cy;
    CRect cell(ox + mx / 2, oy + my / 2, ox + width - (mx - mx / 2), oy + height - (my - my / 2));
    if (target && !backgroundFilled)
        target->FillSolidRect(&cell, TestFlags(FlagSelected) ? colSelectBackGround : colBackGround);
    if (m_frame)
        cell = DrawCellEdge(target, cell, m_frameEdge);
    cell.DeflateRect(m_paddingSize.cx, m_paddingSize.cy);

    CRect picture = cell;
    CRect name(0, 0, 0, 0);
    if (m_nameMode != 0 && target) {
        int lineHeight = NameFont().lineHeight;
        if (lineHeight == 0) {
            TEXTMETRICW metrics = {};
            if (GetTextMetricsW(target->GetSafeHdc(), &metrics))
                lineHeight = metrics.tmHeight;
        }
        int lines = CountTemplateLines(m_nameFormat);
        if (m_nameMode == 1) {
            int cut = std::max<int>((100 - m_name2Per) * (cell.bottom - cell.top) / 100, (lineHeight + 1) * lines + 5);
            picture.SetRect(cell.left, cell.top, cell.right, cell.bottom - cut);
            name.SetRect(cell.left, cell.bottom - cut + 1, cell.right, cell.bottom);
        } else if (m_nameMode == 2) {
            int nameLeft = static_cast<int>(cell.right - (100 - m_name2Per) * (cell.right - cell.left) / 100);
            picture.SetRect(cell.left, cell.top, nameLeft - 6, cell.bottom);
            name.SetRect(nameLeft - 5, cell.top, cell.right, cell.bottom);
        }
    }

    int result = -1;
    if (pictureMode == PictureIcon) {
        result = DrawIconFit(target, picture);
    } else if (pictureMode == PictureHeld || pictureMode == PictureMade) {
        // Without anywhere to draw only the geometry is wanted: no thumbnail is fetched.
        if (!target || DrawPictureArea(target, picture, pictureMode == PictureMade) != 0)
            result = DrawIconFit(target, picture);
        else
            result = 0;
    }
    if (m_nameMode != 0 && target)
        DrawName(target, name, ownSurface);
    // Drawn now: the most recent of the items whose pictures the bound keeps.
    if (target && (m_thumbnail || m_picture))
        m_heldEntry.Touch(this, GetHeldBytes());
    if (target && oldFont)
        SelectObject(target->GetSafeHdc(), oldFont);

    if (target) {
        name.OffsetRect(-ox, -oy);
        m_nameArea = name;
    }
    picture.OffsetRect(-ox, -oy);
    m_pictureArea = picture;
    m_cellSize = SIZE{width, height};
    return result;
}

int VyxFilexDraw::DrawPictureArea(CDC* dc, CRect rect, bool make)
{
    if (theDesignThumbs.IsInvalid()) {
        if (m_shadow == 1) {
            rect.right -= 2;
            rect.bottom -= 2;
        } else if (m_shadow == 2) {
            rect.left += 2;
            rect.top += 2;
            rect.right -= 4;
            rect.bottom -= 4;
        }
        HGLOBAL thumbnail = GetThumbnailFor(rect.left, rect.top, rect.right, rect.bottom, make);
        if (thumbnail && dc) {
            RECT fit;
            CalcFitRect(fit, rect.left, rect.top, rect.right, rect.bottom, GetDibWidth(thumbnail),
                        GetDibHeight(thumbnail), m_limitCheck != FALSE, m_keepAspect != FALSE, 0);
            PaintDib(dc, fit, thumbnail, SRCCOPY);
            DrawCellEdge(dc, fit, m_shadow + CellEdgeOwn);
        }
    } else {
        theDesignThumbs.SetVariable(L"$_LEFT", rect.left);
        theDesignThumbs.SetVariable(L"$_TOP", rect.top);
        theDesignThumbs.SetVariable(L"$_RIGHT", rect.right);
        theDesignThumbs.SetVariable(L"$_BOTTOM", rect.bottom);
        theDesignThumbs.SetVariable(L"$_SELECT", TestFlags(FlagSelected) ? 1 : 0);
        theDesignThumbs.AttachDC(dc, 0);
        theDesignThumbs.SetUnit(1);
        VyxFilexDraw* previous = s_designItem;
        s_designItem = this;
        theDesignThumbs.Run();
        s_designItem = previous;
        theDesignThumbs.AttachDC(nullptr, 0);
    }
    if (!m_thumbnail)
        return 1;

    if (IsShownByCover() && s_smallImages && dc && GetIconIndex() >= 0) {
        SIZE small = GetSmallIconSize();
        int ix = rect.left + 2, iy = rect.top + 2;
        if (GetItemSettings().drawIconAlign & 1)
            ix = rect.right - small.cx - 2;
        if (GetItemSettings().drawIconAlign & 2)
            iy = rect.bottom - small.cy - 2;
        ImageList_Draw(s_smallImages, m_iconIndex, dc->GetSafeHdc(), ix, iy, ILD_TRANSPARENT);
    }
    if (GetItemSettings().notCreateThumbsSize != 0) {
        DWORD area = static_cast<DWORD>(m_pictureArea.Width()) * static_cast<DWORD>(m_pictureArea.Height());
        if (GetItemSettings().notCreateThumbsSize < area)
            DropThumbnail();
        else if (m_autoCache)
            StoreCache();
    }
    return 0;
}

void VyxFilexDraw::DrawName(CDC* dc, CRect rect, bool ownSurface)
{
    dc->SetTextColor(colText);
    COLORREF fill = IsArchiveMember() ? colArcDraw
                    : IsFolder()      ? colFolderDraw
                    : HasCover()      ? colCantDraw
                                      : colNormalDraw;
    if (ownSurface && TheNameBoxStrip().Paint(dc, rect, fill, m_nameFrame != FALSE, m_nameFrameEdge)) {
        if (m_nameFrame)
            rect = DrawCellEdge(nullptr, rect, m_nameFrameEdge);
    } else {
        dc->FillSolidRect(&rect, fill);
        if (m_nameFrame)
            rect = DrawCellEdge(dc, rect, m_nameFrameEdge);
    }
    rect.DeflateRect(1, 1);

    if (IsFolder()) {
        DrawTextLine(dc, GetFileName(), rect, DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS);
        return;
    }
    // The template's "\n" breaks its lines, and so does a note's line break; any other value,
    // a path or a note's "\n" typed as text, is drawn as it is.
    CString format = HasCover() ? L"$(Name)\\n$(Info)" : m_nameFormat.GetString();
    format.Replace(L"\\n", L"\r\n");
    CString text = ExpandMacros(format, L"\r\n");
    if (m_nameMode == 2) {
        dc->DrawText(text, &rect, DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    if (text.Find(L"\r\n") < 0) {
        const int width = dc->GetTextExtent(text).cx;
        if (width < rect.Width()) {
            // One line that fits: no ellipsis and no break; word-broken names are centred.
            DrawFittingLine(dc, text, rect, width, m_wordBreak != FALSE);
            return;
        }
        if (!m_wordBreak) {
            DrawTextLine(dc, text, rect, DT_WORD_ELLIPSIS);
            return;
        }
        // Wrapped only when every line shows whole: a name cut after its first line reads as
        // another name, and DrawText cannot keep the low lines a font leaves out.
        CRect measured = rect;
        dc->DrawText(text, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        if (measured.Width() < rect.Width() && measured.Height() <= rect.Height() &&
            (text.Find(L'_') < 0 || !FontDropsLowLine(dc->GetSafeHdc())))
            dc->DrawText(text, &rect, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        else
            DrawTextLine(dc, text, rect, DT_VCENTER | DT_WORD_ELLIPSIS);
        return;
    }
    // Split at the line breaks only: an expanded name is plain text, and a quote in it
    // ("Tom's photo.jpg") must not swallow the lines after it.
    for (int start = 0; start <= text.GetLength();) {
        int end = text.Find(L"\r\n", start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        start = end + 2;
        CSize extent = dc->GetTextExtent(line);
        UINT format =
            extent.cx > rect.Width() ? DT_SINGLELINE | DT_WORD_ELLIPSIS : DT_CENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
        DrawTextLine(dc, line, rect, format);
        rect.top += extent.cy + 1;
    }
}

void VyxFilexDraw::DrawCursor(CDC* dc, int x, int y)
{
    if (!dc)
        return;
    CRect area = m_pictureArea;
    area.OffsetRect(x, y);
    if (theDesignCursor.IsInvalid()) {
        CPen pen(PS_SOLID, 1, colSelectCheck);
        CPen* old = dc->SelectObject(&pen);
        dc->MoveTo(area.left, area.top);
        dc->LineTo(area.right - 1, area.top);
        dc->LineTo(area.right - 1, area.bottom - 1);
        dc->LineTo(area.left, area.bottom - 1);
        dc->LineTo(area.left, area.top);
        dc->SelectObject(old);
        return;
    }
    theDesignCursor.AttachDC(dc, 0);
    theDesignCursor.SetUnit(1);
    theDesignCursor.SetVariable(L"$_LEFT", area.left);
    theDesignCursor.SetVariable(L"$_TOP", area.top);
    theDesignCursor.SetVariable(L"$_RIGHT", area.right);
    theDesignCursor.SetVariable(L"$_BOTTOM", area.bottom);
    theDesignCursor.Run();
    theDesignCursor.AttachDC(nullptr, 0);
}

int VyxFilexDraw::DesignRequest(VyxScriptRequest* request)
{
    VyxFilexDraw* item = s_designItem;
    if (!item || !request)
        return 0;
    if (request->type == ScriptRequestExpandText) {
        request->text = item->ExpandMacros(request->text, L"\r\n");
    } else if (request->type == ScriptRequestAreaImage) {
        request->image = item->GetThumbnailFor(request->left, request->top, request->right, request->bottom, true);
        const wchar_t* kind = item->IsArchiveMember() ? L"\"archive\""
                              : item->HasCover()      ? L"\"face\""
                              : item->IsFolder()      ? L"\"folder\""
                                                      : L"\"file\"";
        theDesignThumbs.SetVariableFormula(L"$KINDS", kind);
    }
    return 0;
}

int VyxFilexDraw::GetIconIndex()
{
    if (m_iconIndex == -1) {
        SHFILEINFOW info = {};
        DWORD attributes = IsFolder() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        if (SHGetFileInfoW(m_fileName, attributes, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES))
            m_iconIndex = info.iIcon;
    }
    return m_iconIndex;
}

int VyxFilexDraw::DrawIconFrom(HIMAGELIST list, CDC* dc, int x, int y)
{
    if (!list)
        return 1;
    if (dc && GetIconIndex() >= 0)
        ImageList_Draw(list, m_iconIndex, dc->GetSafeHdc(), x, y, ILD_TRANSPARENT);
    return 0;
}

int VyxFilexDraw::DrawIcon(CDC* dc, int x, int y)
{
    return DrawIconFrom(s_largeImages, dc, x, y);
}

int VyxFilexDraw::DrawSmallIcon(CDC* dc, int x, int y)
{
    return DrawIconFrom(s_smallImages, dc, x, y);
}

int VyxFilexDraw::DrawIconFit(CDC* dc, const RECT& rect)
{
    SIZE size = GetLargeIconSize();
    RECT fit;
    CalcFitRect(fit, rect.left, rect.top, rect.right, rect.bottom, size.cx, size.cy, true, true, 0);
    return DrawIcon(dc, fit.left, fit.top);
}

void VyxFilexDraw::DrawPreview(CDC* dc, const RECT& frame, bool picture)
{
    if (!dc)
        return;
    CRect area(frame);
    area.DeflateRect(2, 2);
    dc->FillSolidRect(&area, RGB(0, 0, 0));
    if (!picture || DrawDesign(dc, area, true) != 0)
        DrawIconFit(dc, area);
}

int VyxFilexDraw::DrawSmallIconFit(CDC* dc, const RECT& rect)
{
    SIZE size = GetSmallIconSize();
    RECT fit;
    CalcFitRect(fit, rect.left, rect.top, rect.right, rect.bottom, size.cx, size.cy, true, true, 0);
    return DrawSmallIcon(dc, fit.left, fit.top);
}

int VyxFilexDraw::HitTest(int x, int y) const
{
    POINT point = {x - m_position.x, y - m_position.y};
    return GetOutCode(m_nameArea, point);
}

void VyxFilexDraw::DropThumbnail()
{
    if (m_thumbnail && m_thumbnail != m_picture)
        GlobalFree(m_thumbnail);
    m_thumbnail = nullptr;
    m_boxSize = SIZE{0, 0};
    m_cached = false;
    m_heldEntry.Update(GetHeldBytes());
}

void VyxFilexDraw::SetThumbnail(HGLOBAL thumbnail)
{
    DropThumbnail();
    m_thumbnail = thumbnail;
    m_heldEntry.Update(GetHeldBytes());
}

bool VyxFilexDraw::LoadPicture(HGLOBAL& picture, const SIZE* desiredSize)
{
    DrawStateScope state(m_drawState, LoadingPicture);
    switch (SteppedPictureLoad::Load(*this, desiredSize, &picture)) {
    case SteppedPictureLoad::Loaded:
        return picture != nullptr;
    case SteppedPictureLoad::Pending:
        return false;
    default:
        break;
    }
    picture = VyxFilexImage::LoadPicture(desiredSize);
    return picture != nullptr;
}

bool VyxFilexDraw::IsWaitingForCache() const
{
    if (!WillLookUpCache())
        return false;
    return m_cacheAnswerPending || theCacheList.IsReading() ||
           (theCacheList.IsWriting() && theCacheList.IsWritingOf(GetResolvedFolder(), GetArchiveFileName()));
}

HGLOBAL VyxFilexDraw::GetThumbnailFor(int left, int top, int right, int bottom, bool make)
{
    m_cacheAnswerPending = false;
    const int limit = IsArchiveMember() ? GetItemSettings().archiveMemberLimit : GetItemSettings().pluginDisplayLimit;
    // In 64 bits: the default limit of 2048 MB is 2^31 bytes.
    if (limit != 0 && m_size >= static_cast<ULONGLONG>(static_cast<DWORD>(limit)) * 1048576u)
        m_cannotDraw = true;
    if (m_cannotDraw)
        return nullptr;

    m_thumbnailNew = false;
    bool restored = false;
    if (m_cacheLookup) {
        // While a pass may give way, a large cache file is read in the background; the look-up
        // stays to be made, and nothing is made from the picture meanwhile.
        const int found =
            m_thumbnail || m_cached ? -1 : theCacheList.LoadFromCache(this, SteppedPictureLoad::Allowance::IsInForce());
        // Kept for the pass: a file whose writing ends right after this answer must still bring
        // the pass back to this item.
        m_cacheAnswerPending = found == VyxCacheList::StillReading;
        if (m_cacheAnswerPending)
            return nullptr;
        if (found == 0 && m_thumbnail) {
            m_cached = true;
            m_thumbScaleMode = m_scaleMode;
            m_thumbUnsharp = m_unsharp;
            m_thumbFixed = TRUE;
            m_thumbnailNew = true;
            restored = true;
        }
        m_cacheLookup = FALSE;
    }
    const SIZE box = {right - left, bottom - top};
    if (!restored && m_thumbnail) {
        if (!m_thumbFixed && (box.cx != m_boxSize.cx || box.cy != m_boxSize.cy))
            DropThumbnail();
        else if (m_thumbScaleMode < m_scaleMode || (m_thumbUnsharp != FALSE) != (m_unsharp != FALSE))
            DropThumbnail();
    }
    if (!m_thumbnail) {
        if (make) {
            if (CreateThumbnail(box)) {
                m_thumbnailNew = true;
                if (HasCover()) {
                    // The held picture must not darken along with its cover thumbnail.
                    if (m_thumbnail == m_picture)
                        m_thumbnail = CopyGlobal(m_picture);
                    const int brightness = GetItemSettings().coverBrightness;
                    if (m_thumbnail)
                        AdjustDibRgb(m_thumbnail, brightness, brightness, brightness);
                }
            } else if (!SteppedPictureLoad::IsPendingFor(*this)) {
                // A load that gave way is no failure: the thumbnail comes when it is asked again.
                m_cannotDraw = true;
            }
        }
        if (!m_thumbnail)
            return nullptr;
    }
    if (IsFolder() && !GetItemSettings().IsFolderCoverOn()) {
        DropThumbnail();
        return nullptr;
    }
    if (GetItemSettings().IsArchiveCoverOn() || !IsArchive())
        return m_thumbnail;
    DropThumbnail();
    return nullptr;
}

HGLOBAL VyxFilexDraw::CreateThumbnail(SIZE box)
{
    // The JPEG reader decodes at a scale chosen for the box: another box wants another decode.
    if ((static_cast<DWORD>(m_loaderId) >> 16) == kJpegLoaderGroup &&
        (box.cx != m_boxSize.cx || box.cy != m_boxSize.cy) && m_picture && m_picture != m_thumbnail) {
        GlobalFree(m_picture);
        m_picture = nullptr;
    }
    if (!m_picture && !LoadPicture(m_picture, &box))
        return nullptr;
    DropThumbnail();
    if (m_width < 1)
        m_width = GetDibWidth(m_picture);
    if (m_height < 1)
        m_height = GetDibHeight(m_picture);
    if (m_bitCount < 1)
        m_bitCount = GetDibBitCount(m_picture);
    RECT fit;
    CalcFitRect(fit, 0, 0, box.cx, box.cy, m_width, m_height, m_limitCheck != FALSE, m_keepAspect != FALSE, m_angle);
    HGLOBAL thumbnail = MakeThumbnail(fit.right - fit.left, fit.bottom - fit.top, m_picture);
    m_thumbScaleMode = m_scaleMode;
    m_thumbUnsharp = m_unsharp;
    m_thumbnail = thumbnail;
    m_boxSize = box;
    if (GetItemSettings().freePictureAfterMaking && m_picture != m_thumbnail) {
        GlobalFree(m_picture);
        m_picture = nullptr;
    }
    m_heldEntry.Update(GetHeldBytes());
    return m_thumbnail;
}

HGLOBAL VyxFilexDraw::MakeThumbnailFromPicture(HGLOBAL picture, SIZE box)
{
    if (!picture)
        return nullptr;
    RECT fit;
    CalcFitRect(fit, 0, 0, box.cx, box.cy, GetDibWidth(picture), GetDibHeight(picture), m_limitCheck != FALSE,
                m_keepAspect != FALSE, m_angle);
    return MakeThumbnail(fit.right - fit.left, fit.bottom - fit.top, picture);
}

HGLOBAL VyxFilexDraw::MakeThumbnail(int width, int height, HGLOBAL source)
{
    if (!source)
        return nullptr;
    const LONG sourceWidth = GetDibWidth(source), sourceHeight = GetDibHeight(source);
    if (sourceWidth == width && sourceHeight == height && m_angle == 0)
        return source;
    width = std::max(width, 1);
    height = std::max(height, 1);
    const double scale = FitFactor(width, height, sourceWidth, sourceHeight);

    HGLOBAL work = MakeDib24(source);
    if (!work)
        return nullptr;
    HGLOBAL result = nullptr;
    bool sharpen = false, resampled = true;
    switch (m_scaleMode) {
    case 1:
        result = RotateResizeDib(work, width, height, m_angle);
        break;
    case 2:
        result = ResampleDibBilinear(work, width, height, m_angle, colBackGround);
        sharpen = true;
        break;
    case 3:
        result = ResampleDibAverage(work, width, height, m_angle, 0, colBackGround);
        sharpen = true;
        break;
    case 10:
        if (scale <= 0.5)
            result = ResampleDibAverage(work, width, height, m_angle, 1.0 / scale > 4.0 ? 1 : 0, colBackGround);
        else
            result = ResampleDibBilinear(work, width, height, m_angle, colBackGround);
        sharpen = true;
        break;
    default: {
        resampled = false;
        HGLOBAL turned = RotateDib(work, m_angle);
        if (scale == 1.0) {
            result = turned;
            break;
        }
        CDibSection surface;
        if (turned && surface.Create24(nullptr, width, height, colBackGround)) {
            surface.Fill(nullptr, colBackGround);
            surface.PutDibRect(turned, RECT{0, 0, width, height}, SRCCOPY);
            result = surface.ToPackedDib();
        }
        FreeUnless(turned, work, source);
        break;
    }
    }
    // The resamplers give their input back when they cannot make the picture asked for.
    if (resampled && result == work && (GetDibWidth(work) != width || GetDibHeight(work) != height))
        result = nullptr;
    if (sharpen && m_unsharp && result) {
        double amount = GetItemSettings().sharpenLevel - 0.5 +
                        SharpenCorrection(FitFactor(width, height, m_width, m_height), scale);
        HGLOBAL sharpened = nullptr;
        if (amount >= 0.3 && amount <= 0.35)
            sharpened = UnsharpMaskDib(result, amount);
        else if (amount > 0)
            sharpened =
                SharpenDibKernel(result, amount, GetItemSettings().sharpenSize, GetItemSettings().sharpenWeights);
        if (sharpened && sharpened != result) {
            FreeUnless(result, work, source);
            result = sharpened;
        }
    }
    FreeUnless(work, result, source);
    return result;
}
