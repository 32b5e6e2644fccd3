// The icon button that switches the editor's pages, and the grip drawn over the window's resize
// corner.
#pragma once

#include <functional>

#include "suite_control.h"

namespace suite {

class IconButton : public Control {
 public:
  enum class Icon { Settings = 0, Done = 1 };

  IconButton(Icon icon, const char* tooltip, std::function<void()> onClick);

  void OnMouseDown(float x, float y, const frame::IMouseMod& mod) override;
  // Clicks only when released over the button: moving out first cancels.
  void OnMouseUp(float x, float y, const frame::IMouseMod& mod) override;
  void paint(frame::IGraphics& g) override;

  Icon icon;
  std::function<void()> onClick;
  bool pressed = false;
};

class Resizer : public frame::ICornerResizerControl {
 public:
  explicit Resizer(float size) : frame::ICornerResizerControl(size) {}
  void Draw(frame::IGraphics& g) override;
};

}  // namespace suite
