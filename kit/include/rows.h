// The row-shaped widgets bound to one parameter: a choice row opening a menu of its named values,
// a segmented picker whose thumb glides to the chosen segment, and an on/off switch. A row's
// selected index is the parameter's integer value minus its minimum.
#pragma once

#include <string>
#include <vector>

#include "suite_control.h"

namespace suite {

class ChoiceRow : public Control {
 public:
  ChoiceRow(int paramIdx, const char* label, const char* tooltip);

  // Only a press on the box opens the menu; the pick arrives in OnPopupMenuSelection.
  void OnMouseDown(float x, float y, const frame::IMouseMod& mod) override;
  void OnPopupMenuSelection(frame::IPopupMenu* menu, int valIdx) override;
  void paint(frame::IGraphics& g) override;
  // Half the row's width plus 20, at most 96 pixels, at the right end.
  frame::IRECT box() const;

  std::string label;
  frame::IPopupMenu menu;  // rebuilt at every opening
};

class Segmented : public Control {
 public:
  // Built with no texts, it takes its parameter's display texts at its first frame.
  Segmented(int paramIdx, const char* tooltip, std::vector<std::string> segments, const char* label, float labelWidth);

  void OnMouseDown(float x, float y, const frame::IMouseMod& mod) override;
  // The thumb covers 30 % of the remaining way each frame and snaps within 0.005.
  bool IsDirty() override;
  void paint(frame::IGraphics& g) override;
  frame::IRECT track() const;
  int selectedIndex() const;

  std::vector<std::string> segments;
  std::string label;
  float labelWidth;
  float pos = -1.0f;  // the thumb, in segments; -1 until first shown
};

class SwitchRow : public Control {
 public:
  SwitchRow(int paramIdx, const char* label, const char* tooltip);

  // Only a press on the switch toggles it; the label does nothing.
  void OnMouseDown(float x, float y, const frame::IMouseMod& mod) override;
  void paint(frame::IGraphics& g) override;
  frame::IRECT toggleArea() const;

  std::string label;
};

}  // namespace suite
