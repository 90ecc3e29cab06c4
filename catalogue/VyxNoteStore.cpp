#include "catalogue/VyxNoteStore.h"

#include "foundation/VyxPath.h"

VyxNoteStore::VyxNoteStore() {}

VyxNoteStore::VyxNoteStore(const wchar_t* cacheRoot) : VyxCacheIndex(cacheRoot) {}

void VyxNoteStore::SetLocation(const wchar_t* folder, const wchar_t* archiveFileName)
{
    m_folder = folder ? folder : L"";
    m_archiveFileName = archiveFileName ? archiveFileName : L"";
}

CString VyxNoteStore::GetSectionOf(const wchar_t* filePath) const
{
    CString section;
    if (m_archiveFileName.IsEmpty())
        GetPathPart(section, filePath, PartFileName);
    else
        section = filePath ? filePath : L"";
    section.Replace(L'[', L'{');
    section.Replace(L']', L'}');
    return section;
}

CString VyxNoteStore::EncodeLineBreaks(const wchar_t* text)
{
    CString out(text ? text : L"");
    out.Replace(L"\r\n", L"\\n");
    out.Replace(L"\r", L"\\n");
    out.Replace(L"\n", L"\\n");
    return out;
}

CString VyxNoteStore::ReadNote(const wchar_t* filePath) const
{
    CString path, note;
    if (FindNoteFile(path, m_folder, m_archiveFileName))
        VyxIni(path).GetString(note, GetSectionOf(filePath), L"Note", L"");
    return note;
}

int VyxNoteStore::WriteNote(const wchar_t* filePath, const wchar_t* text) const
{
    if (text && *text) {
        VyxIni notes(GetNoteFileName(m_folder, m_archiveFileName));
        // A raw line break would start a new key or section inside the note file.
        return notes.WriteString(GetSectionOf(filePath), L"Note", EncodeLineBreaks(text)) ? 1 : 0;
    }
    CString path;
    if (FindNoteFile(path, m_folder, m_archiveFileName)) {
        VyxIni notes(path);
        notes.WriteString(GetSectionOf(filePath), nullptr, nullptr);
        if (PathExists(path, 0) && notes.GetFileSize() == 0)
            DeleteNoteFile(m_folder, m_archiveFileName);
    }
    return 1;
}

int VyxNoteStore::DeleteNote(const wchar_t* filePath) const
{
    return WriteNote(filePath, nullptr);
}
