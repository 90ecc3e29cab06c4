#include "framework/CDataExchange.h"
#include "framework/CException.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"

#include <cmath>
#include <cwctype>
#include <limits>

namespace {

// The framework's own prompts: Japanese constants, as the framework carries no resources of its own.
const wchar_t kParseInt[] = L"整数を入力してください。";
const wchar_t kParseUInt[] = L"0 以上の整数を入力してください。";
const wchar_t kParseByte[] = L"0 から 255 までの整数を入力してください。";
const wchar_t kParseReal[] = L"数値を入力してください。";
const wchar_t kParseIntRange[] = L"%1 から %2 までの整数を入力してください。";
const wchar_t kParseRealRange[] = L"%1 から %2 までの数値を入力してください。";
const wchar_t kParseStringSize[] = L"%1 文字以内で入力してください。";

CString WindowText(HWND hWnd)
{
    CString text;
    int length = ::GetWindowTextLengthW(hWnd);
    LPWSTR buffer = text.GetBuffer(length + 1);
    int copied = ::GetWindowTextW(hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied);
    return text;
}

// Setting the same text again would only flicker (and send a needless EN_CHANGE).
void SetWindowTextIfChanged(HWND hWnd, LPCWSTR text)
{
    if (WindowText(hWnd) != text)
        ::SetWindowTextW(hWnd, text);
}

[[noreturn]] void FailWith(CDataExchange* pDX, LPCWSTR prompt)
{
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

[[noreturn]] void FailRange(CDataExchange* pDX, LPCWSTR format, const CString& minText, const CString& maxText)
{
    LPCWSTR args[2] = {minText, maxText};
    CString prompt;
    AfxFormatStrings(prompt, format, args, 2);
    FailWith(pDX, prompt);
}

const wchar_t* SkipSpaces(const wchar_t* p)
{
    while (*p && std::iswspace(*p))
        ++p;
    return p;
}

// A whole number with optional spaces around it and an optional sign; its magnitude in
// 'magnitude'. False for anything else, or a magnitude beyond 64 bits.
bool ParseInteger(const wchar_t* text, bool& negative, ULONGLONG& magnitude)
{
    const wchar_t* p = SkipSpaces(text);
    negative = false;
    if (*p == L'-' || *p == L'+')
        negative = *p++ == L'-';
    if (*p < L'0' || *p > L'9')
        return false;
    magnitude = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        ULONGLONG digit = static_cast<ULONGLONG>(*p - L'0');
        if (magnitude > (std::numeric_limits<ULONGLONG>::max() - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    return *SkipSpaces(p) == 0;
}

template <class T> bool ParseAs(const wchar_t* text, T& value)
{
    bool negative = false;
    ULONGLONG magnitude = 0;
    if (!ParseInteger(text, negative, magnitude))
        return false;
    if constexpr (std::is_signed<T>::value) {
        const ULONGLONG maxPositive = static_cast<ULONGLONG>(std::numeric_limits<T>::max());
        if (negative) {
            if (magnitude > maxPositive + 1)
                return false;
            value = magnitude == maxPositive + 1 ? std::numeric_limits<T>::min()
                                                 : static_cast<T>(-static_cast<LONGLONG>(magnitude));
        } else {
            if (magnitude > maxPositive)
                return false;
            value = static_cast<T>(magnitude);
        }
    } else {
        if ((negative && magnitude != 0) || magnitude > static_cast<ULONGLONG>(std::numeric_limits<T>::max()))
            return false;
        value = static_cast<T>(magnitude);
    }
    return true;
}

template <class T> CString FormatInteger(T value)
{
    CString text;
    if constexpr (std::is_signed<T>::value)
        text.Format(L"%I64d", static_cast<LONGLONG>(value));
    else
        text.Format(L"%I64u", static_cast<ULONGLONG>(value));
    return text;
}

template <class T> void TextInteger(CDataExchange* pDX, int nIDC, T& value, LPCWSTR parseFailure)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        T parsed{};
        if (!ParseAs(WindowText(hWnd), parsed))
            FailWith(pDX, parseFailure);
        value = parsed;
    } else {
        SetWindowTextIfChanged(hWnd, FormatInteger(value));
    }
}

// Plain decimal notation only: [sign] digits [. digits] [e [sign] digits]. The C library would
// also take hexadecimal ("0x10"), "inf" and "nan", which a number field does not mean.
bool IsDecimalReal(const wchar_t* p)
{
    if (*p == L'+' || *p == L'-')
        ++p;
    int digits = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        ++digits;
    if (*p == L'.')
        for (++p; *p >= L'0' && *p <= L'9'; ++p)
            ++digits;
    if (digits == 0)
        return false;
    if (*p == L'e' || *p == L'E') {
        ++p;
        if (*p == L'+' || *p == L'-')
            ++p;
        if (!(*p >= L'0' && *p <= L'9'))
            return false;
        while (*p >= L'0' && *p <= L'9')
            ++p;
    }
    return *SkipSpaces(p) == 0;
}

template <class T> void TextReal(CDataExchange* pDX, int nIDC, T& value, LPCWSTR format)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = WindowText(hWnd);
        const wchar_t* start = SkipSpaces(text);
        wchar_t* end = nullptr;
        double parsed = IsDecimalReal(start) ? std::wcstod(start, &end) : 0.0;
        if (end == nullptr || end == start || *SkipSpaces(end) != 0 || !std::isfinite(parsed) ||
            std::fabs(parsed) > static_cast<double>(std::numeric_limits<T>::max()))
            FailWith(pDX, kParseReal);
        value = static_cast<T>(parsed);
    } else {
        CString text;
        text.Format(format, static_cast<double>(value));
        SetWindowTextIfChanged(hWnd, text);
    }
}

