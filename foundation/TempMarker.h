// The mark the program writes inside each temporary file and folder it makes, so that a clean-up
// removes only what it can show it made: a signature and the process that made it (its id and the
// time it started, which tells a later process of the same id apart). A name of the program's
// form alone proves nothing: a user's file or folder may have it.
#pragma once

#include "framework/Framework.h"

#include <string>

class TempMarker
{
public:
    static const DWORD kSize = 32;

    // This process's mark.
    static std::string Make();
    // The mark of another process (a test makes those of processes that have ended).
    static std::string MakeFor(DWORD process, const FILETIME& started);
    // Whether the bytes begin with a mark; its maker then goes to process and started.
    static bool Read(const void* bytes, size_t size, DWORD& process, FILETIME& started);
    // Whether the bytes begin with the mark of a maker that can no longer be using what holds it:
    // it has ended, or it is this process and no longer holds the name.
    static bool IsLeft(const void* bytes, size_t size, const wchar_t* path);
    // The time a process started; false when it cannot be asked.
    static bool StartOf(HANDLE process, FILETIME& started);

    // This process's temporaries in use, which no clean-up takes. Known by their names alone (the
    // last part of the path), which hold this process's serial numbers: any spelling of the
    // folder finds them.
    static void Hold(const wchar_t* path, bool held);
    static bool IsHeld(const wchar_t* path);
};
