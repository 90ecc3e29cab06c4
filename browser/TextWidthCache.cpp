#include "browser/TextWidthCache.h"

void TextWidthCache::SetDC(CDC* dc)
{
    m_dc = dc;
    m_pages.clear();
    m_overhang = 0;
    TEXTMETRICW metrics = {};
    if (dc && dc->GetSafeHdc() && ::GetTextMetricsW(dc->GetSafeHdc(), &metrics))
        m_overhang = metrics.tmOverhang;
}

int TextWidthCache::CharWidth(wchar_t ch)
{
    // Half of a surrogate pair has no width of its own.
    if (ch >= 0xD800 && ch <= 0xDFFF)
        return kUnknown;
    if (m_pages.empty())
        m_pages.resize(256);
    std::unique_ptr<Page>& page = m_pages[ch >> 8];
    if (!page) {
        page = std::make_unique<Page>();
        page->fill(kUnset);
    }
    int& width = (*page)[ch & 0xFF];
    if (width == kUnset) {
        // The character's extent alone; a text's holds a simulated font's overhang once, not once
        // per character.
        const wchar_t one[1] = {ch};
        SIZE size = {};
        width = ::GetTextExtentPoint32W(m_dc->GetSafeHdc(), one, 1, &size) ? size.cx - m_overhang : kUnknown;
    }
    return width;
}

int TextWidthCache::Width(const CString& text)
{
    if (!m_dc || !m_dc->GetSafeHdc())
        return 0;
    int total = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const int width = CharWidth(text[i]);
        if (width == kUnknown)
            return m_dc->GetTextExtent(text).cx;
        total += width;
    }
    return text.IsEmpty() ? 0 : total + m_overhang;
}
