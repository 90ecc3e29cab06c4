// The picture display engine: the pages of one file item (GIF frames, TIFF pages, frames of an
// AVI or other video file, or the single picture of any other file), the display copy of each
// page fitted, zoomed, turned and resampled for a display rectangle, its place in that rectangle,
// and painting page, background and information text. It owns no window and no timer: the view
// and the slideshow drive it. Every block it stores is its own.
#pragma once

#include "catalogue/VyxFile.h"
#include "image/DibSection.h"

#include <functional>
#include <memory>
#include <vector>

class COnePicture
{
public:
    // Multi-page families by the loader id's high word.
    enum { KindGif = 0x0102, KindTiff = 0x0103, KindAvi = 0x0300, KindVideo = 0x0301 };
    // FitSize.
    enum {
        FitAsIs = 0,
        FitWindowFollows = 1,
        FitStretch = 2,
        FitAspect = 3,
        FitAspectTurn = 4,
        FitWidth = 5,
        FitHeight = 6
    };
    // ScaleMode; any other value works as ScaleDevice.
    enum { ScaleDevice = 0, ScaleNearest = 1, ScaleBilinear = 2, ScaleAverage = 3, ScaleAuto = 10 };

    // The largest display copy made: no side above this, and no more bytes than the next.
    static constexpr int MaxDisplaySide = 32767;
    static constexpr ULONGLONG MaxDisplayBytes = 256ull << 20;
    // What the pages of one file may hold (sources and display copies) before loading stops.
    static constexpr ULONGLONG DefaultPageBudget = 512ull << 20;
    // What the pages of a file that can be read again (a TIFF) hold at most: past it the pages
    // shown longest ago let go and are read again when shown.
    static constexpr ULONGLONG ReadAgainBudget = 128ull << 20;
    // Loading also stops when a page would leave less free address space than this.
    static constexpr ULONGLONG AddressSpaceReserve = 256ull << 20;

    // An edit made to the current page's display copy (a mirror, a colour change), kept so that
    // it can be made again on the page at its own size. apply answers a new block, or null on
    // failure, and leaves its input as it was; geometric tells that it moves pixels (a mirror).
    struct PageEdit
    {
        std::function<HGLOBAL(HGLOBAL)> apply;
        bool geometric = false;
    };

    COnePicture();
    ~COnePicture();
    COnePicture(const COnePicture&) = delete;
    COnePicture& operator=(const COnePicture&) = delete;

    void Init();
    // As Init, taking the settings from an engine already set up instead of reading them again.
    void InitLike(const COnePicture& model);
    void Free();

    // A single picture that is to be fitted (fit mode 3, upright, shrinking allowed) is read at
    // the smallest scale the decoder offers that still covers the display rectangle.
    void SetPicture(const VyxFile* item);
    // One more page of a multi-page file; 0 when none was added.
    int StepPage();
    int Show(CDC* pDC, const VyxFile* item, BOOL bReload);
    // nPage < 0: the current page.
    int Draw(CDC* pDC, int nPage = -1);
    void PreparePage(int nPage);
    // After the display rectangle changed: the display copies are made again only when the
    // current page's display size changes; otherwise the page is only placed again.
    void Refit();
    CSize CalcDisplaySize(const RECT& rect, int width, int height);
    // The display size of a picture of that size, and the zoom it is shown at: as
    // CalcDisplaySize, or fitted into the display rectangle when that size is past the bound.
    CSize ShownSize(CSize picture, double& zoom);
    // A new 24-bit DIB (or the source itself when nothing was to be done), null on failure.
    HGLOBAL Resample(HGLOBAL source, int width, int height);
    // As Resample, for a copy shown at that zoom (the automatic scale mode chooses by it).
    HGLOBAL ResampleAt(HGLOBAL source, int width, int height, double zoom);
    int NextPage();
    int PrevPage();
    // One animation tick at the given tick count: reads one more frame, and steps to the next
    // frame once the current one has had its delay (at once while frames are still being read).
    // 1 stepped (the caller repaints), 0 waiting, -1 fewer than two frames (the caller stops).
    int AnimationTick(DWORD now);
    void Scroll(int dx, int dy);
    void SetDisplayRect(const RECT& rect);
    BOOL CanScrollX() const;
    BOOL CanScrollY() const;
    BOOL HitTest(int x, int y) const;
    // The DIB (now the engine's) becomes the current page's display copy; the edits already made
    // to it stay.
    void ReplaceDisplayPage(HGLOBAL dib);
    // The edit that made the current display copy, after those made before it. A display copy
    // made again from the page (another size, turn or page) starts without edits.
    void AddDisplayEdit(PageEdit edit);
    // The current page as shown but at its own pixel size, never the display's: read again whole
    // when it was read reduced, turned as shown, and with the edits of its display copy made
    // again in order. A new block the caller frees, or null; geometric (when given) tells whether
    // its pixels were turned or mirrored.
    HGLOBAL MakePageAsShown(bool* geometric = nullptr);
    // The current page's own size as shown, turned (0 x 0 without a page).
    CSize GetShownPictureSize() const;
    void FreePages();
    void FreeDisplayPages();

