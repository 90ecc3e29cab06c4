#include "framework/AfxTexts.h"

const wchar_t afxTextInternalFailure[] = L"内部エラーが発生しました。";
