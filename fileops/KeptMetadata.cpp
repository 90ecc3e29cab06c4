#include "fileops/KeptMetadata.h"

#include "fileops/FileIdentity.h"
#include "foundation/VyxPath.h"

JpegMetadata MetadataKeptAt(const VyxFile& item, const wchar_t* target)
{
    if (item.IsArchiveMember() || !target)
        return {};
    const CString source = ExactPath(item.GetPath());
    return FileIdentity::Same(source, target) ? JpegMetadata::OfFile(source) : JpegMetadata();
}
