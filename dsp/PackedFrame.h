// Conversions between a frame of 16-bit interleaved stereo and the packed arrays of the
// processor's transform (left as the real part, right as the imaginary part), and the
// cross-fade of frames, vectorised for the instruction set of a SimdPath; every path gives
// the same values.
#pragma once

#include "dsp/PackedFFT.h"

#include <cstdint>

namespace corvanel {

// re[i] = left / 32768, im[i] = right / 32768 for pairs pairs.
void UnpackFrame(const std::int16_t* frame, int pairs, double* re, double* im, SimdPath path);

// Each sample becomes its value times scale, rounded to nearest (ties to even) and clamped to
// 16 bits; with subtract, the frame's own sample minus that rounded value, clamped.
void PackFrame(const double* re, const double* im, int pairs, double scale, bool subtract,
               std::int16_t* frame, SimdPath path);

// frame[i] = prev[i]·fadeOut[i] + frame[i]·fadeIn[i], rounded to nearest (ties to even), for
// count samples.
void CrossFadeFrame(const std::int16_t* prev, const double* fadeOut, const double* fadeIn,
                    int count, std::int16_t* frame, SimdPath path);

} // namespace corvanel
