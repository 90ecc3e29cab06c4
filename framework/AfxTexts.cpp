#include "framework/AfxTexts.h"

const wchar_t afxTextInternalFailure[] = L"内部エラーが発生しました。";
const wchar_t afxTextCommandFailure[] = L"コマンドを実行できませんでした。";
