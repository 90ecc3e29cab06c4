// One still frame of a video file as a packed DIB: AviFile through the AVI file library, DswFile
// through the DirectShow media detector. Positions are seconds from the start (0 or more) or minus
// a percentage of the length.
#pragma once

#include "image/codecs/ImageFileBase.h"

#include <vfw.h>

struct IMediaDet;

// The request of ReadAviFrame; value is a pointer for kind 4, result a DIB handle for kind 0.
struct AviFrameRequest
{
    // 0 frame at a position, 1 length, 2 previous key frame, 3 next key frame, 4 stream information,
    // 5 the frame of that number
    int kind;
    LONG_PTR value;
    LONG_PTR result;
};

// Runs call(context); false when a fault inside the AVI file library (or the frame decompressor
// it calls) ended the call. Nothing with a destructor may live in call's frames above the
// library's calls. Faults elsewhere, and on other threads, are left to their own handlers.
bool RunAviGuarded(void (*call)(void*), void* context);

// The AVI file library initialised for this module at its first use (not at the program's start:
// the library and what it loads are not needed before a video is shown), and ended once, when the
// module's user ends, only when it was started.
void StartAviFileLibrary();
void EndAviFileLibrary();

// Works on the first video stream of the file; returns the request's result (0 when the file or
// the stream cannot be read). Starts the AVI file library when it was not.
LONG_PTR ReadAviFrame(const wchar_t* path, AviFrameRequest* request);
HGLOBAL GetAviFrame(const wchar_t* path, int position);
// The frame of that number itself (no key-frame search); null past the stream's end.
HGLOBAL GetAviFrameNumber(const wchar_t* path, LONG frame);
LONG GetAviLength(const wchar_t* path);
LONG FindAviKeyFramePrev(const wchar_t* path, LONG frame);
LONG FindAviKeyFrameNext(const wchar_t* path, LONG frame);
LONG_PTR GetAviInfo(const wchar_t* path, AVISTREAMINFOW* info);

// The frame a position asks for in a stream of the given length, rate and scale.
LONG AviFrameForPosition(int position, LONG length, DWORD rate, DWORD scale);
// The time in seconds a position asks for in a video of the given length.
double VideoSecondsForPosition(int position, double length);

// The media detector's frame at a position (COM initialised by the caller); null on failure.
HGLOBAL GrabVideoFrame(const wchar_t* path, int position);
// The same on a given detector (which the function releases).
HGLOBAL GrabVideoFrameWith(IMediaDet* detector, const wchar_t* path, int position);
double GetVideoLength(const wchar_t* path);
double GetVideoFrameRate(const wchar_t* path);

class AviFile : public ImageFileBase
{
public:
    // 0 when the frame at m_position was read (m_dib), 3 otherwise.
    int LoadFile() override;
    // Width, height and time scale from the file's information; 0, or 2 when it cannot be read.
    int ReadInfoFile() override;

    int m_position = -1;
    double m_timeScale = 0.0;
};

class DswFile : public ImageFileBase
{
public:
    // 0 when the frame at m_position was read (m_dib), -1 otherwise.
    int LoadFile() override;
    // Width, height, compression code and length of the first video stream; 0 or -1.
    int ReadInfoFile() override;

    double m_length = 0.0;
    DWORD m_compression = 0;
    int m_position = 0;
};
