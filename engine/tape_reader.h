// Reading the tape: Catmull-Rom interpolation around a read position, for one channel or,
// with SSE, for both channels of a stereo tape at once (the same float operations per lane).
// The tape is stored frame by frame: sample c of position p sits at (p AND mask) x channels + c.
// Audio thread: pure arithmetic on the tape, no allocation.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace reelstop {

// A read position split into its whole sample and the fraction between it and the next.
struct Tap {
  int64_t index;
  float fraction;
};

// floor() without a library call; positions stay far inside the 64-bit range.
[[gnu::always_inline]] inline Tap tapAt(double position) {
  auto whole = static_cast<int64_t>(position);
  if (static_cast<double>(whole) > position) --whole;
  return {whole, static_cast<float>(position - static_cast<double>(whole))};
}

// One channel; negative indices wrap through the mask.
[[gnu::always_inline]] inline float interpolate(const float* tape, uint64_t mask, int32_t stride, int32_t channel,
                                                Tap tap) {
  const auto i0 = static_cast<uint64_t>(tap.index);
  const auto step = static_cast<uint64_t>(stride);
  const auto at = static_cast<uint64_t>(channel);
  const float t = tap.fraction;
  const float y0 = tape[((i0 - 1) & mask) * step + at];
  const float y1 = tape[(i0 & mask) * step + at];
  const float y2 = tape[((i0 + 1) & mask) * step + at];
  const float y3 = tape[((i0 + 2) & mask) * step + at];
  const float c1 = 0.5f * (y2 - y0);
  const float c2 = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
  const float c3 = 0.5f * (y3 - y0) + 1.5f * (y1 - y2);
  return ((c3 * t + c2) * t + c1) * t + y1;
}

#if defined(__SSE2__)
// Four lanes of Catmull-Rom: the same float operations, in the same order, as interpolate().
[[gnu::always_inline]] inline __m128 catmullRom(__m128 y0, __m128 y1, __m128 y2, __m128 y3, __m128 t) {
  const __m128 half = _mm_set1_ps(0.5f);
  const __m128 c1 = _mm_mul_ps(half, _mm_sub_ps(y2, y0));
  const __m128 c2 =
      _mm_sub_ps(_mm_add_ps(_mm_sub_ps(y0, _mm_mul_ps(_mm_set1_ps(2.5f), y1)), _mm_mul_ps(_mm_set1_ps(2.0f), y2)),
                 _mm_mul_ps(half, y3));
  const __m128 c3 = _mm_add_ps(_mm_mul_ps(half, _mm_sub_ps(y3, y0)), _mm_mul_ps(_mm_set1_ps(1.5f), _mm_sub_ps(y1, y2)));
  return _mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(c3, t), c2), t), c1), t), y1);
}

// The four stereo frames around a tap of a stereo tape: early = frames i0 - 1 and i0, late =
// frames i0 + 1 and i0 + 2, each as left, right, left, right.
struct StereoTaps {
  __m128 early;
  __m128 late;
};

[[gnu::always_inline]] inline StereoTaps stereoTaps(const float* tape, uint64_t mask, Tap tap) {
  const auto i0 = static_cast<uint64_t>(tap.index);
  const uint64_t first = (i0 - 1) & mask;
  if (first <= mask - 3) return {_mm_loadu_ps(tape + first * 2), _mm_loadu_ps(tape + first * 2 + 4)};
  // Where the ring wraps the frames are not one run.
  const float* f0 = tape + first * 2;
  const float* f1 = tape + (i0 & mask) * 2;
  const float* f2 = tape + ((i0 + 1) & mask) * 2;
  const float* f3 = tape + ((i0 + 2) & mask) * 2;
  return {_mm_setr_ps(f0[0], f0[1], f1[0], f1[1]), _mm_setr_ps(f2[0], f2[1], f3[0], f3[1])};
}

// Left and right of one tap, in lanes 0 and 1.
[[gnu::always_inline]] inline __m128 interpolateStereo(const float* tape, uint64_t mask, Tap tap) {
  const StereoTaps taps = stereoTaps(tape, mask, tap);
  return catmullRom(taps.early, _mm_movehl_ps(taps.early, taps.early), taps.late, _mm_movehl_ps(taps.late, taps.late),
                    _mm_set1_ps(tap.fraction));
}

// Two taps at once: left and right of the first in lanes 0 and 1, of the second in lanes 2 and 3.
[[gnu::always_inline]] inline __m128 interpolateStereoPair(const float* tape, uint64_t mask, Tap first, Tap second) {
  const StereoTaps a = stereoTaps(tape, mask, first);
  const StereoTaps b = stereoTaps(tape, mask, second);
  return catmullRom(_mm_movelh_ps(a.early, b.early), _mm_movehl_ps(b.early, a.early), _mm_movelh_ps(a.late, b.late),
                    _mm_movehl_ps(b.late, a.late),
                    _mm_setr_ps(first.fraction, first.fraction, second.fraction, second.fraction));
}
#endif

}  // namespace reelstop
