// The ground the program stands on: the Japanese locale under Wine, the common controls, the
// Windows builds of the dependencies, real windows under Xvfb and the linked resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <libexif/exif-data.h>
#include <openjpeg.h>
#include <oniguruma.h>
#include <png.h>
#include <tiffio.h>

#include "res/resource.h"

namespace {

std::wstring TempFilePath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

TEST(Locale, AnsiCodePageIs932AndJapaneseLocaleIsAvailable)
{
    EXPECT_EQ(932u, GetACP());
    EXPECT_NE(nullptr, setlocale(LC_ALL, "japanese"));
    setlocale(LC_ALL, "C");
}

TEST(CommonControls, VersionIsAtLeast581)
{
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, comctl);
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(comctl, "DllGetVersion"));
    ASSERT_NE(nullptr, getVersion);
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_EQ(S_OK, getVersion(&info));
    EXPECT_GE(info.dwMajorVersion * 100 + info.dwMinorVersion, 581u);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_COOL_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&icc));
}

// A small BGR gradient that every codec round trip below uses.
std::vector<unsigned char> Gradient(int width, int height)
{
    std::vector<unsigned char> pixels(width * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[(y * width + x) * 3];
            p[0] = static_cast<unsigned char>(x * 255 / (width - 1));
            p[1] = static_cast<unsigned char>(y * 255 / (height - 1));
            p[2] = 128;
        }
    return pixels;
}

TEST(Libjpeg, IsVersion62AndRoundTripsInMemoryWithScaledDecode)
{
    EXPECT_EQ(62, JPEG_LIB_VERSION);
    const int width = 64, height = 48;
    std::vector<unsigned char> pixels = Gradient(width, height);

    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[cinfo.next_scanline * width * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    ASSERT_GT(size, 100u);

    jpeg_decompress_struct dinfo;
    dinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&dinfo);
    jpeg_mem_src(&dinfo, buffer, size);
    ASSERT_EQ(JPEG_HEADER_OK, jpeg_read_header(&dinfo, TRUE));
    dinfo.scale_num = 1;
    dinfo.scale_denom = 4;
    dinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&dinfo);
    EXPECT_EQ(16u, dinfo.output_width);
    EXPECT_EQ(12u, dinfo.output_height);
    std::vector<unsigned char> row(dinfo.output_width * 3);
    while (dinfo.output_scanline < dinfo.output_height) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&dinfo, &r, 1);
    }
    // The last row's last pixel: blue from x, green from y, red fixed.
    EXPECT_NEAR(255, row[(dinfo.output_width - 1) * 3 + 0], 16);
    EXPECT_NEAR(255, row[(dinfo.output_width - 1) * 3 + 1], 16);
    EXPECT_NEAR(128, row[(dinfo.output_width - 1) * 3 + 2], 8);
    jpeg_finish_decompress(&dinfo);
    jpeg_destroy_decompress(&dinfo);
    free(buffer);
}

TEST(Libtiff, WritesAndReadsAThreePageFile)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    std::wstring path = TempFilePath(L"vyx_platform.tif");
    TIFF* out = TIFFOpenW(path.c_str(), "w");
    ASSERT_NE(nullptr, out);
    std::vector<unsigned char> row(8 * 3);
    for (int page = 0; page < 3; ++page) {
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, 8);
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, 4);
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(out, TIFFTAG_COMPRESSION, page == 1 ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_JPEG);
        TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, 4);
        for (unsigned y = 0; y < 4; ++y)
            ASSERT_EQ(1, TIFFWriteScanline(out, row.data(), y, 0));
        TIFFWriteDirectory(out);
    }
    TIFFClose(out);

    TIFF* in = TIFFOpenW(path.c_str(), "r");
    ASSERT_NE(nullptr, in);
    EXPECT_EQ(3, TIFFNumberOfDirectories(in));
    TIFFClose(in);
    DeleteFileW(path.c_str());
}

