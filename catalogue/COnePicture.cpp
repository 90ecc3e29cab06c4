#include "catalogue/COnePicture.h"

#include "catalogue/PictureViewSettings.h"
#include "foundation/PixelSize.h"
#include "foundation/SettingsTable.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxIni.h"
#include "image/DibDepth.h"
#include "image/DibCore.h"
#include "image/DibPaint.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"
#include "image/DibValidate.h"
#include "image/RotateInfo.h"
#include "image/codecs/GifFile.h"
#include "image/codecs/TiffFile.h"
#include "image/codecs/VideoFile.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>

namespace {

const wchar_t kSection[] = L"COneView";
const int kMinCapacity = 16;
const int kMaxCapacity = 512;
const int kMaxGifDelay = 2000;
// Delays shorter than this much past the last animation tick already count as due.
const int kTickSlack = 27;
// Display sizes stay far inside int, so placement arithmetic never overflows.
const double kSideCeiling = 1 << 30;

// A side of the display size: whole pixels, at least 32, never past the ceiling (NaN gives 32).
int ToSide(double value)
{
    value = std::trunc(value);
    if (!(value >= 32))
        return 32;
    return value > kSideCeiling ? static_cast<int>(kSideCeiling) : static_cast<int>(value);
}

// The smaller of the two ratios, a zero side leaving its ratio out; fallback when both are out.
double FitRatio(double rw, double rh, double w, double h, double fallback)
{
    if (w > 0 && h > 0)
        return std::min(rw / w, rh / h);
    if (w > 0)
        return rw / w;
    if (h > 0)
        return rh / h;
    return fallback;
}

LONGLONG Clamp(LONGLONG value, LONGLONG low, LONGLONG high)
{
    return value < low ? low : value > high ? high : value;
}

// x of a w-wide picture placed in [left, right) by the two alignment bits (1 near, 2 far, else
// centre), never before left.
LONGLONG Place(int bits, LONGLONG left, LONGLONG right, LONGLONG w)
{
    LONGLONG x = bits == 1 ? left : bits == 2 ? right - w : (right - left - w) / 2 + left;
    return std::max(x, left);
}

// Where the picture may lie along one axis: inside the rectangle when smaller, covering it when larger.
LONGLONG ClampAxis(LONGLONG x, LONGLONG left, LONGLONG right, LONGLONG w)
{
    return w < right - left ? Clamp(x, left, right - w) : Clamp(x, right - w, left);
}

SIZE_T BlockSize(HGLOBAL block)
{
    return block ? ::GlobalSize(block) : 0;
}

} // namespace

COnePicture::COnePicture() = default;

COnePicture::~COnePicture()
{
    FreePages();
}

void COnePicture::Init()
{
    m_aviShow = SettingsTable::ReadOne(&PictureViewSettings::AviShow);
    m_dswShow = SettingsTable::ReadOne(&PictureViewSettings::DswShow);
    m_stepSecond = SettingsTable::ReadOne(&PictureViewSettings::StepSecond);
    m_delayTime = SettingsTable::ReadOne(&PictureViewSettings::DelayTime);
    const int capacity = std::clamp(GetAppIniInt(kSection, L"MaxDibPageCount", 128), kMinCapacity, kMaxCapacity);
    m_displayDepth = GetScreenBitDepth();
    Reset(capacity);
}

void COnePicture::InitLike(const COnePicture& model)
{
    m_aviShow = model.m_aviShow;
    m_dswShow = model.m_dswShow;
    m_stepSecond = model.m_stepSecond;
    m_delayTime = model.m_delayTime;
    m_displayDepth = model.m_displayDepth;
    Reset(model.GetPageCapacity());
}

void COnePicture::Reset(int capacity)
{
    FreePages();
    m_pages.assign(static_cast<size_t>(capacity), Page());
    m_pageCount = m_currentPage = 0;
    m_fitMode = FitAspect;
    m_scaleMode = ScaleAuto;
    m_turnDirection = 0;
    m_allowEnlarge = m_allowShrink = 1;
    m_angle = 0;
    m_align = 15;
    m_zoom = 1.0;
    m_info = 0;
    m_textColor = m_backColor = 0;
}

void COnePicture::Free()
{
    WriteAppIniInt(kSection, L"MaxDibPageCount", GetPageCapacity());
    FreePages();
    m_pages.clear();
    m_pageCount = m_currentPage = 0;
    m_surface.Destroy();
}

// ---------------------------------------------------------------- pages

HGLOBAL COnePicture::GetSourcePage(int nPage) const
{
    return IsValidPage(nPage) ? m_pages[nPage].source : nullptr;
}

HGLOBAL COnePicture::GetDisplayPageAt(int nPage) const
{
    return IsValidPage(nPage) ? m_pages[nPage].display : nullptr;
}

HGLOBAL COnePicture::GetDisplayPage() const
{
    return GetDisplayPageAt(m_currentPage);
}

int COnePicture::GetPageDelay() const
{
    return IsValidPage(m_currentPage) ? m_pages[m_currentPage].delay : 0;
}

