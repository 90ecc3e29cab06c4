#include "catalogue/VyxFilexInfo.h"

#include "catalogue/ArchiveMember.h"
#include "catalogue/CVirtualFolderList.h"
#include "catalogue/NoteText.h"
#include "foundation/MacroText.h"
#include "foundation/NumberFormat.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxPath.h"

IMPLEMENT_DYNAMIC(VyxFilexInfo, CObject)

namespace {

CVirtualFolderList* s_virtualFolders = nullptr;

struct MacroRow
{
    int id;
    const wchar_t* word;
};

// Searched in this order: a "$(N)" in a template is always the name (the first of its rows).
const MacroRow kMacroRows[] = {
    {0, L"$(Path)"},
    {0, L"$(P)"},
    {1, L"$(Folder)"},
    {1, L"$(Dir)"},
    {1, L"$(F)"},
    {2, L"$(FileName)"},
    {2, L"$(FN)"},
    {3, L"$(Name)"},
    {3, L"$(N)"},
    {4, L"$(Ext)"},
    {4, L"$(E)"},
    {7, L"$(ShortPath)"},
    {7, L"$(SP)"},
    {8, L"$(ShortFileName)"},
    {8, L"$(SFN)"},
    {5, L"$(ExeDir)"},
    {6, L"$(ParentDir)"},
    {6, L"$(PD)"},
    {9, L"$(DateTime)"},
    {9, L"$(DT)"},
    {10, L"$(Date)"},
    {10, L"$(D)"},
    {11, L"$(Time)"},
    {11, L"$(T)"},
    {12, L"$(CreateDate)"},
    {12, L"$(CD)"},
    {13, L"$(CreateTime)"},
    {13, L"$(CT)"},
    {14, L"$(Length)"},
    {14, L"$(L)"},
    {16, L"$(TodayDate)"},
    {16, L"$(TD)"},
    {17, L"$(TodayTime)"},
    {17, L"$(TT)"},
    {18, L"$(VolumeName)"},
    {18, L"$(VN)"},
    {19, L"$(VolumeNo)"},
    {19, L"$(V#)"},
    {20, L"$(Width)"},
    {20, L"$(W)"},
    {21, L"$(Height)"},
    {21, L"$(H)"},
    {22, L"$(Color)"},
    {22, L"$(C)"},
    {15, L"$(Size)"},
    {15, L"$(S)"},
    {23, L"$(Info)"},
    {23, L"$(I)"},
    {24, L"$(Note)"},
    {24, L"$(Comment)"},
    {24, L"$(N)"},
    {25, L"$(ArcPath)"},
    {25, L"$(AP)"},
    {26, L"$(ArcFileName)"},
    {26, L"$(AFN)"},
    {27, L"$(SpiName)"},
    {27, L"$(SN)"},
    {28, L"$(ExifVersion)"},
    {29, L"$(ExifCameraMaker)"},
    {30, L"$(ExifCameraModel)"},
    {31, L"$(ExifDateTime)"},
    {32, L"$(ExifHeight)"},
    {33, L"$(ExifWidth)"},
    {34, L"$(ExifOrientation)"},
    {35, L"$(ExifIsColor)"},
    {36, L"$(ExifProcess)"},
    {37, L"$(ExifFlashUsed)"},
    {38, L"$(ExifFocalLength)"},
    {39, L"$(ExifExposureTime)"},
    {40, L"$(ExifApertureFNumber)"},
    {41, L"$(ExifDistance)"},
    {42, L"$(ExifCCDWidth)"},
    {43, L"$(ExifExposureBias)"},
    {44, L"$(ExifWhitebalance)"},
    {45, L"$(ExifMeteringMode)"},
    {46, L"$(ExifExposureProgram)"},
    {47, L"$(ExifISOequivalent)"},
    {48, L"$(ExifCompressionLevel)"},
    {49, L"$(ExifFocalplaneXRes)"},
    {50, L"$(ExifFocalplaneYRes)"},
    {51, L"$(ExifFocalplaneUnits)"},
    {52, L"$(ExifXresolution)"},
    {53, L"$(ExifYresolution)"},
    {54, L"$(ExifResolutionUnit)"},
    {55, L"$(ExifBrightness)"},
    {56, L"$(ExifComments)"},
};
static_assert(sizeof(kMacroRows) / sizeof(kMacroRows[0]) == 86, "the macro table has 86 rows");

// A template repeating a long value (a note) could grow without measure; past this length
// expansion stops and the rest stays as it is.
const size_t kExpandedTextLimit = 1 << 20;

long long FileTimeOrZero(const CFileFind& found, BOOL (CFileFind::*get)(FILETIME*) const)
{
    FILETIME time = {};
    if (!(found.*get)(&time) || (time.dwLowDateTime == 0 && time.dwHighDateTime == 0))
        return 0;
    return FileTimeToUnixTime(time);
}

template <size_t N> CString ExifText(const char (&field)[N])
{
    return MemberTextAnsi(MemberField(field));
}

} // namespace

