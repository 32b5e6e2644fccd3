// The editor laid out over the playing instance, stepped frame by frame, drawn to PNG.
#include "editor_snapshot.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "reelstop.h"
#include "reelstop_editor.h"
#include "render_error.h"

namespace reelstop::offline {
namespace {

// A second of frames at the editor's 60 per second: its fades and its rim have settled by then.
constexpr int kWatchedFrames = 60;
// The record page's settings button, in layout units.
constexpr float kSettingsButtonX = 388.0f;
constexpr float kSettingsButtonY = 25.0f;
const char* const kStartPageVariable = "REELSTOP_START_PAGE";

// The editor's developer switch for its first page, set aside while the snapshot opens it, so that
// the page shown is the one asked for.
class StartPageSetAside {
 public:
  StartPageSetAside() {
    if (const char* value = std::getenv(kStartPageVariable)) {
      mValue = value;
      ::unsetenv(kStartPageVariable);
    }
  }
  ~StartPageSetAside() {
    if (mValue) ::setenv(kStartPageVariable, mValue->c_str(), 1);
  }
  StartPageSetAside(const StartPageSetAside&) = delete;
  StartPageSetAside& operator=(const StartPageSetAside&) = delete;

 private:
  std::optional<std::string> mValue;
};

}  // namespace

EditorSnapshot::EditorSnapshot(frame::HeadlessHost& host, EditorPage page, float scale, int64_t totalFrames,
                               int blockSize)
    : mHost(host) {
  reelstop_ui::install(static_cast<Reelstop&>(host.plugin()));
  {
    const StartPageSetAside setAside;
    mGraphics = dynamic_cast<frame::CairoGraphics*>(host.openEditor());
  }
  if (mGraphics == nullptr) throw RenderError("the editor cannot be drawn here");
  mGraphics->SetScale(scale);
  openPage(page);
  const int64_t blocks = (totalFrames + blockSize - 1) / blockSize;
  mFirstWatchedSample = std::max<int64_t>(0, blocks - kWatchedFrames) * blockSize;
}

EditorSnapshot::~EditorSnapshot() { mHost.closeEditor(); }

// As a user opens it: a click on the record page's settings button.
void EditorSnapshot::openPage(EditorPage page) {
  if (page != EditorPage::kSettings) return;
  mGraphics->OnMouseDown(kSettingsButtonX, kSettingsButtonY, {true});
  mGraphics->OnMouseUp(kSettingsButtonX, kSettingsButtonY, {true});
  mGraphics->OnMouseOut();  // no hover left on the page's own buttons
}

void EditorSnapshot::afterBlock(int64_t firstSample) {
  if (firstSample < mFirstWatchedSample) return;
  mGraphics->RunFrame();
  ++mFramesRun;
}

std::string EditorSnapshot::png() {
  // No block played: the view waits out its second as a window on a silent host does, and idles.
  if (mFramesRun == 0) {
    for (int step = 0; step < kWatchedFrames; ++step) mGraphics->RunFrame();
  }
  std::string bytes = mGraphics->PngBytes();
  if (bytes.empty()) throw RenderError("the editor's picture cannot be encoded as PNG");
  return bytes;
}

}  // namespace reelstop::offline
