#include "framework/COleDataObject.h"

namespace {

// Every storage a format may come in: a question about a format asks about any of them.
const DWORD kAnyMedium =
    TYMED_HGLOBAL | TYMED_FILE | TYMED_ISTREAM | TYMED_ISTORAGE | TYMED_GDI | TYMED_MFPICT | TYMED_ENHMF;

FORMATETC FormatOrDefault(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed)
{
    if (lpFormatEtc) {
        FORMATETC format = *lpFormatEtc;
        format.cfFormat = cfFormat;
        return format;
    }
    FORMATETC format = {cfFormat, nullptr, DVASPECT_CONTENT, -1, tymed};
    return format;
}

} // namespace

COleDataObject::COleDataObject() : m_lpDataObject(nullptr), m_lpEnumerator(nullptr), m_bAutoRelease(TRUE) {}

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    if (m_lpEnumerator) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    LPDATAOBJECT dataObject = m_lpDataObject;
    m_lpDataObject = nullptr;
    return dataObject;
}

void COleDataObject::Release()
{
    LPDATAOBJECT dataObject = Detach();
    if (dataObject && m_bAutoRelease)
        dataObject->Release();
}

BOOL COleDataObject::AttachClipboard()
{
    LPDATAOBJECT dataObject = nullptr;
    // Another program (the system's own clipboard sync among them) may hold the clipboard open
    // for a moment right after a copy.
    HRESULT result = ::OleGetClipboard(&dataObject);
    for (int attempt = 0; result == CLIPBRD_E_CANT_OPEN && attempt < 50; ++attempt) {
        ::Sleep(20);
        result = ::OleGetClipboard(&dataObject);
    }
    if (FAILED(result) || !dataObject)
        return FALSE;
    Attach(dataObject, TRUE);
    return TRUE;
}

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef)
{
    if (m_lpDataObject && bAddRef)
        m_lpDataObject->AddRef();
    return m_lpDataObject;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (!m_lpDataObject)
        return FALSE;
    FORMATETC format = FormatOrDefault(cfFormat, lpFormatEtc, kAnyMedium);
    return m_lpDataObject->QueryGetData(&format) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    ZeroMemory(lpStgMedium, sizeof(*lpStgMedium));
    if (!m_lpDataObject)
        return FALSE;
    FORMATETC format = FormatOrDefault(cfFormat, lpFormatEtc, kAnyMedium);
    return SUCCEEDED(m_lpDataObject->GetData(&format, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (!m_lpDataObject)
        return nullptr;
    FORMATETC format = FormatOrDefault(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
    format.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium = {};
    if (FAILED(m_lpDataObject->GetData(&format, &medium)))
        return nullptr;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
        ::ReleaseStgMedium(&medium);
        return nullptr;
    }
    if (!medium.pUnkForRelease)
        return medium.hGlobal; // the caller's now
    // The source keeps its block: hand out a copy.
    SIZE_T size = ::GlobalSize(medium.hGlobal);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
    void* from = ::GlobalLock(medium.hGlobal);
    void* to = copy ? ::GlobalLock(copy) : nullptr;
    if (from && to)
        std::memcpy(to, from, size);
    if (to)
        ::GlobalUnlock(copy);
    if (from)
        ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    if (copy && (!from || !to)) {
        ::GlobalFree(copy);
        copy = nullptr;
    }
    return copy;
}

void COleDataObject::BeginEnumFormats()
{
    if (m_lpEnumerator) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    if (m_lpDataObject && FAILED(m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator)))
        m_lpEnumerator = nullptr;
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (!m_lpEnumerator)
        return FALSE;
    FORMATETC format = {};
    if (m_lpEnumerator->Next(1, &format, nullptr) != S_OK)
        return FALSE;
    // Only the format itself is the caller's; a device description would need freeing.
    if (format.ptd) {
        ::CoTaskMemFree(format.ptd);
        format.ptd = nullptr;
    }
    *lpFormatEtc = format;
    return TRUE;
}
