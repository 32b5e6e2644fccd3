// TestEditor: the UI binary through lilv and dlopen, its parent window, input through the X server.
#include "test_editor.h"

#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/urid/urid.h>

// After the LV2 headers: Xlib's macros clash with nothing there, but would with what follows.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>

namespace reelstop::lv2::test {

struct TestEditor::X {
  X() {
    // A busy server refuses a new connection now and then.
    for (int attempt = 0; display == nullptr && attempt < 5; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      display = XOpenDisplay(nullptr);
    }
    if (display == nullptr) throw std::runtime_error("no X display (DISPLAY unset?)");
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 420, 480, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
  }
  ~X() {
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
  }
  X(const X&) = delete;
  X& operator=(const X&) = delete;

  Display* display = nullptr;
  Window parent = 0;
};

void TestEditor::Unload::operator()(void* library) const { dlclose(library); }

namespace {

constexpr auto kIdlePeriod = std::chrono::milliseconds(5);

// The UI lilv names for the plug-in: its binary's path and its bundle's folder.
struct UiFiles {
  std::string uri;
  std::string binary;
  std::string bundle;
};

UiFiles uiFiles(const TestInstance& instance) {
  LilvUIs* uis = lilv_plugin_get_uis(instance.lilvPlugin());
  if (uis == nullptr || lilv_uis_size(uis) == 0) throw std::runtime_error("the plug-in names no UI");
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  UiFiles files;
  files.uri = lilv_node_as_uri(lilv_ui_get_uri(ui));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
  files.binary = binary;
  files.bundle = bundle;
  lilv_free(binary);
  lilv_free(bundle);
  lilv_uis_free(uis);
  return files;
}

}  // namespace

int Screenshot::differences(const Screenshot& other, int left, int top, int right, int bottom) const {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += at(x, y) != other.at(x, y) ? 1 : 0;
  }
  return count;
}

TestEditor::TestEditor(TestInstance& instance, float hostScale)
    : mInstance(instance), mX(std::make_unique<X>()), mHostScale(hostScale) {
  mTouch = {this, touch};
  mResize = {this, resize};
  UridMap& urids = instance.urids();
  if (hostScale > 0.0f) {
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_UI__scaleFactor), sizeof(float),
                        urids.map(LV2_ATOM__Float), &mHostScale});
  }
  mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
  // An X11 parent is its window id carried in the pointer.
  mFeatureStore = {{LV2_UI__parent, reinterpret_cast<void*>(mX->parent)},  // NOLINT(performance-no-int-to-ptr)
                   {LV2_INSTANCE_ACCESS_URI, instance.handle()},
                   {LV2_URID__map, urids.mapFeature()},
                   {LV2_UI__touch, &mTouch},
                   {LV2_UI__resize, &mResize},
                   {LV2_OPTIONS__options, mOptions.data()}};
  for (const LV2_Feature& feature : mFeatureStore) mFeatures.push_back(&feature);
  mFeatures.push_back(nullptr);

  const UiFiles files = uiFiles(instance);
  mLibrary.reset(dlopen(files.binary.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (mLibrary == nullptr) throw std::runtime_error(std::string("cannot load the UI: ") + dlerror());
  using DescriptorFunction = const LV2UI_Descriptor* (*)(uint32_t);
  auto* const entry = reinterpret_cast<DescriptorFunction>(dlsym(mLibrary.get(), "lv2ui_descriptor"));
  mDescriptor = entry != nullptr ? entry(0) : nullptr;
  if (mDescriptor == nullptr || files.uri != mDescriptor->URI) throw std::runtime_error("no descriptor for the UI");
  mIdle = static_cast<const LV2UI_Idle_Interface*>(mDescriptor->extension_data(LV2_UI__idleInterface));
  mShow = static_cast<const LV2UI_Show_Interface*>(mDescriptor->extension_data(LV2_UI__showInterface));
  LV2UI_Widget widget = nullptr;
  mHandle = mDescriptor->instantiate(mDescriptor, lilv_node_as_uri(lilv_plugin_get_uri(instance.lilvPlugin())),
                                     files.bundle.c_str(), write, this, &widget, mFeatures.data());
  if (mHandle == nullptr || mIdle == nullptr || mShow == nullptr) throw std::runtime_error("the UI did not open");
  mWidget = reinterpret_cast<uintptr_t>(widget);
}

TestEditor::~TestEditor() { close(); }

void TestEditor::close() {
  if (mHandle != nullptr) mDescriptor->cleanup(mHandle);
  mHandle = nullptr;
}

void TestEditor::idle() { mIdle->idle(mHandle); }

void TestEditor::idleFor(int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    idle();
    std::this_thread::sleep_for(kIdlePeriod);
  } while (std::chrono::steady_clock::now() < until);
}

void TestEditor::portEvent(uint32_t port, float value) {
  mDescriptor->port_event(mHandle, port, sizeof value, 0, &value);
}

void TestEditor::initialPortEvents() {
  for (uint32_t port : mInstance.controlInputs()) portEvent(port, mInstance.control(port));
}

// The fields every pointer and key event carries.
template <typename Event>
void address(Event& event, Display* display, Window window, Time time, int x, int y) {
  event.display = display;
  event.window = window;
  event.root = DefaultRootWindow(display);
  event.time = time;
  event.x = x;
  event.y = y;
  event.x_root = x;
  event.y_root = y;
  event.same_screen = True;
}

void TestEditor::send(void* event, long mask) {
  XSendEvent(mX->display, mWidget, False, mask, static_cast<XEvent*>(event));
  XSync(mX->display, False);
}

