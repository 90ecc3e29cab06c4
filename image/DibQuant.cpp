#include "image/DibQuant.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibDepth.h"
#include "image/DibValidate.h"
#include "image/codecs/SaveDib.h"

#include "controls/ProgressDlg.h"
#include "framework/Framework.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr double kScale = 16384.0 * 255.0;
constexpr int kGridCells = 40;
constexpr int kCellSize = 131072;
constexpr int kGridOrigin[3] = {-2621440, -2621440, -524288};
constexpr WORD kEndOfList = 0xFFFF;
constexpr BYTE kSmoothMark = 1;

// The tables of a run are charged against an optional budget, so that tests can make a run fail
// the way a large picture fails in a 32-bit address space.
size_t g_tableBudget = 0;
size_t g_tableBytes = 0;

void ChargeTables(size_t count, size_t elementBytes)
{
    if (count > SIZE_MAX / elementBytes)
        throw std::bad_alloc();
    size_t bytes = count * elementBytes;
    if (g_tableBudget && bytes > g_tableBudget - std::min(g_tableBudget, g_tableBytes))
        throw std::bad_alloc();
    g_tableBytes += bytes;
}

template <typename T> void Allocate(std::vector<T>& table, size_t count, const T& value = T())
{
    ChargeTables(count, sizeof(T));
    table.assign(count, value);
}

template <typename T> void Release(std::vector<T>& table)
{
    std::vector<T>().swap(table);
}

DWORD QuadColor(const RGBQUAD& q)
{
    return static_cast<DWORD>(q.rgbBlue) | static_cast<DWORD>(q.rgbGreen) << 8 | static_cast<DWORD>(q.rgbRed) << 16;
}

int Clamp(int v, int limit)
{
    return v > limit ? limit : v < -limit ? -limit : v;
}

} // namespace

// ---- CGraphArray

CGraphArray::~CGraphArray()
{
    if (m_result)
        GlobalFree(m_result);
}

void CGraphArray::FreePixels()
{
    Release(m_pixels);
}

bool CGraphArray::LoadPixels()
{
    DibLock lock(m_source);
    if (!lock || GlobalSize(m_source) < sizeof(BITMAPINFOHEADER))
        return false;
    const BITMAPINFOHEADER& header = *lock.header();
    WORD bits = header.biBitCount;
    if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return false;
    DibLayout layout;
    if (!CheckDibHeader(header, &layout) || GlobalSize(m_source) < layout.totalBytes)
        return false;
    m_width = header.biWidth;
    m_height = header.biHeight;
    Allocate(m_pixels, static_cast<size_t>(m_width) * static_cast<size_t>(m_height));
    // Indices past the stored colours read black rather than past the table.
    RGBQUAD palette[256];
    ReadDibPalette256(lock.get(), palette);
    const BYTE* bitsStart = DibBits(lock.get());
    for (LONG y = 0; y < m_height; ++y) {
        const BYTE* row = bitsStart + static_cast<size_t>(m_height - 1 - y) * layout.rowBytes;
        DWORD* to = m_pixels.data() + static_cast<size_t>(y) * m_width;
        for (LONG x = 0; x < m_width; ++x) {
            switch (bits) {
            case 24:
                to[x] = row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16;
                break;
            default:
                to[x] = QuadColor(palette[GetPackedIndex(row, x, bits)]);
                break;
            }
        }
    }
    return true;
}

