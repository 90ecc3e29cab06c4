// The Exif block of a JPEG file kept when the picture is written anew, made true of the new pixels.
#pragma once

#include <windows.h>

#include <vector>

// Makes the block ("Exif\0\0" and the TIFF structure, an APP1 payload) describe pixels of the
// given size: the pixel dimensions it names are set to them. When the pixels were turned or
// mirrored, every orientation it states (first directory and Exif directory, any integer type and
// count) becomes 1, the thumbnail, which still shows the old pixels, is removed with its bytes, and
// a part that cannot be followed (a directory out of the block, an orientation whose value lies
// outside it) is left out. False, with the block left as it was, when not even its first
// directory can be read.
bool FitExifToPixels(std::vector<BYTE>& exif, LONG width, LONG height, bool turned);
