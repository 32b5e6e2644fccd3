// EditorInstance: opening on the instance's plug-in, the host's calls, and closing.
#include "editor_instance.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "bundled_editor.h"
#include "bundled_plugin.h"
#include "cairo_graphics.h"
#include "frame/resources.h"
#include "host_features.h"

namespace reelstop::lv2 {
namespace {

constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();  // equal to nothing

// The host's ui:scaleFactor; 0 when it offers none.
float hostScale(const LV2_Feature* const* features, const LV2_URID_Map& map) {
  const auto* options = static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
  const LV2_URID scaleFactor = map.map(map.handle, LV2_UI__scaleFactor);
  const LV2_URID atomFloat = map.map(map.handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o != nullptr && o->key != 0; ++o) {
    if (o->key != scaleFactor || o->type != atomFloat || o->size != sizeof(float) || o->value == nullptr) continue;
    float scale = 0.0f;
    std::memcpy(&scale, o->value, sizeof scale);
    return scale;
  }
  return 0.0f;
}

bool isBundledPlugin(const char* uri) {
  for (const Variant& variant : bundledVariants()) {
    if (uri != nullptr && variant.uri == uri) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<EditorInstance> EditorInstance::create(const char* pluginUri, const char* bundlePath,
                                                       LV2UI_Write_Function write, LV2UI_Controller controller,
                                                       LV2UI_Widget* widget, const LV2_Feature* const* features) {
  const void* parent = featureData(features, LV2_UI__parent);
  const auto* access = static_cast<const InstanceAccess*>(featureData(features, LV2_INSTANCE_ACCESS_URI));
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  if (parent == nullptr || access == nullptr || map == nullptr || !isBundledPlugin(pluginUri)) return nullptr;
  // Nothing past the stamp is read before it matches.
  if (access->build != buildStamp()) return nullptr;
  frame::SetResourceFolder((std::filesystem::path(bundlePath) / "resources").string());
  const HostCalls calls(write, controller, static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch)),
                        static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize)));
  std::unique_ptr<EditorInstance> editor(new EditorInstance(*access->editor, calls));
  // An X11 parent is a window id carried in the pointer.
  if (!editor->open(reinterpret_cast<uintptr_t>(parent), hostScale(features, *map))) return nullptr;
  // An X11 UI's widget is its window id carried in the pointer, as LV2 defines it.
  *widget = reinterpret_cast<LV2UI_Widget>(editor->mWindow->Handle());  // NOLINT(performance-no-int-to-ptr)
  return editor;
}

EditorInstance::EditorInstance(EditorAccess& access, const HostCalls& calls)
    : mAccess(&access), mCalls(calls), mWritten(static_cast<size_t>(access.plugin().NParams()), kNoValue) {}

bool EditorInstance::open(unsigned long parent, float hostScale) {
  const std::lock_guard<std::recursive_mutex> guard(mAccess->lock());
  frame::Plugin& plugin = mAccess->plugin();
  if (plugin.GetUI() != nullptr) return false;  // one editor per instance
  installBundledEditor(plugin);
  mAccess->attach(this);
  mAttached = true;
  const bool sizeKept = plugin.EditorScale() > 0.0f;
  frame::IGraphics* graphics = plugin.OpenWindow();
  if (graphics == nullptr) return false;
  if (!sizeKept && hostScale > 0.0f) graphics->SetScale(hostScale);
  mSurface = std::make_unique<frame::WindowSurface>(static_cast<frame::CairoGraphics&>(*graphics), mAccess->lock());
  mWindow = frame::X11Window::Open(parent, *mSurface);
  return mWindow != nullptr;
}

EditorInstance::~EditorInstance() {
  if (mAttached) locked([this] { close(); });
}

void EditorInstance::close() {
  frame::Plugin& plugin = mAccess->plugin();
  plugin.CloseWindow();
  // Their code lives in this binary, which the host may unload once this returns.
  plugin.mMakeGraphicsFunc = nullptr;
  plugin.mLayoutFunc = nullptr;
  plugin.mParamChangeUIFunc = nullptr;
  mAccess->attach(nullptr);
}

template <typename Step>
void EditorInstance::locked(Step step) {
  if (mInstanceGone) return;
  std::vector<HostCalls::Call> calls;
  {
    const std::lock_guard<std::recursive_mutex> guard(mAccess->lock());
    step();
    calls = mCalls.take();
  }
  mCalls.tell(calls);
}

void EditorInstance::portEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  if (format != 0 || bufferSize != sizeof(float) || buffer == nullptr) return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  locked([this, port, value] {
    frame::Plugin& plugin = mAccess->plugin();
    if (port >= static_cast<uint32_t>(plugin.NParams())) return;  // the latency output
    const auto paramIdx = static_cast<int>(port);
    // The host echoing the editor's own write is no move: the hand may have gone on since.
    const bool echo = value == mWritten[port];
    mWritten[port] = kNoValue;
    const bool moved = !echo && mAccess->takeHostValue(paramIdx, value);
    // Either way the editor follows the parameter: the block may have copied the move already.
    plugin.SetPlainParameterValueFromHost(paramIdx, moved ? value : plugin.GetParam(paramIdx)->Value());
  });
}

int EditorInstance::idle() {
  if (mInstanceGone) return 0;
  mWindow->Idle();
  locked([this] {
    if (mWindow->Width() == mToldWidth && mWindow->Height() == mToldHeight) return;
    mToldWidth = mWindow->Width();
    mToldHeight = mWindow->Height();
    mCalls.resize(mToldWidth, mToldHeight);
  });
  return 0;
}

int EditorInstance::show() {
  if (!mInstanceGone) mWindow->Show();
  return 0;
}

int EditorInstance::hide() {
  if (mInstanceGone) return 0;
  mWindow->Hide();
  locked([] {});  // the release it caused reaches the host
  return 0;
}

void EditorInstance::parameterSent(int paramIdx, float value) {
  mCalls.write(static_cast<uint32_t>(paramIdx), value);
  mWritten[static_cast<size_t>(paramIdx)] = value;
}

void EditorInstance::gesture(int paramIdx, bool begin) { mCalls.touch(static_cast<uint32_t>(paramIdx), begin); }

void EditorInstance::instanceGone() {
  // Its cleanup destroys the surface next; the window is only freed, with nothing to draw.
  mInstanceGone = true;
}

}  // namespace reelstop::lv2
