// The scope that puts the document's updating flag back on every way out, shared by the
// document's sources.
#pragma once

#include "catalogue/CKWDoc.h"
#include "catalogue/FrameMessages.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/VyxPath.h"

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
