// Flushes denormal numbers to zero for as long as it lives, and restores the previous mode:
// decaying ramps would otherwise slow the processor down by orders of magnitude.
// Audio thread: a register read and write, nothing else.
#pragma once

#include <cstdint>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace frame {

class ScopedFlushDenormals {
 public:
#if defined(__SSE__)
  ScopedFlushDenormals() : mPrevious(_mm_getcsr()) { _mm_setcsr(mPrevious | kFlushToZero | kDenormalsAreZero); }
  ~ScopedFlushDenormals() { _mm_setcsr(mPrevious); }

 private:
  static constexpr uint32_t kFlushToZero = 1u << 15;
  static constexpr uint32_t kDenormalsAreZero = 1u << 6;
  uint32_t mPrevious;
#elif defined(__aarch64__)
  ScopedFlushDenormals() {
    __asm__ __volatile__("mrs %0, fpcr" : "=r"(mPrevious));
    const uint64_t flushing = mPrevious | kFlushToZero;
    __asm__ __volatile__("msr fpcr, %0" : : "r"(flushing));
  }
  ~ScopedFlushDenormals() { __asm__ __volatile__("msr fpcr, %0" : : "r"(mPrevious)); }

 private:
  static constexpr uint64_t kFlushToZero = 1ull << 24;
  uint64_t mPrevious;
#endif

 public:
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;
};

}  // namespace frame
