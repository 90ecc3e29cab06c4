// A text being expanded from a template: the template's own pieces, in which macro words are
// searched, and the values put in their place, which are never searched again (a file name
// holding a macro word stays as it is). A value remembers whether it is plain text, a link
// address or markup already in the output's own form, so a writer can encode each as its output
// needs.
#pragma once

#include "framework/Framework.h"

#include <vector>

class MacroText
{
public:
    enum PieceKind {
        KindTemplate,
        KindText,
        KindLink,
        KindMarkup,
    };
    struct Piece
    {
        CString text;
        PieceKind kind;
    };

    MacroText() = default;
    explicit MacroText(const wchar_t* templateText);

    void AppendTemplate(const wchar_t* text, int length = -1);
    void AppendValue(const CString& value, PieceKind kind = KindText);

    // Whether the template's own pieces hold the text.
    bool TemplateContains(const wchar_t* text) const;
    // Every occurrence of word in the template's own pieces becomes value. An occurrence that
    // would take the whole text past limit characters stays, and so do the ones after it; the
    // result tells whether that happened.
    bool Replace(const wchar_t* word, const CString& value, PieceKind kind, size_t limit);

    const std::vector<Piece>& GetPieces() const { return m_pieces; }
    size_t GetLength() const { return m_length; }
    CString ToString() const;

private:
    std::vector<Piece> m_pieces;
    size_t m_length = 0;
};
