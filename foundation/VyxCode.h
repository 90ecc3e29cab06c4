// Multibyte text from one code page into another through UTF-16, the source code page given or
// guessed (GuessCodePage); and whole-text conversions between a code page and UTF-16 in a
// caller's buffer. Code page 0 is the system's ANSI code page; a negative source asks for a guess.
#pragma once

#include "foundation/VyxMemory.h"
#include "framework/Framework.h"

#include <string>

class VyxCode
{
public:
    VyxCode();
    virtual ~VyxCode();

    // data holds length bytes (terminator included when there is one); the conversion never
    // reads past them. The result is terminated and stays valid until the next call; the empty
    // text when the conversion fails (a guess of -1, a code page the platform rejects).
    const char* ConvertBuffer(const void* data, int length, int fromCodePage, int toCodePage);
    const char* Convert(const char* text, int fromCodePage, int toCodePage);
    const char* AnsiToUtf8(const char* text);
    const char* Utf8ToAnsi(const char* text);
    const wchar_t* ToUnicode(const char* text, int codePage);
    const char* FromUnicode(const wchar_t* text, int codePage);

    // Bytes (narrow) or characters (wide) of the last result, terminator included; the copied
    // byte count when no conversion was needed; 0 after a failure.
    int GetResultLength() const { return m_length; }

private:
    VyxCode(const VyxCode&) = delete;
    VyxCode& operator=(const VyxCode&) = delete;

    const char* Narrow() const;

    VyxMemoryT<unsigned char> m_buffer;
    int m_length = 0;
};

// text converted into out, which holds outCapacity wide characters. out null or equal to text
// converts in place: the buffer at text then holds outCapacity wide characters, and the text is
// read no further than that buffer. Returns the characters written with the terminator; 0 when
// the conversion fails or does not fit (a separate out then holds the empty text, an in-place
// buffer is left as it was).
int MultiByteToUnicode(const char* text, wchar_t* out, int outCapacity, int codePage = 0);
// The mirror image; outCapacity counts bytes.
int UnicodeToMultiByte(const wchar_t* text, char* out, int outCapacity, int codePage = 0);
// Whether every character of the text (length characters, -1: up to its terminator) has its own
// character in the code page and comes back unchanged; a character the conversion would replace
// by a look-alike or the default character does not fit.
bool FitsCodePage(const wchar_t* text, int length = -1, int codePage = 0);
// Bytes of a code page (no terminator needed) as UTF-16; the empty text when they do not convert.
CString WideFromBytes(const std::string& bytes, UINT codePage);
