// What a JPEG written from a picture file keeps of that file's metadata.
#pragma once

#include "catalogue/VyxFile.h"
#include "image/codecs/JpegMetadata.h"

// All the item's metadata when the target is the item's own file (written over it), nothing when
// it is another file or the item lies in an archive. Read before the target is written.
JpegMetadata MetadataKeptAt(const VyxFile& item, const wchar_t* target);