CString FormatShortSize(ULONGLONG bytes)
{
    CString text;
    return FormatNumberEx(text, bytes, TRUE, 1, 0, -1);
}

VyxFilexInfo::VyxFilexInfo()
    : m_loaderId(-1), m_decodeOptions(0), m_size(0), m_creationTime(0), m_writeTime(0), m_kind(KindFile),
      m_archivePluginId(-1), m_archivePosition(0), m_width(0), m_height(0), m_bitCount(0), m_noteLoaded(false)
{
}

VyxFilexInfo::VyxFilexInfo(const wchar_t* path) : VyxFilexInfo()
{
    m_path = path ? path : L"";
    GetPathPart(m_folder, m_path, PartFolder);
    GetPathPart(m_fileName, m_path, PartFileName);
    // A missing path leaves the zeros GetStatus reports.
    VyxFileStatus status;
    status.GetStatus(m_path);
    m_size = status.GetSize();
    m_creationTime = status.GetCreationTime();
    m_writeTime = status.GetWriteTime();
    m_kind = status.IsDirectory() ? KindFolder : KindFile;
}

VyxFilexInfo::VyxFilexInfo(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member)
    : VyxFilexInfo()
{
    m_loaderId = loaderId;
    RemovePathSeparator(m_folder, found.GetRoot());
    if (archivePluginId < 0 || !member) {
        m_path = found.GetFilePath();
        m_fileName = found.GetFileName();
        m_size = found.GetLength();
        m_writeTime = FileTimeOrZero(found, &CFileFind::GetLastWriteTime);
        m_creationTime = FileTimeOrZero(found, &CFileFind::GetCreationTime);
        if (m_creationTime == 0)
            m_creationTime = m_writeTime;
        m_kind = found.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) ? KindFolder : KindFile;
        return;
    }
    m_archivePath = found.GetFilePath();
    m_archiveFileName = found.GetFileName();
    CString memberPath = MemberTextGuessed(MemberField(member->path));
    m_fileName = MemberTextGuessed(MemberField(member->fileName));
    MakePath(m_path, nullptr, memberPath, m_fileName, nullptr);
    m_size = member->fileSize;
    m_creationTime = m_writeTime = member->timestamp;
    m_archivePosition = member->position;
    m_kind = KindArchiveMember;
    m_archivePluginId = archivePluginId;
}

VyxFilexInfo::VyxFilexInfo(const VyxFilexInfo& other) : VyxFilexInfo()
{
    CopyFrom(other, true);
}

VyxFilexInfo& VyxFilexInfo::operator=(const VyxFilexInfo& other)
{
    if (this != &other)
        CopyFrom(other, true);
    return *this;
}

VyxFilexInfo::~VyxFilexInfo() {}

void VyxFilexInfo::CopyFrom(const VyxFilexInfo& other, bool withExif)
{
    if (this == &other)
        return;
    m_loaderId = other.m_loaderId;
    m_folder = other.m_folder;
    m_decodeOptions = other.m_decodeOptions;
    m_path = other.m_path;
    m_fileName = other.m_fileName;
    m_size = other.m_size;
    m_creationTime = other.m_creationTime;
    m_writeTime = other.m_writeTime;
    m_kind = other.m_kind;
    m_archivePluginId = other.m_archivePluginId;
    m_archivePath = other.m_archivePath;
    m_archiveFileName = other.m_archiveFileName;
    m_archivePosition = other.m_archivePosition;
    m_width = other.m_width;
    m_height = other.m_height;
    m_bitCount = other.m_bitCount;
    m_infoText = other.m_infoText;
    m_noteLoaded = other.m_noteLoaded;
    m_noteText = other.m_noteText;
    if (withExif) {
        m_exif.reset(other.m_exif ? new tag_ExifInfo(*other.m_exif) : nullptr);
        m_exifRead = other.m_exifRead;
    }
}

void VyxFilexInfo::SetNoteText(const wchar_t* text)
{
    m_noteText = text ? text : L"";
    m_noteLoaded = true;
}

tag_ExifInfo& VyxFilexInfo::PrepareExifInfo()
{
    if (!m_exif)
        m_exif.reset(new tag_ExifInfo());
    return *m_exif;
}

