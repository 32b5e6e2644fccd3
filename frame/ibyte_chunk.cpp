// IByteChunk appends and bounds-checked reads.
#include "frame/ibyte_chunk.h"

namespace frame {

int IByteChunk::PutBytes(const void* data, int size) {
  if (size > 0) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    mBytes.insert(mBytes.end(), bytes, bytes + size);
  }
  return Size();
}

int IByteChunk::GetBytes(void* out, int size, int pos) const {
  // Written so that no sum can overflow, whatever pos a damaged chunk leads to.
  if (pos < 0 || size < 0 || size > Size() || pos > Size() - size) return -1;
  std::memcpy(out, mBytes.data() + pos, static_cast<size_t>(size));
  return pos + size;
}

}  // namespace frame
