// Plugin base: the editor and parameter parts of saved state.
#include "iplug/plugin.h"

namespace iplug {

void Plugin::SerializeEditorState(IByteChunk& chunk) const {
  chunk.Put(&mEditorWidth);
  chunk.Put(&mEditorHeight);
  chunk.Put(&mEditorScale);
}

int Plugin::UnserializeEditorState(const IByteChunk& chunk, int startPos) {
  int width = 0;
  int height = 0;
  float scale = 0.0f;
  int pos = chunk.Get(&width, startPos);
  pos = chunk.Get(&height, pos);
  pos = chunk.Get(&scale, pos);
  if (pos < 0) return -1;
  // With no editor open the size waits for its next opening.
  mEditorWidth = width;
  mEditorHeight = height;
  mEditorScale = scale;
  return pos;
}

// The chunk grows as needed, so every value is appended.
bool Plugin::SerializeParams(IByteChunk& chunk) const {
  for (const IParam& param : mParams) {
    const double value = param.Value();
    chunk.Put(&value);
  }
  return true;
}

int Plugin::UnserializeParams(const IByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (IParam& param : mParams) {
    double value = 0.0;
    pos = chunk.Get(&value, pos);
    if (pos < 0) break;
    param.Set(value);
  }
  InformHostOfPresetRecall();
  return pos;
}

}  // namespace iplug
