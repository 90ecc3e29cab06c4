#include "catalogue/CacheRootCheck.h"

#include "foundation/MessageBoxes.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include <set>
#include <string>

namespace {

// The roots told of in this run, folded to one case.
std::set<std::wstring>& ToldRoots()
{
    static std::set<std::wstring> roots;
    return roots;
}

std::wstring Key(const wchar_t* root)
{
    CString key = root ? root : L"";
    key.MakeLower();
    return std::wstring(key.GetString());
}

} // namespace

DWORD CacheRootCheck::Problem(const wchar_t* root)
{
    CString folder;
    RemovePathSeparator(folder, root ? root : L"");
    if (folder.IsEmpty())
        return ERROR_SUCCESS;
    // A drive's root is asked for as "X:\" ("X:" names that drive's current directory).
    if (folder.GetLength() == 2 && folder[1] == L':')
        folder += L'\\';
    const DWORD attributes = GetFileAttributesW(ExactPath(folder));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_PATH_NOT_FOUND;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_SUCCESS : ERROR_DIRECTORY;
}

CString CacheRootCheck::CannotWriteText(const wchar_t* root, DWORD problem)
{
    SetLastError(problem);
    CString text =
        L"キャッシュ情報保存フォルダ「" + CString(root) + L"」に書き込めないため、キャッシュ情報を保存できません。";
    const CString reason = GetLastErrorText();
    if (!reason.IsEmpty())
        text += L"\r\n" + reason;
    return text;
}

bool CacheRootCheck::Accept(const wchar_t* root)
{
    const DWORD problem = Problem(root);
    if (problem == ERROR_SUCCESS)
        return true;
    ToldRoots().insert(Key(root));
    if (problem == ERROR_PATH_NOT_FOUND) {
        const CString question = L"キャッシュ情報保存フォルダ「" + CString(root) +
                                 L"」はありません。作成しますか？\r\n作成しない場合、キャッシュ情報は保存されません。";
        if (ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        // A failure is told with the folder and the system's reason.
        if (EnsureFolderExists(root, true, true)) {
            ToldRoots().erase(Key(root));
            return true;
        }
        return false;
    }
    ShowMessageBox(CannotWriteText(root, problem), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CacheRootCheck::ReadyToSave(const wchar_t* root, bool asked)
{
    const DWORD problem = Problem(root);
    if (problem == ERROR_SUCCESS)
        return true;
    if (asked || ToldRoots().insert(Key(root)).second)
        ShowMessageBox(CannotWriteText(root, problem), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CacheRootCheck::ForgetTold()
{
    ToldRoots().clear();
}
