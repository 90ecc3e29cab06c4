// Interim copy of the handle-map interface part 1 provides (replaced by its version on merge).
#pragma once

#include "framework/ThreadState.h"

#include <unordered_map>

class CHandleMapBase
{
public:
    virtual ~CHandleMapBase() = default;
    virtual void DeleteTemp() = 0;
};

template <class CObj, class H> class CHandleMap : public CHandleMapBase
{
public:
    using Factory = CObj* (*)(H);
    using Forget = void (*)(CObj*);

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
    void RemoveHandle(H handle) { m_permanent.erase(handle); }
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
