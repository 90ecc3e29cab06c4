// The "Save Image" file dialog of a picture pasted into the document: a name typed without an
// extension takes the extension of the chosen file type.
#pragma once

#include "framework/Framework.h"

class CExportDialog : public CFileDialog
{
public:
    CExportDialog(LPCWSTR initialFolder, CWnd* parent = nullptr);

    // The filter's types, in their order (filter index 1 to 5).
    enum { TypeBmp = 1, TypeJpeg = 2, TypePng = 3, TypeTiff = 4, TypeGif = 5 };

    // The name check on the dialog's own fields: whether the dialog stays open (TRUE) or takes
    // the name, with the type's extension appended to path and title when it had none.
    static BOOL CheckFileName(OPENFILENAMEW& ofn);

protected:
    BOOL OnFileNameOK() override;

private:
    CString m_initialFolder;
};