bool CGraphArray::BuildResult()
{
    if (m_result)
        GlobalFree(m_result);
    m_result = nullptr;
    int depth = m_colorCount == 0 ? 24 : m_colorCount <= 2 ? 1 : m_colorCount <= 16 ? 4 : 8;
    m_bitCount = depth;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = m_width;
    header.biHeight = m_height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(depth);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(m_colorCount);
    DibLayout layout;
    if (!CheckDibHeader(header, &layout))
        return false;
    header.biSizeImage = layout.imageBytes;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.totalBytes);
    if (!block)
        throw std::bad_alloc();
    DibLock lock(block);
    if (!lock) {
        GlobalFree(block);
        throw std::bad_alloc();
    }
    std::memcpy(lock.get(), &header, sizeof(header));
    auto* quads = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof(header));
    for (int i = 0; i < m_colorCount; ++i)
        quads[i] = RGBQUAD{static_cast<BYTE>(m_table[i]), static_cast<BYTE>(m_table[i] >> 8),
                           static_cast<BYTE>(m_table[i] >> 16), 0};
    BYTE* bits = lock.get() + sizeof(header) + layout.tableBytes;
    for (LONG y = 0; y < m_height; ++y) {
        BYTE* row = bits + static_cast<size_t>(m_height - 1 - y) * layout.rowBytes;
        const DWORD* from = m_pixels.data() + static_cast<size_t>(y) * m_width;
        for (LONG x = 0; x < m_width; ++x) {
            DWORD v = from[x];
            switch (depth) {
            case 24:
                row[x * 3] = static_cast<BYTE>(v);
                row[x * 3 + 1] = static_cast<BYTE>(v >> 8);
                row[x * 3 + 2] = static_cast<BYTE>(v >> 16);
                break;
            default:
                SetPackedIndex(row, x, depth, v);
                break;
            }
        }
    }
    m_result = block;
    return true;
}

HGLOBAL CGraphArray::DetachResult()
{
    HGLOBAL result = m_result;
    m_result = nullptr;
    return result;
}

// ---- CColorSpace

CColorSpace::CColorSpace()
{
    for (int c = 0; c < 256; ++c) {
        double t = c / 255.0;
        m_gamma[c] = t >= 0.11764705882352941 ? std::pow(t, 1.3636363636363635)
                                              : std::pow(t, 0.45454545454545453) * 0.14291364759577405;
    }
    Setup(85, 105, 125);
}

void CColorSpace::Setup(int blueWeight, int redWeight, int greenWeight)
{
    struct Stretch
    {
        double x, y, k;
    };
    const Stretch stretches[3] = {
        {0.5, -0.0816, blueWeight / 100.0}, {-0.1687, 0.5, redWeight / 100.0}, {-0.3312, -0.4183, greenWeight / 100.0}};
    // M = S_green x S_red x S_blue, each S = I + (k - 1) e e^T with e the unit direction.
    double m[2][2] = {{1, 0}, {0, 1}};
    bool degenerate = false;
    for (const Stretch& s : stretches) {
        double length = std::sqrt(s.x * s.x + s.y * s.y);
        if (length == 0) {
            degenerate = true;
            break;
        }
        double ex = s.x / length, ey = s.y / length;
        double st[2][2] = {{1 + (s.k - 1) * ex * ex, (s.k - 1) * ex * ey},
                           {(s.k - 1) * ey * ex, 1 + (s.k - 1) * ey * ey}};
        double product[2][2];
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                product[r][c] = st[r][0] * m[0][c] + st[r][1] * m[1][c];
        std::memcpy(m, product, sizeof(m));
    }
    double determinant = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    if (degenerate || determinant == 0) {
        m[0][0] = m[1][1] = 1;
        m[0][1] = m[1][0] = 0;
        determinant = 1;
    }
    std::memcpy(m_matrix, m, sizeof(m));
    m_inverse[0][0] = m[1][1] / determinant;
    m_inverse[0][1] = -m[0][1] / determinant;
    m_inverse[1][0] = -m[1][0] / determinant;
    m_inverse[1][1] = m[0][0] / determinant;
}

