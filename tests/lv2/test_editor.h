// TestEditor: the tests' host side of the plug-in's editor, as LV2 hosts embed an X11 UI: it
// loads the UI binary lilv names for the plug-in, gives it a parent window of its own on the X
// display, instance-access, urid:map, ui:touch, ui:resize and, when asked, ui:scaleFactor, calls
// its idle and port_event, and records every write, touch and resize the UI makes. Writes reach
// the instance's ports before its next run, as a host's queue would take them there. Pointer and
// key input is sent to the editor's window through the X server.
// Threads: one UI thread makes every call, except those named otherwise.
#pragma once

#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host_calls.h"
#include "lilv_host.h"

namespace reelstop::lv2::test {

// What the editor told its host, as the editor gathers it.
using HostCall = HostCalls::Call;

// A window's pixels as the X server shows them, 0xRRGGBB.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  // How many pixels of the rectangle differ from `other`'s.
  int differences(const Screenshot& other, int left, int top, int right, int bottom) const;
};

class TestEditor {
 public:
  // hostScale 0: the host offers no ui:scaleFactor. Throws when the UI refuses to open.
  explicit TestEditor(TestInstance& instance, float hostScale = 0.0f);
  // Cleans the UI up (if close has not), then frees the parent window and unloads the binary.
  ~TestEditor();
  TestEditor(const TestEditor&) = delete;
  TestEditor& operator=(const TestEditor&) = delete;

  // The UI's cleanup; nothing of it is called afterwards.
  void close();
  // One idle call.
  void idle();
  // Idle calls for `ms` milliseconds, one every few, as a host's timer makes them.
  void idleFor(int ms);
  // The host's value of a control port.
  void portEvent(uint32_t port, float value);
  // What hosts send once a UI is open: every control input port's value.
  void initialPortEvents();

  // The left button and the pointer's moves on the editor's window, at window pixels.
  void press(int x, int y);
  void moveTo(int x, int y);
  void release(int x, int y);
  // A press and release of a button (1 left, 3 right, 4 and 5 the wheel).
  void click(int x, int y, unsigned int button);
  // Two left clicks in quick succession by the server's clock.
  void doubleClick(int x, int y);
  // A key with no modifier, by its X key symbol.
  void key(unsigned long keySymbol);
  // The UI's show interface.
  void show();
  void hide();
  // The window loses the keyboard focus, or another client grabs the pointer from it.
  void loseFocus();
  void losePointerToGrab();
  // The host resizes the parent window.
  void resizeParent(int width, int height);

  int width() const;
  int height() const;
  // The window as the X server shows it, also kept as `name`.png among the build's artefacts.
  Screenshot screenshot(const std::string& name) const;

  // Any thread: what the editor told the host so far.
  std::vector<HostCall> calls() const;
  // Any thread: the lock the host holds while it writes a UI's value to its port; a host's own
  // lock, which it may also hold while it restores the plug-in.
  std::mutex& hostLock() { return mHostLock; }

 private:
  struct X;  // the host's display connection and the parent window
  struct Unload {
    void operator()(void* library) const;
  };
  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer);
  static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);
  static int resize(LV2UI_Feature_Handle handle, int width, int height);
  void record(const HostCall& call);
  // Sends a button event of `type` to the editor's window `afterMs` after the last event.
  void sendButton(int type, unsigned int button, int x, int y, unsigned long afterMs = 1000);
  // Sends an event to the editor's window and lets the server deliver it.
  void send(void* event, long mask);

  TestInstance& mInstance;
  std::unique_ptr<X> mX;
  std::unique_ptr<void, Unload> mLibrary;  // unloaded before the parent window goes
  const LV2UI_Descriptor* mDescriptor = nullptr;
  LV2UI_Handle mHandle = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  const LV2UI_Show_Interface* mShow = nullptr;
  unsigned long mWidget = 0;
  unsigned long mTime = 1;  // the server time the next sent event carries, in ms
  float mHostScale;
  LV2UI_Touch mTouch{};
  LV2UI_Resize mResize{};
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatureStore;
  std::vector<const LV2_Feature*> mFeatures;
  mutable std::mutex mCallsLock;
  std::vector<HostCall> mCalls;
  std::mutex mHostLock;
};

}  // namespace reelstop::lv2::test
