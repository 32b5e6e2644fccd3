// X11Window: Xlib events in, changed rectangles out through the back buffer.
#include "x11_window.h"

// After the frame's headers, which Xlib's macros would break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace frame {

struct X11Window::Connection {
  Display* display;
  GC gc = nullptr;
};

struct X11Window::Event {
  XEvent x;
};

namespace {

constexpr Time kDoubleClickMs = 400;
constexpr int kDoubleClickSlop = 4;  // pixels the second press may land from the first
constexpr unsigned int kWheelUp = Button4;
constexpr unsigned int kWheelDown = Button5;
constexpr unsigned int kWheelLeft = 6;  // sideways scrolling: nothing here scrolls sideways
constexpr unsigned int kWheelRight = 7;

IMouseMod modifiers(unsigned int state, unsigned int button) {
  IMouseMod mod;
  mod.L = button == Button1 || (state & Button1Mask) != 0;
  mod.R = button == Button3 || (state & Button3Mask) != 0;
  mod.S = (state & ShiftMask) != 0;
  mod.C = (state & ControlMask) != 0;
  mod.A = (state & Mod1Mask) != 0;
  return mod;
}

// The key as the typed-value entry knows it.
IKeyPress keyOf(XKeyEvent& event) {
  char text[8] = {};
  KeySym symbol = NoSymbol;
  const int length = XLookupString(&event, text, sizeof text, &symbol, nullptr);
  IKeyPress key;
  if (symbol == XK_BackSpace) {
    key.key = IKeyPress::Key::Backspace;
  } else if (symbol == XK_Return || symbol == XK_KP_Enter) {
    key.key = IKeyPress::Key::Enter;
  } else if (symbol == XK_Escape) {
    key.key = IKeyPress::Key::Escape;
  } else if (length == 1 && text[0] >= ' ' && text[0] <= '~') {
    key.key = IKeyPress::Key::Character;
    key.character = text[0];
  }
  return key;
}

bool isWheel(unsigned int button) {
  return button == kWheelUp || button == kWheelDown || button == kWheelLeft || button == kWheelRight;
}

// The image's words are in this machine's byte order, whatever the server's is.
int nativeByteOrder() {
  const uint16_t word = 1;
  return *reinterpret_cast<const unsigned char*>(&word) == 1 ? LSBFirst : MSBFirst;
}

// A busy server refuses a connection now and then (its queue of new ones is full): a few more
// tries before the editor gives up.
Display* openDisplay() {
  constexpr int kTries = 5;
  constexpr auto kPause = std::chrono::milliseconds(20);
  for (int attempt = 1;; ++attempt) {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr || attempt == kTries) return display;
    std::this_thread::sleep_for(kPause);
  }
}

}  // namespace

std::unique_ptr<X11Window> X11Window::Open(XId parent, WindowSurface& surface) {
  Display* display = openDisplay();
  if (display == nullptr) return nullptr;
  return std::unique_ptr<X11Window>(new X11Window(std::make_unique<Connection>(Connection{display}), parent, surface));
}

X11Window::X11Window(std::unique_ptr<Connection> connection, XId parent, WindowSurface& surface)
    : mX(std::move(connection)), mParent(parent), mSurface(surface) {
  const int screen = DefaultScreen(mX->display);
  {
    const std::lock_guard<std::recursive_mutex> guard(mSurface.Lock());
    mWidth = mSurface.PixelWidth();
    mHeight = mSurface.PixelHeight();
  }
  XSetWindowAttributes attributes{};
  attributes.colormap = DefaultColormap(mX->display, screen);
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;  // the back buffer paints it: no flash of a background
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                          LeaveWindowMask | KeyPressMask | StructureNotifyMask | FocusChangeMask;
  mWindow = XCreateWindow(mX->display, mParent, 0, 0, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight), 0,
                          DefaultDepth(mX->display, screen), InputOutput, DefaultVisual(mX->display, screen),
                          CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
  // The host resizing its parent reaches the editor too.
  XSelectInput(mX->display, mParent, StructureNotifyMask);
  mX->gc = XCreateGC(mX->display, mWindow, 0, nullptr);
  mCursors[static_cast<int>(ECursor::ARROW)] = XCreateFontCursor(mX->display, XC_left_ptr);
  mCursors[static_cast<int>(ECursor::HAND)] = XCreateFontCursor(mX->display, XC_hand2);
  mCursors[static_cast<int>(ECursor::SIZENWSE)] = XCreateFontCursor(mX->display, XC_bottom_right_corner);
  XDefineCursor(mX->display, mWindow, mCursors[0]);
  MakeBackBuffer();
  XMapWindow(mX->display, mWindow);
  XFlush(mX->display);
}