void CColorSpace::ToSpace(DWORD rgb, int coords[3]) const
{
    double r = m_gamma[(rgb >> 16) & 0xFF];
    double g = m_gamma[(rgb >> 8) & 0xFF];
    double b = m_gamma[rgb & 0xFF];
    double y = 0.2989 * r + 0.5866 * g + 0.1145 * b;
    double c1 = 0.4 * b - 0.265 * g - 0.135 * r;
    double c2 = 0.4 * r - 0.3346 * g - 0.0653 * b;
    double u = m_matrix[0][0] * c1 + m_matrix[0][1] * c2;
    double v = m_matrix[1][0] * c1 + m_matrix[1][1] * c2;
    coords[0] = static_cast<int>(std::floor(u * 16384 * 255 + 0.5));
    coords[1] = static_cast<int>(std::floor(v * 16384 * 255 + 0.5));
    coords[2] = static_cast<int>(std::floor(y * 16384 * 255 + 0.5));
}

DWORD CColorSpace::FromSpace(const int coords[3]) const
{
    double x = coords[0] / kScale, y = coords[1] / kScale, z = coords[2] / kScale;
    double c1 = m_inverse[0][0] * x + m_inverse[0][1] * y;
    double c2 = m_inverse[1][0] * x + m_inverse[1][1] * y;
    double linear[3] = {
        0.9998247134019967 * z - 0.000044452970991771824 * c1 + 1.7528659800326483 * c2,
        1.0000893144198046 * z - 0.4320813565838843 * c1 - 0.89314419804726 * c2,
        1.0000000115762946 * z + 2.213731098385467 * c1 - 0.00011576294529099052 * c2,
    };
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        double t = linear[i] < 0 ? 0 : linear[i] > 1 ? 1 : linear[i];
        t = t >= 0.05402696305877764 ? std::pow(t, 0.7333333333333334) : std::pow(t / 0.14291364759577405, 2.2);
        int v = static_cast<int>(std::floor(t * 255 + 0.5));
        channel[i] = v < 0 ? 0 : v > 255 ? 255 : v;
    }
    return static_cast<DWORD>(channel[0]) << 16 | static_cast<DWORD>(channel[1]) << 8 | static_cast<DWORD>(channel[2]);
}

double CColorSpace::Distance2(const int a[3], const int b[3])
{
    double dx = static_cast<double>(a[0]) - b[0];
    double dy = static_cast<double>(a[1]) - b[1];
    double dz = static_cast<double>(a[2]) - b[2];
    return dx * dx + dy * dy + dz * dz;
}

// ---- CDivideBox

void CDivideBox::Jacobi(double eigenvalues[3])
{
    double a[3][3];
    std::memcpy(a, m_covariance, sizeof(a));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m_vectors[r][c] = r == c ? 1 : 0;
    for (int sweep = 0; sweep < 10; ++sweep) {
        bool rotated = false;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (std::fabs(a[p][q]) < 1e-16)
                    continue;
                rotated = true;
                double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                double c = 1 / std::sqrt(t * t + 1);
                double s = t * c;
                for (int k = 0; k < 3; ++k) {
                    double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    double vkp = m_vectors[k][p], vkq = m_vectors[k][q];
                    m_vectors[k][p] = c * vkp - s * vkq;
                    m_vectors[k][q] = s * vkp + c * vkq;
                }
            }
        }
        if (!rotated)
            break;
    }
    for (int i = 0; i < 3; ++i)
        eigenvalues[i] = a[i][i];
}

