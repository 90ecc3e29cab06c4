// Pictures as a camera writes them, made by the benchmarks: a scene of soft light, shapes with
// sharp edges and sensor grain, different for every seed, stored as a JPEG with an Exif block
// (camera, exposure, dates, pixel size and a 160 x 120 preview) in place of the JFIF header.
// Sizes come out as a camera's do: about 0.6 MB for 2 megapixels.
#pragma once

#include "PhotoJpeg.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace camera_jpeg_detail {

// Value noise: a lattice of random levels, smoothly interpolated.
class Lattice
{
public:
    Lattice(unsigned seed, int cells) : m_cells(cells), m_levels(static_cast<size_t>(cells + 1) * (cells + 1))
    {
        for (float& level : m_levels) {
            seed = seed * 1664525u + 1013904223u;
            level = static_cast<float>(seed >> 8) / 16777216.0f;
        }
    }
    // At (u, v) in 0..1.
    float At(float u, float v) const
    {
        const float x = u * m_cells, y = v * m_cells;
        const int x0 = std::min(static_cast<int>(x), m_cells - 1), y0 = std::min(static_cast<int>(y), m_cells - 1);
        float fx = x - x0, fy = y - y0;
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        const float* row0 = &m_levels[static_cast<size_t>(y0) * (m_cells + 1)];
        const float* row1 = row0 + m_cells + 1;
        const float top = row0[x0] + (row0[x0 + 1] - row0[x0]) * fx;
        const float bottom = row1[x0] + (row1[x0 + 1] - row1[x0]) * fx;
        return top + (bottom - top) * fy;
    }

private:
    int m_cells;
    std::vector<float> m_levels;
};

struct Shape
{
    float cx, cy, rx, ry;
    int blue, green, red;
};

class Scene
{
public:
    explicit Scene(unsigned seed) : m_seed(seed * 2654435761u + 17u)
    {
        for (int octave = 0; octave < 8; ++octave)
            m_light.emplace_back(Next(), 3 << octave);
        m_hue.reset(new Lattice(Next(), 3));
        const int shapes = 4 + static_cast<int>(Next() % 5);
        for (int i = 0; i < shapes; ++i)
            m_shapes.push_back({Unit(), Unit(), 0.05f + Unit() * 0.2f, 0.05f + Unit() * 0.2f,
                                static_cast<int>(Next() % 200), static_cast<int>(Next() % 200),
                                static_cast<int>(Next() % 200)});
        for (int& c : m_sky)
            c = 60 + static_cast<int>(Next() % 160);
        for (int& c : m_ground)
            c = 30 + static_cast<int>(Next() % 140);
    }

    // Pixel (x, y) of a width x height picture of the scene: blue, green, red.
    void Pixel(BYTE* p, LONG x, LONG y, LONG width, LONG height, unsigned& grain) const
    {
        const float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
        // Coarse light, then finer and finer texture that keeps some strength, as foliage or
        // fabric does.
        float light = 0, weight = 0.5f;
        for (const Lattice& octave : m_light) {
            light += octave.At(u, v) * weight;
            weight = std::max(weight * 0.6f, 0.12f);
        }
        light *= 0.6f;
        const float mix = m_hue->At(u, v);
        int colour[3];
        for (int c = 0; c < 3; ++c)
            colour[c] = static_cast<int>((m_sky[c] * mix + m_ground[c] * (1 - mix)) * (0.4f + light));
        for (const Shape& shape : m_shapes) {
            const float dx = (u - shape.cx) / shape.rx, dy = (v - shape.cy) / shape.ry;
            if (dx * dx + dy * dy < 1) {
                const float shade = 0.7f + 0.6f * light;
                colour[0] = static_cast<int>(shape.blue * shade);
                colour[1] = static_cast<int>(shape.green * shade);
                colour[2] = static_cast<int>(shape.red * shade);
            }
        }
        grain = grain * 1664525u + 1013904223u;
        const int noise = static_cast<int>((grain >> 24) & 15) - 8;
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<BYTE>(std::clamp(colour[c] + noise, 0, 255));
    }

private:
    unsigned Next()
    {
        m_seed = m_seed * 1664525u + 1013904223u;
        return m_seed >> 4;
    }
    float Unit() { return static_cast<float>(Next() % 10000) / 10000.0f; }

