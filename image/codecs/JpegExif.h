// The Exif block of a JPEG file kept when the picture is written anew: found in the source's
// bytes, made true of the new pixels, and written with them.
#pragma once

#include <windows.h>

#include <vector>

// The payload of the first APP1 segment that holds Exif ("Exif\0\0" and the TIFF structure),
// looked for in the markers before the picture's data; empty when there is none.
std::vector<BYTE> FindJpegExif(const BYTE* data, size_t size);

// Makes the block describe pixels of the given size: the pixel dimensions it names are set to
// them, and when the pixels were turned or mirrored the orientation becomes 1 (as stored) and the
// thumbnail, which still shows the old pixels, is left out. False, with the block left as it
// was, when its structure cannot be followed.
bool FitExifToPixels(std::vector<BYTE>& exif, LONG width, LONG height, bool turned);

// As SaveDibAsJpeg (JPEG quality and progressive), with the Exif block written right after the
// start of the picture in place of the JFIF header. 0 saved; 3 the picture could not be written
// (a file that was there stays as it was).
int SaveDibAsJpegWithExif(const wchar_t* path, HGLOBAL dib, int quality, int progressive,
                          const std::vector<BYTE>& exif);
