// Colour reduction of a packed DIB to 8 bits with a 256-colour palette, in a perceptual colour
// space: a weighted colour histogram (smooth areas count more than edges) is cut into boxes along
// each box's principal axis, the palette is sorted by lightness and pixels are mapped with
// serpentine error diffusion.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

// Progress from 0 to 1000; a nonzero answer cancels the reduction.
typedef int (*QuantProgressProc)(int position);

class CWnd;

// A new 8-bit DIB, or null (cancelled, out of memory, or a source that is not a picture). Unless
// quiet, a progress dialog over the owner (null: the main window) shows the work and can cancel
// it; the owner is active again afterwards. The source is never changed; DIBs of 16 or 32 bits
// are widened to 24 first.
HGLOBAL ReduceDibTo256Colors(HGLOBAL dib, BOOL quiet, CWnd* owner = nullptr);

// The picture in working form: one 0x00RRGGBB word a pixel, rows from the top.
class CGraphArray
{
public:
    CGraphArray() = default;
    virtual ~CGraphArray();
    CGraphArray(const CGraphArray&) = delete;
    CGraphArray& operator=(const CGraphArray&) = delete;

    void SetSource(HGLOBAL dib) { m_source = dib; }
    // Reads the source into the pixel array; false for a source that is not an uncompressed 1, 4,
    // 8 or 24-bit DIB with a 40-byte header.
    bool LoadPixels();
    // Builds the result DIB (depth from the colour count) from the table and the pixel array,
    // whose words then hold palette indices.
    bool BuildResult();
    HGLOBAL DetachResult();
    void FreePixels();

    HGLOBAL m_source = nullptr;
    HGLOBAL m_result = nullptr;
    DWORD m_table[256] = {};
    int m_colorCount = 0;
    int m_bitCount = 24;
    std::vector<DWORD> m_pixels;
    LONG m_height = 0;
    LONG m_width = 0;
};

// The working space: gamma-linearised lightness and two chroma axes stretched by the chroma
// weights, as integers scaled by 16384 x 255.
class CColorSpace
{
public:
    CColorSpace();
    virtual ~CColorSpace() = default;

    // Weights along the blue, red and green directions, in per cent.
    void Setup(int blueWeight, int redWeight, int greenWeight);
    void ToSpace(DWORD rgb, int coords[3]) const;
    DWORD FromSpace(const int coords[3]) const;
    static double Distance2(const int a[3], const int b[3]);

    double m_gamma[256];
    double m_matrix[2][2];
    double m_inverse[2][2];
};

struct QuantEntry
{
    int coords[3];
    int weight;
    double key;
};

struct QuantBox
{
    double error;
    int first;
    int count;
    int mean[3];
    DWORD color;
    double axis[3];
    double deviation[3];
    double eigenvectors[3][3];
    double largest;
};

// Statistics of one box: weighted mean, covariance and its principal axis.
class CDivideBox
{
public:
    virtual ~CDivideBox() = default;
    void Build(QuantBox* box, QuantEntry* const* entries, const CColorSpace& space);

    double m_covariance[3][3] = {};
    double m_vectors[3][3] = {};
    double m_scratch[3] = {};

private:
    void Jacobi(double eigenvalues[3]);
};

class CQuant
{
public:
    CQuant();
    virtual ~CQuant();
    CQuant(const CQuant&) = delete;
    CQuant& operator=(const CQuant&) = delete;

    // Runs the reduction; afterwards m_graph holds the result, or none when it was cancelled.
    // Allocation failure raises std::bad_alloc with every table freed.
    void Quantize();
    void SetProgress(QuantProgressProc progress) { m_progress = progress; }

    // Tests simulate running out of memory with a budget for the tables of one run (0: none).
    static void SetTableBudgetForTesting(size_t bytes);

    static constexpr int kMaxBoxes = 760;
    static constexpr int kBoxRoom = 769;

    const int m_blueWeight = 85;
    const int m_redWeight = 105;
    const int m_greenWeight = 125;
    const int m_colorCount = 256;
    const int m_errorStrength = 5;
    const int m_method = 2;

    CGraphArray m_graph;

private:
    bool Report(int position);
    void FreeTables();
    bool ComputeFeatures(std::vector<BYTE>& features);
    bool MarkSmoothPixels(const std::vector<BYTE>& features);
    void BuildHistogram();
    bool SplitBoxes();
    bool SplitBox(int index);
    int CountRepresentatives() const;
    void MakePalette();
    bool MapPixels();
    int Nearest(const int point[3]);
    const std::vector<WORD>& CellCandidates(int cell);

    std::vector<QuantBox> m_boxes;
    int m_palette[256][3] = {};
    DWORD m_paletteColors[256] = {};
    std::vector<QuantEntry> m_entries;
    std::vector<QuantEntry*> m_order;
    std::vector<BYTE> m_indices;
    std::vector<DWORD> m_sorted;
    int m_errorLimit[3] = {};
    int m_paletteSize = 0;
    std::vector<std::unique_ptr<std::vector<WORD>>> m_grid;
    QuantProgressProc m_progress = nullptr;
    int m_cancelled = 0;
    CColorSpace m_space;
    CDivideBox m_divider;
};
