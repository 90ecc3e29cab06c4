// Colour operations on packed DIBs: per-channel brightness and the contrast stretch. All work in
// place: the palette of 1, 4 and 8-bit DIBs, the pixels of 24-bit ones.
#pragma once

#include <windows.h>

// Per-channel histogram counts and the lowest and highest value of each channel.
struct DibChannelStats
{
    DWORD blue[256];
    DWORD green[256];
    DWORD red[256];
    BYTE blueLow, blueHigh, redLow, redHigh, greenLow, greenHigh;
};

void AdjustDibRgb(HGLOBAL dib, int red, int green, int blue);
HGLOBAL AdjustPaletteRgb(HGLOBAL dib, int red, int green, int blue);
HGLOBAL AdjustPixelsRgb(HGLOBAL dib, int red, int green, int blue);

void AdjustDibContrast(HGLOBAL dib, int range);
HGLOBAL AdjustPaletteContrast(HGLOBAL dib, int range);
HGLOBAL AdjustPixelsContrast(HGLOBAL dib, int range);

// Fills only the lowest and highest values (from 255 and 0).
void GetDibChannelRange(HGLOBAL dib, DibChannelStats* stats);
// Counts values and widens the same lowest and highest values; 1, 4, 8 and 24-bit DIBs.
void GetDibHistogram(HGLOBAL dib, DibChannelStats* stats);
