// The walks that write the document's selection out through the file operations' dialogs and jobs:
// contact sheets, a pasted picture, printing, extraction from archives, saving in another format,
// and copying or moving. They belong to the main window's layer, which has those dialogs; the
// document lends its items, settings and hints for the length of one walk.
#pragma once

#include "framework/Framework.h"

class CFileSaveDlg;
class CKWDoc;
class CProgressDlg;
class VyxFile;

class CKWDocPictureOutput
{
public:
    explicit CKWDocPictureOutput(CKWDoc& document) : m_doc(document) {}

    // The selected items' cells on sheets of columns x rows (0: from the count), saved as BMP
    // (format 0) or JPEG under path, numbered "%02d" when several are needed, with the document's
    // sheet scale mode. An existing file is never replaced without asking; a sheet too large to
    // make or a file that cannot be written is reported; a cancel keeps the sheet made so far.
    // The items look as before afterwards.
    void ExportContactSheets(int columns, int rows, const wchar_t* path, int format, int quality);
    // Asks for a file and saves the picture in the format of its type: 0 saved, -1 cancelled,
    // any other value a failure, which is reported.
    int SavePastedPicture(HGLOBAL dib);
    // The selected items printed with the definition: 0, or the string id of the failure.
    int PrintSelected(CDC* printerDC, const wchar_t* definitionFile);
    // The selected archive members and archives written into the folder, made when missing, with
    // progress; an existing file is replaced only when the document's AskToReplace says so; the
    // first failure is reported with the file that could not be written and ends the walk.
    void ExtractSelectedTo(const wchar_t* folder);
    // The selected items' pictures written into the dialog's folder in its format, size and turn
    // (its choices as they stand after IDOK): a file of the same name is asked about; a picture
    // that cannot be made or written asks whether to go on; a multi-page TIFF takes every picture
    // as a page of one file, written as it is made. Hint 21 with the folder at the end.
    void SaveSelectedPictures(const CFileSaveDlg& options);
    // The selected items copied (archive members too) or moved (disk items whose file is there)
    // into the folder by a job the main frame runs before this returns.
    void TransferSelected(const wchar_t* destination, int existingOnly, int sameNameMode, bool move);

private:
    // The first selected item from index on, its name shown in the progress window; null at the
    // end or once the progress window was cancelled.
    VyxFile* NextSelectedUnderProgress(int& index, CProgressDlg* progress);

    CKWDoc& m_doc;
};