X11Window::~X11Window() {
  // The connection's end frees what the server holds, not Xlib's own record of the context.
  XFreeGC(mX->display, mX->gc);
  XCloseDisplay(mX->display);
}

void X11Window::MakeBackBuffer() {
  if (mBackBuffer != 0) XFreePixmap(mX->display, mBackBuffer);
  mBackBuffer = XCreatePixmap(mX->display, mWindow, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight),
                              static_cast<unsigned>(DefaultDepth(mX->display, DefaultScreen(mX->display))));
  mWholeImageDue = true;
}

void X11Window::Idle() {
  while (!mGone && XPending(mX->display) > 0) {
    Event event{};
    XNextEvent(mX->display, &event.x);
    Dispatch(event);
  }
  if (mGone) return;
  const int steps = mPacer.Due(FramePacer::Clock::now());
  if (steps == 0) return;
  const std::lock_guard<std::recursive_mutex> guard(mSurface.Lock());
  FollowSurfaceSize();
  const IRECT changed = mSurface.Frames(steps);
  if (mWholeImageDue) {
    Present({0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight)});
    mWholeImageDue = false;
  } else if (!changed.Empty()) {
    Present(changed);
  }
  FollowCursor();
  XFlush(mX->display);
}

void X11Window::Show() {
  if (mGone) return;
  XMapRaised(mX->display, mWindow);
  XFlush(mX->display);
}

void X11Window::Hide() {
  mSurface.CancelPress();
  if (mGone) return;
  XUnmapWindow(mX->display, mWindow);
  XFlush(mX->display);
}

void X11Window::Dispatch(Event& wrapped) {
  XEvent& event = wrapped.x;
  switch (event.type) {
    case ButtonPress:
      Pressed(event.xbutton.button, event.xbutton.state, event.xbutton.x, event.xbutton.y, event.xbutton.time);
      break;
    case ButtonRelease:
      if (isWheel(event.xbutton.button) || !mSurface.Pressed()) break;
      mSurface.Release(static_cast<float>(event.xbutton.x), static_cast<float>(event.xbutton.y),
                       modifiers(event.xbutton.state, 0));
      break;
    case MotionNotify:
      mSurface.Move(static_cast<float>(event.xmotion.x), static_cast<float>(event.xmotion.y),
                    modifiers(event.xmotion.state, 0));
      break;
    case EnterNotify:
      mSurface.Move(static_cast<float>(event.xcrossing.x), static_cast<float>(event.xcrossing.y),
                    modifiers(event.xcrossing.state, 0));
      break;
    case LeaveNotify:
      // Another client took the pointer (a host's menu): the held button comes up elsewhere.
      if (event.xcrossing.mode == NotifyGrab) mSurface.CancelPress();
      // While a button is held the window keeps the pointer: the drag goes on outside it.
      if (!mSurface.Pressed()) mSurface.Leave();
      break;
    case FocusOut:
    case UnmapNotify: mSurface.CancelPress(); break;
    case KeyPress: mSurface.Key(keyOf(event.xkey)); break;
    case Expose:
      if (mWholeImageDue) break;  // the next frame shows everything
      XCopyArea(mX->display, mBackBuffer, mWindow, mX->gc, event.xexpose.x, event.xexpose.y,
                static_cast<unsigned>(event.xexpose.width), static_cast<unsigned>(event.xexpose.height),
                event.xexpose.x, event.xexpose.y);
      break;
    case ConfigureNotify: Configured(event.xconfigure.window, event.xconfigure.width, event.xconfigure.height); break;
    case DestroyNotify:
      if (event.xdestroywindow.window == mWindow) {
        mGone = true;
        mSurface.CancelPress();
      }
      break;
    default: break;
  }
}

