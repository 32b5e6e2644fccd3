// What the DSP instance and its editor know of each other. They live in two binaries, each with
// a hidden copy of the frame and its own main lock, and share no globals: the editor reaches the
// instance through instance-access, where the LV2 handle points at an InstanceAccess. The editor
// checks its build stamp before it calls anything, and then calls only virtual functions, so
// each side runs the code of the binary that made the object.
#pragma once

#include <array>
#include <mutex>

#include "frame/plugin.h"

namespace reelstop::lv2 {

// The editor as the instance sees it. Every call holds the instance's lock.
class AttachedEditor {
 public:
  // The editor sent a parameter's plain value, or began or ended a gesture on it: for the host.
  virtual void parameterSent(int paramIdx, float value) = 0;
  virtual void gesture(int paramIdx, bool begin) = 0;
  // The instance is going: its plug-in, its lock and the editor's surface are not to be touched
  // again.
  virtual void instanceGone() = 0;

 protected:
  ~AttachedEditor() = default;
};

// The instance as its editor sees it.
class EditorAccess {
 public:
  virtual frame::Plugin& plugin() = 0;
  // The lock the instance's timer, restore and resets take: the editor's too.
  virtual std::recursive_mutex& lock() = 0;
  // Under the lock; null detaches.
  virtual void attach(AttachedEditor* editor) = 0;
  // Under the lock: whether a host's value for a parameter's port is a move that the next block
  // would copy (not the port's last value, nor the one it had before a restore). A move counts
  // as copied.
  virtual bool takeHostValue(int paramIdx, float value) = 0;

 protected:
  ~EditorAccess() = default;
};

// The build both binaries came from: an editor of another build cannot know the instance's layout.
using BuildStamp = std::array<char, 64>;
BuildStamp buildStamp();

// What an instance's LV2 handle points at.
struct InstanceAccess {
  BuildStamp build;
  EditorAccess* editor;
};

}  // namespace reelstop::lv2
