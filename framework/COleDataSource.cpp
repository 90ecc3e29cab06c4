#include "framework/COleDataSource.h"
#include "framework/CException.h"
#include "framework/COleDropSource.h"
#include "framework/CWnd.h"

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)

COleDataSource* COleDataSource::s_pClipboardSource = nullptr;

namespace {

void LogSwallowed(const wchar_t* where)
{
    wchar_t text[128];
    wsprintfW(text, L"framework: a C++ exception left IDataObject::%s\n", where);
    OutputDebugStringW(text);
}

// A copy of a global block; null when memory runs out.
HGLOBAL CopyGlobal(HGLOBAL source)
{
    SIZE_T size = ::GlobalSize(source);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
    if (!copy)
        return nullptr;
    void* from = ::GlobalLock(source);
    void* to = ::GlobalLock(copy);
    if (from && to)
        std::memcpy(to, from, size);
    if (to)
        ::GlobalUnlock(copy);
    if (from)
        ::GlobalUnlock(source);
    if (!from || !to) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

// The formats of a source, handed out one by one; it deletes itself with its last reference.
class FormatEnumerator final : public IEnumFORMATETC
{
public:
    explicit FormatEnumerator(std::vector<FORMATETC> formats, size_t next = 0)
        : m_formats(std::move(formats)), m_next(next)
    {
    }
    virtual ~FormatEnumerator() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
            *ppv = static_cast<IEnumFORMATETC*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG ref = ::InterlockedDecrement(&m_ref);
        if (ref == 0)
            delete this;
        return static_cast<ULONG>(ref);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt || (celt > 1 && !pceltFetched))
            return E_INVALIDARG;
        ULONG fetched = 0;
        while (fetched < celt && m_next < m_formats.size())
            rgelt[fetched++] = m_formats[m_next++];
        if (pceltFetched)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override
    {
        size_t left = m_formats.size() - m_next;
        m_next += std::min<size_t>(celt, left);
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppenum) override
    {
        if (!ppenum)
            return E_POINTER;
        *ppenum = new (std::nothrow) FormatEnumerator(m_formats, m_next);
        return *ppenum ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<FORMATETC> m_formats;
    size_t m_next;
    LONG m_ref = 1;
};

} // namespace

COleDataSource::COleDataSource() : m_dwRef(1), m_xDataObject(this) {}

COleDataSource::~COleDataSource()
{
    if (s_pClipboardSource == this)
        s_pClipboardSource = nullptr;
    Empty();
}

// ---------------------------------------------------------------- formats

void COleDataSource::AddEntry(const FORMATETC& format, const STGMEDIUM* medium)
{
    // A format given again replaces the earlier one.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->format.cfFormat == format.cfFormat && it->format.dwAspect == format.dwAspect &&
            it->format.lindex == format.lindex) {
            if (!it->delayed)
                ::ReleaseStgMedium(&it->medium);
            m_entries.erase(it);
            break;
        }
    }
    Entry entry = {};
    entry.format = format;
    entry.format.ptd = nullptr;
    entry.delayed = medium == nullptr;
    if (medium)
        entry.medium = *medium;
    else
        entry.medium.tymed = TYMED_NULL;
    m_entries.push_back(entry);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = hGlobal;
    FORMATETC format = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (lpFormatEtc) {
        format = *lpFormatEtc;
        format.cfFormat = cfFormat;
        format.tymed = TYMED_HGLOBAL;
    }
    CacheData(cfFormat, &medium, &format);
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    FORMATETC format = {cfFormat, nullptr, DVASPECT_CONTENT, -1, lpStgMedium->tymed};
    if (lpFormatEtc) {
        format = *lpFormatEtc;
        format.cfFormat = cfFormat;
    }
    format.tymed = lpStgMedium->tymed;
    AddEntry(format, lpStgMedium);
}

void COleDataSource::DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC format = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (lpFormatEtc) {
        format = *lpFormatEtc;
        format.cfFormat = cfFormat;
    }
    AddEntry(format, nullptr);
}

void COleDataSource::Empty()
{
    for (Entry& entry : m_entries) {
        if (!entry.delayed)
            ::ReleaseStgMedium(&entry.medium);
    }
    m_entries.clear();
}

COleDataSource::Entry* COleDataSource::FindEntry(const FORMATETC* request)
{
    for (Entry& entry : m_entries) {
        if (entry.format.cfFormat == request->cfFormat && (entry.format.dwAspect & request->dwAspect) &&
            (request->lindex == -1 || entry.format.lindex == request->lindex) && (entry.format.tymed & request->tymed))
            return &entry;
    }
    return nullptr;
}

HRESULT COleDataSource::GetEntryData(const FORMATETC* request, STGMEDIUM* medium, bool here)
{
    Entry* entry = FindEntry(request);
    if (!entry)
        return DV_E_FORMATETC;
    if (entry->delayed) {
        FORMATETC format = entry->format;
        if (here) {
            format.tymed = medium->tymed;
        } else {
            format.tymed = entry->format.tymed & request->tymed;
            // One medium, global memory first.
            if (format.tymed & TYMED_HGLOBAL)
                format.tymed = TYMED_HGLOBAL;
            ZeroMemory(medium, sizeof(*medium));
            medium->tymed = TYMED_NULL;
        }
        return OnRenderData(&format, medium) ? S_OK : DV_E_FORMATETC;
    }
    const STGMEDIUM& cached = entry->medium;
    if (cached.tymed == TYMED_HGLOBAL) {
        if (here) {
            if (medium->tymed != TYMED_HGLOBAL || !medium->hGlobal)
                return DV_E_TYMED;
            SIZE_T size = ::GlobalSize(cached.hGlobal);
            if (::GlobalSize(medium->hGlobal) < size)
                return STG_E_MEDIUMFULL;
            void* from = ::GlobalLock(cached.hGlobal);
            void* to = ::GlobalLock(medium->hGlobal);
            if (from && to)
                std::memcpy(to, from, size);
            if (to)
                ::GlobalUnlock(medium->hGlobal);
            if (from)
                ::GlobalUnlock(cached.hGlobal);
            return (from && to) ? S_OK : E_OUTOFMEMORY;
        }
        // Receivers free what they get: each has its own copy.
        HGLOBAL copy = CopyGlobal(cached.hGlobal);
        if (!copy)
            return E_OUTOFMEMORY;
        ZeroMemory(medium, sizeof(*medium));
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        return S_OK;
    }
    if (here)
        return DV_E_TYMED;
    // Other storage is shared: the receiver releases it through the source.
    *medium = cached;
    medium->pUnkForRelease = &m_xDataObject;
    m_xDataObject.AddRef();
    return S_OK;
}

