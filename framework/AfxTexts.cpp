#include "framework/AfxTexts.h"
#include "framework/AfxRes.h"

const wchar_t afxTextInternalFailure[] = L"内部エラーが発生しました。";
const wchar_t afxTextCommandFailure[] = L"コマンドを実行できませんでした。";
const wchar_t afxTextIdleMessage[] = L"レディ";
const wchar_t afxTextUntitled[] = L"無題";
const wchar_t afxTextSaveChanges[] = L"%1 への変更を保存しますか?";
const wchar_t afxTextPreviewPageDesc[] = L"%u ページ\n%u - %u ページ";
const wchar_t afxTextOnePage[] = L"1 ページ";
const wchar_t afxTextTwoPages[] = L"2 ページ";

LPCWSTR AFXAPI AfxStandardText(UINT nID)
{
    switch (nID) {
    case AFX_IDS_IDLEMESSAGE:
        return afxTextIdleMessage;
    case ID_INDICATOR_EXT:
        return L"EXT";
    case ID_INDICATOR_CAPS:
        return L"CAP";
    case ID_INDICATOR_NUM:
        return L"NUM";
    case ID_INDICATOR_SCRL:
        return L"SCRL";
    case ID_INDICATOR_OVR:
        return L"OVR";
    case ID_INDICATOR_REC:
        return L"REC";
    case ID_INDICATOR_KANA:
        return L"カナ";
    default:
        return nullptr;
    }
}