template <class T> void MinMaxInteger(CDataExchange* pDX, T value, T minVal, T maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailRange(pDX, kParseIntRange, FormatInteger(minVal), FormatInteger(maxVal));
}

template <class T> void MinMaxReal(CDataExchange* pDX, T value, T minVal, T maxVal, LPCWSTR format)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString minText;
    CString maxText;
    minText.Format(format, static_cast<double>(minVal));
    maxText.Format(format, static_cast<double>(maxVal));
    FailRange(pDX, kParseRealRange, minText, maxText);
}

bool IsComboBox(HWND hWnd)
{
    wchar_t name[16];
    return ::GetClassNameW(hWnd, name, 16) && lstrcmpiW(name, L"ComboBox") == 0;
}

} // namespace

// ---------------------------------------------------------------- CDataExchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_idLastControl(0), m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (!hWnd)
        AfxThrowNotSupportedException(); // a DDX_ line names a control the template lacks
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl != 0) {
        HWND hWnd = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), static_cast<int>(m_idLastControl));
        if (hWnd) {
            ::SetFocus(hWnd);
            if (m_bEditLastControl)
                ::SendMessageW(hWnd, EM_SETSEL, 0, -1);
        }
    }
    AfxThrowUserException();
}

void AFXAPI AfxFormatStrings(CString& rString, LPCWSTR lpszFormat, LPCWSTR const* rglpsz, int nString)
{
    rString.Empty();
    for (const wchar_t* p = lpszFormat; *p; ++p) {
        if (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') {
            int index = p[1] - L'1';
            if (index < nString && rglpsz[index])
                rString += rglpsz[index];
            ++p;
        } else {
            rString += *p;
        }
    }
}

