#include "image/codecs/GifFile.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibValidate.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kLzwTableSize = 4096;
constexpr int kStackLimit = 4095;
constexpr BYTE kExtensionIntroducer = 0x21;
constexpr BYTE kImageSeparator = 0x2C;
constexpr BYTE kGraphicControlLabel = 0xF9;
constexpr BYTE kCommentLabel = 0xFE;
constexpr DWORD kCommentLimit = 2048;
// The most pixels one byte of LZW data can give: a 12-bit code stands for at most 4096 of them.
constexpr ULONGLONG kLzwPixelsPerByte = 2731;

// Interlace passes: first row and row step.
constexpr int kPassStart[4] = {0, 4, 2, 1};
constexpr int kPassStep[4] = {8, 8, 4, 2};

bool IsGifSignature(const BYTE* data, DWORD size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

WORD ReadWord(const BYTE* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

// Codes of an LZW stream, least significant bit first, from length-prefixed data sub-blocks.
class LzwCodeReader
{
public:
    LzwCodeReader(const BYTE* data, DWORD size, DWORD pos) : m_data(data), m_size(size), m_pos(pos) {}

    // The next code, or -1 when a zero-length block or the end of the data comes first.
    int Read(int width)
    {
        while (m_bitCount < width) {
            if (m_blockLeft == 0) {
                if (m_pos >= m_size || m_data[m_pos] == 0)
                    return -1;
                m_blockLeft = m_data[m_pos++];
            }
            if (m_pos >= m_size)
                return -1;
            m_bits |= static_cast<DWORD>(m_data[m_pos++]) << m_bitCount;
            m_bitCount += 8;
            --m_blockLeft;
        }
        int code = static_cast<int>(m_bits & ((1u << width) - 1));
        m_bits >>= width;
        m_bitCount -= width;
        return code;
    }

private:
    const BYTE* m_data;
    DWORD m_size;
    DWORD m_pos;
    DWORD m_blockLeft = 0;
    DWORD m_bits = 0;
    int m_bitCount = 0;
};

} // namespace

GifFile::GifFile() = default;

GifFile::~GifFile()
{
    if (m_maskDib)
        GlobalFree(m_maskDib);
}

void GifFile::ResetState()
{
    m_workFrame = 0;
    m_gifData = nullptr;
    m_gifSize = 0;
    m_pos = 0;
    m_frameLeft = m_frameTop = m_frameWidth = m_frameHeight = 0;
    m_colorBits = 0;
    m_background = -1;
    m_tableRead = FALSE;
    std::memset(m_red, 0, sizeof(m_red));
    std::memset(m_green, 0, sizeof(m_green));
    std::memset(m_blue, 0, sizeof(m_blue));
    m_greyTable = FALSE;
    m_delay = 0;
    m_transparent = -1;
    m_disposal = 0;
    m_curX = m_curRow = 0;
    m_rowStep = 1;
    m_pass = 0;
    m_pixelOffset = m_maskOffset = 0;
    m_keptWidth = m_keptHeight = 0;
    m_dibBits = 1;
    m_bits = nullptr;
    m_rowBytes = 0;
    m_mask.clear();
    m_transparentColor = 0;
    if (m_maskDib)
        GlobalFree(m_maskDib);
    m_maskDib = nullptr;
    m_screenWidth = m_screenHeight = 0;
    m_dib = nullptr;
}

bool GifFile::ReadColorTable(int entries)
{
    DWORD bytes = static_cast<DWORD>(entries) * 3;
    if (m_gifSize - m_pos < bytes)
        return false;
    const BYTE* p = m_gifData + m_pos;
    for (int i = 0; i < entries; ++i, p += 3) {
        m_red[i] = p[0];
        m_green[i] = p[1];
        m_blue[i] = p[2];
    }
    m_pos += bytes;
    m_tableRead = TRUE;
    // Two channels would have to differ by more than a byte can hold to clear it.
    m_greyTable = TRUE;
    return true;
}

bool GifFile::SkipSubBlocks()
{
    for (;;) {
        if (m_pos >= m_gifSize)
            return false;
        BYTE length = m_gifData[m_pos++];
        if (length == 0)
            return true;
        if (m_gifSize - m_pos < length)
            return false;
        m_pos += length;
    }
}

int GifFile::ParseHeaders()
{
    if (!m_gifData || !IsGifSignature(m_gifData, m_gifSize))
        return 1;
    if (m_gifSize < 13)
        return 2;
    m_screenWidth = ReadWord(m_gifData + 6);
    m_screenHeight = ReadWord(m_gifData + 8);
    BYTE flags = m_gifData[10];
    m_colorBits = (flags & 7) + 1;
    m_pos = 13;
    if (flags & 0x80) {
        m_background = m_gifData[11];
        if (!ReadColorTable(1 << m_colorBits))
            return 2;
    }
    return 0;
}

int GifFile::SkipExtensionsAndImage()
{
    for (;;) {
        if (m_pos >= m_gifSize)
            return 2;
        BYTE introducer = m_gifData[m_pos];
        if (introducer == kImageSeparator)
            break;
        if (introducer != kExtensionIntroducer)
            return 3;
        if (m_gifSize - m_pos < 2)
            return 2;
        m_pos += 2;
        if (!SkipSubBlocks())
            return 2;
    }
    if (m_gifSize - m_pos < 10)
        return 2;
    BYTE flags = m_gifData[m_pos + 9];
    m_pos += 10;
    if (flags & 0x80) {
        DWORD bytes = 3u << ((flags & 7) + 1);
        if (m_gifSize - m_pos < bytes)
            return 2;
        m_pos += bytes;
    }
    if (m_pos >= m_gifSize)
        return 2;
    ++m_pos; // LZW code size
    return SkipSubBlocks() ? 0 : 2;
}

int GifFile::ReadWantedExtensions()
{
    for (;;) {
        if (m_pos >= m_gifSize)
            return 2;
        BYTE introducer = m_gifData[m_pos];
        if (introducer == kImageSeparator)
            return 0;
        if (introducer != kExtensionIntroducer)
            return 3;
        if (m_gifSize - m_pos < 2)
            return 2;
        BYTE label = m_gifData[m_pos + 1];
        m_pos += 2;
        if (label == kGraphicControlLabel && m_pos < m_gifSize && m_gifData[m_pos] >= 4 && m_gifSize - m_pos >= 5) {
            const BYTE* block = m_gifData + m_pos + 1;
            m_disposal = (block[0] >> 2) & 7;
            m_delay = ReadWord(block + 1);
            m_transparent = (block[0] & 1) ? block[3] : -1;
        }
        if (!SkipSubBlocks())
            return 2;
    }
}

void GifFile::StorePixel(int index)
{
    if (m_pass >= 4)
        return;
    // Only the part of the frame that is kept (inside the screen) is stored.
    if (m_curRow < m_keptHeight && m_curX < m_keptWidth) {
        m_pixelOffset = static_cast<DWORD>(m_keptHeight - 1 - m_curRow) * m_rowBytes;
        m_maskOffset =
            static_cast<DWORD>(m_curRow) * static_cast<DWORD>((m_keptWidth + 7) / 8) + static_cast<DWORD>(m_curX / 8);
        if (index >= 0 && index <= 255 && m_bits && m_maskOffset < m_mask.size()) {
            // Indices the depth cannot hold show as entry 0.
            SetPackedIndex(m_bits + m_pixelOffset, m_curX, m_dibBits, index < (1 << m_dibBits) ? index : 0);
            if (index == m_transparent)
                m_mask[m_maskOffset] &= static_cast<BYTE>(~(0x80 >> (m_curX & 7)));
        }
    }
    if (++m_curX < m_frameWidth)
        return;
    m_curX = 0;
    m_curRow += m_rowStep;
    // A pass whose first row lies below a short picture is passed over.
    while (m_curRow >= m_frameHeight && m_pass < 4) {
        if (++m_pass < 4) {
            m_curRow = kPassStart[m_pass];
            m_rowStep = kPassStep[m_pass];
        }
    }
}

// 0 at the end code, 2 when the data end first, 4 when a string would overflow the stack.
int GifFile::DecodeLzw()
{
    if (m_pos >= m_gifSize)
        return 2;
    int codeSize = m_gifData[m_pos++];
    if (codeSize > 11)
        return 1;
    const int clearCode = 1 << codeSize;
    const int endCode = clearCode + 1;
    int width = codeSize + 1;
    int nextFree = clearCode + 2;

    // Literals run up to 2047, so suffixes are kept whole; StorePixel drops those above 255.
    std::vector<WORD> prefix(kLzwTableSize, 0);
    std::vector<WORD> suffix(kLzwTableSize, 0);
    std::vector<WORD> stack(kLzwTableSize, 0);
    for (int i = 0; i < clearCode; ++i)
        suffix[i] = static_cast<WORD>(i);

    LzwCodeReader reader(m_gifData, m_gifSize, m_pos);
    int previous = -1; // no string yet: the stream starts as after a clear code
    int first = 0;
    for (;;) {
        int code = reader.Read(width);
        if (code < 0)
            return 2;
        if (code == clearCode) {
            width = codeSize + 1;
            nextFree = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode)
            return 0;
        if (previous < 0) {
            // After a clear only a literal can follow; anything else has no string to repeat.
            if (code >= clearCode)
                return 2;
            StorePixel(code);
            previous = first = code;
            continue;
        }
        int depth = 0;
        int current = code;
        if (code >= nextFree) {
            // The string not yet in the table: the previous one plus its own first character. A
            // code further on is read as that one, so table entries only ever point backwards.
            code = nextFree;
            stack[depth++] = static_cast<WORD>(first);
            current = previous;
        }
        // Entries always point to lower codes, so the walk ends; the guard bounds it anyway.
        while (current > endCode) {
            if (depth >= kStackLimit)
                return 4;
            stack[depth++] = suffix[current];
            current = prefix[current];
        }
        if (depth >= kStackLimit)
            return 4;
        first = current;
        StorePixel(current);
        while (depth > 0)
            StorePixel(stack[--depth]);
        // A full table takes no more entries; decoding goes on until a clear code comes.
        if (nextFree < kLzwTableSize) {
            prefix[nextFree] = static_cast<WORD>(previous);
            suffix[nextFree] = static_cast<WORD>(first);
            ++nextFree;
            if (nextFree > (1 << width) - 1 && width < 12)
                ++width;
        }
        previous = code;
    }
}

HGLOBAL GifFile::CreateFrameDib()
{
    HGLOBAL dib = CreateDib(m_keptWidth, m_keptHeight, static_cast<WORD>(m_dibBits));
    if (!dib)
        return nullptr;
    DibLock lock(dib);
    if (!lock) {
        GlobalFree(dib);
        return nullptr;
    }
    int entries = 1 << m_dibBits;
    int tableEntries = 1 << m_colorBits;
    auto* table = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < entries; ++i) {
        if (m_tableRead) {
            bool inTable = i < tableEntries;
            table[i].rgbRed = inTable ? static_cast<BYTE>(m_red[i]) : 0;
            table[i].rgbGreen = inTable ? static_cast<BYTE>(m_green[i]) : 0;
            table[i].rgbBlue = inTable ? static_cast<BYTE>(m_blue[i]) : 0;
        } else {
            BYTE grey = static_cast<BYTE>(i * (255 / (entries - 1)));
            table[i].rgbRed = table[i].rgbGreen = table[i].rgbBlue = grey;
        }
        table[i].rgbReserved = 0;
    }
    // Rows the data never reach stay index 0 (the block comes zeroed).
    return dib;
}