BOOL COleDataSource::OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium)
{
    if (!(lpFormatEtc->tymed & TYMED_HGLOBAL))
        return FALSE;
    if (lpStgMedium->tymed == TYMED_HGLOBAL && lpStgMedium->hGlobal) {
        HGLOBAL given = lpStgMedium->hGlobal;
        return OnRenderGlobalData(lpFormatEtc, &given) && given == lpStgMedium->hGlobal;
    }
    HGLOBAL hGlobal = nullptr;
    if (!OnRenderGlobalData(lpFormatEtc, &hGlobal) || !hGlobal)
        return FALSE;
    lpStgMedium->tymed = TYMED_HGLOBAL;
    lpStgMedium->hGlobal = hGlobal;
    lpStgMedium->pUnkForRelease = nullptr;
    return TRUE;
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC, HGLOBAL*)
{
    return FALSE;
}

// ---------------------------------------------------------------- references

LPDATAOBJECT COleDataSource::GetIDataObject(BOOL bAddRef)
{
    if (bAddRef)
        m_xDataObject.AddRef();
    return &m_xDataObject;
}

DWORD COleDataSource::ExternalAddRef()
{
    return static_cast<DWORD>(::InterlockedIncrement(&m_dwRef));
}

DWORD COleDataSource::ExternalRelease()
{
    LONG ref = ::InterlockedDecrement(&m_dwRef);
    if (ref == 0)
        OnFinalRelease();
    return static_cast<DWORD>(ref);
}

void COleDataSource::OnFinalRelease()
{
    delete this;
}

// ---------------------------------------------------------------- transfer

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    if (!pDropSource)
        pDropSource = &defaultSource;
    pDropSource->ChooseButtons();
    if (lpRectStartDrag) {
        pDropSource->m_rectStartDrag = *lpRectStartDrag;
    } else {
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        pDropSource->m_rectStartDrag.SetRect(cursor.x, cursor.y, cursor.x + 1, cursor.y + 1);
    }
    int slack = static_cast<int>(COleDropSource::nDragMinDist);
    pDropSource->m_rectStartDrag.InflateRect(slack, slack);

    HWND hWnd = ::GetCapture();
    if (!hWnd)
        hWnd = ::GetFocus();
    if (!pDropSource->OnBeginDrag(CWnd::FromHandle(hWnd)))
        return DROPEFFECT_NONE;

    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(&m_xDataObject, pDropSource->GetIDropSource(), dwEffects, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

void COleDataSource::SetClipboard()
{
    if (SUCCEEDED(::OleSetClipboard(&m_xDataObject)))
        s_pClipboardSource = this;
    // The clipboard holds its own reference now (or refused the source): the maker's goes.
    ExternalRelease();
}

void PASCAL COleDataSource::FlushClipboard()
{
    if (GetClipboardOwner())
        ::OleFlushClipboard();
}

COleDataSource* PASCAL COleDataSource::GetClipboardOwner()
{
    if (s_pClipboardSource && ::OleIsCurrentClipboard(&s_pClipboardSource->m_xDataObject) == S_OK)
        return s_pClipboardSource;
    return nullptr;
}

// ---------------------------------------------------------------- IDataObject

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE COleDataSource::XDataObject::AddRef()
{
    return m_owner->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE COleDataSource::XDataObject::Release()
{
    return m_owner->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium)
{
    if (!pformatetcIn || !pmedium)
        return E_INVALIDARG;
    try {
        return m_owner->GetEntryData(pformatetcIn, pmedium, false);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        LogSwallowed(L"GetData");
    }
    return E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium)
{
    if (!pformatetc || !pmedium)
        return E_INVALIDARG;
    try {
        return m_owner->GetEntryData(pformatetc, pmedium, true);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        LogSwallowed(L"GetDataHere");
    }
    return E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::QueryGetData(FORMATETC* pformatetc)
{
    if (!pformatetc)
        return E_INVALIDARG;
    return m_owner->FindEntry(pformatetc) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC* pformatectIn,
                                                                             FORMATETC* pformatetcOut)
{
    if (!pformatectIn || !pformatetcOut)
        return E_INVALIDARG;
    *pformatetcOut = *pformatectIn;
    pformatetcOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection,
                                                                     IEnumFORMATETC** ppenumFormatEtc)
{
    if (!ppenumFormatEtc)
        return E_POINTER;
    *ppenumFormatEtc = nullptr;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    try {
        std::vector<FORMATETC> formats;
        for (const Entry& entry : m_owner->m_entries)
            formats.push_back(entry.format);
        *ppenumFormatEtc = new FormatEnumerator(std::move(formats));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE COleDataSource::XDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
