// Message maps: per-class tables of entries chained to the base class's table.
// Each entry carries an adapter, a captureless lambda made where the ON_... macro is used, that
// unpacks the message and calls the handler with its documented signature on the derived class.
// A handler of the wrong signature therefore fails to compile at the map, not at run time.
#pragma once

#include "framework/FrameworkBase.h"

class CCmdTarget;
class CCmdUI;

// Command codes routed through OnCmdMsg besides the control notification codes.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// Reflected messages: the parent hands a child's notification back to the child under this base.
#define WM_REFLECT_BASE 0xBC00

// The framework's private window messages.
#define WM_QUERYAFXWNDPROC 0x0360
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_COMMANDHELP 0x0365
#define WM_HELPHITTEST 0x0366
#define WM_EXITHELPMODE 0x0367
#define WM_RECALCPARENT 0x0368
#define WM_SIZECHILD 0x0369
#define WM_KICKIDLE 0x036A
#define WM_QUERYCENTERWND 0x036B
#define WM_DISABLEMODAL 0x036C
#define WM_FLOATSTATUS 0x036D
#define WM_ACTIVATETOPLEVEL 0x036E
#define WM_POPMESSAGESTRING 0x0375

// Extra data of a WM_NOTIFY routed through OnCmdMsg.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Extra data of a reflected WM_CTLCOLOR.
struct AFX_CTLCOLOR
{
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

// One message or command on its way to a handler.
struct AFX_MSGCALL
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;     // commands and notifications: the control or command id
    void* pExtra; // CCmdUI* for CN_UPDATE_COMMAND_UI, AFX_NOTIFY* for WM_NOTIFY
    LRESULT lResult;
};

// Returns FALSE when the handler declined the message (the _EX forms, a NULL reflected brush).
using AFX_MSGADAPTER = BOOL (*)(CCmdTarget* target, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage; // window message; WM_COMMAND/WM_NOTIFY (+ WM_REFLECT_BASE) for routed entries
    UINT nCode;    // notification or command code (low word)
    UINT nID;      // first id of the range
    UINT nLastID;  // last id of the range
    UINT_PTR nSig; // 0 ends the table; for registered messages the address of the message number
    AFX_MSGADAPTER pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg instead of calling the handler (used to ask whether one exists).
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

// The entry of a map (or of its bases) for a window message; nullptr when none.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message);
// The entry for a routed command or notification; nullptr when none.
const AFX_MSGMAP_ENTRY* AfxFindCommandEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode, UINT nID);

#define AfxSig_end 0
#define AfxSig_entry 1

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                      \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                                  \
    {                                                                                                                  \
        return GetThisMessageMap();                                                                                    \
    }                                                                                                                  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

// The map of a class template: BEGIN_TEMPLATE_MESSAGE_MAP(CMyWnd, T, T) opens the map of
// CMyWnd<T> deriving from T (the map lives in the header, like the template).
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass)                                                     \
    template <typename type_name> const AFX_MSGMAP* theClass<type_name>::GetMessageMap() const                         \
    {                                                                                                                  \
        return GetThisMessageMap();                                                                                    \
    }                                                                                                                  \
    template <typename type_name> const AFX_MSGMAP* theClass<type_name>::GetThisMessageMap()                           \
    {                                                                                                                  \
        typedef theClass<type_name> ThisClass;                                                                         \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, 0, AfxSig_end, nullptr                                                                                \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

// ---- building blocks of the entries (used only inside BEGIN_MESSAGE_MAP)

// The handler as a pointer to member of the exact documented type.
#define AFX_HANDLER(ret, params, memberFxn) static_cast<ret(ThisClass::*) params>(&ThisClass::memberFxn)
#define AFX_CALL(ret, params, memberFxn) (afxSelf_->*AFX_HANDLER(ret, params, memberFxn))

// An entry whose adapter runs the statements given; afxSelf_ and afxCall_ are in scope.
#define AFX_ENTRY(nMessage, nCode, nID, nLastID, ...)                                                                  \
    {(UINT)(nMessage),                                                                                                 \
     (UINT)(nCode),                                                                                                    \
     (UINT)(nID),                                                                                                      \
     (UINT)(nLastID),                                                                                                  \
     AfxSig_entry,                                                                                                     \
     [](CCmdTarget* afxTarget_, AFX_MSGCALL& afxCall_) -> BOOL {                                                       \
         ThisClass* afxSelf_ = static_cast<ThisClass*>(afxTarget_);                                                    \
         (void)afxSelf_;                                                                                               \
         (void)afxCall_;                                                                                               \
         __VA_ARGS__                                                                                                   \
     }},

// A window-message entry; the statements set afxCall_.lResult when the message returns a value.
#define AFX_WM_ENTRY(nMessage, ...) AFX_ENTRY(nMessage, 0, 0, 0, __VA_ARGS__; return TRUE;)

// ---- generic messages

#define ON_MESSAGE(message, memberFxn)                                                                                 \
    AFX_WM_ENTRY(message,                                                                                              \
                 afxCall_.lResult = AFX_CALL(LRESULT, (WPARAM, LPARAM), memberFxn)(afxCall_.wParam, afxCall_.lParam))

#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                                             \
    {0xC000,                                                                                                           \
     0,                                                                                                                \
     0,                                                                                                                \
     0,                                                                                                                \
     (UINT_PTR)(const UINT*)(&nMessageVariable),                                                                       \
     [](CCmdTarget* afxTarget_, AFX_MSGCALL& afxCall_) -> BOOL {                                                       \
         ThisClass* afxSelf_ = static_cast<ThisClass*>(afxTarget_);                                                    \
         afxCall_.lResult = AFX_CALL(LRESULT, (WPARAM, LPARAM), memberFxn)(afxCall_.wParam, afxCall_.lParam);          \
         return TRUE;                                                                                                  \
     }},

// ---- commands

#define ON_COMMAND(id, memberFxn)                                                                                      \
    AFX_ENTRY(WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AFX_CALL(void, (), memberFxn)(); return TRUE;)

#define ON_COMMAND_EX(id, memberFxn)                                                                                   \
    AFX_ENTRY(WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), return AFX_CALL(BOOL, (UINT), memberFxn)(afxCall_.nID);)

