#include "catalogue/VyxFilexDraw.h"

#include "catalogue/VyxCacheList.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"

IMPLEMENT_DYNAMIC(VyxFilexDraw, VyxFilexImage)

VyxFilexDraw::VyxFilexDraw()
    : m_thumbnail(nullptr), m_picture(nullptr), m_flags(0), m_cached(false), m_cannotDraw(false), m_expandingNote(false)
{
}

VyxFilexDraw::VyxFilexDraw(const wchar_t* path) : VyxFilexImage(path)
{
    m_thumbnail = m_picture = nullptr;
    m_flags = 0;
    m_cached = m_cannotDraw = m_expandingNote = false;
}

VyxFilexDraw::VyxFilexDraw(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member)
    : VyxFilexImage(found, loaderId, archivePluginId, member)
{
    m_thumbnail = m_picture = nullptr;
    m_flags = 0;
    m_cached = m_cannotDraw = m_expandingNote = false;
}

VyxFilexDraw::VyxFilexDraw(const VyxFilexDraw& other) : VyxFilexImage(other)
{
    m_thumbnail = m_picture = nullptr;
    m_expandingNote = false;
    CopyDrawState(other);
}

VyxFilexDraw& VyxFilexDraw::operator=(const VyxFilexDraw& other)
{
    if (this != &other) {
        VyxFilexImage::operator=(other);
        CopyDrawState(other);
    }
    return *this;
}

VyxFilexDraw::~VyxFilexDraw()
{
    FreePictures();
}

void VyxFilexDraw::CopyDrawState(const VyxFilexDraw& other)
{
    FreePictures();
    m_picture = other.m_picture ? CopyGlobal(other.m_picture) : nullptr;
    if (other.m_thumbnail && other.m_thumbnail == other.m_picture)
        m_thumbnail = m_picture;
    else
        m_thumbnail = other.m_thumbnail ? CopyGlobal(other.m_thumbnail) : nullptr;
    m_flags = other.m_flags;
    m_cached = other.m_cached;
    m_cannotDraw = other.m_cannotDraw;
}

void VyxFilexDraw::FreePictures()
{
    if (m_thumbnail && m_thumbnail != m_picture)
        GlobalFree(m_thumbnail);
    if (m_picture)
        GlobalFree(m_picture);
    m_thumbnail = m_picture = nullptr;
}

void VyxFilexDraw::ResetImage()
{
    SetLoaderId(-1);
    SetInfoText(L"");
    FreePictures();
}

void VyxFilexDraw::RemoveFromCache()
{
    theCacheList.RemoveFromCache(this);
    m_cached = false;
}

const CString& VyxFilexDraw::GetNote() const
{
    // Reading the note store arrives with the notes; until then an item knows only the note it
    // was given.
    m_noteLoaded = true;
    return m_noteText;
}

CString VyxFilexDraw::GetPropertyText(int id) const
{
    if (id == 24) {
        const CString& note = GetNote();
        if (m_expandingNote)
            return note;
        m_expandingNote = true;
        CString expanded;
        try {
            expanded = ExpandMacros(note);
        } catch (...) {
            m_expandingNote = false;
            throw;
        }
        m_expandingNote = false;
        return expanded;
    }
    if (id == 27) {
        CString names = theSPImapIndex.GetPluginFileName(m_loaderId, SPImapIndex::KindImage);
        if (IsArchiveMember())
            names += L"/" + theSPImapIndex.GetPluginFileName(m_archivePluginId, SPImapIndex::KindArchive);
        names.MakeUpper();
        return names;
    }
    return VyxFilexImage::GetPropertyText(id);
}
