// The general image library the codecs and savers call: decoding from memory with format
// detection, encoding to memory or a file by format code, JPEG quality and scale, per-format codec
// options. The picture is held as a packed DIB (40-byte header, bottom-up rows).
#pragma once

#include <windows.h>

#include <vector>

enum ENUM_CXIMAGE_FORMATS : DWORD {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_TIF = 6,
    CXIMAGE_FORMAT_JP2 = 11,
    CXIMAGE_MAX_FORMATS = 12
};

class CxImage
{
public:
    // JPEG codec-option bits honoured on encoding.
    static constexpr DWORD kJpegProgressive = 0x1;
    static constexpr DWORD kJpegGreyscale = 0x2;

    explicit CxImage(DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    virtual ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    // imageType 0 detects the format from the data.
    bool Decode(BYTE* buffer, DWORD size, DWORD imageType);
    bool Encode(BYTE*& buffer, long& size, DWORD imageType);
    bool Save(const wchar_t* fileName, DWORD imageType);
    void FreeMemory(void* memblock);

    // A new packed DIB of the picture, owned by the caller; null when there is none.
    HGLOBAL CopyToHandle() const;
    // Takes a copy of a packed DIB (any header kind; refused DIBs leave the image empty).
    bool CreateFromHANDLE(HANDLE dib);

    void SetJpegScale(BYTE scale) { m_jpegScale = scale; }
    BYTE GetJpegScale() const { return m_jpegScale; }
    void SetJpegQuality(BYTE quality) { m_jpegQuality = quality; }
    BYTE GetJpegQuality() const { return m_jpegQuality; }
    void SetFrame(long frame) { m_frame = frame; }
    long GetFrame() const { return m_frame; }
    // imageType 0 means the image's own type.
    void SetCodecOption(DWORD option, DWORD imageType = 0);
    DWORD GetCodecOption(DWORD imageType = 0) const;

    DWORD GetWidth() const { return m_width; }
    DWORD GetHeight() const { return m_height; }
    WORD GetBpp() const { return m_bpp; }
    long GetNumFrames() const { return m_numFrames; }
    DWORD GetType() const { return m_type; }
    bool IsValid() const { return m_dib != nullptr; }
    const char* GetLastError() const { return m_lastError; }

    bool DestroyFrames();
    bool Destroy();

    static DWORD DetectFormat(const BYTE* buffer, DWORD size);

protected:
    // Takes ownership of a decoded or given DIB after it passed the validation point.
    bool Attach(HGLOBAL dib, DWORD type);
    void SetError(const char* text);
    HGLOBAL Dib() const { return m_dib; }

private:
    friend class CxImageTIF;
    bool DecodeAs(const BYTE* buffer, DWORD size, DWORD type);

    HGLOBAL m_dib = nullptr;
    DWORD m_type;
    DWORD m_width = 0;
    DWORD m_height = 0;
    WORD m_bpp = 0;
    long m_numFrames = 0;
    long m_frame = 0;
    BYTE m_jpegScale = 0;
    BYTE m_jpegQuality = 90;
    DWORD m_codecOptions[CXIMAGE_MAX_FORMATS] = {};
    // Further frames of multi-frame pictures, filled by the decoders that have frames.
    std::vector<CxImage*> m_frames;
    const char* m_lastError = "";
};
