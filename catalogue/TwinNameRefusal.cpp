#include "catalogue/TwinNameRefusal.h"

#include "catalogue/VyxFilexInfo.h"
#include "foundation/VyxPath.h"

CString TwinNameRefusal::For(const VyxFilexInfo& item)
{
    CString other;
    if (item.IsArchiveMember() || LookUpExactName(item.GetPath(), &other) != NameLookup::OtherCase)
        return CString();
    return Text(item.GetPath(), other);
}

CString TwinNameRefusal::Text(const wchar_t* path, const wchar_t* otherName)
{
    CString name, folder;
    GetPathPart(name, path, PartFileName);
    GetPathPart(folder, path, PartFolder);
    return L"「" + name + L"」はもうありません。この名前は大文字と小文字だけが違う別のファイル「" + otherName +
           L"」に通じるため、そのファイルには何もしませんでした。\r\n" + folder;
}