ULONGLONG COnePicture::GetHeldBytes() const
{
    ULONGLONG bytes = 0;
    for (int i = 0; i < m_pageCount; ++i) {
        const Page& page = m_pages[i];
        bytes += BlockSize(page.source);
        if (page.display != page.source)
            bytes += BlockSize(page.display);
    }
    return bytes;
}

void COnePicture::FreePage(Page& page)
{
    if (page.display && page.display != page.source)
        ::GlobalFree(page.display);
    if (page.source)
        ::GlobalFree(page.source);
    page = Page();
}

void COnePicture::FreeFileData()
{
    if (m_fileData)
        ::GlobalFree(m_fileData);
    m_fileData = nullptr;
    m_fileSize = 0;
    if (m_openFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_openFile);
    m_openFile = INVALID_HANDLE_VALUE;
    m_fileDataTried = false;
}

void COnePicture::FreePages()
{
    FreeFileData();
    for (Page& page : m_pages)
        FreePage(page);
    m_gifCanvas.Destroy();
}

void COnePicture::FreeDisplayPages()
{
    for (Page& page : m_pages) {
        if (page.display && page.display != page.source)
            ::GlobalFree(page.display);
        page.display = nullptr;
        page.edits.clear();
    }
}

void COnePicture::FinishLoading()
{
    m_finished = TRUE;
    // Pages let go are read again from these bytes.
    for (int i = 0; i < m_pageCount; ++i)
        if (m_pages[i].away)
            return;
    FreeFileData();
}

bool COnePicture::PageFitsBudget(HGLOBAL source)
{
    // The display copy the page will get counts too; working it out must not disturb the zoom
    // or the turn the current page is shown with.
    const double zoom = m_zoom;
    const int angle = m_angle;
    CSize size = CalcDisplaySize(m_rect, GetDibWidth(source), GetDibHeight(source));
    m_zoom = zoom;
    m_angle = angle;
    ULONGLONG adding = BlockSize(source) + (IsDisplaySizeAllowed(size) ? Dib24Bytes(size.cx, size.cy) : 0);
    ULONGLONG held = m_budgetGroup ? 0 : GetHeldBytes();
    for (int i = 0; i < m_budgetGroupSize; ++i)
        held += m_budgetGroup[i].GetHeldBytes();
    if (held + adding > GetBudget())
        return false;
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    return !::GlobalMemoryStatusEx(&status) || status.ullAvailVirtual >= adding + AddressSpaceReserve;
}

ULONGLONG COnePicture::GetBudget() const
{
    return CanReadPagesAgain() ? std::min(m_pageBudget, ReadAgainBudget) : m_pageBudget;
}

bool COnePicture::MakeRoomFor(HGLOBAL source)
{
    while (!PageFitsBudget(source)) {
        int oldest = -1;
        for (int i = 0; i < m_pageCount; ++i)
            if (i != m_currentPage && m_pages[i].source && (oldest < 0 || m_pages[i].used < m_pages[oldest].used))
                oldest = i;
        if (oldest < 0)
            return false;
        FreePage(m_pages[oldest]);
        m_pages[oldest].away = true;
    }
    return true;
}

bool COnePicture::AddPage(HGLOBAL source, int delay)
{
    if (!source)
        return false;
    // A file whose pages can be read again goes on past the budget: older pages make room.
    if (m_pageCount >= GetPageCapacity() ||
        (m_pageCount > 0 && !PageFitsBudget(source) && !(CanReadPagesAgain() && MakeRoomFor(source)))) {
        ::GlobalFree(source);
        FinishLoading();
        return false;
    }
    Page& page = m_pages[m_pageCount++];
    page.source = source;
    page.display = nullptr;
    page.delay = delay;
    page.used = ++m_useCount;
    if (m_pageCount >= GetPageCapacity())
        FinishLoading();
    return true;
}

void COnePicture::TakeFactsFromFirstPage(HGLOBAL page, int bitCount)
{
    // Decoders read directly leave the item without its picture's facts; the title shows them.
    if (!m_item || m_item->GetWidth() > 0)
        return;
    m_item->SetWidth(GetDibWidth(page));
    m_item->SetHeight(GetDibHeight(page));
    m_item->SetBitCount(bitCount > 0 ? bitCount : GetDibBitCount(page));
}

// ---------------------------------------------------------------- loading

void COnePicture::SetPicture(const VyxFile* item)
{
    FreePages();
    m_pageCount = m_currentPage = m_gifFrame = m_announcedPages = 0;
    m_sourceScale = 1.0;
    m_finished = TRUE;
    m_item.reset(item ? new VyxFile(*item) : nullptr);
    if (!m_item) {
        m_loaderId = -1;
        m_infoText.Empty();
        return;
    }
    if (m_item->GetLoaderId() < 0)
        m_item->DetectPlugin();
    m_loaderId = m_item->GetLoaderId();
    // A file that cannot be read shows the item's icon: the failure ends the loading.
    try {
        LoadFirstPage();
    } catch (VyxGlobalErrorException* e) {
        delete e;
        FinishLoading();
    } catch (CException* e) {
        e->Delete();
        FinishLoading();
    }
    m_infoText = m_item->ExpandMacros(m_infoTemplate);
}

