#include "foundation/VyxIni.h"

#include "foundation/VyxIniFileCache.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxString.h"
#include "foundation/VyxSystem.h"

#include <atomic>
#include <cwchar>
#include <vector>

// Made before, and destroyed after, the globals that write settings when the program ends (the
// plug-in host).
VyxIni theAppIni __attribute__((init_priority(1000))) (VyxIni::ReadsHeldInMemory);

namespace {

const int kStringCapacity = 2001; // 2000 characters and the terminator

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

std::atomic<unsigned> s_writeCount{0};

// Every write counts, whether or not it succeeded: the file may have changed either way.
bool Counted(bool written)
{
    ++s_writeCount;
    return written;
}

int HexDigitValue(wchar_t ch)
{
    ch = static_cast<wchar_t>(towupper(ch));
    const wchar_t* found = ch ? wcschr(kHexDigits, ch) : nullptr;
    return found ? static_cast<int>(found - kHexDigits) : -1;
}

// A number as the platform's integer reader takes it: blanks and control characters skipped, a
// sign, a base prefix ("0x", "0o", "0b", in lower case), then digits of the base up to the first other
// character, wrapping as an unsigned 32-bit value.
unsigned ParseProfileInt(const wchar_t* text)
{
    while (*text && *text <= L' ')
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    unsigned base = 10;
    if (text[0] == L'0') {
        const wchar_t mark = text[1]; // lower case only
        base = mark == L'x' ? 16 : mark == L'o' ? 8 : mark == L'b' ? 2 : 10;
        if (base != 10)
            text += 2;
    }
    unsigned value = 0;
    for (;; ++text) {
        const int digit = HexDigitValue(*text);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            break;
        value = value * base + static_cast<unsigned>(digit);
    }
    return negative ? 0u - value : value;
}

} // namespace

unsigned VyxIni::GetWriteCount()
{
    return s_writeCount;
}

VyxIni::VyxIni(HeldInMemory) : m_held(std::make_shared<VyxIniFileCache>()) {}

unsigned VyxIni::GetHeldFileLoads() const
{
    return m_held ? m_held->GetLoadCount() : 0;
}

void VyxIni::FileWritten() const
{
    if (m_held)
        m_held->Invalidate();
}

void VyxIni::SetPath(const wchar_t* name)
{
    // A copy of this object keeps the file it held; this one holds the new file from now on.
    if (m_held)
        m_held = std::make_shared<VyxIniFileCache>();
    if (!name || !*name) {
        m_path.Empty();
        return;
    }
    CString drive, dir, fileName, ext;
    SplitPathEx(name, drive, dir, fileName, ext);
    CString folder = drive + dir;
    if (folder.IsEmpty() && !fileName.IsEmpty())
        GetModuleFolder(folder);
    if (ext.IsEmpty())
        ext = L".ini";
    MakePath(m_path, nullptr, folder, fileName, ext);
    if (m_held)
        m_held->SetPath(m_path);
}

int VyxIni::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        return app ? static_cast<int>(app->GetProfileInt(section, key, defaultValue)) : defaultValue;
    }
    if (m_held) {
        // The platform reads at most 29 characters of a number; an empty value gives the default.
        CString text;
        switch (m_held->Lookup(section, key, text, 29)) {
        case VyxIniFileCache::Found:
            return text.IsEmpty() ? defaultValue : static_cast<int>(ParseProfileInt(text));
        case VyxIniFileCache::Missing:
            return defaultValue;
        case VyxIniFileCache::Unavailable:
            break;
        }
    }
    return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, m_path));
}

bool VyxIni::GetBool(const wchar_t* section, const wchar_t* key, bool defaultValue) const
{
    return GetInt(section, key, defaultValue ? 1 : 0) != 0;
}

int VyxIni::GetHexInt(const wchar_t* section, const wchar_t* key, int defaultValue) const
{
    CString defaultText;
    defaultText.Format(L"#%08X", defaultValue);
    CString text;
    GetString(text, section, key, defaultText);
    if (!text.IsEmpty() && text[0] == L'#')
        return HexTextToInt(text);
    return GetInt(section, key, defaultValue);
}

double VyxIni::GetDouble(const wchar_t* section, const wchar_t* key, double defaultValue) const
{
    CString defaultText;
    defaultText.Format(L"%g", defaultValue);
    CString text;
    GetString(text, section, key, defaultText);
    return _wtof(text);
}

