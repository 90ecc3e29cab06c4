// Exif blocks made entry by entry for the image tests.
#pragma once

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

namespace exiftest {

// The entry stays owned by the block; its data is zeroed storage of the format's size.
inline ExifEntry* AddExifEntry(ExifData* exif, ExifIfd ifd, ExifTag tag, ExifFormat format, unsigned components)
{
    ExifMem* mem = exif_mem_new_default();
    ExifEntry* entry = exif_entry_new_mem(mem);
    entry->tag = tag;
    entry->format = format;
    entry->components = components;
    entry->size = exif_format_get_size(format) * components;
    entry->data = static_cast<unsigned char*>(exif_mem_alloc(mem, entry->size));
    exif_content_add_entry(exif->ifd[ifd], entry);
    exif_mem_unref(mem);
    exif_entry_unref(entry);
    return entry;
}

} // namespace exiftest
