// Shared set-up of the thumbnail cache, note and cell tests: cache files built byte by byte from
// their layout, a cache root and settings file of the test's own, and picture items read through
// the test plug-in.
#pragma once

#include "../foundation/TestSettings.h"
#include "CatalogueTestUtil.h"

#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheList.h"

#include <cstring>
#include <string>
#include <vector>

namespace thumbtest {

using namespace cataloguetest;

// A cache file written field by field, independently of the program's writer.
class CacheBytes
{
public:
    CacheBytes& Field(int tag, const std::string& value)
    {
        Dword(static_cast<DWORD>(tag));
        Dword(static_cast<DWORD>(value.size()));
        bytes += value;
        return *this;
    }
    CacheBytes& Head()
    {
        Field(-1, "VYX.KR. cache file");
        double one = 1.0;
        return Field(-2, std::string(reinterpret_cast<const char*>(&one), 8));
    }
    CacheBytes& Int(int tag, int value) { return Field(tag, Le(static_cast<DWORD>(value))); }
    CacheBytes& Pair(int tag, DWORD first, DWORD second) { return Field(tag, Le(first) + Le(second)); }
    CacheBytes& Text(int tag, const std::wstring& text)
    {
        std::string value;
        for (wchar_t ch : text) {
            value += static_cast<char>(ch & 0xFF);
            value += static_cast<char>(ch >> 8);
        }
        return Field(tag, value + std::string(2, '\0'));
    }
    CacheBytes& End() { return Field(0, std::string(4, '\xFF')); }
    // The fields of one record as the program writes them, without image and end.
    CacheBytes& Record(const std::wstring& name, const std::wstring& loader, ULONGLONG size, long long time,
                       const std::wstring& member = L"", const std::wstring& archive = L"",
                       const std::wstring& archiveLoader = L"", int kind = 0)
    {
        Pair(1006, static_cast<DWORD>(size), static_cast<DWORD>(size >> 32));
        Pair(1007, static_cast<DWORD>(time), static_cast<DWORD>(static_cast<ULONGLONG>(time) >> 32));
        Text(2001, name).Text(2002, loader).Text(2005, member);
        Pair(1012, 0, 0).Pair(1013, 0, 0);
        Int(1008, 0).Int(1009, 0).Int(1010, 0);
        Text(2003, archive).Text(2004, archiveLoader);
        return Int(1025, kind);
    }
    static std::string Le(DWORD value)
    {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i)
            out[i] = static_cast<char>(value >> (8 * i));
        return out;
    }

    std::string bytes;

private:
    void Dword(DWORD value) { bytes += Le(value); }
};

// The application settings and the cache list's root and folders, the test's own while it lives.
class CacheScope
{
public:
    explicit CacheScope(const wchar_t* root = L"") { theCacheList.SetCacheFolder(root); }
    ~CacheScope()
    {
        theCacheList.RemoveAllFolders();
        theCacheList.SetCacheFolder(L"");
    }
    CacheScope(const CacheScope&) = delete;
    CacheScope& operator=(const CacheScope&) = delete;

private:
    ScratchSettings m_settings;
};

// A record's image as its folder finds it (in memory or at its place in a file); empty for none.
inline std::string ImageOf(const VyxCacheFolder& cache, const VyxCacheThumbs* record)
{
    std::vector<BYTE> bytes;
    if (!record || !cache.ReadImage(*record, bytes))
        return std::string();
    return std::string(bytes.begin(), bytes.end());
}

// A test picture of the given size with a known write time, and the item for it, its loader
// found through the host.
inline VyxFile* NewPictureItem(const ScratchFolder& folder, const std::wstring& name, WORD width, WORD height,
                               long long time = 1500000000)
{
    std::wstring path = PutFile(folder, name, plugintest::MakeTestPicture(0, width, height), time);
    VyxFile* item = new VyxFile(path.c_str());
    item->DetectPlugin();
    return item;
}

} // namespace thumbtest
