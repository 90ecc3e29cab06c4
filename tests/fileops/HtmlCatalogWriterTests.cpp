#include "fileops/CHtmlCatalogWriter.h"

#include "OutputWindowUtil.h"

#include "foundation/VyxPath.h"

namespace {

using namespace outputtest;

class HtmlCatalog : public testing::Test
{
protected:
    HtmlCatalog()
    {
        writer.m_pFileArray = &pictures.array;
        writer.m_currentFolder = folder.Path().c_str();
        writer.m_pageNameFormat = L"$file_$page#3";
        writer.m_thumbnailNameFormat = L"Ve_$file";
        writer.m_thumbnailFolder = L".";
        writer.m_boxWidth = 100;
        writer.m_boxHeight = 80;
        writer.m_jpegQuality = 90;
    }

    // n pictures p0.bmp .. of 40 x 20 in the picture folder, selected.
    void AddPictures(int n)
    {
        for (int i = 0; i < n; ++i)
            pictures.Add(PutPicture(folder / (L"p" + std::to_wstring(i) + L".bmp"), 40, 20, RGB(200, 10 * i, 0)));
    }
    // Known to be a picture, but its file is not one any more.
    bool AddBrokenPicture()
    {
        VyxFile* broken = pictures.Add(folder / L"broken.bmp");
        broken->SetWidth(40);
        broken->SetHeight(20);
        return ScratchFolder::WriteFile(folder / L"broken.bmp", "BM not a picture");
    }
    bool Load(const std::wstring& definition)
    {
        WriteText(folder / L"def.kwm", definition);
        return writer.LoadDefinition((folder / L"def.kwm").c_str());
    }
    bool Generate(const wchar_t* page = L"catalog.htm") { return writer.Generate((out / page).c_str()); }
    std::wstring Page(const wchar_t* name) { return ReadText(out / name); }

    ScratchFolder folder{L"vyxhtml"};
    ScratchFolder out{L"vyxhtmlout"};
    OwnPlugins plugins;
    Pictures pictures;
    CHtmlCatalogWriter writer;
};

TEST_F(HtmlCatalog, DefinitionLinesGoToSectionsAndDirectivesToFields)
{
    ASSERT_TRUE(Load(L"global\r\n;comment\r\n ;kept\r\n*header\r\nh1\r\n*ONE\r\no1\r\n#thumbs_width=120\r\n"
                     L"#THUMBS_HEIGHT=90px\r\n#TABLE_OPTION=BORDER=1\r\n#VERSION=2.5\r\n#NUM_FIRST=7\r\n"
                     L"#PATH_SEP=/x\r\n#HTMLNAME_FORMAT=p$page\r\n#THUMBNAIL_FORMAT=t_$file\r\n*Footer\r\nf1\r\n\r\n"
                     L"*One\r\no2\r\n  #let &n=2*3\r\n#THUMBS_WIDTH=0\r\n"));
    ASSERT_EQ(2, writer.m_globalLines.GetSize());
    EXPECT_EQ(CString(L" ;kept"), writer.m_globalLines[1]);
    EXPECT_EQ(1, writer.m_headerLines.GetSize());
    // A marker met again empties its section: the last block wins.
    ASSERT_EQ(2, writer.m_oneLines.GetSize());
    EXPECT_EQ(CString(L"o2"), writer.m_oneLines[0]);
    EXPECT_EQ(CString(L"  #let &n=2*3"), writer.m_oneLines[1]);
    ASSERT_EQ(2, writer.m_footerLines.GetSize()); // the blank line is kept
    EXPECT_EQ(120, writer.m_boxWidth);            // a box of 0 is no box
    EXPECT_EQ(90, writer.m_boxHeight);
    EXPECT_EQ(CString(L"BORDER=1"), writer.m_tableOption);
    EXPECT_DOUBLE_EQ(2.5, writer.m_version);
    EXPECT_EQ(7, writer.m_runningNumber);
    EXPECT_EQ(L'/', writer.m_pathSeparator);
    EXPECT_EQ(CString(L"p$page"), writer.m_pageNameFormat);
    EXPECT_EQ(CString(L"t_$file"), writer.m_thumbnailNameFormat);
    EXPECT_STREQ(L"120", writer.m_variables.GetText(L"#THUMBS_WIDTH"));

    CHtmlCatalogWriter missing;
    EXPECT_FALSE(missing.LoadDefinition((folder / L"none.kwm").c_str()));
    EXPECT_STREQ(L"0", missing.m_variables.GetText(L"#THUMBS_WIDTH")); // seeded all the same
}

TEST_F(HtmlCatalog, NumberFormatsGoThroughOneCheckedFormat)
{
    struct Case
    {
        const wchar_t* directive;
        int number;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"#NUM_FORMAT=No.#4#", 1, L"0001"},   {L"#NUM_FORMAT=No.%03d!", 7, L"No.007!"},
        {L"#NUM_FORMAT=%s", 5, L"5"},          {L"#NUM_FORMAT=%d-%d", 5, L"5"},
        {L"#NUM_FORMAT=%0999d", 5, L"5"},      {L"#NUM_FORMAT=100%% %x", 255, L"100% ff"},
        {L"#NUM_FORMAT=#999999#", 5, nullptr},
    };
    for (const Case& c : cases) {
        CHtmlCatalogWriter writer;
        writer.ParseDefinitionLine(c.directive);
        CString text = writer.FormatNumber(c.number);
        if (c.expected) {
            EXPECT_EQ(CString(c.expected), text) << c.directive;
        } else {
            // A huge padding is bound: 64 digits at most.
            EXPECT_EQ(64, text.GetLength()) << c.directive;
        }
    }
}