int GifFile::BuildMask()
{
    // A two-colour picture is keyed by its transparent colour instead of a mask.
    if (m_transparent < 0 || (m_dibBits == 1 && m_tableRead))
        return 0;
    HGLOBAL mask = CreateDib(m_keptWidth, m_keptHeight, 1);
    DibLock maskLock(mask);
    if (!maskLock) {
        if (mask)
            GlobalFree(mask);
        return 4;
    }
    auto* maskTable = reinterpret_cast<RGBQUAD*>(maskLock.get() + sizeof(BITMAPINFOHEADER));
    maskTable[0] = RGBQUAD{0, 0, 0, 0};
    maskTable[1] = RGBQUAD{255, 255, 255, 0};
    BYTE* maskBits = DibBits(maskLock.get());
    DWORD maskRow = DibRowSize(maskLock.get());
    size_t sourceRow = static_cast<size_t>((m_keptWidth + 7) / 8);
    for (int y = 0; y < m_keptHeight; ++y)
        std::memcpy(maskBits + static_cast<size_t>(m_keptHeight - 1 - y) * maskRow,
                    m_mask.data() + static_cast<size_t>(y) * sourceRow, sourceRow);
    m_maskDib = mask;
    return 0;
}

int GifFile::DecodeMemory(const BYTE* data, DWORD size)
{
    m_data = data;
    m_dataSize = size;
    return Decode();
}

