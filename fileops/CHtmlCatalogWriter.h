// Turns the selected pictures of a file array into HTML catalog pages, with a thumbnail file per
// picture, as a definition file (".kwm") lays them out: a header block, a block per picture, a
// footer block and directives for sizes, numbering and names. One writer serves one run: the owner
// fills the fields, loads a definition and generates once.
#pragma once

#include "foundation/MacroText.h"
#include "framework/Framework.h"
#include "script/VyxVariableTable.h"

#include <map>
#include <set>
#include <string>

class CStdioFile;
class VyxFile;
class VyxFileArray;

class CHtmlCatalogWriter
{
public:
    enum { LinkToPicture = 0, LinkToJpeg = 1, LinkToPng = 2 };

    CHtmlCatalogWriter();
    virtual ~CHtmlCatalogWriter();
    CHtmlCatalogWriter(const CHtmlCatalogWriter&) = delete;
    CHtmlCatalogWriter& operator=(const CHtmlCatalogWriter&) = delete;

    // Reads the definition into the sections (others may read the file meanwhile), then seeds the
    // directive variables, also when the file did not open. True when it opened.
    bool LoadDefinition(const wchar_t* path);
    // Writes every page and thumbnail. On failure every file this run created is deleted again and
    // the user is told; false then.
    bool Generate(const wchar_t* firstPagePath);

    // One line of the definition: a section marker, a directive or a line of the current section.
    void ParseDefinitionLine(const CString& line);
    // The catalog macros of the line replaced, then the picture item's own macros (null outside
    // the per-picture block), for the folder of the page being written. Only the definition's
    // own text is searched: an inserted value is never scanned again.
    MacroText ExpandLine(const CString& line, VyxFile* item, const CString& pageFolder);
    // "$dir", "$parentdir", "$file", "$ext" and "$page" (with "#n" padding) of the path and number.
    static CString ExpandNameFormat(const wchar_t* format, const wchar_t* path, int number);
    // 0 done, -2 JPEG thumbnail failed, -3 PNG thumbnail failed; sets the display size and links.
    int WriteThumbnail(VyxFile* item, const CString& pageFolder);
    // Line feeds dropped; each carriage return ends a written line, the last piece has no line end.
    static void WriteTextLines(CStdioFile& file, const CString& text);
    // The full path of the page with that index.
    CString GetPagePath(int pageIndex) const;
    // The running number in the number format (its own "%d" when that is not a format for one
    // integer).
    CString FormatNumber(int number) const;
    // Tells the user that the catalog could not be written (a message box).
    virtual void ReportFailure(const wchar_t* message);

    // ---- filled by the owner
    VyxFileArray* m_pFileArray = nullptr; // not owned
    CString m_definitionPath;
    CString m_currentFolder;
    int m_linkMode = LinkToPicture;
    int m_jpegQuality = 0;
    int m_progressive = 0;
    int m_picturesPerPage = 0; // 0: all on one page
    int m_table = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_reducePng = 0; // 8: PNG thumbnails reduced to 256 colours
    CString m_pageNameFormat;
    CString m_thumbnailNameFormat;
    int m_boxWidth = 0;
    int m_boxHeight = 0;
    CString m_thumbnailFolder; // relative to the destination folder; "." is the folder itself

    // ---- from the definition
    CString m_tableOption;
    double m_version = 1.0;
    int m_runningNumber = 1;
    CString m_numberFormat = L"%d";
    wchar_t m_pathSeparator = L'\\';
    CStringArray m_globalLines;
    CStringArray m_headerLines;
    CStringArray m_oneLines;
    CStringArray m_footerLines;
    CStringArray* m_currentSection;
    VyxVariableTable m_variables;

    // ---- state of the run
    // The thumbnail's path relative to the page folder, or the picture's path; empty for a folder.
    CString m_currentLink;
    CString m_currentPicturePath; // the picture being written
    CStringArray m_writtenFiles;  // pages and thumbnails this run created, in order
    int m_pageIndex = 0;
    int m_pageCount = 1;
    CString m_firstPagePath;
    int m_displayWidth = 0;
    int m_displayHeight = 0;

private:
    bool WritePage(const CString& pagePath, int perPage, int& start);
    void WriteSection(CStdioFile& file, const CStringArray& lines, VyxFile* item, const CString& pageFolder,
                      bool splitLines);
    void EvaluateVariableLine(const CString& line, VyxFile* item, const CString& pageFolder);
    CString LinkToCurrentPicture(const CString& pageFolder) const;
    CString PageFileName(int pageIndex) const;
    // Whether a file the run is about to write is one of the selected pictures it reads.
    bool IsSelectedSource(const CString& path) const;
    // The thumbnail name with a suffix when an earlier picture of this run took it.
    CString UniqueThumbnailName(const CString& name, const CString& extension, const CString& pageFolder);
    // Creates or truncates the file; remembers it when this run created it.
    bool BeginFile(const CString& path);
    // Whether the file was there before this run wrote it; each folder is listed once a run.
    bool ExistedBefore(const CString& path);
    void DeleteWrittenFiles();

    std::set<std::wstring> m_sourcePaths;    // the selected pictures, full and lower-cased
    std::set<std::wstring> m_thumbnailPaths; // the thumbnails of this run, full and lower-cased
    // The files of each folder written to, lower-cased: those there when the run first wrote to it
    // and those the run wrote since.
    std::map<std::wstring, std::set<std::wstring>> m_folderFiles;
};
