// Settings by section, key and default on a private-profile (ini) file, read and written at each
// access. Without a path the application object's profile functions serve instead.
#pragma once

#include "framework/Framework.h"

#include <memory>
#include <vector>

class VyxString;
class VyxIniFileCache;

class VyxIni
{
public:
    VyxIni() = default;
    explicit VyxIni(const wchar_t* name) { SetPath(name); }
    // Values read key by key come from the file held in memory (read again when it changes);
    // writes still go to the file at once. For a file read many times, as the program's own.
    enum HeldInMemory { ReadsHeldInMemory };
    explicit VyxIni(HeldInMemory);

    // A bare name goes to the program's folder; a missing extension becomes ".ini"; empty clears.
    void SetPath(const wchar_t* name);
    const CString& GetPath() const { return m_path; }

    int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    bool GetBool(const wchar_t* section, const wchar_t* key, bool defaultValue) const;
    // "#" followed by hexadecimal digits; any other text is read as a decimal int.
    int GetHexInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    double GetDouble(const wchar_t* section, const wchar_t* key, double defaultValue) const;
    // At most 2000 characters.
    CString& GetString(CString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) const;
    // Returns the stored byte count (text length / 2); copies at most size bytes to buffer.
    int GetBinary(const wchar_t* section, const wchar_t* key, void* buffer, int size) const;
    int GetSection(const wchar_t* section, wchar_t* buffer, int size) const;
    int GetSectionNames(wchar_t* buffer, int size) const;
    // The whole section's lines ("key=value" as the file holds them) and the section names, in
    // file order; empty for a missing file or section, or one too large to read.
    void GetSectionLines(const wchar_t* section, CStringArray& lines) const;
    void GetSectionNameList(CStringArray& names) const;
    // The same reads as one NUL-separated list ending in two NULs, in a buffer sized from the file
    // (at most MaxWholeReadBytes); false, and a list of no entries, when there is nothing to read.
    bool GetWholeSection(const wchar_t* section, std::vector<wchar_t>& entries) const;
    bool GetWholeSectionNames(std::vector<wchar_t>& names) const;
    static constexpr ULONGLONG MaxWholeReadBytes = 16u << 20;

    // A null key deletes the section, a null value the key (the Win32 rule).
    bool WriteInt(const wchar_t* section, const wchar_t* key, int value) const;
    bool WriteBool(const wchar_t* section, const wchar_t* key, bool value) const;
    bool WriteHexInt(const wchar_t* section, const wchar_t* key, int value) const;    // "#%08X"
    bool WriteDouble(const wchar_t* section, const wchar_t* key, double value) const; // "%g"
    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
    bool WriteBinary(const wchar_t* section, const wchar_t* key, const void* data, int count) const; // "%02X" pairs
    bool WriteSection(const wchar_t* section, const wchar_t* multiString) const;

    // 0 when missing.
    ULONGLONG GetFileSize() const;
    // Settings writes of the process so far (any instance): a reader that keeps a value in memory
    // reads it again when the count has moved.
    static unsigned GetWriteCount();

    // Whole-file reads of the held file so far; 0 when the file is not held.
    unsigned GetHeldFileLoads() const;

private:
    void FileWritten() const;

    CString m_path;
    std::shared_ptr<VyxIniFileCache> m_held;
};

// The application settings file: the program's folder and name with ".ini" once InitAppIniPath ran.
extern VyxIni theAppIni;

void InitAppIniPath();
int GetAppIniInt(const wchar_t* section, const wchar_t* key, int defaultValue);
bool GetAppIniBool(const wchar_t* section, const wchar_t* key, bool defaultValue);
int GetAppIniHexInt(const wchar_t* section, const wchar_t* key, int defaultValue);
double GetAppIniDouble(const wchar_t* section, const wchar_t* key, double defaultValue);
CString& GetAppIniString(CString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
VyxString& GetAppIniString(VyxString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
CString GetAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
// The same reads under the name some callers use.
inline CString& GetAppIniStringB(CString& out, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue)
{
    return GetAppIniString(out, section, key, defaultValue);
}
inline VyxString& GetAppIniStringB(VyxString& out, const wchar_t* section, const wchar_t* key,
                                   const wchar_t* defaultValue)
{
    return GetAppIniString(out, section, key, defaultValue);
}
int GetAppIniBinary(const wchar_t* section, const wchar_t* key, void* buffer, int size);
bool WriteAppIniInt(const wchar_t* section, const wchar_t* key, int value);
bool WriteAppIniBool(const wchar_t* section, const wchar_t* key, bool value);
bool WriteAppIniHexInt(const wchar_t* section, const wchar_t* key, int value);
bool WriteAppIniDouble(const wchar_t* section, const wchar_t* key, double value);
bool WriteAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
bool WriteAppIniBinary(const wchar_t* section, const wchar_t* key, const void* data, int count);
// Written back so that the key shows in the file, only when the file does not already read so: a
// write makes the held file be read whole again at the next reads.
bool WriteBackAppIniInt(const wchar_t* section, const wchar_t* key, int value);
bool WriteBackAppIniString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
