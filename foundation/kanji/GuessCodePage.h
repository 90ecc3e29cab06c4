// Guessing the Japanese text encoding of a run of bytes whose encoding the caller does not know.
#pragma once

// The Windows code page to read the bytes in: 932 Shift_JIS, 20932 or 51932 EUC-JP, 50220 or
// 50221 ISO-2022-JP, 65001 UTF-8, 1200 or 12000 for a UTF-16 or UTF-32 byte-order mark, 0 for
// plain ASCII, -1 when no single encoding fits. Callers usually pass the terminating NUL too.
// Never ends the process; -1 also when memory runs out.
int GuessCodePage(const void* data, int length);

// Index 0-35 of an encoding name or alias (a leading "X-" dropped, letters compared without
// case), -1 when unknown.
int FindEncodingIndex(const char* name);

// The code page of an encoding index; -1 for any index outside 0-35.
int EncodingIndexToCodePage(int index);
