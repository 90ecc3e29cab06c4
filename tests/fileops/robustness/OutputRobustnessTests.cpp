// Hostile catalog definitions and print definition scripts: both are files users write or get
// from others. Every input is run through the whole output (definition, pages and links written;
// script loaded and run page by page) on the guard-page allocator, and a small share under Wine's
// heap checking.
#include "fileops/CHtmlCatalogWriter.h"
#include "fileops/CPrintOutDialog.h"

#include "../OutputTestUtil.h"
#include "common/HostileInputs.h"
#include "res/resource.h"

namespace {

using namespace outputtest;

hostile::Input Bytes(const std::string& text)
{
    return hostile::Input(text.begin(), text.end());
}

void WriteInput(const std::wstring& path, const hostile::Input& data)
{
    ScratchFolder::WriteFile(path, std::string(data.begin(), data.end()));
}

// Failures are counted, not shown: no one is there to answer a message box.
class QuietWriter : public CHtmlCatalogWriter
{
public:
    int failures = 0;
    void ReportFailure(const wchar_t*) override { ++failures; }
};

// The catalog definitions the tests below read.
std::vector<hostile::Input> CatalogSeeds()
{
    return {
        Bytes("; a catalog\r\n#VERSION=1.5\r\n#THUMBS_WIDTH=64\r\n#THUMBS_HEIGHT=48\r\n#NUM_FIRST=3\r\n"
              "#NUM_FORMAT=No.#3#\r\n#PATH_SEP=/\r\n#TABLE_OPTION=BORDER=1\r\n#LET &total=4*2\r\n"
              "*Header\r\n<H1>$FOLDER_L$ $PAGENO$/$MAXPAGENO$ $TODAYDATE$</H1>\r\n"
              "<A HREF=\"$PREV_PAGE$\">&lt;</A><A HREF=\"$NEXT_PAGE$\">&gt;</A>\r\n"
              "*One\r\n  #LET name=\"$FILENAME$\"\r\n<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\" "
              "WIDTH=$WIDTH$ HEIGHT=$HEIGHT$></A>\r\n$NUMBER$ $PIXEL$ $INFO$ $DOC$ $NOTE$ $PATHNAME$ $FOLDER$\r\n"
              "*Footer\r\n$ORGFILENAME$ $MAXPAGENO$\r\n"),
        Bytes("#VERSION=2\r\n#HTMLNAME_FORMAT=$parentdir-$file-$page#2$ext\r\n#THUMBNAIL_FORMAT=t_$file_$page\r\n"
              "#NUM_FORMAT=%05d\r\n*One\r\n$NUMBER$\r\n*One\r\n$THUMBSNAME$\r\n"),
    };
}

TEST(OutputRobustness, HostileCatalogDefinitionsEndInPagesOrAReportedFailure)
{
    ScratchSettings settings;
    ScratchFolder folder(L"vyxhostilekwm");
    OwnPlugins plugins;
    Pictures pictures;
    for (int i = 0; i < 3; ++i)
        pictures.Add(PutPicture(folder / (L"p" + std::to_wstring(i) + L".bmp"), 16 + i, 12, RGB(40 * i, 90, 200)));
    pictures[1]->SetNoteText(L"note\r\n$NOTE$");
    CreateDirectoryW((folder / L"out").c_str(), nullptr);
    const std::vector<hostile::Input> seeds = CatalogSeeds();
    int run = 0;
    int fed = hostile::FeedHostile(seeds, 0x6b776d, hostile::Inputs(1000, 15), [&](const hostile::Input& data, int) {
        std::wstring definition = folder / L"hostile.kwm";
        WriteInput(definition, data);
        QuietWriter writer;
        PrepareCatalogWriter(writer, pictures, folder.Path());
        // Thumbnails now and then: they take the longest.
        writer.m_linkMode = ++run % 8 == 0 ? CHtmlCatalogWriter::LinkToJpeg : CHtmlCatalogWriter::LinkToPicture;
        writer.m_jpegQuality = 50;
        writer.m_picturesPerPage = run % 3;
        writer.m_table = run % 5 == 0;
        writer.m_columns = 2;
        writer.m_boxWidth = 32;
        writer.m_boxHeight = 24;
        writer.LoadDefinition(definition.c_str());
        bool written = writer.Generate((folder / L"out\\catalog.htm").c_str());
        // A failed run leaves nothing it made behind.
        ASSERT_TRUE(written || writer.m_writtenFiles.GetSize() == 0);
        ASSERT_EQ(written ? 0 : 1, writer.failures);
    });
    hostile::Report("catalog definition", fed);
}

// The definition reader itself on the whole run's inputs (the test above also makes the pages
// and their thumbnails, which takes its time): every definition is read to an end.
TEST(OutputRobustness, HostileCatalogDefinitionsReadToAnEnd)
{
    ScratchSettings settings;
    ScratchFolder folder(L"vyxhostilekwmread");
    const std::wstring definition = folder / L"hostile.kwm";
    int fed = hostile::FeedHostile(CatalogSeeds(), 0x6b776e, hostile::Inputs(10000, 15),
                                   [&](const hostile::Input& data, int) {
                                       WriteInput(definition, data);
                                       QuietWriter writer;
                                       writer.LoadDefinition(definition.c_str());
                                   });
    hostile::Report("catalog definition read", fed);
}

// A print job on a memory page whose printer calls all succeed.
class MemoryPrintJob : public CPrintOutDialog
{
public:
    MemoryPrintJob() { dc.CreateCompatibleDC(nullptr); }
    CDC dc;
    int pages = 0;

protected:
    int DeviceCaps(CDC* device, int index) override
    {
        return index == RASTERCAPS ? RC_BITBLT | RC_BITMAP64 | RC_DIBTODEV | RC_STRETCHDIB
                                   : CPrintOutDialog::DeviceCaps(device, index);
    }
    int DeviceStartDoc(CDC*, DOCINFOW*) override { return 1; }
    int DeviceStartPage(CDC*) override { return 1; }
    int DeviceEndPage(CDC*) override { return ++pages; }
    int DeviceEndDoc(CDC*) override { return 1; }
    int DeviceAbortDoc(CDC*) override { return 1; }
};

TEST(OutputRobustness, HostilePrintScriptsPrintOrFailCleanly)
{
    ScratchSettings settings;
    ScratchFolder folder(L"vyxhostiledps");
    OwnPlugins plugins;
    Pictures pictures;
    for (int i = 0; i < 3; ++i)
        pictures.Add(PutPicture(folder / (L"p" + std::to_wstring(i) + L".bmp"), 12, 8 + i, RGB(200, 40 * i, 9)));
    // No loops in the seeds: a script may run as long as its writer wants it to.
    const std::vector<hostile::Input> seeds = {
        Bytes("; two pictures a page\nDRAWIMAGE (0,0)-($_WIDTH,$_HEIGHT/2), 5\nNEXTFILE\n"
              "DRAWIMAGE (0,$_HEIGHT/2)-($_WIDTH,$_HEIGHT), 9\nNEXTFILE\n"),
        Bytes("FUNCTION frame(x, y)\n BOX (x,y)-(x+50,y+30), #FF0000, 0.5, 0, #00FF00\n"
              " LINE (x,y)-(x+50,y+30)-(x,y+30)\n RETURN x + y\nFEND\n"
              "IF $_PAGE == 2\n n = frame(10, 20)\nELSE\n CIRCLE (80,80), 10, 5\nENDIF\n"
              "POLYGON (0,0)-(10,0)-(5,8), #0000FF\nDRAWIMAGE (10,10)-(100,100), 1\n"),
    };
    int fed = hostile::FeedHostile(seeds, 0x647073, hostile::Inputs(400, 10), [&](const hostile::Input& data, int) {
        std::wstring script = folder / L"hostile.dps";
        WriteInput(script, data);
        MemoryPrintJob job;
        for (int i = 0; i < 3; ++i)
            job.AddItem(pictures[i]);
        int result = job.Print(&job.dc, script.c_str());
        ASSERT_TRUE(result == 0 || result == IDS_PRINT_DEFINITION_FAILED) << result;
        ASSERT_LE(job.pages, 3);
    });
    hostile::Report("print definition", fed);
}

} // namespace
