// X11Window: the editor's surface shown in a window of its own, a child of a host's parent
// window, on a display connection of its own. X events become the surface's input; each frame is
// drawn by the renderer into its image, and only the changed rectangle is put into a Pixmap back
// buffer and copied from there to the window. The window never carries a Cairo surface: drawing
// on a window the host destroyed with its parent would raise an X error.
// Threads: the thread that opened it only (Xlib is called nowhere else). Every surface call holds
// the surface's lock; a size change made elsewhere (a restore) is followed on the next Idle.
#pragma once

#include <memory>

#include "frame_pacer.h"
#include "window_surface.h"

namespace frame {

class X11Window {
 public:
  // Null when no X display can be opened.
  using XId = unsigned long;  // an X window, pixmap or cursor
  static std::unique_ptr<X11Window> Open(XId parent, WindowSurface& surface);
  // Closing the connection destroys what it made, and nothing fails when the host destroyed
  // the parent (and with it the window) first.
  ~X11Window();
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  XId Handle() const { return mWindow; }
  int Width() const { return mWidth; }  // window pixels
  int Height() const { return mHeight; }

  // The X events waiting, then the frames due (FramePacer), drawn once and shown.
  void Idle();
  void Show();
  // Hiding lets go of a held control: its release would never arrive.
  void Hide();

 private:
  // Xlib's own types stay in the source file: its macros (Bool, Status, None) clash with the
  // frame's names.
  struct Connection;  // the display and the drawing context
  struct Event;       // one X event

  X11Window(std::unique_ptr<Connection> connection, XId parent, WindowSurface& surface);
  void Dispatch(Event& event);
  // A button went down at (x, y) at the server's `time` (milliseconds).
  void Pressed(unsigned int button, unsigned int state, int x, int y, unsigned long time);
  // A size someone else gave the window or its parent: the editor scales to fit.
  void Configured(XId window, int width, int height);
  // Under the lock: the window and its back buffer take the surface's size.
  void FollowSurfaceSize();
  void MakeBackBuffer();
  // Under the lock: the surface's pixels in `area` to the back buffer and the window.
  void Present(const IRECT& area);
  void FollowCursor();

  std::unique_ptr<Connection> mX;
  XId mParent;
  WindowSurface& mSurface;
  XId mWindow = 0;
  XId mBackBuffer = 0;
  XId mCursors[3] = {};  // in ECursor order
  ECursor mCursor = ECursor::ARROW;
  int mWidth = 0;
  int mHeight = 0;
  bool mGone = false;                // the host destroyed the window with its parent
  bool mWholeImageDue = true;        // a new back buffer holds nothing yet
  unsigned long mLastPressTime = 0;  // of the last left press, for double-clicks
  int mLastPressX = 0;
  int mLastPressY = 0;
  bool mDoubleClickArmed = false;  // the next left press may complete a double-click
  FramePacer mPacer;
};

}  // namespace frame