    // Whether a display copy of that size may be made.
    static bool IsDisplaySizeAllowed(SIZE size);
    // Whether the current page shown as is at that zoom would still get a display copy (true
    // while there is no page).
    bool IsZoomAllowed(double zoom) const;
    // Bytes of a 24-bit DIB of that size (64-bit, never overflowing).
    static ULONGLONG Dib24Bytes(LONGLONG width, LONGLONG height);
    // Whether the item's kind plays on a timer: GIF always, AVI and other video when asked.
    static bool IsAnimatedKind(const VyxFile* item, int aviShow, int dswShow);
    // An angle turned on by some degrees (either way), within 0..359.
    static int TurnAngle(int angle, int by) { return ((angle + by % 360) % 360 + 360) % 360; }

    // ---- getters
    int GetAngle() const { return m_angle; }
    HGLOBAL GetDisplayPage() const;
    int GetPageDelay() const;
    CSize GetDisplaySize() const { return m_displaySize; }
    int GetCurrentPage() const { return m_currentPage; }
    // The pages read so far.
    int GetPageCount() const { return m_pageCount; }
    // The pages the file has, as far as known: a TIFF tells its page count when it opens; other
    // files count the pages read so far.
    int GetKnownPageCount() const;
    double GetZoom() const { return m_zoom; }
    // The zoom of the current page as shown: the zoom asked, unless no display copy of that size
    // could be made and the page is shown fitted instead.
    double GetShownZoom() const;
    int GetFitMode() const { return m_fitMode; }
    VyxFile* GetItem() const { return m_item.get(); }
    DWORD GetAnimationStart() const { return m_animationStart; }
    UINT_PTR GetAnimationTimer() const { return m_animationTimer; }
    const CRect& GetDisplayRect() const { return m_rect; }
    CPoint GetOrigin() const { return m_origin; }
    int GetPageCapacity() const { return static_cast<int>(m_pages.size()); }
    BOOL IsLoadingFinished() const { return m_finished; }
    // The file's bytes are held, or the file is kept open, for pages still to be read.
    BOOL HoldsFileData() const { return m_fileData != nullptr || m_openFile != INVALID_HANDLE_VALUE; }
    const CString& GetInfoText() const { return m_infoText; }
    HGLOBAL GetSourcePage(int nPage) const;
    HGLOBAL GetDisplayPageAt(int nPage) const;
    // Bytes of the source pages and display copies held now.
    ULONGLONG GetHeldBytes() const;

    // ---- setters
    void SetAlign(int align) { m_align = align; }
    void SetAngle(int angle) { m_angle = angle; }
    void SetTurnDirection(int direction) { m_turnDirection = direction; }
    void SetAviShow(int on) { m_aviShow = on; }
    void SetBackColor(COLORREF colour) { m_backColor = colour; }
    void SetDswShow(int on) { m_dswShow = on; }
    void SetStepSecond(int seconds) { m_stepSecond = seconds; }
    void SetDelayTime(int milliseconds) { m_delayTime = milliseconds; }
    void SetInfo(int on) { m_info = on; }
    void SetTextColor(COLORREF colour) { m_textColor = colour; }
    void SetInfoPosition(int x, int y) { m_infoX = x, m_infoY = y; }
    // The text of a file already loaded follows the new template.
    void SetInfoTemplate(const wchar_t* text);
    void SetZoom(double zoom) { m_zoom = zoom; }
    void SetScaleMode(int mode) { m_scaleMode = mode; }
    void SetFitMode(int mode) { m_fitMode = mode; }
    void SetAllowShrink(int on) { m_allowShrink = on; }
    void SetAllowEnlarge(int on) { m_allowEnlarge = on; }
    int GetAllowShrink() const { return m_allowShrink; }
    int GetAllowEnlarge() const { return m_allowEnlarge; }
    void SetAnimationStart(DWORD tick) { m_animationStart = tick; }
    void SetAnimationTimer(UINT_PTR id) { m_animationTimer = id; }
    // Fit mode 1: the client size the owner's window can grow to. A picture too large for a display
    // copy is fitted into it rather than into the rectangle shown now (empty: the rectangle).
    void SetFollowRoom(CSize room) { m_followRoom = room; }
    CSize GetFollowRoom() const { return m_followRoom; }
    void SetPageBudget(ULONGLONG bytes) { m_pageBudget = bytes; }
    // Engines that share one page budget (the slideshow's grid): the pages of all of them count.
    void SetBudgetGroup(const COnePicture* first, int count)
    {
        m_budgetGroup = first;
        m_budgetGroupSize = count;
    }

private:
    struct Page
    {
        HGLOBAL display = nullptr; // may be the very block of the source
        HGLOBAL source = nullptr;
        int delay = 0;
        double zoom = 0;   // of the display copy
        bool away = false; // let go to stay within the budget: read again when shown
        DWORD used = 0;    // when last shown or read, on the engine's own count
        // What was done to the display copy since it was made from the source.
        std::vector<PageEdit> edits;
    };

