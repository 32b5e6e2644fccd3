// suite::Control: the base of every widget: an optional clip (a scrolling page cuts its widgets
// at its viewport), an optional wheel callback (the page scrolls over any of them), the pointing
// hand while hovered, and drawing split into the clipped Draw and the widget's paint.
// Main thread only.
#pragma once

#include <functional>
#include <string>

#include "frame/icontrol.h"
#include "frame/igraphics.h"

namespace suite {

class Control : public frame::IControl {
 public:
  Control(int paramIdx, const char* tooltip);
  ~Control() override;

  void OnMouseWheel(float x, float y, const frame::IMouseMod& mod, float d) override;
  void OnMouseOver(float x, float y, const frame::IMouseMod& mod) override;
  void OnMouseOut() override;
  void Draw(frame::IGraphics& g) override;
  bool IsHit(float x, float y) const override;
  virtual void paint(frame::IGraphics& g) = 0;

  // Sets the parameter from code as one complete host gesture; nothing without a parameter.
  void setParamAsGesture(double value);

  frame::IRECT clip;                 // not empty: drawing and hit testing stay inside it
  std::function<void(float)> wheel;  // called with the raw wheel delta
  bool handCursor = false;
};

// The parameter's display string for its value, display texts applied; empty without one.
std::string displayText(const frame::IParam* param);

// The normalised value of plain `value` for the parameter: stepped, clamped, shaped, within 0..1.
double normalisedOf(const frame::IParam& param, double value);

}  // namespace suite
