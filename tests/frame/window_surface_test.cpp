// The window side of the surface: the lock it holds is the one it was given, several animation
// steps draw once, a press the window never sees released is released, and a window made
// another size by someone else scales the editor to fit.
#include "window_surface.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "blank_plugin.h"
#include "frame/headless_host.h"

namespace frame {
namespace {

using Blank = test::BlankPlugin;

// Counts its frames and drawings, and logs the mouse with the state of both locks.
class Counter : public IControl {
 public:
  Counter(std::recursive_mutex& given, std::vector<std::string>& log)
      : IControl({10, 10, 60, 60}), mGiven(given), mLog(log) {}
  void Draw(IGraphics&) override { ++drawn; }
  bool IsDirty() override {
    ++asked;
    return true;
  }
  void OnMouseDown(float x, float y, const IMouseMod& mod) override {
    mLog.push_back("down " + locks());
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(float x, float y, const IMouseMod&) override {
    mLog.push_back("up " + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  }
  int asked = 0;
  int drawn = 0;

 private:
  // Which lock another thread finds taken: the given one must be, this binary's own must not.
  std::string locks() {
    return std::async(std::launch::async,
                      [this] {
                        const bool given = mGiven.try_lock();
                        if (given) mGiven.unlock();
                        const bool own = MainLock().try_lock();
                        if (own) MainLock().unlock();
                        return std::string(given ? "given free" : "given held") + (own ? ", own free" : ", own held");
                      })
        .get();
  }
  std::recursive_mutex& mGiven;
  std::vector<std::string>& mLog;
};

struct Window {
  HeadlessHost host{[](const InstanceInfo& info) { return std::make_unique<Blank>(info); }};
  CairoGraphics g{host.plugin(), 100, 80, 2.0f};
  std::recursive_mutex given;
  WindowSurface surface{g, given};
  std::vector<std::string> log;
  Counter* counter = nullptr;

  Window() {
    g.SetScaleConstraints(0.75f, 2.0f);
    counter = static_cast<Counter*>(g.AttachControl(new Counter(given, log)));
  }
};

TEST(WindowSurface, HoldsTheLockItWasGivenAndStepsAnimationBeforeOneDrawing) {
  Window w;
  w.surface.Press(40, 40, {});
  EXPECT_EQ(w.log, std::vector<std::string>{"down given held, own free"});

  w.surface.Frames(1);
  const int asked = w.counter->asked;
  const int drawn = w.counter->drawn;
  const IRECT changed = w.surface.Frames(3);
  EXPECT_EQ(w.counter->asked - asked, 3) << "three steps of animation";
  EXPECT_EQ(w.counter->drawn - drawn, 1) << "one drawing";
  EXPECT_EQ(changed, IRECT(20, 20, 120, 120)) << "window pixels at scale 2";
}

TEST(WindowSurface, APressTheWindowNeverSeesReleasedIsReleasedWhereThePointerWasLast) {
  Window w;
  w.surface.CancelPress();
  EXPECT_TRUE(w.log.empty()) << "nothing held, nothing released";
  w.surface.Press(40, 40, {});
  w.surface.Move(50, 70, {});
  EXPECT_TRUE(w.surface.Pressed());
  w.surface.CancelPress();
  EXPECT_FALSE(w.surface.Pressed());
  w.surface.CancelPress();
  EXPECT_EQ(w.log, (std::vector<std::string>{"down given held, own free", "up 25,35"})) << "released once";
}

TEST(WindowSurface, AWindowMadeAnotherSizeScalesTheEditorToFitWithinItsConstraints) {
  Window w;
  w.surface.FitTo(150, 200);
  EXPECT_FLOAT_EQ(w.surface.Scale(), 1.5f) << "the narrower side decides";
  EXPECT_EQ(w.surface.PixelWidth(), 150);
  EXPECT_EQ(w.surface.PixelHeight(), 120);
  w.surface.FitTo(10, 10);
  EXPECT_FLOAT_EQ(w.surface.Scale(), 0.75f);
  w.surface.FitTo(1000, 1000);
  EXPECT_FLOAT_EQ(w.surface.Scale(), 2.0f);
}

}  // namespace
}  // namespace frame
