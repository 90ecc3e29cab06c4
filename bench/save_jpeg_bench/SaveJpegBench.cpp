// 100 photographs (2000 x 1500 JPEG) saved as JPEG of quality 90 through the document's save in
// another format, beside the bare libjpeg decode of each file into one picture and its encode to
// a file, in the same run and taking turns (goal: the document within 1.1x of the bare path), by the
// clock and in the thread's processor time (the goal counts the median of the processor times, which
// other work on the machine does not lengthen). Fails when a picture was not written. (A small run:
// 5 pictures, one turn.)
#include "browser/CKWDocPictureOutput.h"
#include "catalogue/VyxFile.h"
#include "fileops/CFileSaveDlg.h"
#include "image/codecs/SaveDib.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../FolderDocument.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kPictures = BenchSize(100, 5);
constexpr LONG kWidth = 2000, kHeight = 1500;
constexpr int kQuality = 90;

std::wstring g_root;
std::vector<std::wstring> g_pictures;
std::vector<double> g_bare, g_decode, g_document, g_load, g_save, g_bareCpu, g_documentCpu;

std::vector<BYTE> ReadAll(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

// The file read, decoded whole into one picture, and that picture encoded into the target file;
// the seconds of the reading and decoding added to decoding.
bool DecodeEncodeBare(const std::wstring& source, const std::wstring& target, double& decoding)
{
    const double start = BenchSeconds();
    const std::vector<BYTE> jpeg = ReadAll(source);
    jpeg_decompress_struct in;
    jpeg_error_mgr inErr;
    in.err = jpeg_std_error(&inErr);
    jpeg_create_decompress(&in);
    jpeg_mem_src(&in, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&in, TRUE);
    in.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&in);
    const size_t stride = static_cast<size_t>(in.output_width) * 3;
    std::vector<BYTE> picture(stride * in.output_height);
    while (in.output_scanline < in.output_height) {
        JSAMPROW line = &picture[stride * in.output_scanline];
        jpeg_read_scanlines(&in, &line, 1);
    }
    const JDIMENSION width = in.output_width, height = in.output_height;
    jpeg_finish_decompress(&in);
    jpeg_destroy_decompress(&in);
    decoding += BenchSeconds() - start;

    return EncodeBareToFile(target.c_str(), picture.data(), stride, width, height, kQuality);
}

int CountFiles(const std::wstring& folder, const wchar_t* pattern)
{
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            ++count;
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return count;
}

void ToJpeg(benchmark::State& state)
{
    const std::wstring pictures = g_root + L"\\pictures";
    FolderDocument document(pictures);
    if (document.doc.GetItemCount() != kPictures) {
        state.SkipWithError("the pictures were not listed");
        return;
    }
    CFileSaveDlg options;
    options.Format = CFileSaveDlg::FormatJpeg;
    options.JpegQuality = kQuality;
    for (auto _ : state) {
        // Fresh folders each turn, there before the save as the dialog's choice is: a file of the same
        // name, or a missing folder, would be asked about.
        const std::wstring bareOut = g_root + L"\\bare", documentOut = g_root + L"\\document";
        RemoveTree(bareOut);
        RemoveTree(documentOut);
        CreateDirectoryW(bareOut.c_str(), nullptr);
        CreateDirectoryW(documentOut.c_str(), nullptr);
        double start = BenchSeconds(), decoding = 0, cpu = BenchThreadSeconds();
        for (const std::wstring& picture : g_pictures)
            DecodeEncodeBare(picture, bareOut + picture.substr(picture.find_last_of(L'\\')), decoding);
        const double bare = BenchSeconds() - start, bareCpu = BenchThreadSeconds() - cpu;

        options.m_folder = documentOut.c_str();
        start = BenchSeconds();
        cpu = BenchThreadSeconds();
        CKWDocPictureOutput(document.doc).SaveSelectedPictures(options);
        const double saved = BenchSeconds() - start, savedCpu = BenchThreadSeconds() - cpu;
        state.SetIterationTime(saved);

        // The document's two halves alone: each picture read as the save reads it, then written.
        double load = 0, save = 0;
        for (int i = 0; i < document.doc.GetItemCount(); ++i) {
            VyxFile copy(*document.doc.GetItem(i));
            copy.SetAutoCache(FALSE);
            copy.SetCacheLookup(FALSE);
            copy.SetLimitCheck(FALSE);
            start = BenchSeconds();
            HGLOBAL picture = copy.LoadPicture();
            load += BenchSeconds() - start;
            start = BenchSeconds();
            SaveDibAsJpeg((bareOut + L"\\halves.jpg").c_str(), picture, kQuality, FALSE, FALSE);
            save += BenchSeconds() - start;
            GlobalFree(picture);
        }
        DeleteFileW((bareOut + L"\\halves.jpg").c_str());
        if (CountFiles(documentOut, L"*.jpg") != kPictures || CountFiles(bareOut, L"*.jpg") != kPictures) {
            state.SkipWithError("not every picture was written");
            break;
        }
        g_bare.push_back(bare);
        g_decode.push_back(decoding);
        g_document.push_back(saved);
        g_bareCpu.push_back(bareCpu);
        g_documentCpu.push_back(savedCpu);
        g_load.push_back(load);
        g_save.push_back(save);
    }
}

BENCHMARK(ToJpeg)->Iterations(BenchIterations(3))->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    g_root = StartDocumentProcess(L"save_jpeg");
    g_pictures = MakePictureFolder(g_root + L"\\pictures", kPictures, MakePhotoJpeg(kWidth, kHeight));
    InitializeBenchmarks(argc, argv);
    BenchRun();
    std::printf("\n%d JPEG pictures of %ld x %ld saved as JPEG (quality %d); goal: the document within 1.1x of "
                "the bare decode plus encode\n",
                kPictures, kWidth, kHeight, kQuality);
    std::printf("  %6s %20s %12s %7s %22s %26s\n", "turn", "bare s (decode+encode)", "document s", "ratio",
                "its read + write alone s", "processor s: bare, document");
    for (size_t i = 0; i < g_bare.size(); ++i)
        std::printf("  %6zu %8.2f (%4.2f+%4.2f) %12.2f %7.2f %12.2f+%4.2f %12.2f %6.2f %5.2fx\n", i + 1, g_bare[i],
                    g_decode[i], g_bare[i] - g_decode[i], g_document[i], g_document[i] / g_bare[i], g_load[i],
                    g_save[i], g_bareCpu[i], g_documentCpu[i], g_documentCpu[i] / g_bareCpu[i]);
    if (!g_bare.empty())
        std::printf("  median %8.2f %12.2f %7.2f %37.2f %6.2f %5.2fx\n", BenchMedian(g_bare), BenchMedian(g_document),
                    BenchMedian(g_document) / BenchMedian(g_bare), BenchMedian(g_bareCpu), BenchMedian(g_documentCpu),
                    BenchMedian(g_documentCpu) / BenchMedian(g_bareCpu));
    if (BenchMeasured(!g_bare.empty() && BenchMedian(g_bareCpu) > 0, "no turn saved the pictures"))
        BenchGoal(BenchMedian(g_documentCpu) / BenchMedian(g_bareCpu) <= 1.1,
                  "the document's save took %.2fx the bare path's processor time (goal: 1.1x)",
                  BenchMedian(g_documentCpu) / BenchMedian(g_bareCpu));
    RemoveTree(g_root);
    return BenchExitCode();
}