void COnePicture::LoadFirstPage()
{
    switch (GetKind()) {
    case KindVideo:
        m_finished = FALSE;
        StepVideoFrame();
        break;
    case KindAvi: {
        m_finished = FALSE;
        CString path;
        ResolveShortcut(path, m_item->GetPath());
        AVISTREAMINFOW info = {};
        GetAviInfo(path, &info);
        m_framesPerSecond = info.dwScale ? static_cast<double>(info.dwRate) / info.dwScale : 1.0;
        StepVideoFrame();
        break;
    }
    case KindGif:
        m_finished = FALSE;
        m_fileData = m_item->ReadFileData();
        m_fileSize = static_cast<DWORD>(BlockSize(m_fileData));
        StepGifFrame();
        break;
    case KindTiff:
        m_finished = FALSE;
        // Read where it lies, however long the file; a member of an archive from memory.
        m_openFile = m_item->OpenFileForReading();
        if (m_openFile == INVALID_HANDLE_VALUE) {
            m_fileData = m_item->ReadFileData();
            m_fileSize = static_cast<DWORD>(BlockSize(m_fileData));
            m_fileDataTried = true;
        }
        CountTiffPages();
        StepTiffPage();
        break;
    default:
        LoadSinglePicture(DecodesReduced());
        break;
    }
}

bool COnePicture::DecodesReduced() const
{
    // Kept upright and shrunk to fit, the picture needs no more pixels than the rectangle: the
    // decoder may read it at a reduced scale (never below the fitted size).
    if (m_angle != 0 || m_rect.Width() <= 0 || m_rect.Height() <= 0)
        return false;
    if (m_fitMode == FitAspect && m_allowShrink)
        return true;
    // A picture whose size is known to be past the display bound at the zoom asked is shown
    // fitted as well (ShownSize).
    const LONG width = m_item ? m_item->GetWidth() : 0, height = m_item ? m_item->GetHeight() : 0;
    return (m_fitMode == FitAsIs || m_fitMode == FitWindowFollows) && width > 0 && height > 0 &&
           !IsDisplaySizeAllowed(CSize(ToSide(width * m_zoom), ToSide(height * m_zoom)));
}

void COnePicture::LoadSinglePicture(bool bReduced)
{
    const SIZE desired = {m_rect.Width(), m_rect.Height()};
    HGLOBAL picture = m_item->LoadPicture(bReduced ? &desired : nullptr);
    // Refused at its own size (which the first try made known), it is read at the rectangle's.
    if (!picture && !bReduced && desired.cx > 0 && desired.cy > 0 && IsPastThePictureBound()) {
        bReduced = true;
        picture = m_item->LoadPicture(&desired);
    }
    m_sourceScale = 1.0;
    if (picture && bReduced && m_item->GetWidth() > GetDibWidth(picture))
        m_sourceScale = static_cast<double>(GetDibWidth(picture)) / m_item->GetWidth();
    if (picture)
        AddPage(picture, 0);
}

CSize COnePicture::GetPictureSize(int nPage) const
{
    HGLOBAL source = GetSourcePage(nPage);
    if (nPage == 0 && m_sourceScale < 1.0 && m_item)
        return CSize(m_item->GetWidth(), m_item->GetHeight());
    return CSize(GetDibWidth(source), GetDibHeight(source));
}

bool COnePicture::IsPastThePictureBound() const
{
    const LONG width = m_item ? m_item->GetWidth() : 0, height = m_item ? m_item->GetHeight() : 0;
    return width > 0 && height > 0 && !IsDibSizeAllowed(width, height, 24);
}

bool COnePicture::EnsureSourceFor(int nPage, CSize size)
{
    HGLOBAL source = GetSourcePage(nPage);
    // A picture past the bound keeps the copy it was read at, shown larger.
    if (nPage != 0 || m_sourceScale >= 1.0 || !source || !m_item ||
        (size.cx <= GetDibWidth(source) && size.cy <= GetDibHeight(source)) || IsPastThePictureBound())
        return false;
    // Shown larger than it was read: read again at full size.
    FreePage(m_pages[0]);
    m_pageCount = 0;
    LoadSinglePicture(false);
    return true;
}

int COnePicture::StepPage()
{
    if (m_finished || m_pageCount >= GetPageCapacity())
        return 0;
    const int before = m_pageCount;
    switch (GetKind()) {
    case KindGif:
        StepGifFrame();
        break;
    case KindTiff:
        StepTiffPage();
        break;
    case KindAvi:
    case KindVideo:
        StepVideoFrame();
        break;
    default:
        return 0;
    }
    for (int page = before; page < m_pageCount; ++page)
        if (!m_pages[page].display)
            PreparePage(page);
    return m_pageCount > before ? 1 : 0;
}

