// Catalogs left in the output folder for the browser check that follows this program: it opens
// every page listed in "pages.txt" in a real browser and checks that each picture loads and that
// each link names a file that exists.
#include "common/ScratchTree.h"
#include "fileops/CHtmlCatalogWriter.h"

#include "OutputTestUtil.h"

#include <fstream>

namespace {

using namespace outputtest;

// A picture with a pattern of its own, so a broken thumbnail cannot pass for another.
std::wstring Picture(const std::wstring& path, int index)
{
    return PutPicture(path, 160 + 40 * index, 120, [index](LONG x, LONG y) {
        return ((x / 20 + y / 20 + index) & 1) ? RGB(255, 60 * index, 0) : RGB(0, 90, 255 - 50 * index);
    });
}

class CatalogForBrowser : public testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTree(m_root);
        RemoveTree(m_otherDrive);
        ASSERT_TRUE(CreateDirectoryW(WindowsPathOf(VYX_FILEOPS_OUTPUT).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        for (const std::wstring& folder :
             {m_root, m_root + L"\\pictures", m_root + L"\\thumbs_catalog", m_root + L"\\thumbs_catalog\\thumbs",
              m_root + L"\\linked", m_root + L"\\png", m_root + L"\\names", m_root + L"\\names\\pictures",
              m_otherDrive})
            ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << folder.c_str();
    }

    CHtmlCatalogWriter& Writer(Pictures& pictures, int linkMode, const wchar_t* definition)
    {
        m_writers.emplace_back(new CHtmlCatalogWriter);
        CHtmlCatalogWriter& writer = *m_writers.back();
        writer.m_pFileArray = &pictures.array;
        writer.m_currentFolder = (m_root + L"\\pictures").c_str();
        writer.m_linkMode = linkMode;
        writer.m_jpegQuality = 85;
        writer.m_reducePng = 8;
        writer.m_boxWidth = 120;
        writer.m_boxHeight = 90;
        writer.m_pageNameFormat = L"$file_$page#3";
        writer.m_thumbnailNameFormat = L"Ve_$file";
        writer.m_thumbnailFolder = L".";
        WriteText(m_root + L"\\catalog.kwm", definition);
        EXPECT_TRUE(writer.LoadDefinition((m_root + L"\\catalog.kwm").c_str()));
        return writer;
    }

    std::wstring m_root = WindowsPathOf(VYX_FILEOPS_OUTPUT) + L"\\catalog";
    std::wstring m_otherDrive = L"C:\\vyx_catalog_fixture";
    ScratchSettings m_settings;
    OwnPlugins m_plugins;
    std::vector<std::unique_ptr<CHtmlCatalogWriter>> m_writers;
};

const wchar_t kDefinition[] =
    L"*Header\r\n"
    L"<BODY><H1>$FOLDER_L$ ($PAGENO$/$MAXPAGENO$)</H1>\r\n"
    L"<A HREF=\"$PREV_PAGE$\">前へ</A> <A HREF=\"$NEXT_PAGE$\">次へ</A>\r\n"
    L"*One\r\n"
    L"<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\" WIDTH=$WIDTH$ HEIGHT=$HEIGHT$></A>\r\n"
    L"<BR>$NUMBER$ $FILENAME$ $PIXEL$\r\n"
    L"*Footer\r\n"
    L"</BODY>\r\n";

TEST_F(CatalogForBrowser, CatalogsWithThumbnailsAndWithLinksAcrossDrives)
{
    Pictures pictures;
    const wchar_t* names[] = {L"夕焼け.bmp", L"harbour.bmp", L"森の道.bmp", L"night.bmp", L"雪.bmp"};
    for (int i = 0; i < 5; ++i)
        pictures.Add(Picture(m_root + L"\\pictures\\" + names[i], i));

    CHtmlCatalogWriter& thumbs = Writer(pictures, CHtmlCatalogWriter::LinkToJpeg, kDefinition);
    thumbs.m_picturesPerPage = 2;
    thumbs.m_table = 1;
    thumbs.m_columns = 2;
    thumbs.m_thumbnailFolder = L"thumbs";
    ASSERT_TRUE(thumbs.Generate((m_root + L"\\thumbs_catalog\\catalog.htm").c_str()));

    CHtmlCatalogWriter& png = Writer(pictures, CHtmlCatalogWriter::LinkToPng, kDefinition);
    ASSERT_TRUE(png.Generate((m_root + L"\\png\\index.htm").c_str()));

    Pictures elsewhere;
    for (int i = 0; i < 2; ++i)
        elsewhere.Add(Picture(m_otherDrive + L"\\" + names[i], i));
    CHtmlCatalogWriter& linked = Writer(elsewhere, CHtmlCatalogWriter::LinkToPicture, kDefinition);
    ASSERT_TRUE(linked.Generate((m_root + L"\\linked\\index.htm").c_str()));

    // Names outside the page's code page, holding macro words, or characters an address gives a
    // meaning to: linked to themselves and through their thumbnails, near and on another drive.
    Pictures oddNames;
    const wchar_t* odd[] = {L"café.bmp", L"$(Ext)x.bmp", L"50%#1.bmp", L"雪☃.bmp"};
    for (int i = 0; i < 4; ++i)
        oddNames.Add(Picture(m_root + L"\\names\\pictures\\" + odd[i], i));
    CHtmlCatalogWriter& named = Writer(oddNames, CHtmlCatalogWriter::LinkToJpeg, kDefinition);
    named.m_currentFolder = (m_root + L"\\names\\pictures").c_str();
    ASSERT_TRUE(named.Generate((m_root + L"\\names\\index.htm").c_str()));
    CHtmlCatalogWriter& direct = Writer(oddNames, CHtmlCatalogWriter::LinkToPicture, kDefinition);
    ASSERT_TRUE(direct.Generate((m_root + L"\\names\\direct.htm").c_str()));
    Pictures farNames;
    farNames.Add(Picture(m_otherDrive + L"\\" + odd[0], 0));
    farNames.Add(Picture(m_otherDrive + L"\\" + odd[2], 2));
    CHtmlCatalogWriter& away = Writer(farNames, CHtmlCatalogWriter::LinkToPicture, kDefinition);
    ASSERT_TRUE(away.Generate((m_root + L"\\names\\far.htm").c_str()));

    std::ofstream((m_root + L"\\pages.txt").c_str(), std::ios::binary)
        << "thumbs_catalog/catalog.htm\nthumbs_catalog/catalog_002.htm\nthumbs_catalog/catalog_003.htm\n"
           "png/index.htm\nlinked/index.htm\nnames/index.htm\nnames/direct.htm\nnames/far.htm\n";
    EXPECT_TRUE(ScratchFolder::Exists(m_root + L"\\thumbs_catalog\\thumbs\\Ve_雪.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(m_root + L"\\thumbs_catalog\\catalog_004.htm"));
}

} // namespace