void CDivideBox::Build(QuantBox* box, QuantEntry* const* entries, const CColorSpace& space)
{
    double total = 0, sum[3] = {};
    for (int i = 0; i < box->count; ++i) {
        const QuantEntry* e = entries[box->first + i];
        total += e->weight;
        for (int k = 0; k < 3; ++k)
            sum[k] += static_cast<double>(e->weight) * e->coords[k];
    }
    if (total <= 0)
        total = 1;
    double mean[3];
    for (int k = 0; k < 3; ++k)
        mean[k] = sum[k] / total;
    std::memset(m_covariance, 0, sizeof(m_covariance));
    for (int i = 0; i < box->count; ++i) {
        const QuantEntry* e = entries[box->first + i];
        double d[3];
        for (int k = 0; k < 3; ++k)
            d[k] = e->coords[k] - mean[k];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m_covariance[r][c] += e->weight * d[r] * d[c];
    }
    for (auto& row : m_covariance)
        for (double& v : row)
            v /= total;

    double eigenvalues[3];
    Jacobi(eigenvalues);
    // Equal eigenvalues prefer the lightness axis, then the first chroma axis.
    const int preference[3] = {2, 0, 1};
    int best = preference[0];
    for (int i : preference)
        if (eigenvalues[i] > eigenvalues[best])
            best = i;
    for (int k = 0; k < 3; ++k) {
        box->axis[k] = m_vectors[k][best];
        box->deviation[k] = std::sqrt(std::max(0.0, m_covariance[k][k]));
        m_scratch[k] = eigenvalues[k];
        box->mean[k] = static_cast<int>(std::floor(mean[k] + 0.5));
    }
    std::memcpy(box->eigenvectors, m_vectors, sizeof(m_vectors));
    box->largest = eigenvalues[best];
    box->color = space.FromSpace(box->mean);
    double error = 0;
    for (int i = 0; i < box->count; ++i) {
        const QuantEntry* e = entries[box->first + i];
        error += e->weight * CColorSpace::Distance2(e->coords, box->mean);
    }
    box->error = error;
}

// ---- CQuant

CQuant::CQuant() = default;

CQuant::~CQuant()
{
    FreeTables();
}

void CQuant::SetTableBudgetForTesting(size_t bytes)
{
    g_tableBudget = bytes;
}

bool CQuant::Report(int position)
{
    if (!m_progress)
        return false;
    m_cancelled = m_progress(position);
    return m_cancelled != 0;
}

void CQuant::FreeTables()
{
    Release(m_boxes);
    Release(m_entries);
    Release(m_order);
    Release(m_indices);
    Release(m_sorted);
    m_grid.clear();
    m_grid.shrink_to_fit();
    m_graph.FreePixels();
}

void CQuant::Quantize()
{
    struct TablesGuard
    {
        CQuant* quant;
        ~TablesGuard() { quant->FreeTables(); }
    } guard{this};
    g_tableBytes = 0;
    m_cancelled = 0;
    if (m_graph.m_result)
        GlobalFree(m_graph.m_result);
    m_graph.m_result = nullptr;
    m_space.Setup(m_blueWeight, m_redWeight, m_greenWeight);

    if (!m_graph.LoadPixels() || Report(5))
        return;
    m_grid.clear();
    ChargeTables(kGridCells * kGridCells * kGridCells, sizeof(void*));
    m_grid.resize(kGridCells * kGridCells * kGridCells);
    const size_t pixels = m_graph.m_pixels.size();
    Allocate(m_indices, pixels);
    Allocate(m_sorted, pixels);
    {
        std::vector<BYTE> features;
        if (!ComputeFeatures(features) || !MarkSmoothPixels(features))
            return;
    }
    BuildHistogram();
    if (Report(425) || Report(450))
        return;
    ChargeTables(kBoxRoom, sizeof(QuantBox));
    m_boxes.reserve(kBoxRoom);
    m_boxes.push_back(QuantBox{});
    m_boxes[0].first = 0;
    m_boxes[0].count = static_cast<int>(m_order.size());
    m_divider.Build(&m_boxes[0], m_order.data(), m_space);
    if (Report(450 + 350 / 256) || !SplitBoxes())
        return;
    MakePalette();
    if (!MapPixels())
        return;
    for (int i = 0; i < 256; ++i)
        m_graph.m_table[i] = m_paletteColors[i];
    m_graph.m_colorCount = m_colorCount;
    m_graph.m_bitCount = 8;
    DWORD* words = m_graph.m_pixels.data();
    for (size_t i = 0; i < pixels; ++i)
        words[i] = m_indices[i];
    m_graph.BuildResult();
}

