#include "image/codecs/SaveDib.h"

#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibValidate.h"
#include "image/codecs/ImgFile.h"
#include "image/codecs/JpegMemory.h"

#include "controls/ProgressDlg.h"
#include "framework/Framework.h"

#include <cstdio>
#include <cstdlib>

namespace {

CProgressDlg* g_reduceProgressDialog = nullptr;

int SaveWith(const wchar_t* path, HGLOBAL dib, DWORD format, DWORD codecOption, int quality, BYTE flag1, BYTE flag2)
{
    ImgFile file;
    file.m_fileName = path;
    file.m_dib = dib;
    file.m_format = format;
    file.m_codecOption = codecOption;
    file.m_quality = static_cast<DWORD>(quality);
    file.m_flag1 = flag1;
    file.m_flag2 = flag2;
    // The general codec hands the quality to the library only for JPEG; JPEG 2000 takes it too.
    if (format == CXIMAGE_FORMAT_JP2)
        file.m_image.SetJpegQuality(static_cast<BYTE>(quality < 0 ? 0 : quality > 255 ? 255 : quality));
    int result = file.SaveToFile();
    file.m_dib = nullptr; // the caller's
    return result;
}

// The clipboard wants an owner window for SetClipboardData after EmptyClipboard: the main window,
// or a hidden message-only window kept for the process when there is none.
HWND ClipboardOwner()
{
    if (CWnd* main = AfxGetMainWnd())
        if (main->GetSafeHwnd())
            return main->GetSafeHwnd();
    static HWND hidden = nullptr;
    if (!hidden || !IsWindow(hidden))
        hidden = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    return hidden;
}

bool OpenClipboardWithRetry(HWND owner)
{
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace

int SaveDibAsBmp(const wchar_t* path, HGLOBAL dib)
{
    return SaveWith(path, dib, CXIMAGE_FORMAT_BMP, 0, 90, 0, 0);
}

int SaveDibAsGif(const wchar_t* path, HGLOBAL dib, DWORD codecOption)
{
    HGLOBAL widened = dib;
    WORD bits = GetDibBitCount(dib);
    if (dib && bits < 8) {
        HGLOBAL copy = ConvertDibDepth(dib, 8);
        if (copy)
            widened = copy;
    }
    int result = SaveWith(path, widened, CXIMAGE_FORMAT_GIF, codecOption, 90, 0, 0);
    if (widened != dib)
        GlobalFree(widened);
    return result;
}

int SaveDibAs(const wchar_t* path, HGLOBAL dib, DWORD format)
{
    return SaveWith(path, dib, format, 0, 90, 0, 0);
}

int SaveDibAsJpeg2000(const wchar_t* path, HGLOBAL dib, int quality, int flagA, int flagB)
{
    return SaveWith(path, dib, CXIMAGE_FORMAT_JP2, 0, quality, flagB != 0, flagA != 0);
}

namespace {

// A 24-bit picture the image layer would take as it stands: encoded in place, without a copy of
// every row.
bool IsPlainDib24(HGLOBAL dib, const void* packed)
{
    const SIZE_T size = GlobalSize(dib);
    if (!packed || size < sizeof(BITMAPINFOHEADER))
        return false;
    const auto& header = *static_cast<const BITMAPINFOHEADER*>(packed);
    DibLayout layout;
    return CheckDibHeader(header, &layout) && header.biBitCount == 24 && header.biCompression == BI_RGB &&
           size >= layout.totalBytes;
}

} // namespace

int SaveDibAsJpeg(const wchar_t* path, HGLOBAL dib, int quality, int flagA, int flagB, const JpegMetadata* kept)
{
    if (!path || !dib)
        return 3;
    // Another picture goes through the one gate of DIBs first, as the image layer takes it.
    GlobalBlock normal;
    bool plain = false;
    {
        DibLock lock(dib);
        plain = IsPlainDib24(dib, lock.get());
    }
    if (!plain) {
        normal.reset(AdoptDib(CopyGlobal(dib)));
        if (!normal)
            return 3;
    }
    LockedDib24 picture(plain ? dib : normal.get());
    if (!picture.get())
        return 3;
    // A picture the encoder refuses by its size is refused before the file is touched.
    if (DibWidth(picture.get()) > JPEG_MAX_DIMENSION || DibHeight(picture.get()) > JPEG_MAX_DIMENSION)
        return 3;
    JpegEncodeSettings settings;
    // The quality as the image layer keeps it, in a byte.
    settings.quality = static_cast<BYTE>(static_cast<DWORD>(quality));
    settings.progressive = flagA != 0;
    settings.grey = flagB != 0;
    settings.metadata = kept;
    return JpegEncodeToFile(picture.get(), settings, path) == 0 ? 0 : 3;
}

int SaveDibAsPng(const wchar_t* path, HGLOBAL dib, DWORD codecOption)
{
    return SaveWith(path, dib, CXIMAGE_FORMAT_PNG, codecOption, 90, 0, 0);
}

int SaveDibAsTiff(const wchar_t* path, HGLOBAL dib, DWORD codecOption)
{
    return SaveWith(path, dib, CXIMAGE_FORMAT_TIF, codecOption, 90, 0, 0);
}

namespace {

// Hands the block to the clipboard; the block is freed when the clipboard does not take it.
bool PutOnClipboard(UINT format, HGLOBAL block)
{
    HWND owner = ClipboardOwner();
    if (!owner || !OpenClipboardWithRetry(owner)) {
        GlobalFree(block);
        return false;
    }
    bool placed = EmptyClipboard() && SetClipboardData(format, block) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(block);
    return placed;
}

// A shared global block (GMEM_DDESHARE | GMEM_ZEROINIT | GMEM_MOVEABLE) holding the bytes.
HGLOBAL SharedCopy(const void* data, SIZE_T size)
{
    if (size == 0 || size > 0xFFFFFFFF)
        return nullptr;
    try {
        CSharedFile file(GMEM_DDESHARE | GMEM_ZEROINIT | GMEM_MOVEABLE, static_cast<UINT>(size));
        file.Write(data, static_cast<UINT>(size));
        return file.Detach();
    } catch (CException* e) {
        e->Delete();
        return nullptr;
    }
}

} // namespace

bool CopyDibToClipboard(HGLOBAL dib)
{
    if (!dib)
        return false;
    HGLOBAL block = nullptr;
    {
        DibLock lock(dib);
        if (lock)
            block = SharedCopy(lock.get(), GlobalSize(dib));
    }
    return block && PutOnClipboard(CF_DIB, block);
}

bool CopyTextToClipboard(const wchar_t* text)
{
    if (!text)
        return false;
    HGLOBAL block = SharedCopy(text, (wcslen(text) + 1) * sizeof(wchar_t));
    return block && PutOnClipboard(CF_UNICODETEXT, block);
}

HGLOBAL GetDibFromClipboard()
{
    if (!IsClipboardFormatAvailable(CF_DIB))
        return nullptr;
    HWND owner = ClipboardOwner();
    if (!owner || !OpenClipboardWithRetry(owner))
        return nullptr;
    HGLOBAL result = nullptr;
    // Another program's block: its header promises nothing until the gate has checked it
    // against the block's real size.
    if (HGLOBAL data = GetClipboardData(CF_DIB)) {
        if (const void* bytes = GlobalLock(data)) {
            result = NormalizeDib(bytes, GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

int ReportReduceProgress(int position)
{
    if (!g_reduceProgressDialog)
        return 0;
    g_reduceProgressDialog->SetPos(position);
    return g_reduceProgressDialog->CheckCancel();
}

void RegisterReduceProgressDialog(CProgressDlg* dialog)
{
    g_reduceProgressDialog = dialog;
}
