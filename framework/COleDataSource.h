// The source side of OLE data transfer: formats given now (cached) or made when a receiver asks
// (delayed, through OnRenderData), offered by a drag (DoDragDrop) or on the clipboard.
// A source put on the clipboard belongs to the clipboard from then on: make it with new.
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/COleDataObject.h"

#include <vector>

class COleDropSource;

class COleDataSource : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDataSource)
public:
    COleDataSource();
    ~COleDataSource() override;

    // The source owns hGlobal from here on and gives each receiver a copy.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    // Offered now, made by OnRenderData when asked for.
    void DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    void Empty();

    // The effect the target chose, DROPEFFECT_NONE when the drag never began or was cancelled.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);
    void SetClipboard();
    // Renders everything this program has on the clipboard, so it stays after the source goes.
    static void PASCAL FlushClipboard();
    // The source on the clipboard when it is this program's; otherwise null.
    static COleDataSource* PASCAL GetClipboardOwner();

    LPDATAOBJECT GetIDataObject(BOOL bAddRef);
    DWORD ExternalAddRef();
    DWORD ExternalRelease();

    // A delayed format is wanted: fill lpStgMedium (TYMED_NULL: allocate it; otherwise the
    // receiver's storage is filled in place). The default hands global memory to
    // OnRenderGlobalData.
    virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
    // *phGlobal null: allocate; otherwise fill the given block. The default renders nothing.
    virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);

protected:
    // The last reference is gone: a source on the heap deletes itself.
    virtual void OnFinalRelease();

private:
    struct Entry
    {
        FORMATETC format;
        STGMEDIUM medium; // TYMED_NULL for a delayed format
        bool delayed;
    };
    Entry* FindEntry(const FORMATETC* request);
    void AddEntry(const FORMATETC& format, const STGMEDIUM* medium);
    HRESULT GetEntryData(const FORMATETC* request, STGMEDIUM* medium, bool here);

    class XDataObject : public IDataObject
    {
    public:
        explicit XDataObject(COleDataSource* owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
        HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
        HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
        HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
        HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
        HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
        HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                          DWORD* pdwConnection) override;
        HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
        HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

    private:
        COleDataSource* m_owner;
    };

    std::vector<Entry> m_entries;
    LONG m_dwRef;
    XDataObject m_xDataObject;
    static COleDataSource* s_pClipboardSource;
};