void X11Window::Pressed(unsigned int button, unsigned int state, int x, int y, unsigned long time) {
  const auto px = static_cast<float>(x);
  const auto py = static_cast<float>(y);
  if (isWheel(button)) {
    if (button == kWheelUp || button == kWheelDown) {
      mSurface.Wheel(px, py, modifiers(state, 0), button == kWheelUp ? 1.0f : -1.0f);
    }
    return;
  }
  const IMouseMod mod = modifiers(state, button);
  if (button != Button1) {
    mSurface.Press(px, py, mod);
    return;
  }
  // A double-click by the server's clock: a second left press soon after and near the first.
  const bool isDouble = mDoubleClickArmed && time - mLastPressTime <= kDoubleClickMs &&
                        std::abs(x - mLastPressX) <= kDoubleClickSlop && std::abs(y - mLastPressY) <= kDoubleClickSlop;
  mDoubleClickArmed = !isDouble;
  mLastPressTime = time;
  mLastPressX = x;
  mLastPressY = y;
  if (isDouble) {
    mSurface.DoubleClick(px, py, mod);
  } else {
    mSurface.Press(px, py, mod);
  }
}

void X11Window::Configured(XId window, int width, int height) {
  const bool mine = window == mWindow;
  if (!mine && window != mParent) return;
  if (width == mWidth && height == mHeight) return;  // the size the editor chose
  if (mine) {
    mWidth = width;
    mHeight = height;
    MakeBackBuffer();
  }
  mSurface.FitTo(width, height);
}

void X11Window::FollowSurfaceSize() {
  const int width = mSurface.PixelWidth();
  const int height = mSurface.PixelHeight();
  if (width == mWidth && height == mHeight) return;
  mWidth = width;
  mHeight = height;
  XResizeWindow(mX->display, mWindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
  MakeBackBuffer();
}

void X11Window::Present(const IRECT& area) {
  const int left = std::max(0, static_cast<int>(area.L));
  const int top = std::max(0, static_cast<int>(area.T));
  const int right = std::min(mWidth, static_cast<int>(area.R));
  const int bottom = std::min(mHeight, static_cast<int>(area.B));
  if (right <= left || bottom <= top) return;
  int stride = 0;
  // Xlib only reads the pixels; it takes them as writable all the same.
  auto* pixels = const_cast<char*>(reinterpret_cast<const char*>(mSurface.Pixels(stride)));
  const int screen = DefaultScreen(mX->display);
  XImage* image = XCreateImage(mX->display, DefaultVisual(mX->display, screen),
                               static_cast<unsigned>(DefaultDepth(mX->display, screen)), ZPixmap, 0, pixels,
                               static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight), 32, stride);
  if (image == nullptr) return;
  image->byte_order = nativeByteOrder();
  const auto width = static_cast<unsigned>(right - left);
  const auto height = static_cast<unsigned>(bottom - top);
  XPutImage(mX->display, mBackBuffer, mX->gc, image, left, top, left, top, width, height);
  XCopyArea(mX->display, mBackBuffer, mWindow, mX->gc, left, top, width, height, left, top);
  image->data = nullptr;  // the renderer owns the pixels
  XDestroyImage(image);
}

void X11Window::FollowCursor() {
  const ECursor cursor = mSurface.Cursor();
  if (cursor == mCursor) return;
  mCursor = cursor;
  XDefineCursor(mX->display, mWindow, mCursors[static_cast<int>(cursor)]);
}

}  // namespace frame