// Per pixel and channel (blue, green, red) two Sobel responses over the 3 x 3 neighbourhood,
// scaled by its range; pixels on the border keep 0.
bool CQuant::ComputeFeatures(std::vector<BYTE>& features)
{
    const LONG w = m_graph.m_width, h = m_graph.m_height;
    Allocate(features, static_cast<size_t>(w) * h * 6);
    const DWORD* pixels = m_graph.m_pixels.data();
    for (LONG y = 0; y < h; ++y) {
        if (y >= 1 && y < h - 1) {
            for (LONG x = 1; x < w - 1; ++x) {
                BYTE* out = features.data() + (static_cast<size_t>(y) * w + x) * 6;
                for (int c = 0; c < 3; ++c) {
                    int v[3][3];
                    int lo = 255, hi = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            int value = (pixels[static_cast<size_t>(y + dy) * w + x + dx] >> (8 * c)) & 0xFF;
                            v[dy + 1][dx + 1] = value;
                            lo = std::min(lo, value);
                            hi = std::max(hi, value);
                        }
                    int range = std::max(hi - lo, 8);
                    int vertical = v[0][0] + 2 * v[0][1] + v[0][2] - v[2][0] - 2 * v[2][1] - v[2][2];
                    int horizontal = v[0][0] + 2 * v[1][0] + v[2][0] - v[0][2] - 2 * v[1][2] - v[2][2];
                    int f1 = 128 - 64 * vertical / range;
                    int f2 = 128 - 64 * horizontal / range;
                    out[c * 2] = static_cast<BYTE>(std::clamp(f1, 0, 255));
                    out[c * 2 + 1] = static_cast<BYTE>(std::clamp(f2, 0, 255));
                }
            }
        }
        if (Report(20 + 80 * y / h))
            return false;
    }
    return true;
}

// A pixel is smooth when its features are close to its eight neighbours'. The mark goes into the
// low byte of the sorted copy, below the colour.
bool CQuant::MarkSmoothPixels(const std::vector<BYTE>& features)
{
    const LONG w = m_graph.m_width, h = m_graph.m_height;
    const DWORD* pixels = m_graph.m_pixels.data();
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            size_t at = static_cast<size_t>(y) * w + x;
            BYTE mark = 0;
            if (y >= 1 && y < h - 1 && x >= 1 && x < w - 1) {
                const BYTE* self = features.data() + at * 6;
                double sums[3] = {};
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (!dx && !dy)
                            continue;
                        const BYTE* other = features.data() + (at + static_cast<size_t>(dy) * w + dx) * 6;
                        for (int c = 0; c < 3; ++c) {
                            double d1 = static_cast<double>(other[c * 2]) - self[c * 2];
                            double d2 = static_cast<double>(other[c * 2 + 1]) - self[c * 2 + 1];
                            sums[c] += std::sqrt(d1 * d1 + d2 * d2);
                        }
                    }
                double m = std::sqrt(sums[0] * sums[0] + sums[1] * sums[1] + sums[2] * sums[2]);
                double smooth = std::min(255.0, 255.0 - m / 8);
                if (smooth < 0)
                    smooth = 0;
                if (static_cast<int>(smooth) >= 160)
                    mark = kSmoothMark;
            }
            m_sorted[at] = (pixels[at] & 0xFFFFFF) << 8 | mark;
        }
        if (Report(100 + 300 * y / h))
            return false;
    }
    return true;
}

// Runs of one colour in the sorted copy become one entry weighing 8 for each smooth pixel and 1
// for any other.
void CQuant::BuildHistogram()
{
    // Sorting the words orders them by colour (in the high 24 bits), in place.
    std::sort(m_sorted.begin(), m_sorted.end());
    size_t distinct = 0;
    for (size_t i = 0; i < m_sorted.size(); ++i)
        if (i == 0 || (m_sorted[i] >> 8) != (m_sorted[i - 1] >> 8))
            ++distinct;
    Allocate(m_entries, distinct);
    size_t n = 0;
    for (size_t i = 0; i < m_sorted.size(); ++i) {
        DWORD color = m_sorted[i] >> 8;
        int weight = (m_sorted[i] & kSmoothMark) ? 8 : 1;
        if (i > 0 && color == (m_sorted[i - 1] >> 8)) {
            m_entries[n - 1].weight += weight;
            continue;
        }
        QuantEntry& entry = m_entries[n++];
        m_space.ToSpace(color, entry.coords);
        entry.weight = weight;
        entry.key = 0;
    }
    Release(m_sorted);
    Allocate(m_order, distinct);
    for (size_t i = 0; i < distinct; ++i)
        m_order[i] = &m_entries[i];
}

