// Catalogs left in the output folder for the browser check that follows this program: it opens
// every page listed in "pages.txt" in a real browser and checks that each picture loads and that
// each link names a file that exists.
#include "common/ScratchTree.h"
#include "fileops/CHtmlCatalogWriter.h"

#include "OutputTestUtil.h"

#include <algorithm>
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

// The text as a JSON string, characters beyond ASCII as escapes.
std::string JsonText(const std::wstring& text)
{
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c == L'\n')
            out += "\\n";
        else if (c < 0x80)
            out += static_cast<char>(c);
        else {
            char escape[8];
            snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

class CatalogForBrowser : public testing::Test
{
protected:
    // Once for all the tests: each leaves its pages for the browser and names them in the list.
    static void SetUpTestSuite()
    {
        RemoveTree(Root());
        RemoveTree(m_otherDrive);
    }

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(WindowsPathOf(VYX_FILEOPS_OUTPUT).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        for (const std::wstring& folder :
             {m_root, m_root + L"\\pictures", m_root + L"\\thumbs_catalog", m_root + L"\\thumbs_catalog\\thumbs",
              m_root + L"\\linked", m_root + L"\\png", m_root + L"\\names", m_root + L"\\names\\pictures",
              m_otherDrive})
            ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
                << folder.c_str();
    }

    static std::wstring Root() { return WindowsPathOf(VYX_FILEOPS_OUTPUT) + L"\\catalog"; }

    // The pages, relative to the root, for the browser to open.
    void ListPages(const char* pages)
    {
        std::ofstream((m_root + L"\\pages.txt").c_str(), std::ios::binary | std::ios::app) << pages;
    }

    CHtmlCatalogWriter& Writer(Pictures& pictures, int linkMode, const wchar_t* definition)
    {
        WriteText(m_root + L"\\catalog.kwm", definition);
        return WriterOf(pictures, linkMode, m_root + L"\\catalog.kwm");
    }

    CHtmlCatalogWriter& WriterOf(Pictures& pictures, int linkMode, const std::wstring& definitionPath)
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
        EXPECT_TRUE(writer.LoadDefinition(definitionPath.c_str()));
        return writer;
    }

    std::wstring m_root = Root();
    static inline const std::wstring m_otherDrive = L"C:\\vyx_catalog_fixture";
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

    ListPages("thumbs_catalog/catalog.htm\nthumbs_catalog/catalog_002.htm\nthumbs_catalog/catalog_003.htm\n"
              "png/index.htm\nlinked/index.htm\nnames/index.htm\nnames/direct.htm\nnames/far.htm\n");
    EXPECT_TRUE(ScratchFolder::Exists(m_root + L"\\thumbs_catalog\\thumbs\\Ve_雪.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(m_root + L"\\thumbs_catalog\\catalog_004.htm"));
}

// Names and notes holding marks HTML gives a meaning to, a note with a script and a folder: the
// browser shows each text as typed (listed in "texts.json" for the check), runs no script and
// asks for no picture of the folder.
TEST_F(CatalogForBrowser, NamesAndNotesShowAsTypedAndNoNoteRuns)
{
    for (const wchar_t* folder : {L"\\stress", L"\\stress\\pictures", L"\\stress\\pictures\\trip 2"})
        ASSERT_TRUE(CreateDirectoryW((m_root + folder).c_str(), nullptr));
    const std::wstring names[] = {L"a&copy.jpg", L"x&lt;y.jpg", L"a b.jpg", L"trip 2"};
    const std::wstring notes[] = {L"<b>bold</b> \"q\" </DIV>end", L"<script>window.vyxScriptRan = 1</script>",
                                  L"first line\r\nsecond & <third>", L"旅行 & <2>"};
    Pictures pictures;
    for (int i = 0; i < 4; ++i) {
        const std::wstring path = m_root + L"\\stress\\pictures\\" + names[i];
        (i < 3 ? pictures.Add(Picture(path, i)) : pictures.Add(path))->SetNoteText(notes[i].c_str());
    }
    const wchar_t definition[] =
        L"*One\r\n"
        L"<DIV STYLE=\"display:inline-block; width:200px; vertical-align:top\">\r\n"
        L"<A HREF=\"$ORGPATHNAME$\"><IMG CLASS=\"shown\" SRC=\"$THUMBSNAME$\" "
        L"WIDTH=$WIDTH$ HEIGHT=$HEIGHT$ ALT=\"$FILENAME$\"></A>\r\n"
        L"<BR><SPAN CLASS=\"shown\">$FILENAME$</SPAN><BR><SPAN CLASS=\"shown\">$NOTE$</SPAN>\r\n"
        L"</DIV>\r\n";
    for (int mode : {CHtmlCatalogWriter::LinkToJpeg, CHtmlCatalogWriter::LinkToPicture}) {
        CHtmlCatalogWriter& writer = Writer(pictures, mode, definition);
        writer.m_currentFolder = (m_root + L"\\stress\\pictures").c_str();
        const wchar_t* page =
            mode == CHtmlCatalogWriter::LinkToJpeg ? L"\\stress\\thumbs.htm" : L"\\stress\\linked.htm";
        ASSERT_TRUE(writer.Generate((m_root + page).c_str()));
    }
    ListPages("stress/thumbs.htm\nstress/linked.htm\n");

    // Each cell: the picture's alternative text, the name and the note with its line break.
    std::string texts;
    for (int i = 0; i < 4; ++i) {
        std::wstring note = notes[i];
        note.erase(std::remove(note.begin(), note.end(), L'\r'), note.end());
        for (const std::wstring& text : {names[i], names[i], note})
            texts += (texts.empty() ? "" : ",") + JsonText(text);
    }
    std::ofstream((m_root + L"\\texts.json").c_str(), std::ios::binary)
        << "{\"stress/thumbs.htm\": [" << texts << "], \"stress/linked.htm\": [" << texts << "]}";
}

TEST_F(CatalogForBrowser, TheSampleDefinitionBesideTheProgramMakesPagesWhoseLinksAndPicturesResolve)
{
    const std::wstring sample = plugintest::OwnPluginFolder() + L"\\sample.kwm";
    ASSERT_TRUE(ScratchFolder::Exists(sample)) << "no sample definition beside the program";
    for (const wchar_t* folder : {L"\\sample", L"\\sample\\pictures", L"\\sample\\thumbs", L"\\sample\\linked"})
        ASSERT_TRUE(CreateDirectoryW((m_root + folder).c_str(), nullptr));
    Pictures pictures;
    const wchar_t* names[] = {L"奈良_001.bmp", L"奈良_002.bmp", L"京都.夕景.bmp"};
    for (int i = 0; i < 3; ++i)
        pictures.Add(Picture(m_root + L"\\sample\\pictures\\" + names[i], i))->SetNoteText(L"鹿と寺");

    CHtmlCatalogWriter& thumbs = WriterOf(pictures, CHtmlCatalogWriter::LinkToJpeg, sample);
    thumbs.m_currentFolder = (m_root + L"\\sample\\pictures").c_str();
    thumbs.m_picturesPerPage = 2;
    ASSERT_TRUE(thumbs.Generate((m_root + L"\\sample\\thumbs\\index.htm").c_str()));
    CHtmlCatalogWriter& linked = WriterOf(pictures, CHtmlCatalogWriter::LinkToPicture, sample);
    linked.m_currentFolder = thumbs.m_currentFolder;
    ASSERT_TRUE(linked.Generate((m_root + L"\\sample\\linked\\index.htm").c_str()));
    ListPages("sample/thumbs/index.htm\nsample/thumbs/index_002.htm\nsample/linked/index.htm\n");

    // Each picture has its thumbnail, name and note on the page, and the pages lead to each other.
    const std::string first = ScratchFolder::ReadFile(m_root + L"\\sample\\thumbs\\index.htm");
    for (const char* shown : {"<IMG SRC=\"./Ve_", "HREF=\"index_002.htm\"", "001.bmp", "\x8e\xad\x82\xc6\x8e\x9b"})
        EXPECT_NE(std::string::npos, first.find(shown)) << shown;
    EXPECT_TRUE(ScratchFolder::Exists(m_root + L"\\sample\\thumbs\\Ve_京都.夕景.jpg"));
    EXPECT_NE(std::string::npos,
              ScratchFolder::ReadFile(m_root + L"\\sample\\thumbs\\index_002.htm").find("HREF=\"index.htm\""));
}

} // namespace