int COnePicture::StepGifFrame()
{
    const BYTE* data = m_fileData ? static_cast<const BYTE*>(::GlobalLock(m_fileData)) : nullptr;
    if (!data) {
        FinishLoading();
        return 0;
    }
    GifFile gif;
    gif.m_data = data;
    gif.m_dataSize = m_fileSize;
    gif.m_frameIndex = m_gifFrame;
    const int result = gif.Decode();
    ::GlobalUnlock(m_fileData);
    GlobalBlock frame(gif.m_dib);
    if (result != 0 || !frame) {
        FinishLoading();
        return 0;
    }
    const int delay = std::min(static_cast<int>(gif.m_delay) * 10, kMaxGifDelay);
    const bool first = m_gifFrame == 0;
    if (!m_gifCanvas.IsCreated()) {
        int width = gif.m_screenWidth > 0 ? gif.m_screenWidth : gif.m_frameLeft + gif.m_frameWidth;
        int height = gif.m_screenHeight > 0 ? gif.m_screenHeight : gif.m_frameTop + gif.m_frameHeight;
        if (!m_gifCanvas.Create24(nullptr, width, height, m_backColor)) {
            FinishLoading();
            return 0;
        }
    }
    if (gif.m_transparent < 0 || first) {
        m_gifCanvas.PutDib(frame.get(), gif.m_frameLeft, gif.m_frameTop);
    } else if (gif.m_maskDib) {
        // Frame AND mask keeps the opaque pixels; canvas AND NOT mask clears them there; OR joins.
        CDibSection opaque;
        if (opaque.Create24(nullptr, gif.m_frameWidth, gif.m_frameHeight, 0)) {
            opaque.PutDib(frame.get(), 0, 0);
            opaque.PutDib(gif.m_maskDib, 0, 0, SRCAND);
            m_gifCanvas.PutDib(gif.m_maskDib, gif.m_frameLeft, gif.m_frameTop, 0x220326);
            opaque.Draw(m_gifCanvas.GetMemDC(), gif.m_frameLeft, gif.m_frameTop, SRCPAINT);
        }
    } else {
        // A palette index as the key: -(index + 1).
        PaintDibTransparent(m_gifCanvas.GetMemDC(), frame.get(), static_cast<COLORREF>(-(gif.m_transparent + 1)),
                            gif.m_frameLeft, gif.m_frameTop);
    }
    HGLOBAL page = m_gifCanvas.ToPackedDib();
    if (!page) {
        FinishLoading();
        return 0;
    }
    if (first)
        TakeFactsFromFirstPage(page, gif.m_colorBits);
    if (!AddPage(page, delay))
        return 0;
    ++m_gifFrame;
    if (gif.m_disposal == 3 && !first && !m_finished && m_pageCount < GetPageCapacity()) {
        const Page& before = m_pages[m_pageCount - 2];
        m_gifCanvas.PutDib(before.source, 0, 0);
        AddPage(m_gifCanvas.ToPackedDib(), before.delay);
    }
    return 1;
}

void COnePicture::CountTiffPages()
{
    // The directories are counted without decoding any page, so the page count is known from
    // the start although the pages are read one by one.
    TiffFile tiff;
    tiff.m_file = m_openFile;
    const BYTE* data = m_fileData ? static_cast<const BYTE*>(::GlobalLock(m_fileData)) : nullptr;
    tiff.m_data = data;
    tiff.m_dataSize = m_fileSize;
    if (data || m_openFile != INVALID_HANDLE_VALUE)
        m_announcedPages = std::min(tiff.CountPages(), GetPageCapacity());
    if (data)
        ::GlobalUnlock(m_fileData);
}

int COnePicture::GetKnownPageCount() const
{
    // Once loading has ended the pages held are all there is (a page may have failed or been
    // refused).
    return m_finished ? m_pageCount : std::max(m_pageCount, m_announcedPages);
}

HGLOBAL COnePicture::DecodeTiffPage(int nPage)
{
    HCURSOR previous = ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_TIFF_WAIT_CURSOR)));
    TiffFile tiff;
    tiff.m_page = static_cast<DWORD>(nPage);
    int result = 1;
    if (!m_fileData && m_openFile != INVALID_HANDLE_VALUE) {
        tiff.m_file = m_openFile;
        result = tiff.Decode();
        tiff.m_file = INVALID_HANDLE_VALUE;
    }
    // A page the file has but the open file does not give (tiles whose stored sizes are padded
    // are read only from memory): the file is read into memory, once.
    if (result != 0 && !m_fileData && !m_fileDataTried && nPage < m_announcedPages && m_item) {
        m_fileDataTried = true;
        try {
            m_fileData = m_item->ReadFileData();
        } catch (VyxGlobalErrorException* e) {
            delete e;
        }
        m_fileSize = static_cast<DWORD>(BlockSize(m_fileData));
    }
    if (result != 0 && m_fileData) {
        if (tiff.m_dib)
            ::GlobalFree(tiff.m_dib);
        tiff.m_dib = nullptr;
        tiff.m_data = static_cast<const BYTE*>(::GlobalLock(m_fileData));
        tiff.m_dataSize = m_fileSize;
        result = tiff.m_data ? tiff.Decode() : 1;
        ::GlobalUnlock(m_fileData);
    }
    ::SetCursor(previous);
    if (result != 0 && tiff.m_dib) {
        ::GlobalFree(tiff.m_dib);
        tiff.m_dib = nullptr;
    }
    return tiff.m_dib;
}

