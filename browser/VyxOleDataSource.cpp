#include "browser/VyxOleDataSource.h"

#include "browser/CMainFrame.h"
#include "catalogue/VyxDropFormats.h"
#include "catalogue/CKWDoc.h"

#include <cstring>

BOOL VyxOleDataSource::OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium)
{
    if (!m_pRenderWnd || !m_pRenderWnd->GetSafeHwnd())
        return COleDataSource::OnRenderData(lpFormatEtc, lpStgMedium);
    if (!lpFormatEtc || !lpStgMedium || !(lpFormatEtc->tymed & TYMED_HGLOBAL))
        return FALSE;
    // The render window always makes a new block; a receiver that brings its own gets a copy.
    STGMEDIUM made = {};
    const bool inPlace = lpStgMedium->tymed != TYMED_NULL;
    m_lpFormatEtc = lpFormatEtc;
    m_lpStgMedium = inPlace ? &made : lpStgMedium;
    BOOL rendered = m_pRenderWnd->SendMessage(m_nRenderMessage, reinterpret_cast<WPARAM>(this), m_lParam) != 0;
    m_lpFormatEtc = nullptr;
    m_lpStgMedium = nullptr;
    if (!rendered || !inPlace)
        return rendered;
    BOOL copied = FALSE;
    if (lpStgMedium->tymed == TYMED_HGLOBAL && made.hGlobal &&
        ::GlobalSize(lpStgMedium->hGlobal) >= ::GlobalSize(made.hGlobal)) {
        std::memcpy(::GlobalLock(lpStgMedium->hGlobal), ::GlobalLock(made.hGlobal), ::GlobalSize(made.hGlobal));
        ::GlobalUnlock(made.hGlobal);
        ::GlobalUnlock(lpStgMedium->hGlobal);
        copied = TRUE;
    }
    ::ReleaseStgMedium(&made);
    return copied;
}

DROPEFFECT VyxOleDataSource::StartViewDrag(CKWDoc* doc, CPoint start, COleDropSource* dropSource)
{
    // Nothing selected, nothing to drag.
    if (!doc || doc->GetSelectedCount(TRUE) == 0)
        return DROPEFFECT_NONE;
    // On the heap: a target may keep the data object after the drag has ended.
    auto* source = new VyxOleDataSource;
    if (HGLOBAL folder = VyxDropFormats::MakeFolderBlock(doc->GetFolderPath()))
        source->CacheGlobalData(VyxDropFormats::DropFolderFormat(), folder);
    source->m_pRenderWnd = AfxGetMainWnd();
    source->m_ptDrag = start;
    source->DelayRenderData(CF_HDROP);
    source->DelayRenderData(VyxDropFormats::NoteFormat());
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
    if (frame) {
        // No target of the last drag can still be reading the members it wrote out.
        frame->RemoveDragTempFolders();
        frame->SetWatchMode(WatchMode::RootOnly);
    }
    DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, dropSource);
    if (effect != DROPEFFECT_NONE)
        doc->RemoveMissingSelectedItems();
    if (frame && frame->GetSafeHwnd())
        frame->SetWatchMode(WatchMode::Watching);
    source->ExternalRelease();
    return effect;
}
