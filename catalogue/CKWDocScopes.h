// Small helpers shared by the document's sources: update-hint arguments and the scope
// that puts the document's updating flag back on every way out.
#pragma once

#include "catalogue/CKWDoc.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/VyxPath.h"

inline CObject* HintArgument(const void* data)
{
    return reinterpret_cast<CObject*>(const_cast<void*>(data));
}

inline CObject* HintValue(int value)
{
    return reinterpret_cast<CObject*>(static_cast<INT_PTR>(value));
}

// The document's updating flag, cleared again on every way out.
class UpdatingScope
{
public:
    explicit UpdatingScope(CKWDoc& document) : m_document(document) { m_document.SetUpdating(true); }
    ~UpdatingScope() { m_document.SetUpdating(false); }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    CKWDoc& m_document;
};
