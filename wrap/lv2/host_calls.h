// HostCalls: what the editor has to tell its host (port writes, gestures, its size), gathered
// while the instance's lock is held and made once it is released: a host that holds a lock of its
// own while it calls into the plug-in (a restore) can then never deadlock with the editor.
// Threads: add under the instance's lock, from whichever thread holds it; take under it too;
// tell on the UI thread, holding no lock.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>
#include <vector>

namespace reelstop::lv2 {

class HostCalls {
 public:
  struct Call {
    enum class Kind { kWrite, kTouch, kResize };
    Kind kind;
    uint32_t port;  // kWrite, kTouch
    float value;    // kWrite
    bool grabbed;   // kTouch
    int width;      // kResize
    int height;
  };

  // `touch` and `resize` may be null: a host that offers none hears of no gesture or size.
  HostCalls(LV2UI_Write_Function writeFunction, LV2UI_Controller controller, const LV2UI_Touch* touchFeature,
            const LV2UI_Resize* resizeFeature)
      : mWrite(writeFunction), mController(controller), mTouch(touchFeature), mResize(resizeFeature) {}

  void write(uint32_t port, float value) { mPending.push_back({Call::Kind::kWrite, port, value, false, 0, 0}); }
  void touch(uint32_t port, bool grabbed) { mPending.push_back({Call::Kind::kTouch, port, 0.0f, grabbed, 0, 0}); }
  void resize(int width, int height) { mPending.push_back({Call::Kind::kResize, 0, 0.0f, false, width, height}); }
  std::vector<Call> take();
  // Makes the calls in the order they were asked for.
  void tell(const std::vector<Call>& calls) const;

 private:
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  const LV2UI_Resize* mResize;
  std::vector<Call> mPending;
};

}  // namespace reelstop::lv2
