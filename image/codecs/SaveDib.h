// One-call saving of a packed DIB in a chosen format (the caller's DIB stays the caller's), the
// DIB on the clipboard, and the progress relay of the colour reduction.
#pragma once

#include <windows.h>

class CProgressDlg;
class JpegMetadata;

// 0 saved; 3 the picture could not be written (no partial file is left, and a file that was there
// stays as it was).
int SaveDibAsBmp(const wchar_t* path, HGLOBAL dib);
// Pictures of fewer than 8 bits are widened to 8 first; above 8 bits they are reduced to 256 colours.
int SaveDibAsGif(const wchar_t* path, HGLOBAL dib, DWORD codecOption);
int SaveDibAs(const wchar_t* path, HGLOBAL dib, DWORD format);
// flagA sets the codec's flag 2, flagB its flag 1. The JPEG 2000 quality (100: lossless) reaches
// the encoder. For JPEG, flagA writes a progressive file and flagB a grey one.
int SaveDibAsJpeg2000(const wchar_t* path, HGLOBAL dib, int quality, int flagA, int flagB);
// The metadata given (read from a JPEG this one replaces) is written with the picture.
int SaveDibAsJpeg(const wchar_t* path, HGLOBAL dib, int quality, int flagA, int flagB,
                  const JpegMetadata* kept = nullptr);
int SaveDibAsPng(const wchar_t* path, HGLOBAL dib, DWORD codecOption);
int SaveDibAsTiff(const wchar_t* path, HGLOBAL dib, DWORD codecOption);

// Puts a copy of the DIB on the clipboard as CF_DIB; false for a null handle or when the
// clipboard cannot be opened (another program holds it) or refuses the data.
bool CopyDibToClipboard(HGLOBAL dib);
// The same for a text (CF_UNICODETEXT).
bool CopyTextToClipboard(const wchar_t* text);
// A new packed DIB from the clipboard's CF_DIB, through the one gate of DIBs from outside
// (DibValidate.h); null when there is none, the clipboard cannot be opened or the data is refused.
HGLOBAL GetDibFromClipboard();

// The colour reduction's progress callback: moves the registered dialog's bar to the position and
// returns its cancel state; 0 when no dialog is registered.
int ReportReduceProgress(int position);
void RegisterReduceProgressDialog(CProgressDlg* dialog);
