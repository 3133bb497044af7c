#pragma once

#include <cstdint>

// Measurement units of page coordinates. The ordinals are stored in saved previews.
enum TUnits : int {
    mmPixel,      // device pixels
    mmLoMetric,   // 0.1 mm
    mmHiMetric,   // 0.01 mm
    mmLoEnglish,  // 0.01 inch
    mmHiEnglish,  // 0.001 inch
    mmTWIPS,      // 1/1440 inch
    mmPoints      // 1/72 inch
};

// a * b / c with a 64-bit intermediate, rounded to nearest with halves away from zero.
// A zero divisor or a result outside 32 bits gives -1, as callers treat negative results
// as "no value" (for example a relative scroll position).
int MulDiv(int a, int b, int c);

// Nearest integer, halves to even; values outside 32 bits are clamped.
int RoundHalfEven(double value);

// Units per inch; for mmPixel the given resolution.
int UnitsPerInch(TUnits units, int pixelsPerInch);

// Converts a length between units. Steps between the metric units, the English units and
// points/twips that are exact powers are done in integers (truncating); all other pairs are
// rounded, halves to even.
int ConvertUnits(int value, int pixelsPerInch, TUnits inUnits, TUnits outUnits);
