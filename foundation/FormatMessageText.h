// Texts of the program's message table (res/VyxMsg.mc): ids 0x40000001 to 0x4000000B, each
// ending with CR LF, with "%1", "%2", ... inserts.
#pragma once

#include "framework/Framework.h"

// The ids of the table, by the names res/VyxMsg.mc gives them.
enum MessageId : DWORD {
    MsgInvalidFolder = 0x40000001, // %1 the folder
    MsgDropCopyHere = 0x40000002,
    MsgDropMoveHere = 0x40000003,
    MsgDropCancel = 0x40000004,
    MsgOpenWith = 0x40000005,            // %1 a name
    MsgFolderRenameFailed = 0x40000006,  // %1 the folder
    MsgConfirmFolderDelete = 0x40000007, // %1 the folder
    MsgChooseDestination = 0x40000008,
    MsgSaveFailed = 0x40000009,
    MsgConfirmDeleteSelection = 0x4000000A,
    MsgRenameFailed = 0x4000000B,
};

// The message formatted with the inserts (at most nine wide texts); the empty text when the id is
// not in the table or the result needs more than 1024 characters. Missing inserts read as empty.
CString FormatMessageTextArray(DWORD messageId, const LPCWSTR* inserts, int count);

namespace vyx_detail {
inline LPCWSTR MessageInsert(LPCWSTR text)
{
    return text ? text : L"";
}
inline LPCWSTR MessageInsert(const CString& text)
{
    return text.GetString();
}
} // namespace vyx_detail

template <typename... Inserts> CString FormatMessageText(DWORD messageId, const Inserts&... inserts)
{
    static_assert(sizeof...(Inserts) <= 9, "a message takes at most nine inserts");
    LPCWSTR texts[sizeof...(Inserts) + 1] = {vyx_detail::MessageInsert(inserts)..., nullptr};
    return FormatMessageTextArray(messageId, texts, static_cast<int>(sizeof...(Inserts)));
}

// The same without the line end that closes every message of the table: the form a menu item or
// a label takes (a line end there shows as boxes).
template <typename... Inserts> CString FormatMessageLine(DWORD messageId, const Inserts&... inserts)
{
    CString text = FormatMessageText(messageId, inserts...);
    text.TrimRight(L"\r\n");
    return text;
}
