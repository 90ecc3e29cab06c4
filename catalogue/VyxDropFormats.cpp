#include "catalogue/VyxDropFormats.h"

#include "foundation/VyxCode.h"

#include <cstring>

namespace {

const UINT kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE;

HGLOBAL BlockOf(const void* bytes, SIZE_T size)
{
    HGLOBAL block = ::GlobalAlloc(kBlockFlags, size ? size : 1);
    if (!block)
        return nullptr;
    if (size)
        std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    return block;
}

// Texts each with its NUL, then one more NUL, after an optional header.
HGLOBAL TextListBlock(const void* header, SIZE_T headerSize, const std::vector<CString>& texts)
{
    std::vector<BYTE> bytes(static_cast<const BYTE*>(header), static_cast<const BYTE*>(header) + headerSize);
    for (const CString& text : texts) {
        auto* start = reinterpret_cast<const BYTE*>(text.GetString());
        bytes.insert(bytes.end(), start, start + (text.GetLength() + 1) * sizeof(wchar_t));
    }
    bytes.insert(bytes.end(), sizeof(wchar_t), 0);
    return BlockOf(bytes.data(), bytes.size());
}

// Reads the global block of a format; the block is freed when the reader goes.
class GlobalData
{
public:
    GlobalData(COleDataObject* data, CLIPFORMAT format) : m_block(data ? data->GetGlobalData(format) : nullptr)
    {
        m_bytes = m_block ? ::GlobalLock(m_block) : nullptr;
        m_size = m_bytes ? ::GlobalSize(m_block) : 0;
    }
    ~GlobalData()
    {
        if (m_bytes)
            ::GlobalUnlock(m_block);
        if (m_block)
            ::GlobalFree(m_block);
    }
    GlobalData(const GlobalData&) = delete;
    GlobalData& operator=(const GlobalData&) = delete;
    const void* Bytes() const { return m_bytes; }
    SIZE_T Size() const { return m_size; }

private:
    HGLOBAL m_block;
    const void* m_bytes = nullptr;
    SIZE_T m_size = 0;
};

CString WideName(const BYTE* bytes, SIZE_T length)
{
    std::vector<wchar_t> text(length + 1, 0);
    std::memcpy(text.data(), bytes, length * sizeof(wchar_t));
    return text.data();
}

// A name of n bytes in the system code page is at most n characters.
CString AnsiName(const BYTE* bytes, SIZE_T length)
{
    std::vector<char> text(bytes, bytes + length);
    text.push_back(0);
    std::vector<wchar_t> converted(length + 1, 0);
    MultiByteToUnicode(text.data(), converted.data(), static_cast<int>(length + 1), 0);
    return converted.data();
}

} // namespace

CLIPFORMAT VyxDropFormats::DropFolderFormat()
{
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CF_VyxDROP"));
}

CLIPFORMAT VyxDropFormats::NoteFormat()
{
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CF_VyxNOTE"));
}

CLIPFORMAT VyxDropFormats::PreferredEffectFormat()
{
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Preferred DropEffect"));
}

HGLOBAL VyxDropFormats::MakeFolderBlock(LPCWSTR folder)
{
    CString text(folder ? folder : L"");
    return TextListBlock(nullptr, 0, {text});
}

HGLOBAL VyxDropFormats::MakeFileList(const std::vector<CString>& names, POINT point)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.pt = point;
    header.fNC = FALSE;
    header.fWide = TRUE;
    return TextListBlock(&header, sizeof(header), names);
}

HGLOBAL VyxDropFormats::MakeNoteList(const std::vector<CString>& notes)
{
    return TextListBlock(nullptr, 0, notes);
}

HGLOBAL VyxDropFormats::MakeEffectBlock(DWORD effect)
{
    return BlockOf(&effect, sizeof(effect));
}

std::vector<CString> VyxDropFormats::ReadFileList(const void* data, SIZE_T size, int* refused)
{
    std::vector<CString> names;
    if (refused)
        *refused = 0;
    if (!data || size < sizeof(DROPFILES))
        return names;
    DROPFILES header;
    std::memcpy(&header, data, sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size)
        return names;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    const SIZE_T unit = header.fWide ? sizeof(wchar_t) : 1;
    SIZE_T at = header.pFiles;
    while (at + unit <= size) {
        // The name's length in units, up to its NUL or the block's end.
        SIZE_T length = 0;
        bool terminated = false;
        for (SIZE_T i = at; i + unit <= size; i += unit, ++length) {
            bool nul = unit == 1 ? bytes[i] == 0 : (bytes[i] | bytes[i + 1]) == 0;
            if (nul) {
                terminated = true;
                break;
            }
        }
        if (length == 0)
            break;
        // A multibyte name of more than twice the limit in bytes is over it in characters too.
        const bool tooLong = length > static_cast<SIZE_T>(kMaxNameLength) * (unit == 1 ? 2 : 1);
        CString name;
        if (terminated && !tooLong)
            name = unit == 1 ? AnsiName(bytes + at, length) : WideName(bytes + at, length);
        if (!terminated || tooLong || name.IsEmpty() || name.GetLength() > kMaxNameLength) {
            if (refused)
                ++*refused;
        } else {
            names.push_back(name);
        }
        if (!terminated)
            break;
        at += (length + 1) * unit;
    }
    return names;
}

std::vector<CString> VyxDropFormats::ReadNoteList(const void* data, SIZE_T size, size_t count)
{
    std::vector<CString> notes;
    const wchar_t* text = static_cast<const wchar_t*>(data);
    const SIZE_T units = data ? size / sizeof(wchar_t) : 0;
    SIZE_T at = 0;
    while (notes.size() < count && at < units) {
        SIZE_T end = at;
        while (end < units && text[end] != 0)
            ++end;
        if (end == units)
            break;
        notes.emplace_back(text + at, static_cast<int>(end - at));
        at = end + 1;
    }
    notes.resize(count);
    return notes;
}

CString VyxDropFormats::ReadFolderBlock(const void* data, SIZE_T size)
{
    return ReadNoteList(data, size, 1).front();
}

bool VyxDropFormats::ReadEffect(const void* data, SIZE_T size, DWORD& effect)
{
    if (!data || size < sizeof(DWORD))
        return false;
    std::memcpy(&effect, data, sizeof(DWORD));
    return true;
}

bool VyxDropFormats::HasFileList(COleDataObject* data)
{
    return data && data->IsDataAvailable(CF_HDROP);
}

bool VyxDropFormats::HasDropFolder(COleDataObject* data)
{
    return data && data->IsDataAvailable(DropFolderFormat());
}

std::vector<CString> VyxDropFormats::GetFileList(COleDataObject* data, int* refused)
{
    GlobalData block(data, CF_HDROP);
    return ReadFileList(block.Bytes(), block.Size(), refused);
}

std::vector<CString> VyxDropFormats::GetNoteList(COleDataObject* data, size_t count)
{
    GlobalData block(data, NoteFormat());
    return ReadNoteList(block.Bytes(), block.Size(), count);
}

CString VyxDropFormats::GetDropFolder(COleDataObject* data)
{
    GlobalData block(data, DropFolderFormat());
    return ReadFolderBlock(block.Bytes(), block.Size());
}

DWORD VyxDropFormats::GetPreferredEffect(COleDataObject* data, DWORD defaultEffect)
{
    GlobalData block(data, PreferredEffectFormat());
    DWORD effect = defaultEffect;
    return ReadEffect(block.Bytes(), block.Size(), effect) ? effect : defaultEffect;
}
