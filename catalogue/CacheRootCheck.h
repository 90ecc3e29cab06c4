// The central cache folder the settings name ("CacheDataFolder"), into which thumbnails, notes and
// folder layouts are written: whether it can take them, its making when the settings are accepted,
// and telling the user when the cache cannot be written there, so a save never ends in silence.
#pragma once

#include "framework/Framework.h"

class CacheRootCheck
{
public:
    // ERROR_SUCCESS for no root (the cache files lie beside the pictures) or an existing folder;
    // ERROR_PATH_NOT_FOUND when nothing is there; ERROR_DIRECTORY when a file is.
    static DWORD Problem(const wchar_t* root);
    // The text that tells that the cache cannot be written into the root, and why.
    static CString CannotWriteText(const wchar_t* root, DWORD problem);

    // The settings were accepted with this root: a missing one is made when the user says so
    // (asked first; a failure is told with the system's reason); one that cannot be made or
    // written is told. True when the root can take the cache afterwards.
    static bool Accept(const wchar_t* root);
    // Before the cache is saved: true when the root can take it. Otherwise the user is told, at
    // every save asked for and at the first automatic one of each root in the run (a root declined
    // when the settings were accepted has been told already).
    static bool ReadyToSave(const wchar_t* root, bool asked);
    // Forgets which roots were told (a new run).
    static void ForgetTold();
};