CString& VyxIni::GetString(CString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        out = app ? app->GetProfileString(section, key, defaultValue) : CString(defaultValue ? defaultValue : L"");
        if (out.GetLength() > kStringCapacity - 1)
            out = out.Left(kStringCapacity - 1);
        return out;
    }
    if (m_held) {
        switch (m_held->Lookup(section, key, out, kStringCapacity - 1)) {
        case VyxIniFileCache::Found:
            return out;
        case VyxIniFileCache::Missing:
            // The platform gives the default without its trailing blanks.
            out = defaultValue ? defaultValue : L"";
            out.TrimRight(L" ");
            if (out.GetLength() > kStringCapacity - 1)
                out = out.Left(kStringCapacity - 1);
            return out;
        case VyxIniFileCache::Unavailable:
            break;
        }
    }
    std::vector<wchar_t> buffer(kStringCapacity);
    GetPrivateProfileStringW(section, key, defaultValue ? defaultValue : L"", buffer.data(), kStringCapacity, m_path);
    buffer[kStringCapacity - 1] = 0;
    out = buffer.data();
    return out;
}

// Pairs of "0123456789ABCDEF" (either case), high nibble first. A pair holding any other
// character gives no byte but still counts; its byte stays zero.
int VyxIni::GetBinary(const wchar_t* section, const wchar_t* key, void* buffer, int size) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        if (!app)
            return 0;
        BYTE* data = nullptr;
        UINT bytes = 0;
        if (!app->GetProfileBinary(section, key, &data, &bytes)) {
            delete[] data;
            return 0;
        }
        if (buffer && size > 0 && data)
            memcpy(buffer, data, bytes < static_cast<UINT>(size) ? bytes : static_cast<UINT>(size));
        delete[] data;
        return static_cast<int>(bytes);
    }
    CString text;
    GetString(text, section, key, L"");
    int count = text.GetLength() / 2;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < count && out && i < size; ++i) {
        int high = HexDigitValue(text[2 * i]);
        int low = HexDigitValue(text[2 * i + 1]);
        out[i] = high >= 0 && low >= 0 ? static_cast<unsigned char>(high << 4 | low) : 0;
    }
    return count;
}

int VyxIni::GetSection(const wchar_t* section, wchar_t* buffer, int size) const
{
    if (m_path.IsEmpty() || !buffer || size <= 0)
        return 0;
    return static_cast<int>(GetPrivateProfileSectionW(section, buffer, size, m_path));
}

int VyxIni::GetSectionNames(wchar_t* buffer, int size) const
{
    if (m_path.IsEmpty() || !buffer || size <= 0)
        return 0;
    return static_cast<int>(GetPrivateProfileSectionNamesW(buffer, size, m_path));
}

namespace {

// A double-NUL list read into a buffer that holds the whole file (a file's text never has more
// characters than bytes).
template <class Read> bool ReadWholeList(ULONGLONG fileSize, std::vector<wchar_t>& out, Read read)
{
    out.assign(2, 0);
    if (fileSize == 0 || fileSize > VyxIni::MaxWholeReadBytes)
        return false;
    out.assign(static_cast<size_t>(fileSize) + 16, 0);
    const int length = read(out.data(), static_cast<int>(out.size()) - 2);
    if (length <= 0) {
        out.assign(2, 0);
        return false;
    }
    return true;
}

void SplitList(const std::vector<wchar_t>& list, CStringArray& out)
{
    out.RemoveAll();
    for (const wchar_t* entry = list.data(); *entry; entry += wcslen(entry) + 1)
        out.Add(CString(entry));
}

} // namespace

bool VyxIni::GetWholeSection(const wchar_t* section, std::vector<wchar_t>& entries) const
{
    return ReadWholeList(GetFileSize(), entries,
                         [&](wchar_t* buffer, int size) { return GetSection(section, buffer, size); });
}

bool VyxIni::GetWholeSectionNames(std::vector<wchar_t>& names) const
{
    return ReadWholeList(GetFileSize(), names,
                         [&](wchar_t* buffer, int size) { return GetSectionNames(buffer, size); });
}

void VyxIni::GetSectionLines(const wchar_t* section, CStringArray& lines) const
{
    std::vector<wchar_t> list;
    GetWholeSection(section, list);
    SplitList(list, lines);
}

void VyxIni::GetSectionNameList(CStringArray& names) const
{
    std::vector<wchar_t> list;
    GetWholeSectionNames(list);
    SplitList(list, names);
}

bool VyxIni::WriteInt(const wchar_t* section, const wchar_t* key, int value) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        return Counted(app && app->WriteProfileInt(section, key, value));
    }
    CString text;
    text.Format(L"%d", value);
    return WriteString(section, key, text);
}

bool VyxIni::WriteBool(const wchar_t* section, const wchar_t* key, bool value) const
{
    return WriteInt(section, key, value ? 1 : 0);
}

