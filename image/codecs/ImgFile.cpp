#include "image/codecs/ImgFile.h"

ImgFile::~ImgFile()
{
    for (auto& block : m_heldBlocks)
        block.Release();
    m_image.DestroyFrames();
    m_image.Destroy();
}

void ImgFile::TakeFacts()
{
    m_width = static_cast<LONG>(m_image.GetWidth());
    m_height = static_cast<LONG>(m_image.GetHeight());
    m_bitCount = m_image.GetBpp();
    m_frameCount = m_image.GetNumFrames();
    m_format = m_image.GetType();
}

int ImgFile::Decode()
{
    m_dib = nullptr;
    // A reused object must not keep the scale of an earlier decode.
    int scale = m_jpegScale < 2 ? 0 : m_jpegScale >= 32 ? 32 : m_jpegScale;
    m_image.SetJpegScale(static_cast<BYTE>(scale));
    m_image.SetFrame(m_frame);
    if (!m_image.Decode(const_cast<BYTE*>(m_data), m_dataSize, m_format))
        return 2;
    TakeFacts();
    m_dib = m_image.CopyToHandle();
    return m_dib ? 0 : 2;
}

int ImgFile::ReadInfo()
{
    m_image.SetJpegScale(0);
    m_image.SetFrame(0);
    if (!m_image.Decode(const_cast<BYTE*>(m_data), m_dataSize, m_format))
        return m_format ? 3 : 2;
    TakeFacts();
    m_image.Destroy();
    return 0;
}

bool ImgFile::PrepareEncoding()
{
    if (m_format == CXIMAGE_FORMAT_JPG) {
        // The JPEG save helpers' flags are the encoder's options (flag 2 progressive, flag 1 grey).
        m_codecOption = (m_flag2 ? CxImage::kJpegProgressive : 0) | (m_flag1 ? CxImage::kJpegGreyscale : 0);
        m_image.SetJpegQuality(static_cast<BYTE>(m_quality));
    }
    m_image.SetCodecOption(m_codecOption, m_format);
    return m_image.CreateFromHANDLE(m_dib);
}

int ImgFile::SaveToFile()
{
    if (!PrepareEncoding())
        return 3;
    return m_image.Save(m_fileName, m_format) ? 0 : 3;
}

int ImgFile::SaveToMemory()
{
    if (!PrepareEncoding())
        return 3;
    BYTE* block = nullptr;
    long size = 0;
    if (!m_image.Encode(block, size, m_format))
        return 3;
    if (block) {
        // The buffer always ends up exactly as long as the encoding, however it was used before.
        try {
            m_buffer.Assign(block, static_cast<int>(size));
        } catch (...) {
            m_image.FreeMemory(block);
            throw;
        }
    }
    m_image.FreeMemory(block);
    return 0;
}