int COnePicture::StepTiffPage()
{
    HGLOBAL page = DecodeTiffPage(m_pageCount);
    if (!page) {
        FinishLoading();
        return 0;
    }
    if (m_pageCount == 0)
        TakeFactsFromFirstPage(page, 0);
    return AddPage(page, 0) ? 1 : 0;
}

bool COnePicture::BringBack(int nPage)
{
    if (!IsPageAway(nPage))
        return false;
    HGLOBAL source = GetKind() == KindTiff ? DecodeTiffPage(nPage) : nullptr;
    if (!source)
        return false;
    if (!MakeRoomFor(source)) {
        ::GlobalFree(source);
        return false;
    }
    Page& page = m_pages[nPage];
    page.source = source;
    page.away = false;
    page.used = ++m_useCount;
    return true;
}

HGLOBAL COnePicture::ReadVideoFrame(int nPage)
{
    CString path;
    ResolveShortcut(path, m_item->GetPath());
    if (GetKind() == KindAvi) {
        // A whole number of frames between pages, so the pages never drift by half a frame.
        const double step = std::round(m_stepSecond * m_framesPerSecond);
        const double frame = step * nPage;
        if (!(frame >= 0 && frame <= 0x7FFFFFFF))
            return nullptr;
        return GetAviFrameNumber(path, static_cast<LONG>(frame));
    }
    const LONGLONG seconds = static_cast<LONGLONG>(m_stepSecond) * nPage;
    if (seconds < 0 || seconds > 0x7FFFFFFF)
        return nullptr;
    DswFile reader;
    reader.m_fileName = path;
    reader.m_position = static_cast<int>(seconds);
    return reader.LoadFile() == 0 ? reader.m_dib : nullptr;
}

int COnePicture::StepVideoFrame()
{
    HGLOBAL frame = ReadVideoFrame(m_pageCount);
    if (!frame) {
        FinishLoading();
        return 0;
    }
    if (m_pageCount == 0)
        TakeFactsFromFirstPage(frame, 0);
    return AddPage(frame, m_delayTime) ? 1 : 0;
}

int COnePicture::Show(CDC* pDC, const VyxFile* item, BOOL bReload)
{
    if (bReload)
        FreePages();
    if (item && !GetSourcePage(0) && !IsPageAway(0))
        SetPicture(item);
    BringBack(m_currentPage);
    if (IsValidPage(m_currentPage))
        m_pages[m_currentPage].used = ++m_useCount;
    if (GetSourcePage(m_currentPage) && !GetDisplayPage())
        PreparePage(m_currentPage);
    return pDC ? Draw(pDC, -1) : 0;
}

// ---------------------------------------------------------------- sizes and display copies

bool COnePicture::IsDisplaySizeAllowed(SIZE size)
{
    return size.cx > 0 && size.cy > 0 && size.cx <= MaxDisplaySide && size.cy <= MaxDisplaySide &&
           Dib24Bytes(size.cx, size.cy) <= MaxDisplayBytes;
}

bool COnePicture::IsAnimatedKind(const VyxFile* item, int aviShow, int dswShow)
{
    switch (item ? (item->GetLoaderId() >> 16) & 0xFFFF : 0) {
    case KindGif:
        return true;
    case KindAvi:
        return aviShow != 0;
    case KindVideo:
        return dswShow != 0;
    default:
        return false;
    }
}

bool COnePicture::IsZoomAllowed(double zoom) const
{
    if (!GetSourcePage(m_currentPage))
        return true;
    const CSize picture = GetPictureSize(m_currentPage);
    double w = picture.cx, h = picture.cy;
    if (m_angle != 0) {
        CRotateInfo turn(m_angle);
        RECT box = turn.GetBoundingRect(static_cast<int>(w), static_cast<int>(h));
        w = static_cast<double>(box.right) - box.left;
        h = static_cast<double>(box.bottom) - box.top;
    }
    const double sw = std::trunc(w * zoom), sh = std::trunc(h * zoom);
    if (!(sw <= MaxDisplaySide && sh <= MaxDisplaySide))
        return false;
    return IsDisplaySizeAllowed(CSize(std::max(static_cast<int>(sw), 32), std::max(static_cast<int>(sh), 32)));
}

ULONGLONG COnePicture::Dib24Bytes(LONGLONG width, LONGLONG height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return SaturatedSum(sizeof(BITMAPINFOHEADER), PixelImageBytes(width, height, 24));
}