CString VyxFilexInfo::GetExtension() const
{
    CString extension;
    GetPathPart(extension, m_fileName, PartExt);
    if (!extension.IsEmpty() && extension[0] == L'.')
        extension = extension.Mid(1);
    return extension;
}

void VyxFilexInfo::MarkAsArchive(int kind)
{
    if (m_kind == KindFile && kind == KindArchive)
        m_kind = KindArchive;
}

void VyxFilexInfo::Rename(const wchar_t* newName)
{
    int cut = -1;
    for (int i = m_path.GetLength() - 1; i >= 0 && cut < 0; --i)
        if (m_path[i] == L'\\' || m_path[i] == L'/')
            cut = i;
    m_path = m_path.Left(cut + 1) + (newName ? newName : L"");
    m_fileName = newName ? newName : L"";
}

bool VyxFilexInfo::IsSameFile(const wchar_t* path, const wchar_t* archivePath) const
{
    return m_path.CompareNoCase(path ? path : L"") == 0 &&
           m_archivePath.CompareNoCase(archivePath ? archivePath : L"") == 0;
}

bool VyxFilexInfo::IsSpelledAs(const wchar_t* path, const wchar_t* archivePath) const
{
    return m_path == (path ? path : L"") && m_archivePath == (archivePath ? archivePath : L"");
}

CString VyxFilexInfo::GetResolvedFolder() const
{
    return s_virtualFolders ? s_virtualFolders->ResolvePath(m_folder) : m_folder;
}

void VyxFilexInfo::SetVirtualFolders(CVirtualFolderList* list)
{
    s_virtualFolders = list;
}

CVirtualFolderList* VyxFilexInfo::GetVirtualFolders()
{
    return s_virtualFolders;
}

CString VyxFilexInfo::GetPropertyText(int id) const
{
    CString out;
    switch (static_cast<unsigned>(id)) {
    case 0:
        return m_path;
    case 1:
        return m_folder;
    case 2:
        return m_fileName;
    case 3:
        return GetPathPart(out, m_fileName, PartName);
    case 4:
        return GetExtension();
    case 6:
        return GetPathPart(out, m_folder, PartFileName);
    // The program's folder, the short path, today and the volume, as the file-status texts give them.
    case 5:
    case 7:
    case 8:
    case 16:
    case 17:
    case 18:
    case 19: {
        VyxFileStatus status;
        status.SetPath(m_path);
        return status.GetMacroText(id);
    }
    // The local-time conversion takes 1970 to 3000 only; a time outside has no text.
    case 9:
        return CTime(m_writeTime).Format(L"%Y/%m/%d %H:%M:%S");
    case 10:
        return CTime(m_writeTime).Format(L"%Y/%m/%d");
    case 11:
        return CTime(m_writeTime).Format(L"%H:%M:%S");
    case 12:
        return CTime(m_creationTime).Format(L"%Y/%m/%d");
    case 13:
        return CTime(m_creationTime).Format(L"%H:%M:%S");
    case 14:
        return FormatShortSize(m_size);
    case 15:
        return GroupUnsignedNumberText(out, m_size);
    case 20:
        out.Format(L"%d", m_width);
        return out;
    case 21:
        out.Format(L"%d", m_height);
        return out;
    case 22:
        out.Format(L"%d", m_bitCount);
        return out;
    case 23:
        return m_infoText;
    case 25:
        return m_archivePath;
    case 26:
        return m_archiveFileName;
    case 29:
        return m_exif ? ExifText(m_exif->CameraMake) : out;
    case 30:
        return m_exif ? ExifText(m_exif->CameraModel) : out;
    case 31:
        return m_exif ? ExifText(m_exif->DateTime) : out;
    default:
        return out;
    }
}

CString VyxFilexInfo::ExpandMacros(const wchar_t* text, const wchar_t* noteLineBreak) const
{
    MacroText expanded(text);
    ExpandMacros(expanded, noteLineBreak);
    return expanded.ToString();
}

void VyxFilexInfo::ExpandMacros(MacroText& text, const wchar_t* noteLineBreak) const
{
    for (const MacroRow& row : kMacroRows) {
        if (!text.TemplateContains(L"$("))
            break;
        if (!text.TemplateContains(row.word))
            continue;
        CString value = GetPropertyText(row.id);
        if (row.id == kNoteProperty)
            value = NoteText::Typed(value, noteLineBreak);
        // Only the template is searched: a value put in (a name holding "$(Ext)") stays itself.
        if (text.Replace(row.word, value, MacroText::KindText, kExpandedTextLimit))
            break;
    }
}
