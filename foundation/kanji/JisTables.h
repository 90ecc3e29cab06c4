// JIS code tables of the encoding recognisers. The data (JisTables.cpp) is generated once from the
// platform's code pages by tools/kanji/GenerateJisTables.cpp, which also states the rules for the
// cells the code pages leave out.
#pragma once

namespace KanjiTables {

struct UnicodeJisPair
{
    unsigned short codePoint;
    // 0x2121-0x7E7E a JIS X 0208 code, the same | 0x8000 a JIS X 0212 code, 0xA1-0xDF a half-width
    // katakana.
    unsigned short code;
};

// Bit (cell - 1) of row (row - 1): the cell has a character.
extern const unsigned char kJis0208Cells[94][12];
extern const unsigned char kJis0212Cells[94][12];

extern const UnicodeJisPair kUnicodeJisCommon[];
extern const UnicodeJisPair kUnicodeJisOnly932[];
extern const UnicodeJisPair kUnicodeJisOnlyDefault[];
extern const unsigned kUnicodeJisCommonCount;
extern const unsigned kUnicodeJisOnly932Count;
extern const unsigned kUnicodeJisOnlyDefaultCount;

const unsigned short kJis0212Mark = 0x8000;

// Row and cell 1 to 94; anything else has no character.
bool Jis0208HasCharacter(int row, int cell);
bool Jis0212HasCharacter(int row, int cell);

// The JIS code of a code point in the code page 932 mapping or the default one; 0 when none.
unsigned short UnicodeToJis(unsigned codePoint, bool cp932Mapping);

} // namespace KanjiTables