void TestEditor::sendButton(int type, unsigned int button, int x, int y, unsigned long afterMs) {
  mTime += afterMs;
  XEvent event{};
  event.xbutton.type = type;
  address(event.xbutton, mX->display, mWidget, mTime, x, y);
  // A release happens with its button held.
  event.xbutton.state = type == ButtonRelease ? static_cast<unsigned int>(Button1Mask) << (button - 1) : 0u;
  event.xbutton.button = button;
  send(&event, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask);
}

void TestEditor::press(int x, int y) { sendButton(ButtonPress, Button1, x, y); }
void TestEditor::release(int x, int y) { sendButton(ButtonRelease, Button1, x, y); }

void TestEditor::click(int x, int y, unsigned int button) {
  sendButton(ButtonPress, button, x, y);
  sendButton(ButtonRelease, button, x, y, 50);
}

void TestEditor::doubleClick(int x, int y) {
  click(x, y, Button1);
  sendButton(ButtonPress, Button1, x, y, 50);
  sendButton(ButtonRelease, Button1, x, y, 50);
}

void TestEditor::moveTo(int x, int y) {
  XEvent event{};
  event.xmotion.type = MotionNotify;
  address(event.xmotion, mX->display, mWidget, ++mTime, x, y);
  event.xmotion.state = Button1Mask;
  send(&event, PointerMotionMask);
}

void TestEditor::key(unsigned long keySymbol) {
  XEvent event{};
  event.xkey.type = KeyPress;
  address(event.xkey, mX->display, mWidget, ++mTime, 0, 0);
  event.xkey.keycode = XKeysymToKeycode(mX->display, keySymbol);
  send(&event, KeyPressMask);
}

void TestEditor::show() { mShow->show(mHandle); }
void TestEditor::hide() { mShow->hide(mHandle); }

void TestEditor::loseFocus() {
  XEvent event{};
  event.xfocus.type = FocusOut;
  event.xfocus.display = mX->display;
  event.xfocus.window = mWidget;
  event.xfocus.mode = NotifyNormal;
  event.xfocus.detail = NotifyNonlinear;
  send(&event, FocusChangeMask);
}

void TestEditor::losePointerToGrab() {
  XEvent event{};
  event.xcrossing.type = LeaveNotify;
  address(event.xcrossing, mX->display, mWidget, ++mTime, 0, 0);
  event.xcrossing.mode = NotifyGrab;
  event.xcrossing.detail = NotifyAncestor;
  send(&event, LeaveWindowMask);
}

void TestEditor::resizeParent(int width, int height) {
  XResizeWindow(mX->display, mX->parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(mX->display, False);
}

int TestEditor::width() const {
  XWindowAttributes attributes{};
  XGetWindowAttributes(mX->display, mWidget, &attributes);
  return attributes.width;
}

int TestEditor::height() const {
  XWindowAttributes attributes{};
  XGetWindowAttributes(mX->display, mWidget, &attributes);
  return attributes.height;
}

Screenshot TestEditor::screenshot(const std::string& name) const {
  XSync(mX->display, False);
  Screenshot shot;
  shot.width = width();
  shot.height = height();
  XImage* image = XGetImage(mX->display, mWidget, 0, 0, static_cast<unsigned>(shot.width),
                            static_cast<unsigned>(shot.height), AllPlanes, ZPixmap);
  if (image == nullptr) throw std::runtime_error("no image of the editor's window");
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, shot.width, shot.height);
  auto* row = cairo_image_surface_get_data(picture);
  shot.pixels.reserve(static_cast<size_t>(shot.width * shot.height));
  for (int y = 0; y < shot.height; ++y, row += cairo_image_surface_get_stride(picture)) {
    for (int x = 0; x < shot.width; ++x) {
      const auto pixel = static_cast<uint32_t>(XGetPixel(image, x, y) & 0xffffff);
      shot.pixels.push_back(pixel);
      std::memcpy(row + 4 * x, &pixel, sizeof pixel);
    }
  }
  XDestroyImage(image);
  cairo_surface_mark_dirty(picture);
  std::filesystem::create_directories(REELSTOP_SCREENSHOTS);
  cairo_surface_write_to_png(picture, (std::string(REELSTOP_SCREENSHOTS "/lilv-") + name + ".png").c_str());
  cairo_surface_destroy(picture);
  return shot;
}

std::vector<HostCall> TestEditor::calls() const {
  const std::lock_guard<std::mutex> guard(mCallsLock);
  return mCalls;
}

void TestEditor::record(const HostCall& call) {
  const std::lock_guard<std::mutex> guard(mCallsLock);
  mCalls.push_back(call);
}

void TestEditor::write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  auto& self = *static_cast<TestEditor*>(controller);
  // A write that is no control value is recorded as NaN, which no test expects.
  float value = std::numeric_limits<float>::quiet_NaN();
  if (format == 0 && size == sizeof value) std::memcpy(&value, buffer, sizeof value);
  const std::lock_guard<std::mutex> host(self.mHostLock);
  self.record({HostCall::Kind::kWrite, port, value, false, 0, 0});
  self.mInstance.writeLater(port, value);
}

void TestEditor::touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
  static_cast<TestEditor*>(handle)->record({HostCall::Kind::kTouch, port, 0.0f, grabbed, 0, 0});
}

int TestEditor::resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto& self = *static_cast<TestEditor*>(handle);
  self.record({HostCall::Kind::kResize, 0, 0.0f, false, width, height});
  // The host fits its parent to the editor.
  self.resizeParent(width, height);
  return 0;
}

}  // namespace reelstop::lv2::test