CSize COnePicture::CalcDisplaySize(const RECT& rect, int width, int height)
{
    const double rw = static_cast<double>(rect.right) - rect.left;
    const double rh = static_cast<double>(rect.bottom) - rect.top;
    double w = width, h = height;
    // Fit mode 4 decides the turn itself from the upright picture: taking the box of the turn
    // it chose last time would turn it back on the next preparation.
    if (m_angle != 0 && m_fitMode != FitAspectTurn) {
        CRotateInfo turn(m_angle);
        RECT box = turn.GetBoundingRect(width, height);
        w = static_cast<double>(box.right) - box.left;
        h = static_cast<double>(box.bottom) - box.top;
    }
    switch (m_fitMode) {
    case FitStretch:
        m_zoom = FitRatio(rw, rh, w, h, m_zoom);
        return CSize(ToSide(rw), ToSide(rh));
    case FitAspect:
        m_zoom = w > 0 ? FitRatio(rw, rh, w, h, 0) : 0;
        break;
    case FitAspectTurn: {
        m_angle = 0;
        const bool turn =
            (rw > rh && h > w && !(!m_allowEnlarge && h <= rh)) || (rh > rw && w > h && !(!m_allowEnlarge && w <= rw));
        if (turn) {
            m_angle = m_turnDirection == 0 ? 90 : 270;
            std::swap(w, h);
        }
        m_zoom = w > 0 ? FitRatio(rw, rh, w, h, 0) : 0;
        break;
    }
    case FitWidth:
        m_zoom = w > 0 ? rw / w : 0;
        break;
    case FitHeight:
        m_zoom = h > 0 ? rh / h : 0;
        break;
    default:
        return CSize(ToSide(w * m_zoom), ToSide(h * m_zoom));
    }
    double sw = std::trunc(w * m_zoom), sh = std::trunc(h * m_zoom);
    if (!m_allowEnlarge) {
        sw = std::min(sw, w);
        sh = std::min(sh, h);
    }
    if (!m_allowShrink) {
        sw = std::max(sw, w);
        sh = std::max(sh, h);
    }
    return CSize(ToSide(sw), ToSide(sh));
}

void COnePicture::PreparePage(int nPage)
{
    if (!IsValidPage(nPage) || !m_pages[nPage].source)
        return;
    double zoom = 0;
    CSize size = ShownSize(GetPictureSize(nPage), zoom);
    if (EnsureSourceFor(nPage, size)) {
        if (!IsValidPage(nPage) || !m_pages[nPage].source)
            return;
        size = ShownSize(GetPictureSize(nPage), zoom);
    }
    Page& page = m_pages[nPage];
    if (page.display && page.display != page.source)
        ::GlobalFree(page.display);
    page.display = nullptr;
    page.edits.clear();
    page.zoom = zoom;
    // A size past the bound is refused before anything is allocated.
    if (IsDisplaySizeAllowed(size))
        page.display = ResampleAt(page.source, size.cx, size.cy, zoom);
    if (nPage == m_currentPage) {
        m_displaySize = size;
        PlaceOrigin();
    }
}

void COnePicture::Refit()
{
    if (!GetSourcePage(m_currentPage))
        return;
    // A display copy of the same size is the same copy: a window that follows its picture
    // resizes around it and must not resample it twice.
    double zoom = 0;
    const CSize size = ShownSize(GetPictureSize(m_currentPage), zoom);
    if (GetDisplayPage() && size == m_displaySize) {
        PlaceOrigin();
        return;
    }
    FreeDisplayPages();
    PreparePage(m_currentPage);
}

CSize COnePicture::ShownSize(CSize picture, double& zoom)
{
    CSize size = CalcDisplaySize(m_rect, picture.cx, picture.cy);
    zoom = m_zoom;
    if (IsDisplaySizeAllowed(size) || picture.cx <= 0 || picture.cy <= 0)
        return size;
    // No display copy that large can be made: the picture is shown whole in the rectangle, or in
    // the room a window that follows its picture has (never larger than asked), and its zoom is
    // told as it is.
    double w = picture.cx, h = picture.cy;
    if (m_angle != 0) {
        CRotateInfo turn(m_angle);
        RECT box = turn.GetBoundingRect(picture.cx, picture.cy);
        w = static_cast<double>(box.right) - box.left;
        h = static_cast<double>(box.bottom) - box.top;
    }
    const bool follows = m_fitMode == FitWindowFollows && m_followRoom.cx > 0 && m_followRoom.cy > 0;
    const double rw = follows ? m_followRoom.cx : m_rect.Width(), rh = follows ? m_followRoom.cy : m_rect.Height();
    double fit = rw > 0 && rh > 0 ? std::min(rw / w, rh / h) : 0;
    // Without a rectangle the largest copy the bound allows.
    const double bound = std::min(
        {MaxDisplaySide / w, MaxDisplaySide / h, std::sqrt(static_cast<double>(MaxDisplayBytes) / 4 / (w * h))});
    if (!(fit > 0) || fit > bound)
        fit = bound;
    zoom = std::min(fit, m_zoom > 0 ? m_zoom : fit);
    return CSize(ToSide(w * zoom), ToSide(h * zoom));
}

double COnePicture::GetShownZoom() const
{
    return GetDisplayPage() ? m_pages[m_currentPage].zoom : m_zoom;
}

