// Resampling packed DIBs to a requested size, optionally turned: box average and bilinear, both
// giving 24-bit DIBs, and the automatic choice between them. The input itself comes back when
// there is nothing to do or no memory (callers compare before freeing).
#pragma once

#include <windows.h>

HGLOBAL ResizeDib(HGLOBAL dib, LONG width, LONG height, double angle, COLORREF background);
// fineStep 0 samples min(1, step / 3) apart; 1 uses the spacing table for large reductions.
HGLOBAL ResampleDibAverage(HGLOBAL dib, LONG width, LONG height, double angle, int fineStep, COLORREF background);
HGLOBAL ResampleDibBilinear(HGLOBAL dib, LONG width, LONG height, double angle, COLORREF background);
