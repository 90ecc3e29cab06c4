#include "catalogue/ClipboardFileList.h"

#include "image/DibCore.h"

#include <cstring>
#include <utility>

namespace {

const UINT kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE;

// The texts one after another, each with its NUL, then a closing NUL, behind a header of
// headerBytes (left zero) in one block.
HGLOBAL MakeNulList(const std::vector<CString>& texts, SIZE_T headerBytes, wchar_t separator)
{
    ULONGLONG bytes = headerBytes + sizeof(wchar_t);
    for (const CString& text : texts)
        bytes += (static_cast<ULONGLONG>(text.GetLength()) + 1) * sizeof(wchar_t);
    if (bytes > 0x7FFFFFFF)
        return nullptr;
    HGLOBAL block = ::GlobalAlloc(kBlockFlags, static_cast<SIZE_T>(bytes));
    auto* base = block ? static_cast<BYTE*>(::GlobalLock(block)) : nullptr;
    if (!base) {
        if (block)
            ::GlobalFree(block);
        return nullptr;
    }
    auto* at = reinterpret_cast<wchar_t*>(base + headerBytes);
    for (const CString& text : texts) {
        std::memcpy(at, text.GetString(), text.GetLength() * sizeof(wchar_t));
        at += text.GetLength();
        *at++ = separator;
    }
    ::GlobalUnlock(block);
    return block;
}

const wchar_t kPreferredDropEffect[] = L"Preferred DropEffect";

} // namespace

void ClipboardFileList::Add(const CString& path, const CString& note)
{
    m_paths.push_back(path);
    m_notes.push_back(note);
}

HGLOBAL ClipboardFileList::MakeNotes() const
{
    return MakeNulList(m_notes, 0, L'\0');
}

HGLOBAL ClipboardFileList::MakeDropList() const
{
    HGLOBAL block = MakeNulList(m_paths, sizeof(DROPFILES), L'\0');
    if (auto* header = block ? static_cast<DROPFILES*>(::GlobalLock(block)) : nullptr) {
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        ::GlobalUnlock(block);
    }
    return block;
}

HGLOBAL ClipboardFileList::MakeText() const
{
    // One path a line, each ending in a line feed; the block's closing NUL ends the text.
    return MakeNulList(m_paths, 0, L'\n');
}

HGLOBAL ClipboardFileList::MakeEffect(DWORD effect)
{
    HGLOBAL block = ::GlobalAlloc(kBlockFlags, sizeof(DWORD));
    if (auto* value = block ? static_cast<DWORD*>(::GlobalLock(block)) : nullptr) {
        *value = effect;
        ::GlobalUnlock(block);
    }
    return block;
}

bool ClipboardFileList::Place(DWORD effect, bool withFiles, bool withText, HGLOBAL picture) const
{
    GlobalBlock dib(picture);
    // Everything is made before the clipboard is touched, so that a block memory refuses leaves
    // the clipboard as it was.
    std::vector<std::pair<UINT, HGLOBAL>> formats;
    auto add = [&formats](UINT format, HGLOBAL block) {
        formats.emplace_back(format, block);
        return block != nullptr;
    };
    bool made = true;
    if (withFiles) {
        made = add(::RegisterClipboardFormatW(L"CF_VyxNOTE"), MakeNotes()) && add(CF_HDROP, MakeDropList()) &&
               add(::RegisterClipboardFormatW(kPreferredDropEffect), MakeEffect(effect));
    }
    if (made && withText && !m_paths.empty())
        made = add(CF_UNICODETEXT, MakeText());
    if (made && dib.get())
        add(CF_DIB, dib.release());
    auto freeAll = [&formats] {
        for (auto& format : formats)
            if (format.second)
                ::GlobalFree(format.second);
    };
    if (!made || !::OpenClipboard(nullptr)) {
        freeAll();
        return false;
    }
    ::EmptyClipboard();
    for (auto& format : formats) {
        if (!::SetClipboardData(format.first, format.second))
            break;
        // The clipboard owns it now.
        format.second = nullptr;
    }
    const bool complete = formats.empty() || formats.back().second == nullptr;
    if (!complete) {
        // Never half the formats: the clipboard is left empty.
        ::EmptyClipboard();
        freeAll();
    }
    ::CloseClipboard();
    return complete;
}