HGLOBAL COnePicture::Resample(HGLOBAL source, int width, int height)
{
    return ResampleAt(source, width, height, m_zoom);
}

HGLOBAL COnePicture::ResampleAt(HGLOBAL source, int width, int height, double zoom)
{
    if (!source || width <= 0 || height <= 0)
        return nullptr;
    HGLOBAL dib24 = MakeDib24(source);
    if (!dib24)
        return nullptr;
    const double angle = m_angle;
    int mode = m_scaleMode;
    if (mode == ScaleAuto)
        mode = zoom <= 0.5 ? ScaleAverage : ScaleBilinear;
    HGLOBAL result = nullptr;
    switch (mode) {
    case ScaleNearest:
        result = RotateResizeDib(dib24, width, height, angle);
        break;
    case ScaleBilinear:
        result = ResampleDibBilinear(dib24, width, height, angle, m_backColor);
        break;
    case ScaleAverage:
        result = ResampleDibAverage(dib24, width, height, angle, 0, m_backColor);
        break;
    default: {
        HGLOBAL turned = angle != 0 ? RotateDib(dib24, angle) : dib24;
        CDibSection surface;
        if (turned && surface.Create24(nullptr, width, height, m_backColor)) {
            surface.PutDibSized(turned, width, height);
            result = surface.ToPackedDib();
        }
        if (turned && turned != dib24)
            ::GlobalFree(turned);
        break;
    }
    }
    // The resamplers hand their input back when they cannot make the size asked for.
    if (result && (GetDibWidth(result) != width || GetDibHeight(result) != height)) {
        if (result != dib24 && result != source)
            ::GlobalFree(result);
        result = nullptr;
    }
    if (dib24 != source && dib24 != result)
        ::GlobalFree(dib24);
    return result;
}

void COnePicture::ReplaceDisplayPage(HGLOBAL dib)
{
    if (!IsValidPage(m_currentPage)) {
        if (dib)
            ::GlobalFree(dib);
        return;
    }
    Page& page = m_pages[m_currentPage];
    if (page.display && page.display != page.source && page.display != dib)
        ::GlobalFree(page.display);
    page.display = dib;
    if (dib) {
        m_displaySize = CSize(GetDibWidth(dib), GetDibHeight(dib));
        ClampOrigin();
    }
}

void COnePicture::AddDisplayEdit(PageEdit edit)
{
    if (IsValidPage(m_currentPage) && m_pages[m_currentPage].display && edit.apply)
        m_pages[m_currentPage].edits.push_back(std::move(edit));
}

CSize COnePicture::TurnedSize(CSize picture) const
{
    if (m_angle == 0 || picture.cx <= 0 || picture.cy <= 0)
        return picture;
    CRotateInfo turn(m_angle);
    const RECT box = turn.GetBoundingRect(picture.cx, picture.cy);
    return CSize(box.right - box.left, box.bottom - box.top);
}

CSize COnePicture::GetShownPictureSize() const
{
    return GetSourcePage(m_currentPage) ? TurnedSize(GetPictureSize(m_currentPage)) : CSize(0, 0);
}

HGLOBAL COnePicture::MakePageAsShown(bool* geometric)
{
    if (geometric)
        *geometric = m_angle != 0;
    HGLOBAL source = GetSourcePage(m_currentPage);
    if (!source)
        return nullptr;
    // A single picture read at a reduced scale for the screen is read again whole.
    GlobalBlock whole;
    const CSize own = GetPictureSize(m_currentPage);
    if (m_currentPage == 0 && m_item && (own.cx != GetDibWidth(source) || own.cy != GetDibHeight(source))) {
        whole.reset(m_item->LoadPicture(nullptr));
        if (!whole || GetDibWidth(whole.get()) != own.cx || GetDibHeight(whole.get()) != own.cy)
            return nullptr;
        source = whole.get();
    }
    // The quarter turns keep 1, 4, 8 and 24 bits; other depths are turned as 24 bits.
    GlobalBlock wide;
    const WORD bits = GetDibBitCount(source);
    if (m_angle != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        wide.reset(MakeDib24(source));
        if (!wide || wide.get() == source) {
            wide.release();
            return nullptr;
        }
        source = wide.get();
    }
    // Turned, or a copy: the result is always a block of its own.
    GlobalBlock page(m_angle != 0 ? RotateDib(source, m_angle) : CopyGlobal(source));
    if (!page || page.get() == source) {
        page.release();
        return nullptr;
    }
    for (const PageEdit& edit : m_pages[m_currentPage].edits) {
        HGLOBAL next = edit.apply(page.get());
        if (!next)
            return nullptr;
        if (next != page.get())
            page.reset(next);
        if (geometric && edit.geometric)
            *geometric = true;
    }
    return page.release();
}

// ---------------------------------------------------------------- paging and placement

int COnePicture::NextPage()
{
    if (m_pageCount > 0) {
        m_currentPage = (m_currentPage + 1) % m_pageCount;
        TakePageSize();
    }
    return m_currentPage;
}