TEST_F(HtmlCatalog, NameFormatsExpandOnceAndEnd)
{
    struct Case
    {
        const wchar_t* format;
        const wchar_t* path;
        int number;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"$file_$page#3", L"C:\\web\\catalog.htm", 2, L"catalog_002"},
        {L"$file_$page#0", L"C:\\web\\catalog.htm", 12, L"catalog_12"},
        {L"$file$page", L"C:\\web\\catalog.htm", 5, L"catalog5"},
        {L"$page#", L"C:\\web\\c.htm", 5, L"5"},
        {L"$parentdir-$file$ext", L"C:\\web\\pics\\x.bmp", 0, L"pics-x.bmp"},
        {L"[$dir]", L"C:\\web\\x.bmp", 0, L"[C:\\web]"},
        // A value holding a token is never expanded again.
        {L"$file-$file", L"C:\\web\\a$file$page.htm", 3, L"a$file$page-a$file$page"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.expected), CHtmlCatalogWriter::ExpandNameFormat(c.format, c.path, c.number)) << c.format;
}

TEST_F(HtmlCatalog, TenPicturesAtFourPerPageGiveThreePagesNumberedAcross)
{
    AddPictures(10);
    writer.m_picturesPerPage = 4;
    ASSERT_TRUE(Load(L"*Header\r\npage $PAGENO$/$MAXPAGENO$ prev=$PREV_PAGE$ next=$NEXT_PAGE$\r\n"
                     L"*One\r\n<IMG SRC=\"$THUMBSNAME$\"> $NUMBER$ $FILENAME$ $WIDTH$x$HEIGHT$\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring pages[] = {Page(L"catalog.htm"), Page(L"catalog_002.htm"), Page(L"catalog_003.htm")};
    EXPECT_FALSE(ScratchFolder::Exists(out / L"catalog_004.htm"));
    EXPECT_NE(std::wstring::npos, pages[0].find(L"page 1/3 prev=catalog.htm next=catalog_002.htm\r\n")) << pages[0];
    EXPECT_NE(std::wstring::npos, pages[1].find(L"page 2/3 prev=catalog.htm next=catalog_003.htm\r\n"));
    EXPECT_NE(std::wstring::npos, pages[2].find(L"page 3/3 prev=catalog_002.htm next=catalog_003.htm\r\n"));
    EXPECT_EQ(4, Occurrences(pages[0], L"<IMG"));
    EXPECT_EQ(4, Occurrences(pages[1], L"<IMG"));
    EXPECT_EQ(2, Occurrences(pages[2], L"<IMG"));
    // The picture in its own folder, fitted into the 100 x 80 box (enlarged).
    CString relative;
    MakeRelativePath(relative, out.Path().c_str(), folder.Path().c_str());
    relative.Replace(L'\\', L'/');
    std::wstring link = std::wstring(L"<IMG SRC=\"") + relative.GetString() + L"p9.bmp\"> 10 p9.bmp 100x50";
    EXPECT_NE(std::wstring::npos, pages[2].find(link)) << pages[2];
    EXPECT_EQ(0u, pages[0].find(L"<HTML>\r\n<HEAD>\r\n"));
    EXPECT_NE(std::wstring::npos, pages[0].find(L"CHARSET=x-sjis"));
    EXPECT_EQ(pages[0].size() - 9, pages[0].rfind(L"</HTML>\r\n"));
}

TEST_F(HtmlCatalog, OnePageNamesItselfAndVersionTwoWritesOnlyTheDefinition)
{
    AddPictures(3);
    writer.m_picturesPerPage = 3;
    ASSERT_TRUE(Load(L"#VERSION=2\r\n*Header\r\n<html>$PREV_PAGE$ $NEXT_PAGE$ $FOLDER_L$\r\n*Footer\r\n</html>\r\n"));
    ASSERT_TRUE(Generate(L"index.html"));
    std::wstring page = Page(L"index.html");
    CString folderName;
    GetPathPart(folderName, folder.Path().c_str(), PartFileName);
    EXPECT_EQ(L"<html>index.html index.html " + std::wstring(folderName) + L"\r\n</html>\r\n", page);
}

TEST_F(HtmlCatalog, TableRowsHoldColumnsCellsAndAShortLastRowStaysOpen)
{
    AddPictures(7);
    writer.m_table = 1;
    writer.m_columns = 3;
    writer.m_rows = 3;
    ASSERT_TRUE(Load(L"#TABLE_OPTION=BORDER=0\r\n*One\r\n$NUMBER$\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"<TABLE BORDER=0>\r\n<TR>\r\n<TD WIDTH=\"33%\">\r\n1\r\n</TD>\r\n"));
    EXPECT_EQ(3, Occurrences(page, L"<TR>"));
    EXPECT_EQ(2, Occurrences(page, L"</TR>"));
    EXPECT_EQ(7, Occurrences(page, L"<TD WIDTH=\"33%\">"));
    EXPECT_NE(std::wstring::npos, page.find(L"7\r\n</TD>\r\n</TABLE>\r\n"));
}

TEST_F(HtmlCatalog, NotesBecomeOneLineAndItemTextsSplitIntoLines)
{
    AddPictures(2);
    pictures[0]->SetNoteText(L"first\r\nsecond");
    pictures[1]->SetNoteText(L"");
    pictures[0]->SetInfoText(L"");
    ASSERT_TRUE(Load(L"*One\r\n[$NOTE$][$DOC$]\r\n  #LET x=\"$FILENAME$\"\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"[first<BR>second][\x3000]\r\n[\x3000]"));
    EXPECT_EQ(std::wstring::npos, page.find(L"LET"));
    EXPECT_STREQ(L"p1.bmp", writer.m_variables.GetText(L"x"));
}

TEST_F(HtmlCatalog, AStoredLineBreakOfANoteBecomesALineBreakOfThePage)
{
    AddPictures(1);
    // The note store keeps a line break as the two characters "\" and "n".
    pictures[0]->SetNoteText(L"first\\nsecond\\nthird");
    ASSERT_TRUE(Load(L"*One\r\n[$NOTE$]\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"[first<BR>second<BR>third]"));
    EXPECT_EQ(std::wstring::npos, page.find(L"\\n"));
}

TEST_F(HtmlCatalog, ANoteHoldingAPathShowsItAsTyped)
{
    AddPictures(1);
    // Typed "D:\nikon\new", a line break, "\\server".
    pictures[0]->SetNoteText(L"D:\\\\nikon\\\\new\\n\\\\\\server");
    ASSERT_TRUE(Load(L"*One\r\n[$NOTE$]\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"[D:\\nikon\\new<BR>\\\\server]")) << page;
}

TEST_F(HtmlCatalog, LinesWithCarriageReturnsBecomeSeveralLines)
{
    CStdioFile file;
    ASSERT_TRUE(file.Open((out / L"lines.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    CHtmlCatalogWriter::WriteTextLines(file, L"a\r\nb\rc\n");
    file.WriteString(L"|\n");
    file.Close();
    EXPECT_EQ(std::string("a\r\nb\r\nc|\r\n"), ScratchFolder::ReadFile(out / L"lines.txt"));
}

TEST_F(HtmlCatalog, ThumbnailsAreWrittenInTheirFolderAndLinkedFromThePage)
{
    pictures.Add(PutPicture(folder / L"x.bmp", 160, 40, RGB(0, 0, 255)));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*One\r\n$THUMBSNAME$ $WIDTH$x$HEIGHT$ $PIXEL$\r\n"));
    ASSERT_TRUE(Generate());
    EXPECT_NE(std::wstring::npos, Page(L"catalog.htm").find(L"./Ve_x.jpg 100x25 160x40 24bit\r\n"));
    std::string jpeg = ScratchFolder::ReadFile(out / L"Ve_x.jpg");
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ('\xFF', jpeg[0]);

    CHtmlCatalogWriter png;
    png.m_pFileArray = &pictures.array;
    png.m_linkMode = CHtmlCatalogWriter::LinkToPng;
    png.m_reducePng = 8;
    png.m_thumbnailFolder = L"thumbs";
    png.m_thumbnailNameFormat = L"Ve_$file";
    png.m_boxWidth = png.m_boxHeight = 50;
    CreateDirectoryW((out / L"thumbs").c_str(), nullptr);
    png.LoadDefinition((folder / L"def.kwm").c_str());
    ASSERT_TRUE(png.Generate((out / L"p.htm").c_str()));
    EXPECT_NE(std::wstring::npos, Page(L"p.htm").find(L"thumbs/Ve_x.png 50x12 "));
    EXPECT_EQ(0u, ScratchFolder::ReadFile(out / L"thumbs\\Ve_x.png").find("\x89PNG"));
}

TEST_F(HtmlCatalog, PicturesOfOneTitleGetThumbnailsOfTheirOwn)
{
    pictures.Add(PutPicture(folder / L"a.bmp", 20, 20, RGB(255, 0, 0)));
    pictures.Add(PutPicture(folder / L"a.jpg", 20, 20, RGB(0, 255, 0)));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*One\r\n$THUMBSNAME$\r\n"));
    ASSERT_TRUE(Generate());
    EXPECT_NE(std::wstring::npos, Page(L"catalog.htm").find(L"./Ve_a.jpg\r\n./Ve_a_2.jpg\r\n"));
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_a.jpg"));
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_a_2.jpg"));
}

TEST_F(HtmlCatalog, PicturesOnAnotherDriveAreLinkedAsFileUrls)
{
    pictures.Add(PutPicture(folder / L"x.bmp", 20, 20, RGB(255, 0, 0)));
    ASSERT_TRUE(Load(L"*One\r\n$THUMBSNAME$|$ORGPATHNAME$\r\n"));
    std::wstring hostFolder = WindowsPathOf("/tmp/vyx_catalog_" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(CreateDirectoryW(hostFolder.c_str(), nullptr));
    ASSERT_TRUE(writer.Generate((hostFolder + L"\\c.htm").c_str()));
    std::wstring page = ReadText(hostFolder + L"\\c.htm");
    DeleteFileW((hostFolder + L"\\c.htm").c_str());
    RemoveDirectoryW(hostFolder.c_str());
    CString url = (L"file://" + folder / L"x.bmp").c_str();
    url.Replace(L'\\', L'/');
    EXPECT_NE(std::wstring::npos, page.find(std::wstring(url) + L"|" + std::wstring(url))) << page;
}

TEST_F(HtmlCatalog, WithoutABlockPerPictureThumbnailsAndNumbersStillAdvance)
{
    AddPictures(3);
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*Footer\r\nnext $NUMBER$\r\n"));
    ASSERT_TRUE(Generate());
    EXPECT_NE(std::wstring::npos, Page(L"catalog.htm").find(L"next 4\r\n"));
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_p2.jpg"));
}

TEST_F(HtmlCatalog, AnEmptySelectionWithAPageLimitWritesOnePageWithoutPictures)
{
    AddPictures(2);
    pictures[0]->ClearFlags(VyxFilexDraw::FlagSelected);
    pictures[1]->ClearFlags(VyxFilexDraw::FlagSelected);
    writer.m_picturesPerPage = 4;
    ASSERT_TRUE(Load(L"*Header\r\n$PAGENO$/$MAXPAGENO$\r\n*One\r\n$FILENAME$\r\n"));
    ASSERT_TRUE(Generate());
    std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"1/1\r\n"));
    EXPECT_EQ(std::wstring::npos, page.find(L".bmp"));
    EXPECT_FALSE(ScratchFolder::Exists(out / L"catalog_002.htm"));
}

TEST_F(HtmlCatalog, MacrosInsideNamesAndNotesAreWrittenAsTheyAre)
{
    VyxFile* item = pictures.Add(PutPicture(folder / L"a$FILENAME$.bmp", 10, 10, RGB(1, 2, 3)));
    item->SetNoteText(L"$NOTE$ and $FILENAME$");
    ASSERT_TRUE(Load(L"*One\r\n$FILENAME$ / $NOTE$\r\n"));
    ASSERT_TRUE(Generate());
    EXPECT_NE(std::wstring::npos, Page(L"catalog.htm").find(L"a$FILENAME$.bmp / $NOTE$ and $FILENAME$\r\n"));
}

TEST_F(HtmlCatalog, NamesHoldingItemMacroWordsKeepTheirLinksAndThumbnails)
{
    VyxFile* item = pictures.Add(PutPicture(folder / L"$(Ext)x.bmp", 20, 20, RGB(0, 0, 255)));
    item->SetNoteText(L"$(Name)");
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*One\r\n<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\"></A>\r\n"
                     L"$FILENAME$|$(FileName)|$(Name)|$(Ext)|$NOTE$|$(Note)\r\n  #LET n=\"$(FileName)\"\r\n"));
    ASSERT_TRUE(Generate());
    const std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"/$(Ext)x.bmp\"><IMG SRC=\"./Ve_$(Ext)x.jpg\"></A>\r\n")) << page;
    EXPECT_NE(std::wstring::npos, page.find(L"$(Ext)x.bmp|$(Ext)x.bmp|$(Ext)x|bmp|$(Name)|$(Name)\r\n")) << page;
    EXPECT_EQ(std::wstring::npos, page.find(L"bmpx"));
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_$(Ext)x.jpg"));
    EXPECT_STREQ(L"$(Ext)x.bmp", writer.m_variables.GetText(L"n"));
}

TEST_F(HtmlCatalog, NamesOutsideTheCodePageAreEscapedInAddressesAndReferencedInTexts)
{
    for (const wchar_t* name : {L"café.bmp", L"雪.bmp", L"50%#1.bmp", L"絵\xD83D\xDE00.bmp"})
        pictures.Add(PutPicture(folder / name, 20, 20, RGB(0, 128, 0)));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*One\r\n<IMG SRC=\"$THUMBSNAME$\"> $FILENAME$ $(FileName) [$ORGPATHNAME$]\r\n"));
    ASSERT_TRUE(Generate());
    // The page stays in code page 932: its Japanese text reads back from there.
    const std::wstring page = Page(L"catalog.htm");
    CString pictureFolder;
    GetPathPart(pictureFolder, folder.Path().c_str(), PartFileName);
    const std::wstring link = L"../" + std::wstring(pictureFolder.GetString()) + L"/";
    const wchar_t* const lines[] = {
        L"<IMG SRC=\"./Ve_caf%C3%A9.jpg\"> caf&#233;.bmp caf&#233;.bmp [",
        L"caf%C3%A9.bmp]\r\n",
        L"<IMG SRC=\"./Ve_雪.jpg\"> 雪.bmp 雪.bmp [",
        L"<IMG SRC=\"./Ve_50%25%231.jpg\"> 50%#1.bmp 50%#1.bmp [",
        L"50%25%231.bmp]\r\n",
        L"<IMG SRC=\"./Ve_絵%F0%9F%98%80.jpg\"> 絵&#128512;.bmp 絵&#128512;.bmp [",
    };
    for (const wchar_t* line : lines)
        EXPECT_NE(std::wstring::npos, page.find(line)) << std::wstring(line) << L"\n" << page;
    EXPECT_NE(std::wstring::npos, page.find(link + L"caf%C3%A9.bmp]")) << page;
    EXPECT_EQ(std::wstring::npos, page.find(L'?')) << page;
    for (const wchar_t* thumbnail : {L"Ve_café.jpg", L"Ve_50%#1.jpg", L"Ve_絵\xD83D\xDE00.jpg"})
        EXPECT_TRUE(ScratchFolder::Exists(out / thumbnail)) << std::wstring(thumbnail);
}

// Names, notes and texts show as typed, whatever marks they hold; the definition's own text and
// the number format it gives are markup; addresses hold no blank or mark of their own.
TEST_F(HtmlCatalog, ItemTextsAreWrittenAsTextAndLinksAreEncoded)
{
    pictures.Add(PutPicture(folder / L"a&copy.bmp", 20, 20, RGB(255, 0, 0)))
        ->SetNoteText(L"<b>bold</b> \"q\" </DIV>end");
    pictures.Add(PutPicture(folder / L"x&lt;y.bmp", 20, 20, RGB(0, 255, 0)))
        ->SetNoteText(L"<script>alert(1)</script>\r\n&amp;");
    pictures.Add(PutPicture(folder / L"a b.bmp", 20, 20, RGB(0, 0, 255)))->SetInfoText(L"<I>shot</I> & \"kept\"");
    writer.m_currentFolder = L"C:\\R&D <1>";
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    writer.m_picturesPerPage = 2;
    ASSERT_TRUE(Load(L"#NUM_FORMAT=<B>%d</B>\r\n*Header\r\n<TITLE>$FOLDER_L$|$FOLDER$</TITLE>"
                     L"<A HREF=\"$NEXT_PAGE$\">\r\n*One\r\n<IMG SRC=\"$THUMBSNAME$\" ALT=\"$FILENAME$\">"
                     L"$NUMBER$|$NOTE$|$(Note)|$DOC$\r\n"));
    ASSERT_TRUE(Generate(L"my catalog.htm"));
    const std::wstring first = Page(L"my catalog.htm"), second = Page(L"my catalog_002.htm");
    EXPECT_NE(std::wstring::npos, first.find(L"<TITLE>R&amp;D &lt;1&gt;|C:\\R&amp;D &lt;1&gt;</TITLE>"
                                             L"<A HREF=\"my%20catalog_002.htm\">\r\n"))
        << first;
    EXPECT_NE(std::wstring::npos, first.find(L"<IMG SRC=\"./Ve_a%26copy.jpg\" ALT=\"a&amp;copy.bmp\"><B>1</B>|"
                                             L"&lt;b&gt;bold&lt;/b&gt; &quot;q&quot; &lt;/DIV&gt;end|"
                                             L"&lt;b&gt;bold&lt;/b&gt; &quot;q&quot; &lt;/DIV&gt;end|\x3000\r\n"))
        << first;
    // A line break of the note is the page's own; one in the note's macro ends the page's line.
    EXPECT_NE(std::wstring::npos, first.find(L"<IMG SRC=\"./Ve_x%26lt;y.jpg\" ALT=\"x&amp;lt;y.bmp\"><B>2</B>|"
                                             L"&lt;script&gt;alert(1)&lt;/script&gt;<BR>&amp;amp;|"
                                             L"&lt;script&gt;alert(1)&lt;/script&gt;\r\n&amp;amp;|"))
        << first;
    EXPECT_NE(std::wstring::npos, second.find(L"<IMG SRC=\"./Ve_a%20b.jpg\" ALT=\"a b.bmp\"><B>3</B>|\x3000||"
                                              L"&lt;I&gt;shot&lt;/I&gt; &amp; &quot;kept&quot;\r\n"))
        << second;
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_a&copy.jpg"));
}

// A folder among the pictures gets its cell and a link to itself, but no picture.
TEST_F(HtmlCatalog, AFolderIsLinkedToButHasNoPicture)
{
    ASSERT_TRUE(CreateDirectoryW((folder / L"trip 2").c_str(), nullptr));
    pictures.Add(PutPicture(folder / L"p.bmp", 40, 20, RGB(200, 0, 0)));
    pictures.Add(folder / L"trip 2");
    ASSERT_TRUE(Load(L"*One\r\n<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\"></A>$FILENAME$\r\n"));
    CString relative;
    MakeRelativePath(relative, out.Path().c_str(), folder.Path().c_str());
    relative.Replace(L'\\', L'/');
    for (int mode : {CHtmlCatalogWriter::LinkToPicture, CHtmlCatalogWriter::LinkToJpeg}) {
        writer.m_linkMode = mode;
        ASSERT_TRUE(Generate());
        const std::wstring page = Page(L"catalog.htm");
        EXPECT_NE(std::wstring::npos,
                  page.find(L"<A HREF=\"" + std::wstring(relative) + L"trip%202\"><IMG SRC=\"\"></A>trip 2\r\n"))
            << page;
        EXPECT_EQ(1, Occurrences(page, L"<IMG SRC=\"\""));
    }
    EXPECT_FALSE(ScratchFolder::Exists(out / L"Ve_trip 2.jpg"));
}

// Generates expecting failure, taking the message the user gets.
CString GenerateAndTakeMessage(CHtmlCatalogWriter& writer, const std::wstring& page)
{
    CString message;
    HelperThread helper([&] { DismissMessageBox(&message); });
    EXPECT_FALSE(writer.Generate(page.c_str()));
    return message;
}

TEST_F(HtmlCatalog, ACatalogNeverWritesOverASelectedPicture)
{
    std::wstring source = PutPicture(folder / L"x.jpg", 30, 30, RGB(0, 128, 0));
    std::string before = ScratchFolder::ReadFile(source);
    pictures.Add(source);
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"#THUMBNAIL_FORMAT=$file\r\n*One\r\n$THUMBSNAME$\r\n"));
    // The catalog goes into the pictures' own folder, where the thumbnail would be the picture.
    EXPECT_EQ(CString(L"HTMLファイルの書き込みに失敗しました"), GenerateAndTakeMessage(writer, folder / L"c.htm"));
    EXPECT_EQ(before, ScratchFolder::ReadFile(source));
    EXPECT_FALSE(ScratchFolder::Exists(folder / L"c.htm"));
}

TEST_F(HtmlCatalog, AFailedCatalogDeletesOnlyTheFilesItCreated)
{
    AddPictures(2);
    ASSERT_TRUE(AddBrokenPicture());
    ASSERT_TRUE(ScratchFolder::WriteFile(out / L"catalog.htm", "an older catalog"));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    writer.m_picturesPerPage = 1;
    ASSERT_TRUE(Load(L"*One\r\n$THUMBSNAME$\r\n"));
    EXPECT_FALSE(GenerateAndTakeMessage(writer, out / L"catalog.htm").IsEmpty());
    // What existed before stays (rewritten); everything this run made is gone.
    EXPECT_TRUE(ScratchFolder::Exists(out / L"catalog.htm"));
    for (const wchar_t* made : {L"catalog_002.htm", L"catalog_003.htm", L"Ve_p0.jpg", L"Ve_p1.jpg"})
        EXPECT_FALSE(ScratchFolder::Exists(out / made)) << made;
    EXPECT_EQ(0, writer.m_writtenFiles.GetSize());
}

// Whether a file was there before is known per folder and letter case aside; the pages and the
// thumbnails of a thumbnail folder are told apart each in their own folder.
TEST_F(HtmlCatalog, AFailedCatalogKeepsWhatWasThereWhateverTheCaseAndFolder)
{
    AddPictures(2);
    ASSERT_TRUE(AddBrokenPicture());
    ASSERT_TRUE(CreateDirectoryW((out / L"t").c_str(), nullptr));
    ASSERT_TRUE(ScratchFolder::WriteFile(out / L"t\\VE_P1.JPG", "an older thumbnail"));
    ASSERT_TRUE(ScratchFolder::WriteFile(out / L"Ve_p0.jpg", "not the thumbnail folder's"));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    writer.m_thumbnailFolder = L"t";
    ASSERT_TRUE(Load(L"*One\r\n$THUMBSNAME$\r\n"));
    EXPECT_FALSE(GenerateAndTakeMessage(writer, out / L"catalog.htm").IsEmpty());
    EXPECT_TRUE(ScratchFolder::Exists(out / L"t\\Ve_p1.jpg"));
    EXPECT_EQ("not the thumbnail folder's", ScratchFolder::ReadFile(out / L"Ve_p0.jpg"));
    for (const wchar_t* made : {L"catalog.htm", L"t\\Ve_p0.jpg"})
        EXPECT_FALSE(ScratchFolder::Exists(out / made)) << made;
}

} // namespace

TEST_F(HtmlCatalog, AnAmpersandInANameIsEscapedInAddressesSoNoCharacterReferenceChangesTheLink)
{
    pictures.Add(PutPicture(folder / L"R&amp;D&lt;.bmp", 20, 20, RGB(0, 0, 255)));
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
    ASSERT_TRUE(Load(L"*One\r\n<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\"></A>\r\n"));
    ASSERT_TRUE(Generate());
    const std::wstring page = Page(L"catalog.htm");
    EXPECT_NE(std::wstring::npos, page.find(L"/R%26amp;D%26lt;.bmp\"><IMG SRC=\"./Ve_R%26amp;D%26lt;.jpg\">")) << page;
    EXPECT_TRUE(ScratchFolder::Exists(out / L"Ve_R&amp;D&lt;.jpg"));
}
