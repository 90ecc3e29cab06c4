#include "catalogue/ContactSheetFile.h"

#include "catalogue/CKWDoc.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/DibSection.h"
#include "image/DibValidate.h"
#include "image/codecs/SaveDib.h"

ContactSheetFile::ContactSheetFile(CKWDoc& document, const wchar_t* path, int format, int quality, bool numbered)
    : m_document(document), m_format(format), m_quality(quality), m_numbered(numbered)
{
    GetPathPart(m_folder, path, PartFolder);
    GetPathPart(m_title, path, PartName);
    GetPathPart(m_extension, path, PartExt);
}

CString ContactSheetFile::GetName(int number) const
{
    CString title = m_title;
    if (m_numbered) {
        CString digits;
        digits.Format(L"%02d", number);
        title += digits;
    }
    CString name;
    return MakePath(name, nullptr, m_folder, title + m_extension, nullptr);
}

ContactSheetFile::SaveResult ContactSheetFile::Save(CDibSection& surface, int number)
{
    const CString name = GetName(number);
    if (PathExists(name, kAnyAttribute)) {
        int answer = m_document.AskToReplace(name);
        if (answer == IDNO)
            return Skipped;
        if (answer != IDYES)
            return Stopped;
    }
    int result = -1;
    if (m_format == FormatBmp) {
        result = surface.SaveBmpFile(name);
    } else {
        GlobalBlock dib(surface.ToPackedDib());
        result = dib ? SaveDibAsJpeg(name, dib.get(), m_quality, 0, 0) : -1;
    }
    if (result == 0)
        return Saved;
    ShowMessageBox(name + L"\n\n" + FormatMessageText(MsgSaveFailed), MB_OK | MB_ICONSTOP);
    return Failed;
}

bool ContactSheetFile::IsSheetSizeAllowed(int columns, int rows, SIZE cell)
{
    return IsDibSizeAllowed(static_cast<long long>(columns) * cell.cx, static_cast<long long>(rows) * cell.cy, 24);
}
