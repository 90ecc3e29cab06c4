#include "foundation/TwinNameGuard.h"

namespace {

// The text of the thread's latest refusal: the last error can say no more than its code. A thread
// that ever refused keeps one text until it ends (a pointer: a thread-local object with a
// destructor goes through the threading runtime's keys at thread end).
thread_local CString* t_refusal = nullptr;

} // namespace

NameLookup TwinNameGuard::Check(const wchar_t* path, Role role, WIN32_FIND_DATAW* found)
{
    CString other;
    const NameLookup lookup = LookUpExactName(path, &other, found);
    if (lookup == NameLookup::OtherCase) {
        if (!t_refusal)
            t_refusal = new CString;
        *t_refusal = Text(path, other, role);
        SetLastError(kRefused);
    }
    return lookup;
}

CString TwinNameGuard::LastRefusalText()
{
    return t_refusal ? *t_refusal : CString();
}

CString TwinNameGuard::Text(const wchar_t* path, const wchar_t* otherName, Role role)
{
    CString name, folder;
    GetPathPart(name, path, PartFileName);
    GetPathPart(folder, path, PartFolder);
    const CString what = role == Role::Existing ? L"」はもうありません。" : L"」という名前では置けません。";
    return L"「" + name + what + L"この名前は大文字と小文字だけが違う別のファイル「" + otherName +
           L"」に通じるため、そのファイルには何もしませんでした。\r\n" + folder;
}