// ---------------------------------------------------------------- DDX_

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWnd);
    else
        SetWindowTextIfChanged(hWnd, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    TextInteger(pDX, nIDC, value, kParseByte);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    TextInteger(pDX, nIDC, value, kParseInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    TextInteger(pDX, nIDC, value, kParseInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    TextInteger(pDX, nIDC, value, kParseUInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    TextInteger(pDX, nIDC, value, kParseInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    TextInteger(pDX, nIDC, value, kParseUInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, LONGLONG& value)
{
    TextInteger(pDX, nIDC, value, kParseInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, ULONGLONG& value)
{
    TextInteger(pDX, nIDC, value, kParseUInt);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    TextReal(pDX, nIDC, value, L"%.6g");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    TextReal(pDX, nIDC, value, L"%.15g");
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0; // not a check state: shown (and kept) as unchecked
        ::SendMessageW(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control with WS_GROUP; only radio buttons count.
    int index = 0;
    do {
        if (::SendMessageW(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageW(hWnd, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                    value = index;
            } else {
                ::SendMessageW(hWnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    } while (hWnd && !(::GetWindowLongW(hWnd, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(hWnd, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

namespace {

// A combo box's text: its edit's, or the selected item's for a drop-down list.
CString ComboText(HWND hWnd)
{
    if (::GetWindowTextLengthW(hWnd) > 0)
        return WindowText(hWnd);
    CString text;
    int selection = static_cast<int>(::SendMessageW(hWnd, CB_GETCURSEL, 0, 0));
    if (selection != CB_ERR) {
        LRESULT length = ::SendMessageW(hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0);
        if (length != CB_ERR) {
            LPWSTR buffer = text.GetBuffer(static_cast<int>(length) + 1);
            LRESULT copied =
                ::SendMessageW(hWnd, CB_GETLBTEXT, static_cast<WPARAM>(selection), reinterpret_cast<LPARAM>(buffer));
            text.ReleaseBuffer(copied == CB_ERR ? 0 : static_cast<int>(copied));
        }
    }
    return text;
}

CString ListSelectionText(HWND hWnd)
{
    CString text;
    int selection = static_cast<int>(::SendMessageW(hWnd, LB_GETCURSEL, 0, 0));
    if (selection != LB_ERR) {
        LRESULT length = ::SendMessageW(hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(selection), 0);
        if (length != LB_ERR) {
            LPWSTR buffer = text.GetBuffer(static_cast<int>(length) + 1);
            LRESULT copied =
                ::SendMessageW(hWnd, LB_GETTEXT, static_cast<WPARAM>(selection), reinterpret_cast<LPARAM>(buffer));
            text.ReleaseBuffer(copied == LB_ERR ? 0 : static_cast<int>(copied));
        }
    }
    return text;
}

} // namespace

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ComboText(hWnd);
    } else if (::SendMessageW(hWnd, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(value))) == CB_ERR) {
        // No item starts with the text: it goes into the edit (a drop-down list ignores it).
        SetWindowTextIfChanged(hWnd, value);
    }
}

void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ComboText(hWnd);
        return;
    }
    LRESULT index = ::SendMessageW(hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(value)));
    if (index == CB_ERR)
        SetWindowTextIfChanged(hWnd, value);
    else
        ::SendMessageW(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(hWnd, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ListSelectionText(hWnd);
    else if (value.IsEmpty())
        ::SendMessageW(hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    else
        ::SendMessageW(hWnd, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(value)));
}

void AFXAPI DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ListSelectionText(hWnd);
        return;
    }
    LRESULT index = ::SendMessageW(hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(value)));
    ::SendMessageW(hWnd, LB_SETCURSEL, static_cast<WPARAM>(index == LB_ERR ? -1 : index), 0);
}

void AFXAPI DDX_Scroll(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::GetScrollPos(hWnd, SB_CTL);
    else
        ::SetScrollPos(hWnd, SB_CTL, value, TRUE);
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWnd))
        AfxThrowNotSupportedException(); // the control already belongs to another object
}

// ---------------------------------------------------------------- DDV_

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString limit = FormatInteger(nChars);
            LPCWSTR args[1] = {limit};
            CString prompt;
            AfxFormatStrings(prompt, kParseStringSize, args, 1);
            FailWith(pDX, prompt);
        }
        return;
    }
    // Loading: the control itself refuses longer input from now on.
    HWND hWnd = ::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), static_cast<int>(pDX->m_idLastControl));
    if (hWnd)
        ::SendMessageW(hWnd, IsComboBox(hWnd) ? CB_LIMITTEXT : EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
}

void AFXAPI DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxLongLong(CDataExchange* pDX, LONGLONG value, LONGLONG minVal, LONGLONG maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxULongLong(CDataExchange* pDX, ULONGLONG value, ULONGLONG minVal, ULONGLONG maxVal)
{
    MinMaxInteger(pDX, value, minVal, maxVal);
}

void AFXAPI DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal)
{
    MinMaxReal(pDX, value, minVal, maxVal, L"%.6g");
}

void AFXAPI DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    MinMaxReal(pDX, value, minVal, maxVal, L"%.15g");
}