int CQuant::CountRepresentatives() const
{
    DWORD colors[kBoxRoom];
    int n = 0;
    for (const QuantBox& box : m_boxes)
        colors[n++] = box.color;
    std::sort(colors, colors + n);
    return static_cast<int>(std::unique(colors, colors + n) - colors);
}

bool CQuant::SplitBoxes()
{
    int distinct = CountRepresentatives();
    while (distinct < m_colorCount) {
        if (static_cast<int>(m_boxes.size()) >= kMaxBoxes)
            break;
        int worst = 0;
        for (int i = 1; i < static_cast<int>(m_boxes.size()); ++i)
            if (m_boxes[i].error > m_boxes[worst].error)
                worst = i;
        if (!(m_boxes[worst].error > 0))
            break;
        if (!SplitBox(worst))
            continue;
        distinct = CountRepresentatives();
        double n = std::max(distinct, 1);
        int position = static_cast<int>(450 + 350 * (0.5 * (1 - 1 / std::sqrt(n)) + 0.5 * distinct / 256.0));
        if (Report(position))
            return false;
    }
    return true;
}

bool CQuant::SplitBox(int index)
{
    QuantBox& box = m_boxes[index];
    if (box.count <= 1) {
        m_divider.Build(&box, m_order.data(), m_space);
        box.error = 0;
        return false;
    }
    QuantEntry** run = m_order.data() + box.first;
    for (int i = 0; i < box.count; ++i)
        run[i]->key =
            run[i]->coords[0] * box.axis[0] + run[i]->coords[1] * box.axis[1] + run[i]->coords[2] * box.axis[2];
    std::sort(run, run + box.count, [](const QuantEntry* a, const QuantEntry* b) { return a->key < b->key; });

    // Sums relative to the box's mean keep the variances from cancelling out in doubles.
    const int count = box.count;
    double total[7] = {};
    for (int i = 0; i < count; ++i) {
        double w = run[i]->weight;
        total[0] += w;
        for (int k = 0; k < 3; ++k) {
            double d = run[i]->coords[k] - box.mean[k];
            total[1 + k] += w * d;
            total[4 + k] += w * d * d;
        }
    }
    auto sse = [](const double* s) {
        double weight = s[0] < 1 ? 1 : s[0];
        double e = 0;
        for (int k = 0; k < 3; ++k)
            e += s[4 + k] - s[1 + k] * s[1 + k] / weight;
        return e;
    };
    double left[7] = {};
    int cut = 0;
    double best = 0;
    for (int k = 1; k < count; ++k) {
        double w = run[k - 1]->weight;
        left[0] += w;
        for (int a = 0; a < 3; ++a) {
            double d = run[k - 1]->coords[a] - box.mean[a];
            left[1 + a] += w * d;
            left[4 + a] += w * d * d;
        }
        double right[7];
        for (int a = 0; a < 7; ++a)
            right[a] = total[a] - left[a];
        double e = sse(left) + sse(right);
        if (cut == 0 || e < best) {
            cut = k;
            best = e;
        }
    }
    if (cut == 0) {
        if (count != 2) {
            m_divider.Build(&box, m_order.data(), m_space);
            box.error = 0;
            return false;
        }
        cut = 1;
    }
    QuantBox added = {};
    added.first = box.first + cut;
    added.count = count - cut;
    box.count = cut;
    m_divider.Build(&box, m_order.data(), m_space);
    m_divider.Build(&added, m_order.data(), m_space);
    m_boxes.push_back(added);
    return true;
}

