// The receiving side of OLE data transfer: wraps a data object (from a drop or the clipboard) and
// reads formats from it.
#pragma once

#include "framework/FrameworkBase.h"

// What a drop does with the data: DROPEFFECT_COPY, _MOVE, _LINK, _SCROLL bits.
typedef DWORD DROPEFFECT;

class COleDataObject
{
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // With bAutoRelease the object releases lpDataObject when it lets go of it.
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();
    // The clipboard's current data object; FALSE when it cannot be had.
    BOOL AttachClipboard();
    LPDATAOBJECT GetIDataObject(BOOL bAddRef);

    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // A global block the caller owns (a copy when the source keeps its own); null when the
    // format is not there.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // The medium as the source gives it; release it with ReleaseStgMedium.
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);

    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

protected:
    LPDATAOBJECT m_lpDataObject;
    LPENUMFORMATETC m_lpEnumerator;
    BOOL m_bAutoRelease;
};