    unsigned m_seed;
    std::vector<Lattice> m_light;
    std::unique_ptr<Lattice> m_hue;
    std::vector<Shape> m_shapes;
    int m_sky[3] = {};
    int m_ground[3] = {};
};

// One field of a TIFF directory, little-endian.
struct TiffField
{
    WORD tag;
    WORD type; // 2 text, 3 short, 4 long, 5 rational
    DWORD count;
    std::vector<BYTE> value;
};

inline TiffField Text(WORD tag, const char* text)
{
    std::vector<BYTE> value(text, text + std::strlen(text) + 1);
    return {tag, 2, static_cast<DWORD>(value.size()), value};
}

inline TiffField Short(WORD tag, WORD number)
{
    return {tag, 3, 1, {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), 0, 0}};
}

inline TiffField Long(WORD tag, DWORD number)
{
    return {tag,
            4,
            1,
            {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
             static_cast<BYTE>(number >> 24)}};
}

inline TiffField Rational(WORD tag, DWORD numerator, DWORD denominator)
{
    TiffField field = Long(tag, numerator);
    const TiffField second = Long(tag, denominator);
    field.type = 5;
    field.value.insert(field.value.end(), second.value.begin(), second.value.end());
    return field;
}

// Bytes of a directory with its values: 2 + 12 a field + 4, then the values over 4 bytes.
inline size_t DirectorySize(const std::vector<TiffField>& fields)
{
    size_t size = 2 + 12 * fields.size() + 4;
    for (const TiffField& field : fields)
        if (field.value.size() > 4)
            size += (field.value.size() + 1) & ~static_cast<size_t>(1);
    return size;
}

