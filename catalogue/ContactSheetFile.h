// The files of a contact-sheet export: each sheet's name (the user's name with "%02d" and the
// sheet's number when several are made; the name itself is never taken as a format) and its
// saving as BMP or JPEG, with the question before a file is replaced.
#pragma once

#include "framework/Framework.h"

class CDibSection;
class CKWDoc;

class ContactSheetFile
{
public:
    enum { FormatBmp = 0 };
    enum SaveResult { Saved = 0, Skipped = 1, Stopped = 2, Failed = 3 };

    ContactSheetFile(CKWDoc& document, const wchar_t* path, int format, int quality, bool numbered);

    CString GetName(int number) const;
    // Asks before an existing file goes (no skips this sheet, cancel stops); a file that cannot
    // be written is reported.
    SaveResult Save(CDibSection& surface, int number);

    // The 64-bit size of a sheet of columns x rows cells, refused (false) when it is empty or a
    // 24-bit picture of it passes the image library's bound.
    static bool IsSheetSizeAllowed(int columns, int rows, SIZE cell);

private:
    CKWDoc& m_document;
    CString m_folder;
    CString m_title;
    CString m_extension;
    int m_format;
    int m_quality;
    bool m_numbered;
};
