// IByteChunk: the growable byte buffer that state is saved into, with bounds-checked reads.
// Values are stored in native byte order. Main thread only.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace frame {

class IByteChunk {
 public:
  IByteChunk() = default;
  IByteChunk(const void* data, int size) { PutBytes(data, size); }

  // Appends one plain value; returns the new size.
  template <typename T>
  int Put(const T* value) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values go into a chunk");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }

  // Reads one plain value at pos; returns the position after it, or -1 when it does not fit.
  template <typename T>
  int Get(T* value, int pos) const {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values come out of a chunk");
    return GetBytes(value, static_cast<int>(sizeof(T)), pos);
  }

  int PutBytes(const void* data, int size);
  int GetBytes(void* out, int size, int pos) const;

  int Size() const { return static_cast<int>(mBytes.size()); }
  const uint8_t* GetData() const { return mBytes.data(); }
  void Clear() { mBytes.clear(); }

 private:
  std::vector<uint8_t> mBytes;
};

}  // namespace frame