int COnePicture::PrevPage()
{
    if (m_pageCount > 0) {
        m_currentPage = (m_currentPage - 1 + m_pageCount) % m_pageCount;
        TakePageSize();
    }
    return m_currentPage;
}

void COnePicture::SetInfoTemplate(const wchar_t* text)
{
    m_infoTemplate = text ? text : L"";
    if (m_item)
        m_infoText = m_item->ExpandMacros(m_infoTemplate);
}

int COnePicture::AnimationTick(DWORD now)
{
    const int added = StepPage();
    if (m_pageCount < 2)
        return -1;
    // While a file is still being read, each new frame shows at once.
    const long long shown = static_cast<long long>(static_cast<DWORD>(now - m_animationStart));
    if (!added && shown + kTickSlack < GetPageDelay())
        return 0;
    NextPage();
    m_animationStart = now;
    Show(nullptr, nullptr, FALSE);
    return 1;
}

void COnePicture::TakePageSize()
{
    // A page of another size takes its own place; pages of the same size keep the scroll.
    HGLOBAL display = GetDisplayPage();
    if (!display)
        return;
    CSize size(GetDibWidth(display), GetDibHeight(display));
    if (size != m_displaySize) {
        m_displaySize = size;
        PlaceOrigin();
    }
}

void COnePicture::PlaceOrigin()
{
    m_origin.x = static_cast<LONG>(Place(m_align & 3, m_rect.left, m_rect.right, m_displaySize.cx));
    m_origin.y = static_cast<LONG>(Place((m_align >> 2) & 3, m_rect.top, m_rect.bottom, m_displaySize.cy));
    ClampOrigin();
}

void COnePicture::ClampOrigin()
{
    m_origin.x = static_cast<LONG>(ClampAxis(m_origin.x, m_rect.left, m_rect.right, m_displaySize.cx));
    m_origin.y = static_cast<LONG>(ClampAxis(m_origin.y, m_rect.top, m_rect.bottom, m_displaySize.cy));
}

void COnePicture::Scroll(int dx, int dy)
{
    m_origin.x = static_cast<LONG>(Clamp(static_cast<LONGLONG>(m_origin.x) + dx, INT_MIN, INT_MAX));
    m_origin.y = static_cast<LONG>(Clamp(static_cast<LONGLONG>(m_origin.y) + dy, INT_MIN, INT_MAX));
    ClampOrigin();
}

void COnePicture::SetDisplayRect(const RECT& rect)
{
    m_rect = rect;
    ClampOrigin();
}

BOOL COnePicture::CanScrollX() const
{
    return m_rect.Width() < m_displaySize.cx;
}

BOOL COnePicture::CanScrollY() const
{
    return m_rect.Height() < m_displaySize.cy;
}

BOOL COnePicture::HitTest(int x, int y) const
{
    return x >= m_rect.left && x <= m_rect.right && y >= m_rect.top && y <= m_rect.bottom;
}

// ---------------------------------------------------------------- drawing

int COnePicture::Draw(CDC* pDC, int nPage)
{
    if (!pDC)
        return 0;
    if (nPage < 0)
        nPage = m_currentPage;
    HGLOBAL display = GetDisplayPageAt(nPage);
    const int width = m_rect.Width(), height = m_rect.Height();
    BYTE surface = 0;
    if (width > 0 && height > 0) {
        if (m_displayDepth > 8 && display && GetDibBitCount(display) != 24)
            surface = m_surface.CreateLikeDib(pDC, display, width, height);
        else
            surface = m_surface.Create24(pDC, width, height, 0);
    }
    CDC* target = pDC;
    CRect area = m_rect;
    CPoint origin = m_origin;
    if (surface) {
        target = m_surface.GetMemDC();
        area.OffsetRect(-m_rect.left, -m_rect.top);
        origin.Offset(-m_rect.left, -m_rect.top);
        if (m_backColor != 0)
            m_surface.Fill(nullptr, m_backColor);
    } else {
        pDC->FillSolidRect(&m_rect, m_backColor);
    }
    if (display) {
        PaintDibAt(target, origin.x, origin.y, display);
    } else if (m_item) {
        SIZE icon = VyxFilexDraw::GetLargeIconSize();
        m_item->DrawIcon(target, area.CenterPoint().x - icon.cx / 2, area.CenterPoint().y - icon.cy / 2);
    }
    DrawInfo(target, area);
    if (surface)
        m_surface.Draw(pDC, m_rect.left, m_rect.top, SRCCOPY);
    return 1;
}

void COnePicture::DrawInfo(CDC* pDC, const CRect& rect)
{
    if (!m_info || m_infoText.IsEmpty())
        return;
    HGDIOBJ font = pDC->SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_textColor);
    CSize extent = pDC->GetTextExtent(m_infoText);
    int x = m_infoX >= 0 ? rect.left + m_infoX : rect.right - extent.cx + m_infoX;
    int y = m_infoY >= 0 ? rect.top + m_infoY : rect.bottom - extent.cy + m_infoY;
    pDC->TextOut(x, y, m_infoText);
    pDC->SelectObject(font);
}
