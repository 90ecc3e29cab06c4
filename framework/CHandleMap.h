// Per-thread maps from Windows handles to the C++ objects that wrap them. Objects the program
// made are permanent entries (added by Attach, removed by Detach); FromHandle makes a temporary
// wrapper for any other handle, deleted in idle time without releasing the handle.
#pragma once

#include "framework/ThreadState.h"

#include <unordered_map>

class CHandleMapBase
{
public:
    virtual ~CHandleMapBase() = default;
    // Deletes the temporary wrappers (the handles stay).
    virtual void DeleteTemp() = 0;
    virtual size_t PermanentCount() const = 0;
    virtual size_t TemporaryCount() const = 0;
};

enum AFX_HANDLE_MAP { afxGdiObjectMap, afxDCMap, afxMenuMap, afxImageListMap, afxWndMap };

template <class CObj, class H> class CHandleMap : public CHandleMapBase
{
public:
    using Factory = CObj* (*)(H);   // a new wrapper holding the handle
    using Forget = void (*)(CObj*); // clears the wrapper's handle so deleting it releases nothing

    CHandleMap(Factory factory, Forget forget) : m_factory(factory), m_forget(forget) {}
    ~CHandleMap() override { DeleteTemp(); }

    CObj* FromHandle(H handle)
    {
        if (!handle)
            return nullptr;
        if (CObj* object = LookupPermanent(handle))
            return object;
        auto temp = m_temporary.find(handle);
        if (temp != m_temporary.end())
            return temp->second;
        CObj* object = m_factory(handle);
        m_temporary.emplace(handle, object);
        return object;
    }
    CObj* LookupPermanent(H handle) const
    {
        auto found = m_permanent.find(handle);
        return found == m_permanent.end() ? nullptr : found->second;
    }
    void SetPermanent(H handle, CObj* object) { m_permanent[handle] = object; }
    // Temporary wrappers of the handle stay until the next DeleteTemp.
    void RemoveHandle(H handle) { m_permanent.erase(handle); }

    // The Attach/Detach of a wrapper class: the handle goes into (out of) the object's field and
    // the object becomes (stops being) its permanent wrapper.
    BOOL Attach(CObj* object, H& field, H handle)
    {
        if (!handle)
            return FALSE;
        field = handle;
        SetPermanent(handle, object);
        return TRUE;
    }
    H Detach(H& field)
    {
        H handle = field;
        if (handle)
            RemoveHandle(handle);
        field = nullptr;
        return handle;
    }
    size_t PermanentCount() const override { return m_permanent.size(); }
    size_t TemporaryCount() const override { return m_temporary.size(); }
    void DeleteTemp() override
    {
        auto temporary = std::move(m_temporary);
        m_temporary.clear();
        for (auto& entry : temporary) {
            m_forget(entry.second);
            delete entry.second;
        }
    }

private:
    Factory m_factory;
    Forget m_forget;
    std::unordered_map<H, CObj*> m_permanent;
    std::unordered_map<H, CObj*> m_temporary;
};

// The calling thread's map of the given kind, made on first use.
template <class CObj, class H>
CHandleMap<CObj, H>* AfxHandleMap(AFX_HANDLE_MAP kind, typename CHandleMap<CObj, H>::Factory factory,
                                  typename CHandleMap<CObj, H>::Forget forget)
{
    CHandleMapBase*& slot = AfxGetThreadState()->m_pHandleMaps[kind];
    if (!slot)
        slot = new CHandleMap<CObj, H>(factory, forget);
    return static_cast<CHandleMap<CObj, H>*>(slot);
}

// Deletes the temporary wrappers of every map of the calling thread.
void AFXAPI AfxDeleteTempMaps();
// The entries of all the calling thread's maps: objects the program attached (windows, GDI
// objects, DCs, menus, image lists) and temporary wrappers.
void AFXAPI AfxGetHandleMapCounts(size_t* pPermanent, size_t* pTemporary);