int GifFile::Decode()
{
    ResetState();
    m_gifData = m_data;
    m_gifSize = m_data ? m_dataSize : 0;
    m_workFrame = m_frameIndex;
    int result = ParseHeaders();
    for (int i = 0; result == 0 && i < m_workFrame; ++i)
        result = SkipExtensionsAndImage();
    if (result == 0)
        result = ReadWantedExtensions();
    if (result != 0)
        return result;

    if (m_gifSize - m_pos < 10)
        return 2;
    const BYTE* descriptor = m_gifData + m_pos + 1;
    m_frameLeft = ReadWord(descriptor);
    m_frameTop = ReadWord(descriptor + 2);
    m_frameWidth = ReadWord(descriptor + 4);
    m_frameHeight = ReadWord(descriptor + 6);
    BYTE flags = descriptor[8];
    m_pos += 10;
    if (flags & 0x80) {
        // The local table replaces the table in force.
        m_colorBits = (flags & 7) + 1;
        if (!ReadColorTable(1 << m_colorBits))
            return 2;
    }
    bool interlaced = (flags & 0x40) != 0;

    // The frame is kept as far as it lies inside the logical screen (a screen of no width or
    // height is the frame's own), and nothing past the rows its data can reach is kept: a frame
    // whose data cannot fill it is refused before anything is allocated.
    m_keptWidth = m_screenWidth > 0 ? std::max(0, std::min(m_frameWidth, m_screenWidth - m_frameLeft)) : m_frameWidth;
    m_keptHeight =
        m_screenHeight > 0 ? std::max(0, std::min(m_frameHeight, m_screenHeight - m_frameTop)) : m_frameHeight;
    if (m_keptWidth == 0 || m_keptHeight == 0)
        return 1;
    const ULONGLONG reachablePixels = (m_gifSize - m_pos) * kLzwPixelsPerByte + 4096;
    const ULONGLONG reachableRows = (reachablePixels / m_frameWidth + 1) * (interlaced ? 8 : 1);
    if (static_cast<ULONGLONG>(m_keptHeight) > reachableRows) {
        LogUnfillablePicture(L"GIF frame", m_keptWidth, m_keptHeight, m_gifSize - m_pos);
        return 4;
    }
    m_dibBits = m_colorBits == 1 ? 1 : m_colorBits <= 4 ? 4 : 8;
    HGLOBAL dib = CreateFrameDib();
    if (!dib)
        return 4;
    try {
        m_mask.assign(static_cast<size_t>((m_keptWidth + 7) / 8) * m_keptHeight, 0xFF);
    } catch (const std::exception&) {
        GlobalFree(dib);
        return 4;
    }
    m_curX = 0;
    m_curRow = 0;
    m_rowStep = interlaced ? 8 : 1;
    m_pass = interlaced ? 0 : 3;

    int lzw;
    {
        DibLock lock(dib);
        m_bits = lock ? DibBits(lock.get()) : nullptr;
        m_rowBytes = lock ? DibRowSize(lock.get()) : 0;
        lzw = m_bits ? DecodeLzw() : 4;
        m_bits = nullptr;
    }
    int built = lzw == 0 || lzw == 2 ? BuildMask() : lzw;
    m_mask.clear();
    m_mask.shrink_to_fit();
    if (built != 0) {
        GlobalFree(dib);
        return built;
    }
    if (m_transparent >= 0)
        m_transparentColor = RGB(m_red[m_transparent], m_green[m_transparent], m_blue[m_transparent]);
    m_dib = dib;
    m_frameWidth = m_keptWidth;
    m_frameHeight = m_keptHeight;
    m_width = m_frameWidth;
    m_height = m_frameHeight;
    m_bitCount = static_cast<DWORD>(m_colorBits);
    return 0;
}

