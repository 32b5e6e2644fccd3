// EditorInstance: one LV2 editor (ui:X11UI) of a running instance, which it reaches through
// instance-access. It installs the editor on the instance's plug-in and opens it in an X11
// window inside the host's parent; the frames run on the host's idle calls. Every call into the
// plug-in holds the instance's lock, never this binary's own; calls for the host are queued under
// it and made after it is released.
// Threads: the UI thread, except the AttachedEditor calls, which come from whichever thread holds
// the instance's lock (instanceGone from the instance's cleanup, which hosts make on the UI
// thread or at least never during an editor call).
#pragma once

#include <lv2/ui/ui.h>

#include <atomic>
#include <memory>
#include <vector>

#include "editor_boundary.h"
#include "host_calls.h"
#include "window_surface.h"
#include "x11_window.h"

namespace reelstop::lv2 {

class EditorInstance final : public AttachedEditor {
 public:
  // Null when a required feature is missing, the instance is of another build or already has
  // an editor, or no window can be opened.
  static std::unique_ptr<EditorInstance> create(const char* pluginUri, const char* bundlePath,
                                                LV2UI_Write_Function write, LV2UI_Controller controller,
                                                LV2UI_Widget* widget, const LV2_Feature* const* features);
  // Closes the editor on the plug-in (its held controls let go: the "Stop" write and the gesture
  // ends reach the host before this returns), removes what it installed, then frees the window.
  ~EditorInstance();
  EditorInstance(const EditorInstance&) = delete;
  EditorInstance& operator=(const EditorInstance&) = delete;

  // The host's value of a control port: the parameter takes it when the next block would, and
  // the editor follows the parameter.
  void portEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  int idle();
  int show();
  int hide();

  void parameterSent(int paramIdx, float value) override;
  void gesture(int paramIdx, bool begin) override;
  void instanceGone() override;

 private:
  EditorInstance(EditorAccess& access, const HostCalls& calls);
  // Opens the editor and its window; false when no window can be opened.
  bool open(unsigned long parent, float hostScale);
  // Under the lock: the editor leaves the plug-in as it found it.
  void close();
  // Runs `step` under the instance's lock, then makes the host calls it queued; nothing once the
  // instance is gone.
  template <typename Step>
  void locked(Step step);

  EditorAccess* mAccess;
  bool mAttached = false;  // the editor is installed on the plug-in and attached to the instance
  std::atomic<bool> mInstanceGone{false};
  HostCalls mCalls;
  std::unique_ptr<frame::WindowSurface> mSurface;
  std::unique_ptr<frame::X11Window> mWindow;
  std::vector<float> mWritten;  // per parameter, the value last written and not yet echoed; NaN when none
  int mToldWidth = 0;           // the size the host was last told
  int mToldHeight = 0;
};

}  // namespace reelstop::lv2
