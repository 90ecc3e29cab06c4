#include "foundation/MacroText.h"

#include <cwchar>

MacroText::MacroText(const wchar_t* templateText)
{
    AppendTemplate(templateText ? templateText : L"");
}

void MacroText::AppendTemplate(const wchar_t* text, int length)
{
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    if (length == 0)
        return;
    // Template text written in two steps is one text: a word may straddle the steps.
    if (!m_pieces.empty() && m_pieces.back().kind == KindTemplate)
        m_pieces.back().text.Append(text, length);
    else
        m_pieces.push_back({CString(text, length), KindTemplate});
    m_length += static_cast<size_t>(length);
}

void MacroText::AppendValue(const CString& value, PieceKind kind)
{
    // Kept even when empty: the template on either side must not join into a new word.
    m_pieces.push_back({value, kind == KindTemplate ? KindText : kind});
    m_length += static_cast<size_t>(value.GetLength());
}

bool MacroText::TemplateContains(const wchar_t* text) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.kind == KindTemplate && piece.text.Find(text) >= 0)
            return true;
    }
    return false;
}

bool MacroText::Replace(const wchar_t* word, const CString& value, PieceKind kind, size_t limit)
{
    const int wordLength = static_cast<int>(wcslen(word));
    if (wordLength == 0)
        return false;
    const size_t valueLength = static_cast<size_t>(value.GetLength());
    std::vector<Piece> pieces;
    pieces.reserve(m_pieces.size());
    bool full = false;
    for (Piece& piece : m_pieces) {
        if (piece.kind != KindTemplate || full) {
            pieces.push_back(std::move(piece));
            continue;
        }
        int from = 0;
        for (int at = piece.text.Find(word); at >= 0; at = piece.text.Find(word, from)) {
            const size_t grown = m_length - static_cast<size_t>(wordLength) + valueLength;
            if (grown > limit) {
                full = true;
                break;
            }
            m_length = grown;
            if (at > from)
                pieces.push_back({piece.text.Mid(from, at - from), KindTemplate});
            pieces.push_back({value, kind == KindTemplate ? KindText : kind});
            from = at + wordLength;
        }
        if (from < piece.text.GetLength())
            pieces.push_back({from == 0 ? piece.text : piece.text.Mid(from), KindTemplate});
    }
    m_pieces.swap(pieces);
    return full;
}

CString MacroText::ToString() const
{
    CString text;
    text.Preallocate(static_cast<int>(m_length));
    for (const Piece& piece : m_pieces)
        text += piece.text;
    return text;
}