int GifFile::ReadInfo()
{
    m_held.Release();
    const BYTE* data = m_data;
    DWORD size = m_data ? m_dataSize : 0;
    if (!data || !IsGifSignature(data, size) || size < 13)
        return -6;
    BYTE flags = data[10];
    DWORD pos = 13;
    if (flags & 0x80)
        pos += 3u << ((flags & 7) + 1);
    if (size <= pos)
        return -6;
    m_width = ReadWord(data + 6);
    m_height = ReadWord(data + 8);
    m_bitCount = static_cast<DWORD>((flags & 7) + 1);

    BYTE comment[kCommentLimit];
    DWORD commentLength = 0;
    while (pos < size) {
        if (data[pos] == kExtensionIntroducer) {
            if (size - pos < 2)
                break;
            bool isComment = data[pos + 1] == kCommentLabel;
            pos += 2;
            while (pos < size && data[pos] != 0) {
                DWORD length = data[pos++];
                DWORD available = size - pos < length ? size - pos : length;
                if (isComment) {
                    DWORD room = kCommentLimit - commentLength;
                    DWORD take = available < room ? available : room;
                    std::memcpy(comment + commentLength, data + pos, take);
                    commentLength += take;
                }
                pos += available;
            }
            ++pos; // the terminating zero-length block
            continue;
        }
        if (data[pos] == kImageSeparator && size - pos >= 12) {
            m_width = ReadWord(data + pos + 5);
            m_height = ReadWord(data + pos + 7);
            if (data[pos + 9] & 0x80)
                m_bitCount = static_cast<DWORD>((data[pos + 9] & 7) + 1);
        }
        break;
    }
    if (commentLength > 0)
        m_held.Alloc(comment, commentLength);
    return 0;
}

int CountGifFrames(const BYTE* data, DWORD size)
{
    if (!data || !IsGifSignature(data, size) || size < 13)
        return 0;
    // Frames are counted as far as they can be skipped whole.
    DWORD pos = 13;
    if (data[10] & 0x80)
        pos += 3u << ((data[10] & 7) + 1);
    int count = 0;
    while (pos < size) {
        BYTE introducer = data[pos];
        if (introducer == kExtensionIntroducer) {
            if (size - pos < 2)
                break;
            pos += 2;
        } else if (introducer == kImageSeparator) {
            if (size - pos < 11)
                break;
            BYTE flags = data[pos + 9];
            pos += 10;
            if (flags & 0x80)
                pos += 3u << ((flags & 7) + 1);
            if (pos >= size)
                break;
            ++pos;
            ++count;
        } else {
            break;
        }
        // Sub-blocks up to the zero-length one.
        while (pos < size && data[pos] != 0)
            pos += 1u + data[pos];
        ++pos;
    }
    return count;
}
