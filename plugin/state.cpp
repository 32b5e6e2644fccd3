// Reelstop's saved state: a version word, the editor's size and scale, the nineteen values.
#include "reelstop.h"

namespace reelstop {
namespace {
constexpr int32_t kStateVersion = 1;
}

bool Reelstop::SerializeState(frame::IByteChunk& chunk) const {
  chunk.Put(&kStateVersion);
  SerializeEditorState(chunk);
  return SerializeParams(chunk);
}

int Reelstop::UnserializeState(const frame::IByteChunk& chunk, int startPos) {
  int32_t version = 0;
  const int afterVersion = chunk.Get(&version, startPos);
  if (afterVersion < 0 || version != kStateVersion) return -1;
  const int afterEditor = UnserializeEditorState(chunk, afterVersion);
  if (afterEditor < 0) return -1;
  return UnserializeParams(chunk, afterEditor);
}

}  // namespace reelstop
