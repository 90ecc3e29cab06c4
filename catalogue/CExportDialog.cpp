#include "catalogue/CExportDialog.h"

namespace {

const wchar_t kFilter[] = L"BMP files(*.bmp)|*.bmp|JPEG files(*.jpg)|*.jpg|PNG files(*.png)|*.png|TIFF "
                          L"files(*.tif)|*.tif|GIF files(*.gif)|*.gif||";

// The n-th string of a double-NUL list of filter strings.
const wchar_t* FilterString(const wchar_t* list, int n)
{
    for (int i = 0; list && *list; ++i, list += wcslen(list) + 1)
        if (i == n)
            return list;
    return nullptr;
}

// Appends within the buffer's size; false when it would not fit.
bool Append(wchar_t* buffer, DWORD size, const wchar_t* text)
{
    if (!buffer)
        return true;
    size_t used = wcslen(buffer);
    if (used + wcslen(text) + 1 > size)
        return false;
    wcscat(buffer, text);
    return true;
}

} // namespace

CExportDialog::CExportDialog(LPCWSTR initialFolder, CWnd* parent)
    : CFileDialog(FALSE, L"bmp", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, parent, 0, TRUE),
      m_initialFolder(initialFolder ? initialFolder : L"")
{
    m_ofn.lpstrInitialDir = m_initialFolder;
    m_ofn.lpstrTitle = L"Save Image";
}

BOOL CExportDialog::CheckFileName(OPENFILENAMEW& ofn)
{
    const wchar_t* file = ofn.lpstrFile;
    if (!file || !*file)
        return TRUE;
    // A name that ends in a dot (extension offset 0) asks for no extension, which no type has.
    size_t length = wcslen(file);
    if (file[length - 1] == L'.')
        return TRUE;
    if (ofn.nFileExtension != 0 && ofn.nFileExtension < length)
        return FALSE;
    if (ofn.nFilterIndex == 0)
        return TRUE;
    const wchar_t* pattern = FilterString(ofn.lpstrFilter, static_cast<int>(ofn.nFilterIndex) * 2 - 1);
    const wchar_t* dot = pattern ? wcschr(pattern, L'.') : nullptr;
    if (!dot || dot[1] == L'*')
        return TRUE;
    if (!Append(ofn.lpstrFile, ofn.nMaxFile, dot) || !Append(ofn.lpstrFileTitle, ofn.nMaxFileTitle, dot))
        return TRUE;
    return FALSE;
}

BOOL CExportDialog::OnFileNameOK()
{
    return CheckFileName(m_ofn);
}
