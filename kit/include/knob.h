// suite::Knob: the settings page's rotary control: a label above, a dial with a 288-degree arc,
// and the parameter's display text below with fixed-width digits.
#pragma once

#include <string>

#include "suite_control.h"

namespace suite {

class Knob : public Control {
 public:
  Knob(int paramIdx, const char* label, const char* tooltip, bool bipolar);

  // A drag of 180 pixels (900 with Shift) covers the whole range; right and up increase.
  void OnMouseDrag(float x, float y, float dX, float dY, const frame::IMouseMod& mod) override;
  void paint(frame::IGraphics& g) override;
  // The dial's square: at most 44 pixels, at least 1 by 1, centred in the control.
  frame::IRECT dial() const;

  std::string label;
  bool bipolar;  // the value arc starts at the top centre
};

}  // namespace suite