void CQuant::MakePalette()
{
    struct Slot
    {
        DWORD color;
        int key;
    };
    Slot slots[256];
    int n = 0;
    for (const QuantBox& box : m_boxes) {
        if (n == 256)
            break;
        bool seen = false;
        for (int i = 0; i < n && !seen; ++i)
            seen = slots[i].color == box.color;
        if (seen)
            continue;
        int coords[3];
        m_space.ToSpace(box.color, coords);
        slots[n++] = Slot{box.color, coords[2]};
    }
    m_paletteSize = n;
    int greatest = 0;
    for (int i = 0; i < n; ++i)
        greatest = i == 0 ? slots[i].key : std::max(greatest, slots[i].key);
    for (int i = n; i < 256; ++i)
        slots[i] = Slot{0, greatest};
    std::stable_sort(slots, slots + 256, [](const Slot& a, const Slot& b) { return a.key < b.key; });
    int lo[3], hi[3];
    for (int i = 0; i < 256; ++i) {
        m_paletteColors[i] = slots[i].color;
        m_space.ToSpace(slots[i].color, m_palette[i]);
        for (int k = 0; k < 3; ++k) {
            lo[k] = i == 0 ? m_palette[i][k] : std::min(lo[k], m_palette[i][k]);
            hi[k] = i == 0 ? m_palette[i][k] : std::max(hi[k], m_palette[i][k]);
        }
    }
    for (int k = 0; k < 3; ++k)
        m_errorLimit[k] = hi[k] - lo[k];
}

const std::vector<WORD>& CQuant::CellCandidates(int cell)
{
    std::unique_ptr<std::vector<WORD>>& slot = m_grid[static_cast<size_t>(cell)];
    if (slot)
        return *slot;
    int cx = cell % kGridCells, cy = cell / kGridCells % kGridCells, cz = cell / (kGridCells * kGridCells);
    const int cellIndex[3] = {cx, cy, cz};
    double centre[3], distance[256];
    for (int k = 0; k < 3; ++k)
        centre[k] = kGridOrigin[k] + (cellIndex[k] + 0.5) * kCellSize;
    double smallest = 0;
    for (int i = 0; i < 256; ++i) {
        double d2 = 0;
        for (int k = 0; k < 3; ++k) {
            double d = m_palette[i][k] - centre[k];
            d2 += d * d;
        }
        distance[i] = std::sqrt(d2);
        smallest = i == 0 ? distance[i] : std::min(smallest, distance[i]);
    }
    const double reach = smallest + kCellSize * std::sqrt(3.0);
    ChargeTables(257, sizeof(WORD));
    auto list = std::make_unique<std::vector<WORD>>();
    for (int i = 0; i < 256; ++i)
        if (distance[i] < reach)
            list->push_back(static_cast<WORD>(i));
    list->push_back(kEndOfList);
    slot = std::move(list);
    return *slot;
}

