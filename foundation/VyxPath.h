// Splitting, joining and naming paths; the program's, the system's and the temporary folders;
// existence tests and unique names. Path parts are chosen by PathPartMask.
#pragma once

#include "framework/Framework.h"

// UNC aware: the drive part of "\\srv\share\x" is "\\srv\share". Never fails on long input.
void SplitPathEx(const wchar_t* path, CString& drive, CString& dir, CString& name, CString& ext);
// The same into caller buffers (each with its capacity in characters; null skips a part); a part
// longer than its buffer is cut and terminated.
void SplitPath(const wchar_t* path, wchar_t* drive, int driveSize, wchar_t* dir, int dirSize, wchar_t* name,
               int nameSize, wchar_t* ext, int extSize);
// The bits of a path-part mask; they join in this order.
enum PathPartMask : int {
    PartDrive = 1, // "C:" or "\\server\share"
    PartDir = 2,   // with its trailing separator
    PartName = 4,
    PartExt = 8, // with its dot
    // The folder holding the entry, without its trailing separator (a root keeps none either: "C:").
    PartFolder = PartDrive | PartDir,
    PartFileName = PartName | PartExt,
};
// The parts chosen by mask, joined in order; PartFolder comes without its trailing separator.
CString& GetPathPart(CString& out, const wchar_t* path, int mask);
CString PathPart(const wchar_t* path, int mask);
// The root of the drive or share the path lies on, with its separator: "C:\" (the letter upper
// case), "\\server\share\". Empty for a path without either (relative, or empty): each caller
// says what such a path stands for.
CString PathRoot(const wchar_t* path);
// drive + dir, then name + ext, with "\" between when the first part does not end in one.
CString& MakePath(CString& out, const wchar_t* drive, const wchar_t* dir, const wchar_t* name, const wchar_t* ext);
CString& MakePathB(CString& out, wchar_t* buffer, int bufferSize, const wchar_t* drive, const wchar_t* dir,
                   const wchar_t* name, const wchar_t* ext);
CString& AppendPathSeparator(CString& out, const wchar_t* path);
CString& RemovePathSeparator(CString& out, const wchar_t* path);
// The relative folder (ending in "\") from base to target; false when either cannot be made full,
// the drives differ or the result would not fit 520 characters. out starts as the target.
bool MakeRelativePath(CString& out, const wchar_t* base, const wchar_t* target);
CString& GetFullPath(CString& out, const wchar_t* path);
// Each existing component in its spelling on disk.
CString& GetActualPathName(CString& out, const wchar_t* path);
int GetDriveIndex(const wchar_t* path);               // 0..25 for "X:...", else -1
CString& MakeDriveRoot(CString& out, int driveIndex); // "X:\"
bool IsValidFileName(const wchar_t* name);            // none of ":<>\*/?|"
// A name a file or folder keeps as given, in its folder: not "." or "..", at most 255 characters,
// none of the characters no name may have (separators included), no control character, and no
// trailing dot or blank (the system would drop them).
bool IsPlainFileName(const wchar_t* name);

CString& GetModuleFilePath(CString& out);
CString& GetModuleFolder(CString& out); // no trailing separator
CString& MakeModulePath(CString& out, const wchar_t* fileName);
CString& GetTempFolder(CString& out); // with its trailing separator
CString& MakeTempPath(CString& out, const wchar_t* fileName);
CString& GetSpecialFolderPath(CString& out, int csidl);
CString& GetSpecialFolderDisplayName(CString& out, int csidl, DWORD shgdnFlags);

// kFileNotFolder: a file (not a folder) exists; any other mask: an entry with any of the mask's
// attribute bits (kAnyAttribute: any entry at all).
bool PathExists(const wchar_t* path, DWORD attributeMask);
inline constexpr DWORD kFileNotFolder = 0;
inline constexpr DWORD kAnyAttribute = 0xFFFFFFFF;
// Whether some name of the path ends in a dot or a blank, which the platform's ordinary path
// handling drops (so "dup.jpg." would reach "dup.jpg").
bool HasTrimmedName(const wchar_t* path);
// The path to hand to the platform's file functions so that they reach exactly the named entry:
// a path with a trimmed name (above) in the "\\?\" form (made full, "." and ".." resolved,
// separators made backslashes); any other path as it is. A drive-relative path ("C:x.") stays too.
CString ExactPath(const wchar_t* path);
// Where the last name of a path leads: the one look-up of a name on disk. The platform looks names
// up without regard to letter case: where two names of a folder differ only in case (files brought
// from another system), it reaches the one spelled as given while that one is there, and another
// one once it is gone. A name ending in a dot or a blank is looked up as it stands (its exact
// form), never as the name without them.
enum class NameLookup {
    Missing,   // no entry of that name in any case
    Exact,     // an entry spelled exactly so (or its short alias)
    OtherCase, // only entries spelled otherwise: the platform would reach one of them
};
// otherName: the name of the entry it would reach instead (OtherCase only); found: the entry the
// name reaches (Exact: itself; OtherCase: that other one); spellings: how many entries spelled
// otherwise there are (OtherCase only). Primitives that work on a name ask TwinNameGuard, which
// refuses OtherCase.
NameLookup LookUpExactName(const wchar_t* path, CString* otherName = nullptr, WIN32_FIND_DATAW* found = nullptr,
                           int* spellings = nullptr);
// Full path of a "$%08X" name that no entry of the folder has.
CString& MakeTempName(CString& out, const wchar_t* folder);
// A new folder "<temp>\Vesko\%08X"; empty when it could not be created.
CString& MakeUniqueTempName(CString& out);
