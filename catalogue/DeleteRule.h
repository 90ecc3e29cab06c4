// How the delete commands of the document and of a picture window remove files: to the recycle bin
// when the document's "TrashCan" option is on and Shift is not held, otherwise for good; unless the
// no-confirmation option ("DELQA") is on, the program asks before deleting for good and the shell
// asks before the recycle bin.
#pragma once

#include <windows.h>

class CKWDocSettings;

struct DeleteRule
{
    bool forGood = false;
    // For good: the program's question first. To the recycle bin: the shell asks (not silent).
    bool confirm = true;

    // The document's options, with Shift as held for the input the command came from.
    static DeleteRule Of(const CKWDocSettings& settings, bool shiftHeld);
    // Shift as the thread's key state gives it: held when the key or click being handled was
    // made, also when it was let go before the program came to it.
    static bool IsShiftHeld();
    // The shell's flags for moving to the recycle bin; silent: no question, no progress, no error.
    static WORD RecycleFlags(bool silent);
    // The program's question before deleting for good; true on Yes.
    static bool AskForGood();
};
