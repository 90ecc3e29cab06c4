// Printing a 24-megapixel picture to the PDF printer of the Wine session (scripts/pdf-printer.sh):
// with the default band height (500 rows) and with the whole picture in one band, the job's own
// time (the page rendered and the document handed to the printer), the size of what reached the
// printer (the spool, from the printer daemon's access log), the time until the PDF was there, and
// the PDF's size. Two jobs each. Fails without the session's PDF printer, or when a job failed or
// left no PDF. (A small run prints a picture of 1.5 megapixels, one job each.)
#include "catalogue/VyxFile.h"
#include "fileops/CPrintOutDialog.h"
#include "image/DibCore.h"
#include "image/codecs/SaveDib.h"
#include "tests/common/PrintedPdfs.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

// The size of the last document the daemon took ("Send-Document" in its access log).
long long LastSpoolBytes(const std::wstring& accessLog)
{
    std::string log = ScratchFolder::ReadFile(accessLog);
    size_t at = log.rfind("Send-Document");
    if (at == std::string::npos)
        return -1;
    size_t line = log.rfind('\n', at);
    std::string text = log.substr(line == std::string::npos ? 0 : line + 1, at - line);
    size_t status = text.find("\" 200 ");
    return status == std::string::npos ? -1 : std::atoll(text.c_str() + status + 6);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    const std::wstring pdfFolder = printed::PdfOutFolder();
    if (pdfFolder.empty()) {
        BenchNothing("no PDF printer in this session (CUPS and cups-pdf are not installed)");
        return BenchExitCode();
    }
    const std::wstring accessLog = pdfFolder + L"\\..\\log\\access_log";
    CPrintDialog defaults(FALSE);
    CDC printer;
    if (!defaults.GetDefaults() || !printer.Attach(defaults.CreatePrinterDC())) {
        BenchNothing("the PDF printer is not the default printer");
        return BenchExitCode();
    }

    // A 5664 x 4248 picture with detail everywhere, as a photograph has.
    const LONG width = BenchSize(5664L, 1416L), height = BenchSize(4248L, 1062L);
    HGLOBAL picture = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(picture));
    BYTE* bits = DibBits(block);
    DWORD row = DibRowSize(block);
    unsigned noise = 1;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            BYTE* p = bits + y * row + x * 3;
            p[0] = static_cast<BYTE>(x * 255 / width);
            p[1] = static_cast<BYTE>(y * 255 / height);
            p[2] = static_cast<BYTE>((noise >> 24) & 0x3F);
        }
    GlobalUnlock(picture);
    // The job's one item (its picture is the one given, never loaded).
    std::wstring itemPath = BenchTempFile(L"print", L"item.bmp");
    HGLOBAL tiny = CreateDib(1, 1, 24);
    SaveDibAsBmp(itemPath.c_str(), tiny);
    GlobalFree(tiny);
    VyxFile item(itemPath.c_str());

    std::printf("picture of %ld x %ld (%.1f MB as a DIB) to the PDF printer, %d x %d dots:\n", width, height,
                GetDibTotalSize(picture) / 1048576.0, printer.GetDeviceCaps(HORZRES), printer.GetDeviceCaps(VERTRES));
    std::printf("%-22s %10s %12s %12s %12s\n", "band height", "job s", "spool MB", "to PDF s", "PDF MB");
    for (int band : {500, 1 << 30}) {
        for (int run = 0; run < BenchIterations(2); ++run) {
            std::set<std::wstring> earlier = printed::PdfFiles(pdfFolder);
            CPrintOutDialog job;
            job.AddItem(&item);
            job.SetImage(picture);
            job.m_bandHeight = band;
            double start = BenchSeconds();
            int result = job.Print(&printer, L"");
            double handedOver = BenchSeconds();
            std::wstring pdf = printed::WaitForNewPdf(pdfFolder, earlier, 600000);
            std::string bytes = pdf.empty() ? std::string() : ScratchFolder::ReadFile(pdf);
            double done = BenchSeconds();
            std::printf("%-22s %10.2f %12.1f %12.2f %12.2f%s\n", band == 500 ? "500 rows (default)" : "one band",
                        handedOver - start, LastSpoolBytes(accessLog) / 1048576.0, done - start,
                        bytes.size() / 1048576.0, result == 0 ? "" : "  (the job failed)");
            BenchMeasured(result == 0 && !bytes.empty(), "a job with bands of %d rows %s", band == 500 ? 500 : height,
                          result == 0 ? "left no PDF" : "failed");
        }
    }
    GlobalFree(picture);
    DeleteFileW(itemPath.c_str());
    printer.DeleteDC();
    return BenchExitCode();
}
