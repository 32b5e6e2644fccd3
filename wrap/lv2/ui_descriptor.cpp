// The LV2 editor's entry points: one ui:X11UI for every plug-in of the bundle, each call handed to
// EditorInstance. lv2ui_descriptor is the only symbol the shared object exports (ui_exports.map).
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <string>

#include "bundled_plugin.h"
#include "editor_instance.h"

namespace reelstop::lv2 {
namespace {

EditorInstance& self(LV2UI_Handle handle) { return *static_cast<EditorInstance*>(handle); }

// Cairo and FreeType, shared with the host, keep fonts this binary made and call back into it
// when they let them go, which may be after the host has unloaded it: so it stays loaded.
void stayLoaded() {
  static const char kHere = 0;
  static const bool pinned = [] {
    Dl_info self{};
    return dladdr(&kHere, &self) != 0 && self.dli_fname != nullptr &&
           dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
  }();
  static_cast<void>(pinned);
}

// UI thread, as are all the calls below. No exception may cross into the host's C code.
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  stayLoaded();
  try {
    return EditorInstance::create(pluginUri, bundlePath, write, controller, widget, features).release();
  } catch (...) {
    return nullptr;
  }
}

void cleanup(LV2UI_Handle handle) { delete &self(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  self(handle).portEvent(port, bufferSize, format, buffer);
}

int idle(LV2UI_Handle handle) { return self(handle).idle(); }
int show(LV2UI_Handle handle) { return self(handle).show(); }
int hide(LV2UI_Handle handle) { return self(handle).hide(); }

// Any thread: static data only.
const void* extensionData(const char* uri) {
  static const LV2UI_Idle_Interface kIdle = {idle};
  static const LV2UI_Show_Interface kShow = {show, hide};
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  if (std::strcmp(uri, LV2_UI__showInterface) == 0) return &kShow;
  return nullptr;
}

}  // namespace
}  // namespace reelstop::lv2

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  using namespace reelstop::lv2;
  static const std::string uri = editorUri(bundledConfig());
  static const LV2UI_Descriptor descriptor = {uri.c_str(), instantiate, cleanup, portEvent, extensionData};
  return index == 0 ? &descriptor : nullptr;
}
