// Plugin base: the editor and parameter parts of saved state.
#include <cmath>

#include "frame/igraphics.h"
#include "frame/plugin.h"

namespace frame {
namespace {

constexpr float kSmallestEditorScale = 0.75f;
constexpr float kLargestEditorScale = 2.0f;
constexpr int kLargestEditorPixels = 16384;

// A size an editor can open at; all three zero is the saved word for "no size kept".
bool usableEditorSize(int width, int height, float scale) {
  if (width == 0 && height == 0 && scale == 0.0f) return true;
  return std::isfinite(scale) && scale >= kSmallestEditorScale && scale <= kLargestEditorScale && width > 0 &&
         width <= kLargestEditorPixels && height > 0 && height <= kLargestEditorPixels;
}

}  // namespace

void Plugin::SerializeEditorState(IByteChunk& chunk) const {
  // An open editor's own size: the kept one is only that of its last closing.
  const int width = mGraphics != nullptr ? mGraphics->Width() : mEditorWidth;
  const int height = mGraphics != nullptr ? mGraphics->Height() : mEditorHeight;
  const float scale = mGraphics != nullptr ? mGraphics->GetDrawScale() : mEditorScale;
  chunk.Put(&width);
  chunk.Put(&height);
  chunk.Put(&scale);
}

int Plugin::UnserializeEditorState(const IByteChunk& chunk, int startPos) {
  int width = 0;
  int height = 0;
  float scale = 0.0f;
  int pos = chunk.Get(&width, startPos);
  pos = chunk.Get(&height, pos);
  pos = chunk.Get(&scale, pos);
  if (pos < 0) return -1;
  // A damaged or foreign size is passed over; the chunk's parameters still count.
  if (!usableEditorSize(width, height, scale)) return pos;
  if (mGraphics != nullptr) {
    // An open editor takes the size at once; "no size" leaves it as it is.
    if (scale > 0.0f) mGraphics->Resize(width, height, scale);
    return pos;
  }
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

}  // namespace frame
