// GIF writing: one uncompressed-palette picture of 1, 4 or 8 bits as a GIF89a file with one
// LZW-coded image.
#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/cximage/CxImageCodecs.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxCode = 4096;
constexpr int kHashSize = 8191;

class ByteSink
{
public:
    void Put(BYTE b) { m_bytes.push_back(b); }
    void PutWord(WORD w)
    {
        Put(static_cast<BYTE>(w));
        Put(static_cast<BYTE>(w >> 8));
    }
    void Put(const void* data, size_t n)
    {
        const BYTE* p = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    std::vector<BYTE>& bytes() { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};

// Codes packed least significant bit first into data sub-blocks of up to 255 bytes.
class CodeWriter
{
public:
    explicit CodeWriter(ByteSink* sink) : m_sink(sink) {}
    void Write(int code, int width)
    {
        m_bits |= static_cast<DWORD>(code) << m_bitCount;
        m_bitCount += width;
        while (m_bitCount >= 8) {
            PutByte(static_cast<BYTE>(m_bits));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }
    void Finish()
    {
        if (m_bitCount > 0)
            PutByte(static_cast<BYTE>(m_bits));
        FlushBlock();
        m_sink->Put(0);
    }

private:
    void PutByte(BYTE b)
    {
        m_block[m_blockLength++] = b;
        if (m_blockLength == 255)
            FlushBlock();
    }
    void FlushBlock()
    {
        if (m_blockLength == 0)
            return;
        m_sink->Put(static_cast<BYTE>(m_blockLength));
        m_sink->Put(m_block, m_blockLength);
        m_blockLength = 0;
    }

    ByteSink* m_sink;
    DWORD m_bits = 0;
    int m_bitCount = 0;
    BYTE m_block[255] = {};
    int m_blockLength = 0;
};

// The string table as an open-addressed hash of (prefix code, next index) to code.
class LzwEncoder
{
public:
    LzwEncoder(int codeSize, CodeWriter* out)
        : m_codeSize(codeSize), m_clear(1 << codeSize), m_out(out), m_keys(kHashSize), m_codes(kHashSize)
    {
        Reset();
        m_out->Write(m_clear, m_width);
    }

    void Add(int index)
    {
        if (m_prefix < 0) {
            m_prefix = index;
            return;
        }
        int key = (m_prefix << 8) | index;
        int slot = Find(key);
        if (m_keys[slot] == key) {
            m_prefix = m_codes[slot];
            return;
        }
        m_out->Write(m_prefix, m_width);
        if (m_next < kMaxCode) {
            m_keys[slot] = key;
            m_codes[slot] = static_cast<WORD>(m_next++);
            // The reader adds each entry one code later, so it widens one code later too.
            if (m_next > (1 << m_width) && m_width < 12)
                ++m_width;
        }
        if (m_next >= kMaxCode) {
            m_out->Write(m_clear, m_width);
            Reset();
        }
        m_prefix = index;
    }

    void Finish()
    {
        if (m_prefix >= 0)
            m_out->Write(m_prefix, m_width);
        // The reader added its last entry on reading that code and may have widened already.
        if (m_prefix >= 0 && m_next >= (1 << m_width) && m_width < 12)
            ++m_width;
        m_out->Write(m_clear + 1, m_width);
        m_out->Finish();
    }

private:
    void Reset()
    {
        std::fill(m_keys.begin(), m_keys.end(), -1);
        m_next = m_clear + 2;
        m_width = m_codeSize + 1;
    }
    int Find(int key) const
    {
        int slot = static_cast<int>((static_cast<unsigned>(key) * 2654435761u) % kHashSize);
        while (m_keys[slot] != -1 && m_keys[slot] != key)
            slot = slot + 1 == kHashSize ? 0 : slot + 1;
        return slot;
    }

    int m_codeSize;
    int m_clear;
    CodeWriter* m_out;
    std::vector<int> m_keys;
    std::vector<WORD> m_codes;
    int m_next = 0;
    int m_width = 0;
    int m_prefix = -1;
};

} // namespace

bool CxEncodeGif(const void* dib, CxEncodeResult* out)
{
    const WORD bits = DibBitCount(dib);
    const LONG width = DibWidth(dib);
    const LONG height = DibHeight(dib);
    if ((bits != 1 && bits != 4 && bits != 8) || DibHeaderSize(dib) != sizeof(BITMAPINFOHEADER) ||
        DibCompression(dib) != BI_RGB || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        return false;
    const int entries = 1 << bits;
    const DWORD stored = DibColorCount(dib);
    const auto* table = reinterpret_cast<const RGBQUAD*>(static_cast<const BYTE*>(dib) + sizeof(BITMAPINFOHEADER));

    ByteSink sink;
    sink.Put("GIF89a", 6);
    sink.PutWord(static_cast<WORD>(width));
    sink.PutWord(static_cast<WORD>(height));
    sink.Put(static_cast<BYTE>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    sink.Put(0); // background index
    sink.Put(0); // aspect ratio
    for (int i = 0; i < entries; ++i) {
        RGBQUAD q = static_cast<DWORD>(i) < stored ? table[i] : RGBQUAD{0, 0, 0, 0};
        sink.Put(q.rgbRed);
        sink.Put(q.rgbGreen);
        sink.Put(q.rgbBlue);
    }
    sink.Put(0x2C);
    sink.PutWord(0);
    sink.PutWord(0);
    sink.PutWord(static_cast<WORD>(width));
    sink.PutWord(static_cast<WORD>(height));
    sink.Put(0);
    const int codeSize = bits < 2 ? 2 : bits;
    sink.Put(static_cast<BYTE>(codeSize));
    {
        CodeWriter writer(&sink);
        LzwEncoder encoder(codeSize, &writer);
        const BYTE* pixels = DibBits(dib);
        const DWORD rowBytes = DibRowSize(dib);
        for (LONG y = 0; y < height; ++y) {
            const BYTE* row = pixels + static_cast<size_t>(height - 1 - y) * rowBytes;
            for (LONG x = 0; x < width; ++x) {
                encoder.Add(GetPackedIndex(row, x, bits));
            }
        }
        encoder.Finish();
    }
    sink.Put(0x3B);

    std::vector<BYTE>& bytes = sink.bytes();
    out->data = static_cast<BYTE*>(std::malloc(bytes.size()));
    if (!out->data)
        return false;
    std::memcpy(out->data, bytes.data(), bytes.size());
    out->size = bytes.size();
    return true;
}