    // Empty page tables of that many entries, every display setting back to its initial value.
    void Reset(int capacity);
    int GetKind() const { return (m_loaderId >> 16) & 0xFFFF; }
    bool IsValidPage(int nPage) const { return nPage >= 0 && nPage < m_pageCount; }
    void FreePage(Page& page);
    void FreeFileData();
    void FinishLoading();
    // Stores the page as the next one when the budget allows (first pages always); false when it
    // was refused and freed.
    bool AddPage(HGLOBAL source, int delay);
    bool PageFitsBudget(HGLOBAL source);
    // A TIFF's pages can be read again from the bytes held or the file kept open.
    bool CanReadPagesAgain() const
    {
        return GetKind() == KindTiff && (m_fileData != nullptr || m_openFile != INVALID_HANDLE_VALUE);
    }
    ULONGLONG GetBudget() const;
    // Lets go of the pages shown longest ago (never the current one) until the page fits the
    // budget; false when it does not fit even then.
    bool MakeRoomFor(HGLOBAL source);
    // A page let go is read again; false when it cannot be.
    bool BringBack(int nPage);
    bool IsPageAway(int nPage) const { return IsValidPage(nPage) && m_pages[nPage].away; }
    HGLOBAL DecodeTiffPage(int nPage);
    void LoadFirstPage();
    bool DecodesReduced() const;
    // Whether the picture at its own size is past what one picture may take: it is then read no
    // larger than the rectangle, by a decoder that can reduce it.
    bool IsPastThePictureBound() const;
    void LoadSinglePicture(bool bReduced);
    // The page's size as the picture has it (a page read at a reduced scale counts full size).
    CSize GetPictureSize(int nPage) const;
    // The bounding size of a picture of that size turned by the angle shown.
    CSize TurnedSize(CSize picture) const;
    // A page read reduced that is to be shown larger is read again whole; true when it was.
    bool EnsureSourceFor(int nPage, CSize size);
    int StepGifFrame();
    int StepTiffPage();
    void CountTiffPages();
    int StepVideoFrame();
    HGLOBAL ReadVideoFrame(int nPage);
    void TakeFactsFromFirstPage(HGLOBAL page, int bitCount);
    void TakePageSize();
    void PlaceOrigin();
    void ClampOrigin();
    void DrawInfo(CDC* pDC, const CRect& rect);

    int m_displayDepth = 24;
    DWORD m_animationStart = 0;
    UINT_PTR m_animationTimer = 0;
    std::unique_ptr<VyxFile> m_item;
    CDibSection m_surface;
    CRect m_rect;
    BOOL m_finished = TRUE;
    CDibSection m_gifCanvas;
    double m_framesPerSecond = 1.0;
    int m_aviShow = 0;
    int m_dswShow = 0;
    int m_stepSecond = 1;
    int m_delayTime = 1000;
    HGLOBAL m_fileData = nullptr;
    DWORD m_fileSize = 0;
    int m_currentPage = 0;
    int m_pageCount = 0;
    // The page count a TIFF gives when it opens (0 for other files).
    int m_announcedPages = 0;
    // The next GIF frame to decode: a frame restored by its disposal adds a page of its own.
    int m_gifFrame = 0;
    // Counts the pages' uses, to tell which was shown longest ago.
    DWORD m_useCount = 0;
    // A TIFF on disk is read through the open file, none of it held; the bytes are read into
    // memory only for a page the open file does not give.
    HANDLE m_openFile = INVALID_HANDLE_VALUE;
    bool m_fileDataTried = false;
    std::vector<Page> m_pages;
    int m_fitMode = FitAspect;
    int m_scaleMode = ScaleAuto;
    int m_turnDirection = 0;
    int m_allowEnlarge = 1;
    int m_allowShrink = 1;
    int m_angle = 0;
    int m_align = 15;
    CSize m_displaySize;
    CPoint m_origin;
    double m_zoom = 1.0;
    int m_info = 0;
    COLORREF m_textColor = 0;
    CString m_infoTemplate;
    int m_infoX = 0;
    int m_infoY = 0;
    CString m_infoText;
    COLORREF m_backColor = 0;
    int m_loaderId = -1;
    ULONGLONG m_pageBudget = DefaultPageBudget;
    // Page 0 of a single picture read at a reduced scale: its width over the picture's.
    double m_sourceScale = 1.0;
    const COnePicture* m_budgetGroup = nullptr;
    int m_budgetGroupSize = 0;
    CSize m_followRoom;
};
