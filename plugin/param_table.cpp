// The nineteen parameters and their display functions.
#include "param_table.h"

#include <cmath>

#include "choices.h"
#include "params.h"

namespace reelstop {
namespace {

using frame::IParam;

constexpr int kDisplayLength = 32;
// ln(790 / 9990) / ln(0.5): puts 800 ms exactly at the middle of a time control's travel.
constexpr double kTimeShapeExponent = 3.6605601196153152;
constexpr double kLinearCurveBelow = 0.02;

void initTime(IParam& param, const char* name, double defaultMs) {
  param.InitDouble(name, defaultMs, 10.0, 10000.0, 0.1, "ms", 0, "", IParam::ShapePowCurve(kTimeShapeExponent),
                   frame::kUnitMilliseconds, formatTime);
}

void initCurve(IParam& param, const char* name) {
  param.InitDouble(name, 0.0, -1.0, 1.0, 0.001, "", 0, "", IParam::ShapeLinear(), frame::kUnitCustom, formatCurve);
}

void initUnit(IParam& param, const char* name, double defaultValue) {
  param.InitDouble(name, defaultValue, 0.0, 1.0, 0.001, "", 0, "", IParam::ShapeLinear(), frame::kUnitCustom,
                   formatPlain);
}

}  // namespace

void formatTime(double ms, frame::DisplayText& text) {
  if (ms < 1000.0) {
    text.SetFormatted(kDisplayLength, "%d ms", static_cast<int>(std::lround(ms)));
  } else {
    text.SetFormatted(kDisplayLength, "%.2f s", ms / 1000.0);
  }
}

void formatCurve(double curve, frame::DisplayText& text) {
  if (std::fabs(curve) < kLinearCurveBelow) {
    text.Set("linear");
  } else {
    text.SetFormatted(kDisplayLength, "%.2f", curve);
  }
}

void formatPercent(double percent, frame::DisplayText& text) {
  text.SetFormatted(kDisplayLength, "%d%%", static_cast<int>(std::lround(percent)));
}

void formatPlain(double value, frame::DisplayText& text) { text.SetFormatted(kDisplayLength, "%.2f", value); }

void initParams(frame::Plugin& plugin) {
  auto param = [&plugin](int index) -> IParam& { return *plugin.GetParam(index); };
  param(kStop).InitBool("Stop", false);
  initTime(param(kStopTime), "Stop Time", 800.0);
  param(kStopSync).InitEnum("Stop Sync", 0, choiceTexts(kSyncChoices));
  initCurve(param(kStopCurve), "Stop Curve");
  initTime(param(kStartTime), "Start Time", 400.0);
  param(kStartSync).InitEnum("Start Sync", 0, choiceTexts(kSyncChoices));
  initCurve(param(kStartCurve), "Start Curve");
  param(kStartMode).InitEnum("Start Mode", 0, choiceTexts(kStartModeChoices));
  param(kVarispeed)
      .InitDouble("Varispeed", 100.0, 25.0, 100.0, 0.01, "%", 0, "", IParam::ShapeLinear(), frame::kUnitPercentage,
                  formatPercent);
  param(kMidiTrigger).InitBool("MIDI Trigger", true);
  param(kSnap).InitEnum("Snap", choiceIndex(kSnapChoices, "1/4"), choiceTexts(kSnapChoices));
  param(kTurn).InitEnum("Turn", 0, choiceTexts(kTurnChoices));
  param(kRamp).InitEnum("Ramp", static_cast<int>(Ramp::kPlatter), choiceTexts(kRampChoices));
  param(kAuto).InitBool("Auto", true);
  param(kScratch).InitDouble("Scratch", 0.0, -4.0, 4.0, 0.0001, "turns", 0, "", IParam::ShapeLinear(),
                             frame::kUnitCustom, formatPlain);
  param(kLock).InitEnum("Lock", 0, choiceTexts(kLockChoices));
  param(kWeight).InitDouble("Weight", 15.0, 0.0, 100.0, 0.01, "%", 0, "", IParam::ShapeLinear(), frame::kUnitPercentage,
                            formatPercent);
  initUnit(param(kEaseIn), "Ease In", 0.15);
  initUnit(param(kEaseOut), "Ease Out", 0.45);
}

}  // namespace reelstop