#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                                        \
    AFX_ENTRY(WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AFX_CALL(void, (UINT), memberFxn)(afxCall_.nID);     \
              return TRUE;)

#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                                     \
    AFX_ENTRY(WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast),                                                      \
              return AFX_CALL(BOOL, (UINT), memberFxn)(afxCall_.nID);)

// The handler may call pCmdUI->ContinueRouting() to let the next target update the item too.
#define AFX_UPDATE_UI_BODY(memberFxn)                                                                                  \
    CCmdUI* afxCmdUI_ = static_cast<CCmdUI*>(afxCall_.pExtra);                                                         \
    afxCmdUI_->m_bContinueRouting = FALSE;                                                                             \
    AFX_CALL(void, (CCmdUI*), memberFxn)(afxCmdUI_);                                                                   \
    return !afxCmdUI_->m_bContinueRouting;

#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                            \
    AFX_ENTRY(WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), AFX_UPDATE_UI_BODY(memberFxn))

#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                              \
    AFX_ENTRY(WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), AFX_UPDATE_UI_BODY(memberFxn))

// ---- control notifications through WM_COMMAND

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                                         \
    AFX_ENTRY(WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AFX_CALL(void, (), memberFxn)(); return TRUE;)

#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                                           \
    AFX_ENTRY(WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(idLast),                                             \
              AFX_CALL(void, (UINT), memberFxn)(afxCall_.nID);                                                         \
              return TRUE;)

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)

#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_ERRSPACE(id, memberFxn) ON_CONTROL(EN_ERRSPACE, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)

#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_ERRSPACE(id, memberFxn) ON_CONTROL(CBN_ERRSPACE, id, memberFxn)

#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_ERRSPACE(id, memberFxn) ON_CONTROL(LBN_ERRSPACE, id, memberFxn)

#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
#define ON_STN_ENABLE(id, memberFxn) ON_CONTROL(STN_ENABLE, id, memberFxn)
#define ON_STN_DISABLE(id, memberFxn) ON_CONTROL(STN_DISABLE, id, memberFxn)

// ---- notifications through WM_NOTIFY

#define AFX_NOTIFY_ARGS                                                                                                \
    static_cast<AFX_NOTIFY*>(afxCall_.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(afxCall_.pExtra)->pResult

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                          \
    AFX_ENTRY(WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id),                                             \
              AFX_CALL(void, (NMHDR*, LRESULT*), memberFxn)(AFX_NOTIFY_ARGS);                                          \
              return TRUE;)

#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                                            \
    AFX_ENTRY(WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast),                                         \
              AFX_CALL(void, (UINT, NMHDR*, LRESULT*), memberFxn)(afxCall_.nID, AFX_NOTIFY_ARGS);                      \
              return TRUE;)

#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                                       \
    AFX_ENTRY(WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id),                                             \
              return AFX_CALL(BOOL, (UINT, NMHDR*, LRESULT*), memberFxn)(afxCall_.nID, AFX_NOTIFY_ARGS);)

#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                                         \
    AFX_ENTRY(WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast),                                         \
              return AFX_CALL(BOOL, (UINT, NMHDR*, LRESULT*), memberFxn)(afxCall_.nID, AFX_NOTIFY_ARGS);)

// ---- reflected notifications, handled by the control that sent them

#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                     \
    AFX_ENTRY(WM_COMMAND + WM_REFLECT_BASE, (WORD)(wNotifyCode), 0, 0, AFX_CALL(void, (), memberFxn)(); return TRUE;)

#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                                  \
    AFX_ENTRY(WM_COMMAND + WM_REFLECT_BASE, (WORD)(wNotifyCode), 0, 0, return AFX_CALL(BOOL, (), memberFxn)();)

#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                                      \
    AFX_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(wNotifyCode), 0, 0,                                             \
              AFX_CALL(void, (NMHDR*, LRESULT*), memberFxn)(AFX_NOTIFY_ARGS);                                          \
              return TRUE;)

#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                                                   \
    AFX_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(wNotifyCode), 0, 0,                                             \
              return AFX_CALL(BOOL, (NMHDR*, LRESULT*), memberFxn)(AFX_NOTIFY_ARGS);)
