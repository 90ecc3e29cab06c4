// Shared set-up of the output tests: the program's own plug-ins in the host, made-up pictures
// written as real files, a file array of items for them, and reading back what was written.
#pragma once

#include "../image/PluginTestUtil.h"
#include "common/PrintedPdfs.h"

#include "catalogue/VyxFile.h"
#include "fileops/CHtmlCatalogWriter.h"
#include "catalogue/VyxFileArray.h"
#include "image/codecs/SaveDib.h"
#include "image/plugins/Spi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace outputtest {

using printed::WindowsPathOf;

// The program's own plug-ins (built beside Vyx.exe) in the host while it lives, so items read
// BMP and JPEG files as the program does.
class OwnPlugins
{
public:
    OwnPlugins() { theSPImapIndex.ScanPlugins((plugintest::OwnPluginFolder() + L"\\*.spi").c_str(), nullptr, nullptr); }
    ~OwnPlugins() { theSPImapIndex.DeleteAll(); }
    OwnPlugins(const OwnPlugins&) = delete;
    OwnPlugins& operator=(const OwnPlugins&) = delete;
};

// A 24-bit picture of width x height whose pixel (x, y) is colour(x, y), saved as BMP (or as JPEG
// when the name ends in ".jpg").
inline std::wstring PutPicture(const std::wstring& path, LONG width, LONG height,
                               const std::function<COLORREF(LONG, LONG)>& colour)
{
    dibtest::Dib dib(dibtest::Make24(width, height, colour));
    bool jpeg = path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".jpg") == 0;
    int saved = jpeg ? SaveDibAsJpeg(path.c_str(), dib, 90, 0, 0) : SaveDibAsBmp(path.c_str(), dib);
    EXPECT_EQ(0, saved) << "writing a test picture";
    return path;
}

inline std::wstring PutPicture(const std::wstring& path, LONG width, LONG height, COLORREF colour)
{
    return PutPicture(path, width, height, [colour](LONG, LONG) { return colour; });
}

// Items for the paths, selected unless told otherwise, in a file array that owns them.
class Pictures
{
public:
    VyxFile* Add(const std::wstring& path, bool selected = true)
    {
        VyxFile* item = new VyxFile(path.c_str());
        item->DetectPlugin();
        if (selected)
            item->SetFlags(VyxFilexDraw::FlagSelected);
        array.Add(item);
        return item;
    }
    VyxFile* operator[](int index) { return array.GetAt(index); }

    VyxFileArray array;
};

// A catalog writer over the pictures of the folder, its pages and thumbnails named as most tests
// name them, the thumbnails beside the pages.
inline void PrepareCatalogWriter(CHtmlCatalogWriter& writer, Pictures& pictures, const std::wstring& folder)
{
    writer.m_pFileArray = &pictures.array;
    writer.m_currentFolder = folder.c_str();
    writer.m_pageNameFormat = L"$file_$page#3";
    writer.m_thumbnailNameFormat = L"Ve_$file";
    writer.m_thumbnailFolder = L".";
}

// A text file written by the program (the ANSI code page), as UTF-16.
inline std::wstring ReadText(const std::wstring& path)
{
    std::string bytes = ScratchFolder::ReadFile(path);
    if (bytes.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

// Writes a text in the ANSI code page, as the program reads definitions and scripts.
inline void WriteText(const std::wstring& path, const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    ASSERT_TRUE(ScratchFolder::WriteFile(path, bytes));
}

inline int Occurrences(const std::wstring& text, const std::wstring& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace outputtest
