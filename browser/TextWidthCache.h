// Widths of texts in the font of one device context, added up from the widths of their characters,
// each asked of the device once: what GetTextExtentPoint32 gives, without a call to the system for
// every text (under Wine each call also leaves blocks behind in the heap).
#pragma once

#include "framework/Framework.h"

#include <array>
#include <memory>
#include <vector>

class TextWidthCache
{
public:
    // Measures in the font selected in the device context, which must outlive the cache's use;
    // null measures nothing (every width 0).
    void SetDC(CDC* dc);
    int Width(const CString& text);

private:
    using Page = std::array<int, 256>;
    static constexpr int kUnknown = -1;
    static constexpr int kUnset = -2;

    // The character's advance width; kUnknown when the device cannot tell it alone.
    int CharWidth(wchar_t ch);

    CDC* m_dc = nullptr;
    int m_overhang = 0;
    std::vector<std::unique_ptr<Page>> m_pages;
};
