// Interim temporary wrappers for the stand-ins of CDC.h, CGdiObject.h and CMenu.h.
#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CHandleMap.h"
#include "framework/CMenu.h"

namespace {

template <class T, class H> T* Temp(H h, AFX_HANDLE_MAP kind)
{
    return AfxHandleMap<T, H>(
               kind,
               [](H handle) -> T* {
                   T* object = new T;
                   if constexpr (std::is_same<T, CDC>::value)
                       object->m_hDC = object->m_hAttribDC = handle;
                   else if constexpr (std::is_same<T, CMenu>::value)
                       object->m_hMenu = handle;
                   else
                       object->m_hObject = handle;
                   return object;
               },
               [](T*) {})
        ->FromHandle(h);
}

} // namespace

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    return Temp<CDC>(hDC, afxDCMap);
}

CFont* PASCAL CFont::FromHandle(HFONT hFont)
{
    return Temp<CFont>(hFont, afxGdiObjectMap);
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    return Temp<CMenu>(hMenu, afxMenuMap);
}
