// EditorBridge: the plug-in's calls for its host, forwarded to the editor that makes them.
#include "editor_bridge.h"

#include "frame/main_lock.h"

namespace reelstop::lv2 {

void EditorBridge::instanceGoing() {
  if (mEditor != nullptr) mEditor->instanceGone();
  mEditor = nullptr;
  mPlugin->CloseWindow();
}

void EditorBridge::ParameterChangedFromUI(int paramIdx, double) {
  if (mEditor != nullptr) mEditor->parameterSent(paramIdx, static_cast<float>(mPlugin->GetParam(paramIdx)->Value()));
}

void EditorBridge::BeginGesture(int paramIdx) {
  if (mEditor != nullptr) mEditor->gesture(paramIdx, true);
}

void EditorBridge::EndGesture(int paramIdx) {
  if (mEditor != nullptr) mEditor->gesture(paramIdx, false);
}

std::recursive_mutex& EditorBridge::lock() { return frame::MainLock(); }

}  // namespace reelstop::lv2