bool VyxIni::WriteHexInt(const wchar_t* section, const wchar_t* key, int value) const
{
    CString text;
    text.Format(L"#%08X", value);
    return WriteString(section, key, text);
}

bool VyxIni::WriteDouble(const wchar_t* section, const wchar_t* key, double value) const
{
    CString text;
    text.Format(L"%g", value);
    return WriteString(section, key, text);
}

bool VyxIni::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        return Counted(app && app->WriteProfileString(section, key, value));
    }
    // A value the file holds already is left as it stands: every write rewrites the whole file,
    // and a program closing writes back a hundred settings that seldom changed.
    if (m_held && section && key && value) {
        CString held;
        const int length = lstrlenW(value);
        if (m_held->LookupBeforeWriting(section, key, held, length + 1) == VyxIniFileCache::Found && held == value)
            return true;
    }
    const bool written = WritePrivateProfileStringW(section, key, value, m_path) != FALSE;
    FileWritten();
    return Counted(written);
}

bool VyxIni::WriteBinary(const wchar_t* section, const wchar_t* key, const void* data, int count) const
{
    if (m_path.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        return Counted(app && app->WriteProfileBinary(section, key, static_cast<LPBYTE>(const_cast<void*>(data)),
                                                      count > 0 ? static_cast<UINT>(count) : 0));
    }
    CString text;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; bytes && i < count; ++i) {
        text += kHexDigits[bytes[i] >> 4];
        text += kHexDigits[bytes[i] & 15];
    }
    return WriteString(section, key, text);
}

bool VyxIni::WriteSection(const wchar_t* section, const wchar_t* multiString) const
{
    if (m_path.IsEmpty())
        return false;
    const bool written = WritePrivateProfileSectionW(section, multiString, m_path) != FALSE;
    FileWritten();
    return Counted(written);
}

ULONGLONG VyxIni::GetFileSize() const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (m_path.IsEmpty() || !GetFileAttributesExW(m_path, GetFileExInfoStandard, &data))
        return 0;
    return static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

void InitAppIniPath()
{
    CString program;
    GetModuleFilePath(program);
    CString path;
    GetPathPart(path, program, PartDrive | PartDir | PartName);
    theAppIni.SetPath(path + L".ini");
}

int GetAppIniInt(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    return theAppIni.GetInt(section, key, defaultValue);
}

bool GetAppIniBool(const wchar_t* section, const wchar_t* key, bool defaultValue)
{
    return theAppIni.GetBool(section, key, defaultValue);
}

int GetAppIniHexInt(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    return theAppIni.GetHexInt(section, key, defaultValue);
}

double GetAppIniDouble(const wchar_t* section, const wchar_t* key, double defaultValue)
{
    return theAppIni.GetDouble(section, key, defaultValue);
}

CString& GetAppIniString(CString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue)
{
    return theAppIni.GetString(out, section, key, defaultValue);
}

VyxString& GetAppIniString(VyxString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue)
{
    CString text;
    theAppIni.GetString(text, section, key, defaultValue);
    out = static_cast<const wchar_t*>(text);
    return out;
}

CString GetAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue)
{
    CString text;
    theAppIni.GetString(text, section, key, defaultValue);
    return text;
}

int GetAppIniBinary(const wchar_t* section, const wchar_t* key, void* buffer, int size)
{
    return theAppIni.GetBinary(section, key, buffer, size);
}

bool WriteAppIniInt(const wchar_t* section, const wchar_t* key, int value)
{
    return theAppIni.WriteInt(section, key, value);
}

bool WriteAppIniBool(const wchar_t* section, const wchar_t* key, bool value)
{
    return theAppIni.WriteBool(section, key, value);
}

bool WriteAppIniHexInt(const wchar_t* section, const wchar_t* key, int value)
{
    return theAppIni.WriteHexInt(section, key, value);
}

bool WriteAppIniDouble(const wchar_t* section, const wchar_t* key, double value)
{
    return theAppIni.WriteDouble(section, key, value);
}

bool WriteAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    return theAppIni.WriteString(section, key, value);
}

bool WriteBackAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    // A default that no stored value can be tells a missing key from one holding the text.
    const wchar_t absent[] = {L'\x1', 0};
    const CString wanted = value ? value : L"";
    CString held;
    if (GetAppIniString(held, section, key, absent) == wanted)
        return true;
    return WriteAppIniString(section, key, wanted);
}

bool WriteBackAppIniInt(const wchar_t* section, const wchar_t* key, int value)
{
    CString text;
    text.Format(L"%d", value);
    return WriteBackAppIniString(section, key, text);
}

bool WriteAppIniBinary(const wchar_t* section, const wchar_t* key, const void* data, int count)
{
    return theAppIni.WriteBinary(section, key, data, count);
}
