// FNV-1a, 64 bits: the fingerprint of recorded output that a rework must leave unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reelstop::test {

class Fnv1a {
 public:
  void add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) mHash = (mHash ^ bytes[i]) * kPrime;
  }
  template <typename T>
  void addValue(T value) {
    add(&value, sizeof value);
  }
  uint64_t value() const { return mHash; }

 private:
  static constexpr uint64_t kPrime = 1099511628211ULL;
  uint64_t mHash = 14695981039346656037ULL;
};

}  // namespace reelstop::test
