// EditorBridge: the instance's side of its editor. The plug-in is built with it as its host
// callbacks, which it forwards to the attached editor (the host hears of the editor's writes and
// gestures through that editor's own host functions); and it hands the editor the plug-in, the
// lock and the control ports' judgement of the host's values.
// Threads: every call holds the instance's lock.
#pragma once

#include "control_ports.h"
#include "editor_boundary.h"
#include "frame/config.h"

namespace reelstop::lv2 {

class EditorBridge final : public frame::HostCallbacks, public EditorAccess {
 public:
  explicit EditorBridge(ControlPorts& ports) : mPorts(ports) {}
  void bind(frame::Plugin& plugin) { mPlugin = &plugin; }
  // The instance is going: the editor lets go of it, then the editor's controls close with
  // nobody told, since the host may be tearing everything down.
  void instanceGoing();

  void ParameterChangedFromUI(int paramIdx, double normalized) override;
  void BeginGesture(int paramIdx) override;
  void EndGesture(int paramIdx) override;
  // The host reads the ports itself; nothing to tell it.
  void ParametersRecalled() override {}
  void LatencyChanged(int) override {}

  frame::Plugin& plugin() override { return *mPlugin; }
  std::recursive_mutex& lock() override;
  void attach(AttachedEditor* editor) override { mEditor = editor; }
  bool takeHostValue(int paramIdx, float value) override { return mPorts.takeHostValue(paramIdx, value); }

 private:
  ControlPorts& mPorts;
  frame::Plugin* mPlugin = nullptr;
  AttachedEditor* mEditor = nullptr;
};

}  // namespace reelstop::lv2
