// The visual-styles library, bound at run time for the whole program: one wrapper per entry point,
// each answering its documented fallback when the library or the entry is missing.
#pragma once

#include "framework/Framework.h"

#include <uxtheme.h>

// ret, name, parameters, arguments, result without the library
#define VYX_UXTHEME_ENTRIES(X)                                                                                         \
    X(HTHEME, OpenThemeData, (HWND hwnd, LPCWSTR pszClassList), (hwnd, pszClassList), nullptr)                         \
    X(HTHEME, GetWindowTheme, (HWND hwnd), (hwnd), nullptr)                                                            \
    X(HRESULT, CloseThemeData, (HTHEME hTheme), (hTheme), E_FAIL)                                                      \
    X(HRESULT, DrawThemeBackground,                                                                                    \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect),                   \
      (hTheme, hdc, iPartId, iStateId, pRect, pClipRect), E_FAIL)                                                      \
    X(HRESULT, DrawThemeEdge,                                                                                          \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect, UINT uEdge, UINT uFlags,              \
       RECT* pContentRect),                                                                                            \
      (hTheme, hdc, iPartId, iStateId, pDestRect, uEdge, uFlags, pContentRect), E_FAIL)                                \
    X(HRESULT, DrawThemeIcon,                                                                                          \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, HIMAGELIST himl, int iImageIndex),        \
      (hTheme, hdc, iPartId, iStateId, pRect, himl, iImageIndex), E_FAIL)                                              \
    X(HRESULT, DrawThemeParentBackground, (HWND hwnd, HDC hdc, RECT * prc), (hwnd, hdc, prc), E_FAIL)                  \
    X(HRESULT, DrawThemeText,                                                                                          \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,          \
       DWORD dwTextFlags2, const RECT* pRect),                                                                         \
      (hTheme, hdc, iPartId, iStateId, pszText, iCharCount, dwTextFlags, dwTextFlags2, pRect), E_FAIL)                 \
    X(HRESULT, EnableThemeDialogTexture, (HWND hwnd, DWORD dwFlags), (hwnd, dwFlags), E_FAIL)                          \
    X(HRESULT, EnableTheming, (BOOL fEnable), (fEnable), E_FAIL)                                                       \
    X(HRESULT, GetThemeBackgroundContentRect,                                                                          \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pBoundingRect, RECT* pContentRect),              \
      (hTheme, hdc, iPartId, iStateId, pBoundingRect, pContentRect), E_FAIL)                                           \
    X(HRESULT, GetThemeBackgroundExtent,                                                                               \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pContentRect, RECT* pExtentRect),                \
      (hTheme, hdc, iPartId, iStateId, pContentRect, pExtentRect), E_FAIL)                                             \
    X(HRESULT, GetThemeBackgroundRegion,                                                                               \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, HRGN* pRegion),                           \
      (hTheme, hdc, iPartId, iStateId, pRect, pRegion), E_FAIL)                                                        \
    X(HRESULT, GetThemeBool, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal),                     \
      (hTheme, iPartId, iStateId, iPropId, pfVal), E_FAIL)                                                             \
    X(HRESULT, GetThemeColor, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor),               \
      (hTheme, iPartId, iStateId, iPropId, pColor), E_FAIL)                                                            \
    X(HRESULT, GetCurrentThemeName,                                                                                    \
      (LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff, int cchMaxColorChars, LPWSTR pszSizeBuff,    \
       int cchMaxSizeChars),                                                                                           \
      (pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff, cchMaxSizeChars), E_FAIL)       \
    X(HRESULT, GetThemeDocumentationProperty,                                                                          \
      (LPCWSTR pszThemeName, LPCWSTR pszPropertyName, LPWSTR pszValueBuff, int cchMaxValChars),                        \
      (pszThemeName, pszPropertyName, pszValueBuff, cchMaxValChars), E_FAIL)                                           \
    X(HRESULT, GetThemeEnumValue, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal),                 \
      (hTheme, iPartId, iStateId, iPropId, piVal), E_FAIL)                                                             \
    X(HRESULT, GetThemeFilename,                                                                                       \
      (HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszThemeFileName, int cchMaxBuffChars),           \
      (hTheme, iPartId, iStateId, iPropId, pszThemeFileName, cchMaxBuffChars), E_FAIL)                                 \
    X(HRESULT, GetThemeFont, (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LOGFONTW* pFont),        \
      (hTheme, hdc, iPartId, iStateId, iPropId, pFont), E_FAIL)                                                        \
    X(HRESULT, GetThemeInt, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal),                       \
      (hTheme, iPartId, iStateId, iPropId, piVal), E_FAIL)                                                             \
    X(HRESULT, GetThemeIntList, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, INTLIST* pIntList),            \
      (hTheme, iPartId, iStateId, iPropId, pIntList), E_FAIL)                                                          \
    X(HRESULT, GetThemeMargins,                                                                                        \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, RECT* prc, MARGINS* pMargins),                  \
      (hTheme, hdc, iPartId, iStateId, iPropId, prc, pMargins), E_FAIL)                                                \
    X(HRESULT, GetThemeMetric, (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal),           \
      (hTheme, hdc, iPartId, iStateId, iPropId, piVal), E_FAIL)                                                        \
    X(HRESULT, GetThemePartSize,                                                                                       \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, RECT* prc, THEMESIZE eSize, SIZE* psz),                      \
      (hTheme, hdc, iPartId, iStateId, prc, eSize, psz), E_FAIL)                                                       \
    X(HRESULT, GetThemePosition, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint),               \
      (hTheme, iPartId, iStateId, iPropId, pPoint), E_FAIL)                                                            \
    X(HRESULT, GetThemePropertyOrigin,                                                                                 \
      (HTHEME hTheme, int iPartId, int iStateId, int iPropId, PROPERTYORIGIN* pOrigin),                                \
      (hTheme, iPartId, iStateId, iPropId, pOrigin), E_FAIL)                                                           \
    X(HRESULT, GetThemeRect, (HTHEME hTheme, int iPartId, int iStateId, int iPropId, RECT* pRect),                     \
      (hTheme, iPartId, iStateId, iPropId, pRect), E_FAIL)                                                             \
    X(HRESULT, GetThemeString,                                                                                         \
      (HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff, int cchMaxBuffChars),                    \
      (hTheme, iPartId, iStateId, iPropId, pszBuff, cchMaxBuffChars), E_FAIL)                                          \
    X(HRESULT, GetThemeSysFont, (HTHEME hTheme, int iFontId, LOGFONTW* plf), (hTheme, iFontId, plf), E_FAIL)           \
    X(HRESULT, GetThemeSysInt, (HTHEME hTheme, int iIntId, int* piValue), (hTheme, iIntId, piValue), E_FAIL)           \
    X(HRESULT, GetThemeSysString, (HTHEME hTheme, int iStringId, LPWSTR pszStringBuff, int cchMaxStringChars),         \
      (hTheme, iStringId, pszStringBuff, cchMaxStringChars), E_FAIL)                                                   \
    X(HRESULT, GetThemeTextExtent,                                                                                     \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,          \
       const RECT* pBoundingRect, RECT* pExtentRect),                                                                  \
      (hTheme, hdc, iPartId, iStateId, pszText, iCharCount, dwTextFlags, pBoundingRect, pExtentRect), E_FAIL)          \
    X(HRESULT, GetThemeTextMetrics, (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm),             \
      (hTheme, hdc, iPartId, iStateId, ptm), E_FAIL)                                                                   \
    X(HRESULT, HitTestThemeBackground,                                                                                 \
      (HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions, const RECT* pRect, HRGN hrgn, POINT ptTest, \
       WORD* pwHitTestCode),                                                                                           \
      (hTheme, hdc, iPartId, iStateId, dwOptions, pRect, hrgn, ptTest, pwHitTestCode), E_FAIL)                         \
    X(HRESULT, SetWindowTheme, (HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList),                               \
      (hwnd, pszSubAppName, pszSubIdList), E_FAIL)                                                                     \
    X(DWORD, GetThemeAppProperties, (), (), 0)                                                                         \
    X(BOOL, GetThemeSysBool, (HTHEME hTheme, int iBoolId), (hTheme, iBoolId), FALSE)                                   \
    X(HBRUSH, GetThemeSysColorBrush, (HTHEME hTheme, int iColorId), (hTheme, iColorId), nullptr)                       \
    X(int, GetThemeSysSize, (HTHEME hTheme, int iSizeId), (hTheme, iSizeId), 0)                                        \
    X(COLORREF, GetThemeSysColor, (HTHEME hTheme, int iColorId), (hTheme, iColorId), RGB(255, 255, 255))               \
    X(BOOL, IsThemeActive, (), (), FALSE)                                                                              \
    X(BOOL, IsAppThemed, (), (), FALSE)                                                                                \
    X(BOOL, IsThemeBackgroundPartiallyTransparent, (HTHEME hTheme, int iPartId, int iStateId),                         \
      (hTheme, iPartId, iStateId), FALSE)                                                                              \
    X(BOOL, IsThemeDialogTextureEnabled, (HWND hwnd), (hwnd), FALSE)                                                   \
    X(BOOL, IsThemePartDefined, (HTHEME hTheme, int iPartId, int iStateId), (hTheme, iPartId, iStateId), FALSE)

class UxThemeBinder
{
public:
#define VYX_UXTHEME_DECLARE(ret, name, params, args, fallback) static ret name params;
    VYX_UXTHEME_ENTRIES(VYX_UXTHEME_DECLARE)
#undef VYX_UXTHEME_DECLARE
    static void SetThemeAppProperties(DWORD dwFlags);

    // Loads the library on first use; TRUE when it is loaded.
    static BOOL IsLibraryAvailable();
    // Frees the library and forgets every entry, so the next call loads it again.
    static void Release();
    // The entry's address, or pfnFallback when the library or the entry is missing.
    static void* GetProcAddress(const char* pszName, void* pfnFallback);
    // Another library stands in for the visual-styles library (tests); takes effect after Release.
    static void SetLibraryName(LPCWSTR pszName);

private:
    static void* Resolve(int nEntry, const char* pszName);
};
