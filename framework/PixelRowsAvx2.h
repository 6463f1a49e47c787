#pragma once

#include "framework/PixelRows.h"

// The drawing path for processors with AVX2: sixteen pixels at a time.
bool HasAvx2();
void Avx2Copy(const PixelRows& rows);
void Avx2Blend(const PixelRows& rows, int opacity);