TEST(Oniguruma, SearchesUtf8WithGroups)
{
    OnigEncoding encodings[] = {ONIG_ENCODING_UTF8};
    ASSERT_EQ(ONIG_NORMAL, onig_initialize(encodings, 1));
    const char* pattern = "(\\d{4})-(\\d\\d)";
    const char* subject = "写真 2026-12 です";
    regex_t* re = nullptr;
    OnigErrorInfo einfo;
    ASSERT_EQ(ONIG_NORMAL, onig_new(&re, reinterpret_cast<const OnigUChar*>(pattern),
                                    reinterpret_cast<const OnigUChar*>(pattern + strlen(pattern)),
                                    ONIG_OPTION_NONE, ONIG_ENCODING_UTF8, ONIG_SYNTAX_JAVA, &einfo));
    OnigRegion* region = onig_region_new();
    const auto* s = reinterpret_cast<const OnigUChar*>(subject);
    const auto* end = s + strlen(subject);
    int at = onig_search(re, s, end, s, end, region, ONIG_OPTION_NONE);
    EXPECT_EQ(7, at); // after two three-byte characters and a space
    EXPECT_EQ(3, region->num_regs);
    onig_region_free(region, 1);
    onig_free(re);
    onig_end();
}

TEST(Libpng, RoundTripsInMemory)
{
    const int width = 5, height = 3;
    std::vector<unsigned char> pixels = Gradient(width, height);
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGR;
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
    std::vector<unsigned char> file(size);
    ASSERT_TRUE(png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr));

    png_image back = {};
    back.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&back, file.data(), size));
    back.format = PNG_FORMAT_BGR;
    std::vector<unsigned char> decoded(PNG_IMAGE_SIZE(back));
    ASSERT_TRUE(png_image_finish_read(&back, nullptr, decoded.data(), 0, nullptr));
    EXPECT_EQ(pixels, decoded);
}

TEST(Libexif, WritesAndReadsBackATag)
{
    ExifData* data = exif_data_new();
    ASSERT_NE(nullptr, data);
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, EXIF_BYTE_ORDER_INTEL, 6);
    exif_entry_unref(entry);
    unsigned char* raw = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &raw, &size);
    exif_data_unref(data);
    ASSERT_NE(nullptr, raw);

    ExifData* back = exif_data_new_from_data(raw, size);
    free(raw);
    ASSERT_NE(nullptr, back);
    ExifEntry* orientation = exif_data_get_entry(back, EXIF_TAG_ORIENTATION);
    ASSERT_NE(nullptr, orientation);
    EXPECT_EQ(6, exif_get_short(orientation->data, exif_data_get_byte_order(back)));
    exif_data_unref(back);
}

TEST(OpenJpeg, CreatesEncoderAndDecoder)
{
    EXPECT_STRNE("", opj_version());
    opj_codec_t* encoder = opj_create_compress(OPJ_CODEC_JP2);
    opj_codec_t* decoder = opj_create_decompress(OPJ_CODEC_J2K);
    EXPECT_NE(nullptr, encoder);
    EXPECT_NE(nullptr, decoder);
    opj_destroy_codec(encoder);
    opj_destroy_codec(decoder);
}

int g_paintCount = 0;

LRESULT CALLBACK PaintCountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        ++g_paintCount;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(Windows, AreCreatedPaintedAndDestroyed)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PaintCountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VyxPlatformProbe";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                150, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, hwnd);
    UpdateWindow(hwnd);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_GE(g_paintCount, 1);

    HDC screen = GetDC(hwnd);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(screen, 5, 5));
    ReleaseDC(hwnd, screen);

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

INT_PTR CALLBACK CloseAtInit(HWND dialog, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
    (void)dialog;
}

TEST(Resources, StringAndDialogTemplateLoad)
{
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_COLOR_REDUCTION, text, 64), 0);
    EXPECT_STREQ(L"減色処理", text);

    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_PROGRESS), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    ASSERT_NE(nullptr, found);
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), nullptr,
                                     CloseAtInit, 0);
    ASSERT_NE(nullptr, dialog);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    ASSERT_NE(nullptr, bar);
    wchar_t cls[32];
    GetClassNameW(bar, cls, 32);
    EXPECT_STREQ(PROGRESS_CLASSW, cls);
    wchar_t button[16];
    GetDlgItemTextW(dialog, IDCANCEL, button, 16);
    EXPECT_STREQ(L"中止", button);
    DestroyWindow(dialog);
}

} // namespace
