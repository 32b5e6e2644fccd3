// EditorSnapshot: the --snapshot picture, the editor as it stands when the render ends.
// It opens the editor on the instance that plays and runs one frame after each of the render's
// last blocks, so that its easing has settled on the real state, as in a window open for the
// last second. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "cairo_graphics.h"
#include "frame/headless_host.h"
#include "options.h"

namespace reelstop::offline {

class EditorSnapshot {
 public:
  // The host plays a Reelstop; the render has totalFrames in blocks of blockSize.
  EditorSnapshot(frame::HeadlessHost& host, EditorPage page, float scale, int64_t totalFrames, int blockSize);
  ~EditorSnapshot();
  EditorSnapshot(const EditorSnapshot&) = delete;
  EditorSnapshot& operator=(const EditorSnapshot&) = delete;

  // After each block of the render.
  void afterBlock(int64_t firstSample);
  // The picture as PNG bytes; throws RenderError when it cannot be encoded.
  std::string png();

 private:
  void openPage(EditorPage page);

  frame::HeadlessHost& mHost;
  frame::CairoGraphics* mGraphics = nullptr;
  int64_t mFirstWatchedSample = 0;
  int mFramesRun = 0;
};

}  // namespace reelstop::offline
