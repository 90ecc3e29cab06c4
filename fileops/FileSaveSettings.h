// The choices of the save-as conversion dialog, kept in section "FileSave": the output format
// with its options, an optional resize with its resampling and sharpening, and a rotation. The
// dialog reads them when it opens and writes them when it runs; the picture window's own save
// reads the JPEG ones.
#pragma once

#include "foundation/SettingsTable.h"
#include "framework/Framework.h"

struct FileSaveSettings
{
    enum { FormatBmp, FormatJpeg, FormatJpeg2000, FormatPng, FormatTiff, FormatGif };
    enum { SizeKeep, SizeGiven, SizeScaled };

    int Format = FormatBmp;
    int SizeMode = SizeKeep;
    int Width = 0;
    int Height = 0;
    BOOL Aspect = TRUE;
    double Scale = 1.0;
    int ScaleMode = 0; // 0 "通常", 10 "美麗モード"
    BOOL Unsharp = FALSE;
    int JpegQuality = 90;
    BOOL JpegProgressive = FALSE;
    BOOL JpegGrayscale = FALSE;
    int Jpeg2000Quality = 10;
    int BmpQuant = 0; // 8: reduced to 256 colours
    int PngQuant = 0;
    BOOL PngInterlace = FALSE;
    int PngCodec = 0;
    int RotateAngle = 0;
    int TifCodec = 1;
    BOOL TifMultiPage = FALSE;
    int GifCodec = 0;

    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    // Every key as section, name and field (walked by foundation/SettingsTable.h).
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        using S = FileSaveSettings;
        const wchar_t section[] = L"FileSave";
        v.ProfileInt(section, L"Format", &S::Format);
        v.ProfileInt(section, L"SizeMode", &S::SizeMode);
        v.ProfileInt(section, L"Width", &S::Width);
        v.ProfileInt(section, L"Height", &S::Height);
        v.ProfileInt(section, L"Aspect", &S::Aspect);
        v.Double(section, L"Scale", &S::Scale);
        v.ProfileInt(section, L"ScaleMode", &S::ScaleMode);
        v.ProfileInt(section, L"Unsharp", &S::Unsharp);
        v.ProfileInt(section, L"JpegQuality", &S::JpegQuality);
        v.ProfileInt(section, L"JpegProgressive", &S::JpegProgressive);
        v.ProfileInt(section, L"JpegGrayscale", &S::JpegGrayscale);
        v.ProfileInt(section, L"Jpeg2000Quality", &S::Jpeg2000Quality);
        v.ProfileInt(section, L"BmpQuant", &S::BmpQuant);
        v.ProfileInt(section, L"PngQuant", &S::PngQuant);
        v.ProfileInt(section, L"PngInterlace", &S::PngInterlace);
        v.ProfileInt(section, L"PngCodec", &S::PngCodec);
        v.ProfileInt(section, L"RotateAngle", &S::RotateAngle);
        v.ProfileInt(section, L"TifCodec", &S::TifCodec);
        v.ProfileInt(section, L"TifMultiPage", &S::TifMultiPage);
        v.ProfileInt(section, L"GifCodec", &S::GifCodec);
    }
};
