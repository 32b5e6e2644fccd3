// The gallery page: knobs, rows, buttons and the resize grip on the editor's background.
#include "gallery_layout.h"

#include "buttons.h"
#include "knob.h"
#include "params.h"
#include "rows.h"
#include "theme.h"

namespace gallery {
namespace {

using frame::IRECT;

template <typename C>
C* place(frame::IGraphics& g, C* control, const IRECT& r) {
  control->SetTargetAndDrawRECTs(r);
  g.AttachControl(control);
  return control;
}

// A heading: the page's own text, drawn by the theme like any widget's.
class Heading : public suite::Control {
 public:
  Heading(const char* text, float size) : suite::Control(frame::kNoParameter, nullptr), mText(text), mSize(size) {
    SetIgnoreMouse(true);
  }
  void paint(frame::IGraphics& g) override {
    g.DrawText(theme::sans(mSize, theme::SemiBold, theme::inkDim, frame::EAlign::Near), mText, GetRECT());
  }

 private:
  const char* mText;
  float mSize;
};

}  // namespace

void layout(frame::IGraphics& g) {
  using namespace reelstop;
  g.SetScaleConstraints(0.75f, 2.0f);
  theme::loadFonts(g);
  g.AttachPanelBackground(theme::bg);
  place(g, new Heading("Knobs", 13.0f), IRECT(20, 14, 300, 34));
  place(g, new suite::Knob(kStopTime, "Stop Time", "How long the tape takes to stop", false), IRECT(20, 40, 110, 130));
  place(g, new suite::Knob(kWeight, "Weight", "How heavy the platter is", false), IRECT(120, 40, 210, 130));
  place(g, new suite::Knob(kStartCurve, "Start Curve", "The start's bend", true), IRECT(220, 40, 310, 130));
  place(g, new suite::Knob(kVarispeed, "Small", nullptr, false), IRECT(320, 40, 400, 76));

  place(g, new Heading("Rows", 13.0f), IRECT(20, 146, 300, 166));
  place(g, new suite::ChoiceRow(kRamp, "Ramp", "The curve of stops and starts"), IRECT(20, 172, 400, 204));
  place(g, new suite::ChoiceRow(kStartMode, "Mode", nullptr), IRECT(20, 210, 160, 242));
  place(g, new suite::Segmented(kSnap, "The grid starts land on", {}, "Snap", 60.0f), IRECT(20, 252, 400, 282));
  place(g, new suite::Segmented(kTurn, nullptr, {}, "", 0.0f), IRECT(20, 292, 400, 322));
  place(g, new suite::SwitchRow(kAuto, "Auto", "Stop and start lengths from the tempo"), IRECT(20, 332, 400, 362));
  place(g, new suite::SwitchRow(kMidiTrigger, "MIDI Trigger", nullptr), IRECT(20, 368, 400, 398));

  place(g, new Heading("Buttons", 13.0f), IRECT(20, 412, 300, 432));
  place(g, new suite::IconButton(suite::IconButton::Icon::Settings, "Settings", nullptr), IRECT(20, 436, 52, 468));
  place(g, new suite::IconButton(suite::IconButton::Icon::Done, "Back to the record", nullptr),
        IRECT(60, 436, 120, 468));
  g.AttachCornerResizer(new suite::Resizer(16.0f), frame::EUIResizerMode::Scale);
  g.EnableTooltips(true);
}

}  // namespace gallery