inline void Put16(std::vector<BYTE>& out, WORD value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

inline void Put32(std::vector<BYTE>& out, DWORD value)
{
    Put16(out, static_cast<WORD>(value));
    Put16(out, static_cast<WORD>(value >> 16));
}

// The directory at offset (from the TIFF header, which starts at tiff in out).
inline void PutDirectory(std::vector<BYTE>& out, size_t tiff, const std::vector<TiffField>& fields, DWORD next)
{
    const size_t offset = out.size() - tiff;
    size_t data = offset + 2 + 12 * fields.size() + 4;
    Put16(out, static_cast<WORD>(fields.size()));
    for (const TiffField& field : fields) {
        Put16(out, field.tag);
        Put16(out, field.type);
        Put32(out, field.count);
        if (field.value.size() <= 4) {
            std::vector<BYTE> inline4 = field.value;
            inline4.resize(4);
            out.insert(out.end(), inline4.begin(), inline4.end());
        } else {
            Put32(out, static_cast<DWORD>(data));
            data += (field.value.size() + 1) & ~static_cast<size_t>(1);
        }
    }
    Put32(out, next);
    for (const TiffField& field : fields)
        if (field.value.size() > 4) {
            out.insert(out.end(), field.value.begin(), field.value.end());
            if (field.value.size() & 1)
                out.push_back(0);
        }
}

// "Exif\0\0" and the TIFF structure: the camera's directory, whose last field points to the
// exposure's, the exposure's, and the preview's with its JPEG, then the bytes given after it.
inline std::vector<BYTE> LayOutExifBlock(std::vector<TiffField> camera, const std::vector<TiffField>& exposure,
                                         const std::vector<BYTE>& preview, const std::string& trailing = {})
{
    std::vector<TiffField> thumbnail = {Short(0x0103, 6), Long(0x0201, 0),
                                        Long(0x0202, static_cast<DWORD>(preview.size()))};
    const DWORD cameraAt = 8;
    const DWORD exposureAt = cameraAt + static_cast<DWORD>(DirectorySize(camera));
    const DWORD thumbnailAt = exposureAt + static_cast<DWORD>(DirectorySize(exposure));
    const DWORD previewAt = thumbnailAt + static_cast<DWORD>(DirectorySize(thumbnail));
    camera.back() = Long(0x8769, exposureAt);
    thumbnail[1] = Long(0x0201, previewAt);

    std::vector<BYTE> block;
    block.reserve(previewAt + preview.size() + trailing.size() + 6);
    for (BYTE ch : {'E', 'x', 'i', 'f', '\0', '\0'})
        block.push_back(ch);
    const size_t tiff = block.size();
    Put16(block, 0x4949); // "II": little-endian
    Put16(block, 42);
    Put32(block, cameraAt);
    PutDirectory(block, tiff, camera, thumbnailAt);
    PutDirectory(block, tiff, exposure, 0);
    PutDirectory(block, tiff, thumbnail, 0);
    block.insert(block.end(), preview.begin(), preview.end());
    block.insert(block.end(), trailing.begin(), trailing.end());
    return block;
}

// The APP1 block: "Exif", the camera's directory, the exposure's, and the preview's with its JPEG.
inline std::vector<BYTE> ExifBlock(LONG width, LONG height, unsigned seed, const std::vector<BYTE>& preview)
{
    char taken[32];
    std::snprintf(taken, sizeof(taken), "2024:05:%02u %02u:%02u:%02u", 1 + seed % 28, seed % 24, seed * 7 % 60,
                  seed * 13 % 60);
    std::vector<TiffField> camera = {Text(0x010F, "VYXCAM"),  Text(0x0110, "VX-200"),  Short(0x0112, 1),
                                     Rational(0x011A, 72, 1), Rational(0x011B, 72, 1), Short(0x0128, 2),
                                     Text(0x0132, taken),     Long(0x8769, 0)};
    std::vector<TiffField> exposure = {Rational(0x829A, 1, 60 + seed % 500),
                                       Rational(0x829D, 28, 10),
                                       Short(0x8827, static_cast<WORD>(100 << (seed % 4))),
                                       Text(0x9003, taken),
                                       Text(0x9004, taken),
                                       Rational(0x920A, 50, 10),
                                       Long(0xA002, static_cast<DWORD>(width)),
                                       Long(0xA003, static_cast<DWORD>(height))};
    return LayOutExifBlock(camera, exposure, preview);
}

} // namespace camera_jpeg_detail

// A camera's JPEG of width x height, quality 92, of the scene the seed chooses.
inline std::vector<BYTE> MakeCameraJpeg(LONG width, LONG height, unsigned seed)
{
    using namespace camera_jpeg_detail;
    const Scene scene(seed);
    unsigned grain = seed;
    const std::vector<BYTE> preview =
        MakeJpeg(160, 120, [&](BYTE* p, LONG x, LONG y) { scene.Pixel(p, x, y, 160, 120, grain); });
    return MakeJpeg(
        width, height, [&](BYTE* p, LONG x, LONG y) { scene.Pixel(p, x, y, width, height, grain); }, 92,
        ExifBlock(width, height, seed, preview));
}

// count camera pictures in the folder (made when missing) named IMG_0001.JPG ...: distinct
// pictures, each repeated under further names as hard links (or copies) once all are made.
inline std::vector<std::wstring> MakeCameraFolder(const std::wstring& folder, int count, int distinct, LONG width,
                                                  LONG height)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%04d.JPG", i + 1);
        const std::wstring path = folder + name;
        if (i < distinct) {
            const std::vector<BYTE> bytes = MakeCameraJpeg(width, height, static_cast<unsigned>(i + 1));
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        } else if (!CreateHardLinkW(path.c_str(), paths[static_cast<size_t>(i % distinct)].c_str(), nullptr)) {
            CopyFileW(paths[static_cast<size_t>(i % distinct)].c_str(), path.c_str(), FALSE);
        }
        paths.push_back(path);
    }
    return paths;
}