int CQuant::Nearest(const int point[3])
{
    int cell[3];
    bool inside = true;
    for (int k = 0; k < 3; ++k) {
        // Truncation toward zero, as the grid has always been addressed.
        cell[k] = (point[k] - kGridOrigin[k]) / kCellSize;
        inside = inside && point[k] - kGridOrigin[k] > -kCellSize && cell[k] < kGridCells;
    }
    int best = 0;
    double bestDistance = -1;
    if (!inside) {
        for (int i = 0; i < 256; ++i) {
            double d = CColorSpace::Distance2(point, m_palette[i]);
            if (bestDistance < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return best;
    }
    const std::vector<WORD>& list = CellCandidates(cell[0] + (cell[1] + cell[2] * kGridCells) * kGridCells);
    for (WORD i : list) {
        if (i == kEndOfList)
            break;
        double d = CColorSpace::Distance2(point, m_palette[i]);
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// Serpentine error diffusion with the weights 7 (previous pixel), 3 (above, behind), 5 (above)
// and 1 (above, ahead) over 160, the error stored five times over.
bool CQuant::MapPixels()
{
    const LONG w = m_graph.m_width, h = m_graph.m_height;
    const size_t columns = static_cast<size_t>(w) + 4;
    std::vector<int> rows[3];
    for (auto& row : rows)
        Allocate(row, columns * 3, 0);
    std::vector<int>* current = &rows[0];
    std::vector<int>* above = &rows[1];
    std::vector<int>* oldest = &rows[2];
    const DWORD* pixels = m_graph.m_pixels.data();
    for (LONG y = 0; y < h; ++y) {
        const int direction = (y & 1) ? -1 : 1;
        int* cur = current->data();
        const int* up = above->data();
        for (LONG i = 0; i < w; ++i) {
            LONG x = direction > 0 ? i : w - 1 - i;
            size_t col = static_cast<size_t>(x) + 2;
            size_t behind = col - direction, ahead = col + direction;
            int coords[3], wanted[3];
            m_space.ToSpace(pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF, coords);
            for (int k = 0; k < 3; ++k) {
                int sum = 7 * cur[behind * 3 + k] + 3 * up[behind * 3 + k] + 5 * up[col * 3 + k] + up[ahead * 3 + k];
                wanted[k] = coords[k] + Clamp(sum / 160, m_errorLimit[k]);
            }
            int index = Nearest(wanted);
            m_indices[static_cast<size_t>(y) * w + x] = static_cast<BYTE>(index);
            for (int k = 0; k < 3; ++k)
                cur[col * 3 + k] = (wanted[k] - m_palette[index][k]) * m_errorStrength;
        }
        std::vector<int>* spare = oldest;
        oldest = above;
        above = current;
        current = spare;
        std::fill(current->begin(), current->end(), 0);
        if (Report(800 + 200 * y / h))
            return false;
    }
    return true;
}

// ---- ReduceDibTo256Colors

namespace {

// Everything the reduction sets up around the work, undone on every way out.
class ReductionScope
{
public:
    ReductionScope()
    {
        HCURSOR wait = LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_WAIT_CURSOR));
        m_previous = SetCursor(wait ? wait : LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
    }
    ~ReductionScope()
    {
        CloseDialog();
        if (m_previous)
            SetCursor(m_previous);
        else
            ShowCursor(TRUE);
    }
    ReductionScope(const ReductionScope&) = delete;
    ReductionScope& operator=(const ReductionScope&) = delete;

    bool OpenDialog(CWnd* owner)
    {
        m_dialog = new CProgressDlg(IDS_COLOR_REDUCTION);
        if (!m_dialog->Create(owner ? owner : AfxGetMainWnd())) {
            delete m_dialog;
            m_dialog = nullptr;
            return false;
        }
        m_dialog->SetRange(0, 1000);
        m_dialog->SetText(L"減色中...");
        RegisterReduceProgressDialog(m_dialog);
        return true;
    }
    void CloseDialog()
    {
        if (!m_dialog)
            return;
        RegisterReduceProgressDialog(nullptr);
        m_dialog->DestroyWindow();
        delete m_dialog;
        m_dialog = nullptr;
    }

private:
    HCURSOR m_previous = nullptr;
    CProgressDlg* m_dialog = nullptr;
};

} // namespace

HGLOBAL ReduceDibTo256Colors(HGLOBAL dib, BOOL quiet, CWnd* owner)
{
    if (!dib)
        return nullptr;
    // Depths the reducer does not read arrive as a 24-bit copy.
    GlobalBlock widened;
    WORD bits = GetDibBitCount(dib);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        HGLOBAL copy = MakeDib24(dib);
        if (!copy)
            return nullptr;
        if (copy != dib)
            widened.reset(copy);
        dib = copy;
    }
    try {
        ReductionScope scope;
        std::unique_ptr<CQuant> quant(new CQuant);
        quant->m_graph.SetSource(dib);
        if (!quiet && scope.OpenDialog(owner))
            quant->SetProgress(ReportReduceProgress);
        quant->Quantize();
        scope.CloseDialog();
        return quant->m_graph.DetachResult();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
}
