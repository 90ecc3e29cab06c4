// The Shift_JIS pair arithmetic shared by the recogniser and the table generator.
#pragma once

namespace Kanji {

// Row and cell values of a Shift_JIS pair: 0x21-0x7E for the JIS X 0208 area; leads from 0xF0
// give row values from 0x7F on.
inline void ShiftJisToJis(int lead, int trail, int& row, int& cell)
{
    row = lead < 0xA0 ? lead * 2 - 0xE1 : lead * 2 - 0x161;
    if (trail > 0x9E)
        ++row;
    if (trail < 0x7F)
        cell = trail - 0x1F;
    else if (trail <= 0x9E)
        cell = trail - 0x20;
    else
        cell = trail - 0x7E;
}

} // namespace Kanji
