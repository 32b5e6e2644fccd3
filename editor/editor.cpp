// The editor: the record page (the on-screen record and its status display, the snap picker) and
// the scrolling settings page, built once per surface; switching pages only hides and shows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "buttons.h"
#include "data_folder.h"
#include "knob.h"
#include "params.h"
#include "reelstop_editor.h"
#include "rows.h"
#include "shared_constants.h"
#include "theme.h"

namespace reelstop_ui {
namespace {

using frame::IColor;
using frame::IGraphics;
using frame::IRECT;
using reelstop::EditorLink;
using reelstop::kTwoPi;
using reelstop::Reelstop;

enum Page : int { Main = 0, Settings = 1 };

constexpr int kMainViewTag = 1;
constexpr int kSettingsViewTag = 2;
const char* const kMainGroup = "main";
const char* const kSettingsGroup = "settings";
const IRECT kBounds(0, 0, 420, 480);
constexpr float kMinScale = 0.75f;
constexpr float kMaxScale = 2.0f;
constexpr float kResizerCorner = 16.0f;
constexpr double kPi = kTwoPi / 2.0;

void showPage(Reelstop& plugin, IGraphics& g, Page page);

// The whole number nearest a colour channel or alpha (never negative here): halves round up.
int nearest(double value) { return static_cast<int>(std::floor(value + 0.5)); }

// The parameter's normalised value for a plain one, held in its range and step.
void sendPlain(Reelstop& plugin, int paramIdx, double value) {
  plugin.SendParameterValueFromUI(paramIdx, plugin.GetParam(paramIdx)->ToNormalized(value));
}

// ---- The record -----------------------------------------------------------------------------

constexpr float kDeadZone = 0.06f;             // of the record's width, around the centre
constexpr float kScratchThresholdRad = 0.06f;  // turned while held before a scratch starts
constexpr int kScratchGestureFrames = 8;       // frames after a release before "Scratch" lets go
constexpr double kLargestFrameTurn = 0.5;      // radians: a larger phase step is a reset, not motion
constexpr float kActivityBand = 0.02f;
constexpr float kActivityEase = 0.07f;
constexpr double kCoastEase = 0.1;
constexpr double kPhaseLock = 0.15;
constexpr float kHeldRimRate = 0.5f;
constexpr float kRimRate = 0.18f;
constexpr int kSlowRimAlpha = 191;
constexpr int kRingSegments = 200;
constexpr int kPeakBlock = reelstop::kPeakSlotSamples;
constexpr int kPeakSlots = reelstop::kPeakHistorySlots;
constexpr float kMarkerRise = 9.0f;  // the marker reaches above the record's rectangle

class Platter : public suite::Control {
 public:
  explicit Platter(Reelstop& plugin) : suite::Control(frame::kNoParameter, nullptr), mPlugin(plugin) {}
  ~Platter() override;

  void OnMouseDown(float x, float y, const frame::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const frame::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const frame::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const frame::IMouseMod& mod) override { OnMouseDown(x, y, mod); }
  void OnMouseOver(float x, float y, const frame::IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnMouseWheel(float, float, const frame::IMouseMod&, float) override {}
  bool IsDirty() override { return !IsHidden(); }
  IRECT GetDrawnArea() const override { return GetRECT().Union(GetRECT().GetTranslated(0.0f, -kMarkerRise)); }
  void paint(IGraphics& g) override;

  // Once a frame, from the main view.
  void frameUpdate(bool idle);
  // Ends an open "Scratch" gesture at once (the settings page is about to show).
  void closeScratchGesture();
  bool touched() const { return mTouched; }

 private:
  EditorLink& link() { return mPlugin.editorLink(); }
  float centreX() const { return GetRECT().MW(); }
  float centreY() const { return GetRECT().MH(); }
  void releaseHand();
  void paintGrooves(IGraphics& g, float cx, float cy, float rDisc, float rLabel);
  void paintRing(IGraphics& g, float cx, float cy, float rDisc, float rLabel);

  Reelstop& mPlugin;
  bool mScratchGestureOpen = false;
  bool mStopGestureOpen = false;  // one press begins the "Stop" gesture once, whatever else arrives
  bool mAngleStale = false;       // the last press or move was in the centre: no angle to turn from
  int mFramesSinceRelease = 0;
  float mLastAngle = 0.0f;
  float mTurned = 0.0f;
  double mLastPhase = 0.0;
  bool mTouched = false;
  float mActivity = 0.0f;
  double mAngle = 0.0;
  double mVelocity = 0.0;
  IColor mRim = theme::surfaceHi;
  frame::ILayerPtr mLayer;
};

// Closing the editor while the record is held leaves no stopped tape and no open gesture.
Platter::~Platter() {
  if (mStopGestureOpen || link().handDown.load()) releaseHand();
  closeScratchGesture();
}

void Platter::releaseHand() {
  link().releaseHand();
  sendPlain(mPlugin, reelstop::kStop, 0.0);
  if (mStopGestureOpen) mPlugin.EndInformHostOfParamChangeFromUI(reelstop::kStop);
  mStopGestureOpen = false;
}

void Platter::closeScratchGesture() {
  if (!mScratchGestureOpen) return;
  sendPlain(mPlugin, reelstop::kScratch, 0.0);
  mPlugin.EndInformHostOfParamChangeFromUI(reelstop::kScratch);
  mScratchGestureOpen = false;
}

void Platter::OnMouseDown(float x, float y, const frame::IMouseMod&) {
  const float dx = x - centreX();
  const float dy = y - centreY();
  mLastAngle = std::atan2(dy, dx);
  mAngleStale = std::hypot(dx, dy) < kDeadZone * GetRECT().W();
  mTurned = 0.0f;
  mTouched = true;
  link().handDown.store(true);
  if (!mScratchGestureOpen) {
    mPlugin.BeginInformHostOfParamChangeFromUI(reelstop::kScratch);
    mScratchGestureOpen = true;
  }
  sendPlain(mPlugin, reelstop::kScratch, 0.0);
  if (!mStopGestureOpen) {
    mPlugin.BeginInformHostOfParamChangeFromUI(reelstop::kStop);
    mStopGestureOpen = true;
  }
  sendPlain(mPlugin, reelstop::kStop, 1.0);
}

void Platter::OnMouseDrag(float x, float y, float, float, const frame::IMouseMod&) {
  const float dx = x - centreX();
  const float dy = y - centreY();
  if (std::hypot(dx, dy) < kDeadZone * GetRECT().W()) {
    mAngleStale = true;
    return;
  }
  const float a = std::atan2(dy, dx);
  // Leaving the centre only finds the angle: the way across it is no rotation of the hand.
  if (mAngleStale) {
    mLastAngle = a;
    mAngleStale = false;
    return;
  }
  float d = a - mLastAngle;
  if (d > static_cast<float>(kPi)) d -= static_cast<float>(kTwoPi);
  if (d < -static_cast<float>(kPi)) d += static_cast<float>(kTwoPi);
  mLastAngle = a;
  if (!link().scratching.load()) {
    mTurned += std::fabs(d);
    if (mTurned < kScratchThresholdRad) return;
    link().scratchAngle.store(0.0);
    link().scratching.store(true);
  }
  const double scratchAngle = link().scratchAngle.load() + static_cast<double>(d);
  link().scratchAngle.exchange(scratchAngle);
  sendPlain(mPlugin, reelstop::kScratch, scratchAngle / kTwoPi);
}

void Platter::OnMouseUp(float, float, const frame::IMouseMod&) {
  releaseHand();
  mFramesSinceRelease = 0;
}

void Platter::OnMouseOver(float x, float y, const frame::IMouseMod& mod) {
  GetUI()->SetMouseCursor(frame::ECursor::HAND);
  suite::Control::OnMouseOver(x, y, mod);
}

void Platter::OnMouseOut() {
  GetUI()->SetMouseCursor(frame::ECursor::ARROW);
  suite::Control::OnMouseOut();
}

void Platter::frameUpdate(bool idle) {
  EditorLink& shared = link();
  const bool hand = shared.handDown.load();
  if (mScratchGestureOpen && !hand && mFramesSinceRelease++ >= kScratchGestureFrames) closeScratchGesture();

  const double phase = shared.platterPhase.load();
  const double delta = phase - mLastPhase;
  mLastPhase = phase;
  const float speed = shared.displaySpeed.load();
  const float target = idle ? 0.0f : 1.0f;
  const double d = std::fabs(delta) < kLargestFrameTurn ? delta : 0.0;
  if (hand) {
    mActivity = target;
    mVelocity = d;
    const double base = mAngle + d;
    mAngle = base + std::remainder(phase - base, kTwoPi);
  } else if (std::fabs(mActivity - target) > kActivityBand) {
    mActivity += (target - mActivity) * kActivityEase;
    mVelocity += (d - mVelocity) * kCoastEase;
    mAngle += mVelocity;
  } else {
    mActivity = target;
    mVelocity = d;
    const double base = mAngle + d;
    mAngle = base + std::remainder(phase - base, kTwoPi) * kPhaseLock;
  }

  IColor rimTarget = theme::surfaceHi;
  float rate = kRimRate;
  if (hand) {
    rimTarget = theme::accent;
    rate = kHeldRimRate;
  } else if (!idle && speed < 0.995f) {
    rimTarget = theme::accent.WithAlpha(kSlowRimAlpha);
  } else if (!idle && speed > 1.005f) {
    rimTarget = theme::cool;
  }
  auto ease = [rate](int c, int t) { return nearest(static_cast<float>(t - c) * rate + static_cast<float>(c)); };
  mRim = {ease(mRim.A, rimTarget.A), ease(mRim.R, rimTarget.R), ease(mRim.G, rimTarget.G), ease(mRim.B, rimTarget.B)};
}

void Platter::paint(IGraphics& g) {
  const IRECT& r = GetRECT();
  const float cx = r.MW();
  const float cy = r.MH();
  const float rOut = std::min(r.W(), r.H()) / 2.0f - 2.0f;
  const float rDisc = rOut - 5.0f;
  const float rLabel = 0.34f * rDisc;
  g.FillCircle(mRim, cx, cy, rOut);
  g.FillCircle(theme::vinyl, cx, cy, rDisc);
  if (!g.CheckLayer(mLayer)) {
    g.StartLayer(this, r, true);
    paintGrooves(g, cx, cy, rDisc, rLabel);
    mLayer = g.EndLayer();
  }
  g.DrawLayer(mLayer);
  paintRing(g, cx, cy, rDisc, rLabel);

  g.FillCircle(theme::accent, cx, cy, rLabel);
  g.DrawCircle(theme::black.WithAlpha(46), cx, cy, 0.78f * rLabel, nullptr, 1.0f);
  const auto theta = static_cast<float>(std::fmod(mAngle, kTwoPi));
  const float c = std::cos(theta);
  const float s = std::sin(theta);
  g.DrawLine(theme::bg.WithAlpha(217), cx + 0.3f * rLabel * c, cy + 0.3f * rLabel * s, cx + 0.7f * rLabel * c,
             cy + 0.7f * rLabel * s, nullptr, 2.5f);
  g.FillCircle(theme::surface, cx, cy, 4.5f);
  g.FillCircle(theme::inkFaint, cx, cy, 2.0f);
  const float top = cy - rOut;
  g.FillTriangle(theme::ink, cx - 6.0f, top - kMarkerRise, cx + 6.0f, top - kMarkerRise, cx, top + 7.0f);
}

// The grooves and two sheens of light: drawn once into the layer.
void Platter::paintGrooves(IGraphics& g, float cx, float cy, float rDisc, float rLabel) {
  for (float radius = 1.08f * rLabel; radius < 0.985f * rDisc; radius += 2.2f) {
    const float depth = (radius - rLabel) / (rDisc - rLabel);
    const int alpha = nearest((depth * 0.02f + 0.018f) * 255.0f);
    g.DrawCircle(theme::white.WithAlpha(alpha), cx, cy, radius, nullptr, 0.6f);
  }
  const float inner = 1.2f * rLabel;
  const float step = (0.95f * rDisc - inner) / 13.0f;
  for (const auto& arc : {std::pair{-152.979721f, -116.310425f}, std::pair{27.5019741f, 64.1712723f}}) {
    for (int i = 0; i < 14; ++i) {
      g.PathClear();
      g.PathArc(cx, cy, inner + static_cast<float>(i) * step, arc.first, arc.second);
      g.PathStroke(theme::white.WithAlpha(6), 1.6f);
    }
  }
}

// The last turn of the signal around the label: the sound now heard at the top, the past running
// clockwise, and audio that has arrived but is not yet heard counter-clockwise in the cool colour.
void Platter::paintRing(IGraphics& g, float cx, float cy, float rDisc, float rLabel) {
  const EditorLink& shared = mPlugin.editorLink();
  const float ringR = (0.96f * rDisc + 1.12f * rLabel) / 2.0f;
  const float h = (0.96f * rDisc - 1.12f * rLabel) / 2.0f;
  const float bright = 0.4f + 0.6f * mActivity;
  const auto width = static_cast<float>(std::max(kTwoPi * ringR / kRingSegments * 0.55, 1.2));
  const double spr = shared.samplesPerTurn.load() / kTwoPi;
  const double seg = spr * kTwoPi / kRingSegments;
  const int64_t seen = shared.samplesSeen.load();
  const int64_t blocks = seen / kPeakBlock;
  const int64_t newest = blocks - 1;
  const int64_t oldest = std::max<int64_t>(0, blocks - (kPeakSlots - 1));
  const double playhead = shared.playhead.load();
  frame::IStrokeOptions round;
  round.mCapOption = frame::ELineCap::Round;
  round.mJoinOption = frame::ELineJoin::Round;
  // Neighbouring segments mostly share their colour: one stroke for each run of them.
  IColor pending;
  bool anyPending = false;
  auto flush = [&] {
    if (anyPending) g.PathStroke(pending, width, round);
    anyPending = false;
  };
  for (int i = 0; i < kRingSegments; ++i) {
    const double a = (i + 0.5) / kRingSegments * kTwoPi;
    const double ahead = playhead + (kTwoPi - a) * spr;
    const double behind = playhead - a * spr;
    const bool isAhead = ahead < static_cast<double>(seen) - seg / 2.0;
    const double s = isAhead ? ahead : behind;
    const auto b0 = std::max(oldest, static_cast<int64_t>(std::floor((s - seg / 2.0) / kPeakBlock)));
    const auto b1 = std::min(newest, static_cast<int64_t>(std::floor((s + seg / 2.0) / kPeakBlock)));
    if (b0 > b1) continue;
    float peak = 0.0f;
    for (int64_t b = b0; b <= b1; ++b) {
      peak = std::max(peak, shared.peakHistory[static_cast<size_t>(b % kPeakSlots)].load(std::memory_order_relaxed));
    }
    const float amp = std::max(0.5f, std::min(1.0f, std::sqrt(peak)) * h);
    const double phi = a - kPi / 2.0;
    const auto c = static_cast<float>(std::cos(phi));
    const auto sn = static_cast<float>(std::sin(phi));
    const IColor colour = isAhead ? theme::cool.WithAlpha(nearest(0.95f * bright * 255.0f))
                                  : theme::ink.WithAlpha(nearest((1.0 - 0.55 * a / kTwoPi) * bright * 0.6 * 255.0));
    if (anyPending && !(colour == pending)) flush();
    if (!anyPending) g.PathClear();
    g.PathMoveTo(cx + (ringR - amp) * c, cy + (ringR - amp) * sn);
    g.PathLineTo(cx + (ringR + amp) * c, cy + (ringR + amp) * sn);
    pending = colour;
    anyPending = true;
  }
  flush();
}

// ---- The record page's backdrop and status ----------------------------------------------------

constexpr int kStaleFramesForIdle = 15;
constexpr int kDevCheckFrames = 59;
constexpr float kFadeBand = 0.005f;
constexpr float kFadeRate = 0.12f;
constexpr float kNormalBand = 0.005f;
const char* const kHint = "Hold to stop  \xC2\xB7  Drag to scratch  \xC2\xB7  Let go to spin up";

class MainView : public suite::Control {
 public:
  MainView(Reelstop& plugin, Platter* platter)
      : suite::Control(frame::kNoParameter, nullptr), mPlugin(plugin), mPlatter(platter) {
    SetIgnoreMouse(true);
  }
  bool IsDirty() override;
  void paint(IGraphics& g) override;

 private:
  void paintReadout(IGraphics& g, float alpha);

  IRECT mStatusRect{0, 406, 420, 436};
  Reelstop& mPlugin;
  Platter* mPlatter;
  uint32_t mLastBlockCount = 0;
  int mStaleFrames = 0;
  int mDevCheckFrames = 60;
  bool mDevPresent = false;
  bool mIdle = true;
  float mLastSpeed = 1.0f;
  float mFade = 0.0f;
  std::string mEngineText;
};

bool MainView::IsDirty() {
  if (IsHidden()) return false;
  const EditorLink& shared = mPlugin.editorLink();
  const uint32_t blocks = shared.blockCount.load();
  mStaleFrames = blocks == mLastBlockCount ? mStaleFrames + 1 : 0;
  mLastBlockCount = blocks;
  const float speed = shared.displaySpeed.load();
  const bool idle =
      mStaleFrames > kStaleFramesForIdle || (!shared.active.load() && std::fabs(speed - 1.0f) < kNormalBand);
  if (mDevCheckFrames++ >= kDevCheckFrames) {
    mDevCheckFrames = 0;
    mDevPresent = reelstop::fileExists(reelstop::EngineHost::devLibrary());
  }
  const std::string text = mDevPresent ? mPlugin.engineHost().statusText() : std::string();
  const float target = idle ? 0.0f : 1.0f;
  bool dirty = true;
  if (std::fabs(mFade - target) > kFadeBand) {
    mFade += (target - mFade) * kFadeRate;
  } else {
    // The step that lands the fade on its end is drawn too, or the text stays a shade short of it.
    const bool landed = mFade != target;
    mFade = target;
    dirty = landed || !(idle == mIdle && std::fabs(speed - mLastSpeed) <= 0.0001f && text == mEngineText);
  }
  mIdle = idle;
  mLastSpeed = speed;
  mEngineText = text;
  mPlatter->frameUpdate(idle);
  return dirty || suite::Control::IsDirty();
}

void MainView::paint(IGraphics& g) {
  g.DrawText(theme::sans(15.0f, theme::SemiBold, theme::ink, frame::EAlign::Near), "reelstop", {20, 14, 220, 36});
  if (!mEngineText.empty()) {
    g.DrawText(theme::sans(9.5f, theme::SemiBold, theme::cool, frame::EAlign::Near), mEngineText.c_str(),
               {20, 34, 280, 46});
  }
  const float hintAlpha = std::clamp(1.0f - 2.0f * mFade, 0.0f, 1.0f);
  const float readoutAlpha = std::clamp(2.0f * mFade - 1.0f, 0.0f, 1.0f);
  if (hintAlpha > 0.0f) {
    const IColor dim = theme::inkDim.WithAlpha(nearest(static_cast<float>(theme::inkDim.A) * hintAlpha));
    g.DrawText(theme::sans(12.0f, theme::Regular, dim, frame::EAlign::Center), mPlatter->touched() ? "Idle" : kHint,
               mStatusRect);
  }
  if (readoutAlpha > 0.0f) paintReadout(g, readoutAlpha);
}

// The speed in percent and the pitch shift in semitones, digits at fixed places.
void MainView::paintReadout(IGraphics& g, float alpha) {
  const float s = mLastSpeed;
  const float dev = std::fabs(s - 1.0f);
  IColor colour = s > 1.0f ? theme::cool : theme::accent;
  if (dev < kNormalBand) colour = theme::inkDim;
  char big[32] = "STOP";
  char small[32] = "";
  if (std::fabs(s) >= kNormalBand) {
    std::snprintf(big, sizeof big, "%ld%%", std::lround(static_cast<double>(s) * 100.0));
    if (s > 0.0f) {
      std::snprintf(small, sizeof small, "%s%.1f st", s >= 1.0f ? "+" : "", 12.0 * std::log2(static_cast<double>(s)));
    } else {
      std::snprintf(small, sizeof small, "reverse");
    }
  }
  frame::IText bigText =
      theme::sans(17.0f, theme::SemiBold, dev < kNormalBand ? theme::ink : colour, frame::EAlign::Near);
  frame::IText smallText = theme::sans(11.0f, theme::SemiBold, colour, frame::EAlign::Near);
  const float wBig = theme::monoWidth(g, bigText, big);
  const float wSmall = small[0] != '\0' ? theme::monoWidth(g, smallText, small) + 10.0f : 0.0f;
  const float x = mStatusRect.MW() - (wBig + wSmall) / 2.0f;
  const float y = mStatusRect.MH();
  const frame::IBlend blend{frame::EBlend::Default, alpha};
  theme::drawMono(g, bigText, big, x, y, &blend);
  if (small[0] != '\0') theme::drawMono(g, smallText, small, x + wBig + 10.0f, y + 2.0f, &blend);
}

// ---- The settings page ------------------------------------------------------------------------

constexpr float kCardHeight = 122.0f;
constexpr float kCardPitch = 132.0f;
constexpr float kNoteHeight = 40.0f;
constexpr float kAutoContentHeight = 308.0f;
constexpr float kManualContentHeight = 660.0f;
constexpr float kWheelStep = 24.0f;
constexpr float kScrollBarShortest = 24.0f;
constexpr int kScrollBarAlpha = 153;
constexpr float kSegmentLabelWidth = 52.0f;

std::vector<std::string> snapTexts() { return {"Free", "1/16", "1/8", "1/4", "1/2", "Bar"}; }

class SettingsView : public suite::Control {
 public:
  explicit SettingsView(Reelstop& plugin);
  void attachAll();
  void layoutContent();
  void paint(IGraphics& g) override;

  std::vector<suite::Control*> all;

 private:
  struct Card {
    IRECT* rect;
    const char* heading;
    std::vector<suite::Control*> knobs;
    std::vector<suite::Control*> rows;
  };
  bool autoOn() const { return mPlugin.GetParam(reelstop::kAuto)->Value() > 0.5; }
  float contentHeight() const { return autoOn() ? kAutoContentHeight : kManualContentHeight; }
  void placeCard(const Card& card);

  suite::Knob* mWeightKnob;
  suite::Knob* mEaseInKnob;
  suite::Knob* mEaseOutKnob;
  suite::Knob* mStopTimeKnob;
  suite::Knob* mStopCurveKnob;
  suite::Knob* mStartTimeKnob;
  suite::Knob* mStartCurveKnob;
  suite::Knob* mVarispeedKnob;
  suite::ChoiceRow* mRampRow;
  suite::ChoiceRow* mLockRow;
  suite::ChoiceRow* mStopSyncRow;
  suite::ChoiceRow* mStartSyncRow;
  suite::ChoiceRow* mModeRow;
  suite::Segmented* mSnapRow;
  suite::Segmented* mTurnRow;
  suite::SwitchRow* mAutoSwitch;
  suite::SwitchRow* mMidiSwitch;
  Reelstop& mPlugin;
  IRECT mViewport{14, 50, 406, 452};
  float mContentWidth = 392.0f;
  float mScroll = 0.0f;
  IRECT mAutoCard;
  IRECT mRampCard;
  IRECT mStopCard;
  IRECT mStartCard;
  IRECT mFeelCard;
  IRECT mAutoNote;
};

SettingsView::SettingsView(Reelstop& plugin) : suite::Control(frame::kNoParameter, nullptr), mPlugin(plugin) {
  using namespace reelstop;
  mWeightKnob =
      new suite::Knob(kWeight, "Weight",
                      "Platter ramp: how heavy the platter is. Heavier keeps going longer before it turns, and "
                      "takes longer to get back.",
                      false);
  mEaseInKnob =
      new suite::Knob(kEaseIn, "Ease in",
                      "Bezier ramps: how long the tape keeps doing what it was doing before the stop bites.", false);
  mEaseOutKnob = new suite::Knob(
      kEaseOut, "Ease out",
      "Bezier ramps: how gently the tape settles at the end of the stop. The spin-up is the stop played backwards.",
      false);
  mStopTimeKnob =
      new suite::Knob(kStopTime, "Time", "How long the tape takes to stop (unless Auto time is on).", false);
  mStopCurveKnob =
      new suite::Knob(kStopCurve, "Curve", "Left: brakes hard, then coasts. Right: holds speed, then drops.", true);
  mStartTimeKnob = new suite::Knob(kStartTime, "Time",
                                   "How long the tape takes to get back up to speed (unless Auto time is on).", false);
  mStartCurveKnob = new suite::Knob(kStartCurve, "Curve",
                                    "Left: jumps up fast, then eases in. Right: slow start, fast finish.", true);
  mVarispeedKnob = new suite::Knob(
      kVarispeed, "Varispeed", "Drags the tape below normal speed. Back at 100% it catches up with the track.", false);
  mRampRow =
      new suite::ChoiceRow(kRamp, "Ramp",
                           "With Auto off: the shape of the stop and spin-up. Manual: the Curve knobs. Linear: "
                           "straight. Bezier: eased, in speed or in pitch. Platter: a weighted, motor-driven platter.");
  mLockRow = new suite::ChoiceRow(
      kLock, "Lock",
      "Bezier and Platter: a stopped tape restarts this far behind the track in whole steps, so the cut back lands in "
      "rhythm.");
  mStopSyncRow = new suite::ChoiceRow(kStopSync, "Sync", "Lock the stop length to the song tempo instead of Time.");
  mStartSyncRow =
      new suite::ChoiceRow(kStartSync, "Sync", "Lock the spin-up length to the song tempo instead of Time.");
  mModeRow =
      new suite::ChoiceRow(kStartMode, "Mode",
                           "Spin up: rises to normal speed, then cuts to the track. Catch up: overshoots briefly "
                           "and lands on the track with no cut.");
  mSnapRow = new suite::Segmented(
      kSnap,
      "While the song plays, the spin-up ends on this grid so the track drops back in on the beat. Free: no grid.",
      snapTexts(), "Snap", kSegmentLabelWidth);
  mTurnRow = new suite::Segmented(kTurn,
                                  "How much of the song one turn of the record covers. Without a tempo from the host a "
                                  "bar counts as 1.8 s.",
                                  {}, "Turn", kSegmentLabelWidth);
  mAutoSwitch = new suite::SwitchRow(
      kAuto, "Auto",
      "On: a weighted platter that reads your hand. A tap is a quick dip, a hold a full stop, a drag comes back by how "
      "far you pulled, and it lands on Snap. Only Weight and Snap apply. Off: Ramp, Stop and Start below set "
      "everything.");
  mMidiSwitch = new suite::SwitchRow(kMidiTrigger, "MIDI notes stop the tape",
                                     "Hold any MIDI note sent to this track to stop the tape; release to spin up.");
  all = {mWeightKnob,   mEaseInKnob,    mEaseOutKnob,   mRampRow,        mLockRow,       mAutoSwitch,
         mStopTimeKnob, mStopCurveKnob, mStartTimeKnob, mStartCurveKnob, mVarispeedKnob, mStopSyncRow,
         mStartSyncRow, mModeRow,       mSnapRow,       mTurnRow,        mMidiSwitch};
}

void SettingsView::attachAll() {
  auto scroll = [this](float d) {
    mScroll += d * -kWheelStep;
    layoutContent();
  };
  for (suite::Control* widget : all) widget->wheel = scroll;
  wheel = scroll;
}

void SettingsView::layoutContent() {
  const bool isAuto = autoOn();
  const bool hidden = IsHidden();
  const float height = contentHeight();
  const float view = mViewport.H();
  mScroll = mScroll < 0.0f ? 0.0f : std::min(std::max(0.0f, height - view), mScroll);
  const float y0 = mViewport.T - mScroll;
  auto card = [this, y0](float offset, float cardHeight) {
    return IRECT(mViewport.L, y0 + offset, mViewport.L + mContentWidth, y0 + offset + cardHeight);
  };
  mAutoCard = card(0.0f, kCardHeight);
  if (isAuto) {
    mFeelCard = card(kCardPitch, kCardHeight);
    mAutoNote = card(2.0f * kCardPitch, kNoteHeight);
    mRampCard = mStopCard = mStartCard = {};
  } else {
    mRampCard = card(kCardPitch, kCardHeight);
    mStopCard = card(2.0f * kCardPitch, kCardHeight);
    mStartCard = card(3.0f * kCardPitch, kCardHeight);
    mFeelCard = card(4.0f * kCardPitch, kCardHeight);
    mAutoNote = {};
  }
  for (suite::Control* manual :
       std::vector<suite::Control*>{mEaseInKnob, mEaseOutKnob, mRampRow, mLockRow, mStopTimeKnob, mStopCurveKnob,
                                    mStopSyncRow, mStartTimeKnob, mStartCurveKnob, mStartSyncRow, mModeRow}) {
    manual->Hide(isAuto || hidden);
  }
  for (suite::Control* always :
       std::vector<suite::Control*>{mWeightKnob, mAutoSwitch, mSnapRow, mVarispeedKnob, mTurnRow, mMidiSwitch}) {
    always->Hide(hidden);
  }
  placeCard({&mAutoCard, "Auto", {mWeightKnob}, {mAutoSwitch, mSnapRow}});
  placeCard({&mFeelCard, "Feel", {mVarispeedKnob}, {mTurnRow, mMidiSwitch}});
  placeCard({&mRampCard, "Ramp", {mEaseInKnob, mEaseOutKnob}, {mRampRow, mLockRow}});
  placeCard({&mStopCard, "Stop", {mStopTimeKnob, mStopCurveKnob}, {mStopSyncRow}});
  placeCard({&mStartCard, "Start", {mStartTimeKnob, mStartCurveKnob}, {mStartSyncRow, mModeRow}});
  for (suite::Control* widget : all) widget->clip = mViewport;
  clip = {};
  if (GetUI() != nullptr) GetUI()->SetAllControlsDirty();
}

// Knobs from the left, then the rows to the right of the last knob, centred on the knobs.
void SettingsView::placeCard(const Card& card) {
  const IRECT& r = *card.rect;
  if (r.Empty()) return;
  float x = r.L + 10.0f;
  for (suite::Control* knob : card.knobs) {
    knob->SetTargetAndDrawRECTs({x, r.T + 34.0f, x + 76.0f, r.B - 6.0f});
    x += 76.0f;
  }
  x += 12.0f;
  const float cy = (r.T + 34.0f + r.B - 6.0f) / 2.0f;
  if (card.rows.size() == 1) {
    card.rows[0]->SetTargetAndDrawRECTs({x, cy - 13.0f, r.R - 10.0f, cy + 13.0f});
    return;
  }
  card.rows[0]->SetTargetAndDrawRECTs({x, cy - 28.5f, r.R - 10.0f, cy - 2.5f});
  card.rows[1]->SetTargetAndDrawRECTs({x, cy + 2.5f, r.R - 10.0f, cy + 28.5f});
}

void SettingsView::paint(IGraphics& g) {
  const IRECT& r = GetRECT();
  g.DrawText(theme::sans(15.0f, theme::SemiBold, theme::ink, frame::EAlign::Near), "Settings", {20, 14, 220, 36});
  const int version = mPlugin.GetConfig().vendorVersion;
  char footer[96];
  std::snprintf(footer, sizeof footer, "reelstop %d.%d.%d  \xC2\xB7  Double-click a knob to reset", version >> 16,
                (version >> 8) & 0xFF, version & 0xFF);
  g.DrawText(theme::sans(10.5f, theme::Regular, theme::inkFaint, frame::EAlign::Center), footer,
             {r.L, r.B - 28.0f, r.R, r.B});
  g.PathClipRegion(mViewport);
  const frame::IText heading = theme::sans(12.5f, theme::SemiBold, theme::inkDim, frame::EAlign::Near);
  const std::pair<const IRECT*, const char*> cards[] = {
      {&mAutoCard, "Auto"}, {&mRampCard, "Ramp"}, {&mStopCard, "Stop"}, {&mStartCard, "Start"}, {&mFeelCard, "Feel"}};
  for (const auto& [card, title] : cards) {
    if (card->Empty()) continue;
    g.FillRoundRect(theme::surface, *card, 12.0f);
    g.DrawText(heading, title, {card->L + 14.0f, card->T + 4.0f, card->R - 14.0f, card->T + 30.0f});
  }
  if (!mAutoNote.Empty()) {
    const frame::IText note = theme::sans(11.0f, theme::Regular, theme::inkFaint, frame::EAlign::Center);
    const IRECT& n = mAutoNote;
    g.DrawText(note, "Auto sets the curve and the stop and start times from your hand.",
               {n.L, n.T + 1.0f, n.R, n.T + 21.0f});
    g.DrawText(note, "Turn Auto off to set them yourself.", {n.L, n.B - 21.0f, n.R, n.B - 1.0f});
  }
  g.PathClipRegion();
  const float height = contentHeight();
  const float view = mViewport.H();
  if (height > view + 0.5f) {
    const float length = std::max(view * view / height, kScrollBarShortest);
    const float top = mViewport.T + (view - length) * mScroll / (height - view);
    g.FillRoundRect(theme::inkFaint.WithAlpha(kScrollBarAlpha),
                    {mViewport.R + 4.0f, top, mViewport.R + 10.0f, top + length}, 3.0f);
  }
}

// ---- Pages ---------------------------------------------------------------------------------------

SettingsView* settingsOf(IGraphics& g) { return dynamic_cast<SettingsView*>(g.GetControlWithTag(kSettingsViewTag)); }

void showPage(Reelstop&, IGraphics& g, Page page) {
  // The record stops its frames while hidden, and with them the close of its scratch gesture.
  if (page == Settings) {
    g.ForControlInGroup(kMainGroup, [](frame::IControl& c) {
      if (auto* platter = dynamic_cast<Platter*>(&c)) platter->closeScratchGesture();
    });
  }
  g.ForControlInGroup(kMainGroup, [page](frame::IControl& c) { c.Hide(page != Main); });
  g.ForControlInGroup(kSettingsGroup, [page](frame::IControl& c) { c.Hide(page != Settings); });
  if (SettingsView* settings = settingsOf(g)) settings->layoutContent();
}

template <typename C>
C* attach(IGraphics& g, C* control, const IRECT& r, const char* group, int tag = frame::kNoTag) {
  control->SetTargetAndDrawRECTs(r);
  g.AttachControl(control, tag, group);
  return control;
}

}  // namespace

void layout(Reelstop& plugin, IGraphics& g) {
  if (g.NControls() > 0) return;
  theme::loadFonts(g);
  g.SetScaleConstraints(kMinScale, kMaxScale);
  g.EnableTooltips(true);
  g.AttachPanelBackground(theme::bg);

  auto* platter = new Platter(plugin);
  attach(g, new MainView(plugin, platter), kBounds, kMainGroup, kMainViewTag);
  attach(g, platter, {36, 54, 384, 402}, kMainGroup);
  attach(g,
         new suite::Segmented(reelstop::kSnap,
                              "Snap: while the song plays, the track drops back in on this grid. Free: no grid.",
                              snapTexts(), "", 0.0f),
         {60, 440, 360, 468}, kMainGroup);
  attach(g,
         new suite::IconButton(suite::IconButton::Icon::Settings, "Settings",
                               [&plugin, &g] { showPage(plugin, g, Settings); }),
         {372, 9, 404, 41}, kMainGroup);

  auto* settings = attach(g, new SettingsView(plugin), kBounds, kSettingsGroup, kSettingsViewTag);
  for (suite::Control* widget : settings->all) g.AttachControl(widget, frame::kNoTag, kSettingsGroup);
  attach(g,
         new suite::IconButton(suite::IconButton::Icon::Done, "Back to the record",
                               [&plugin, &g] { showPage(plugin, g, Main); }),
         {358, 9, 410, 41}, kSettingsGroup);
  settings->attachAll();

  auto* corner = new suite::Resizer(kResizerCorner);
  corner->SetTargetAndDrawRECTs({405, 465, 419, 479});
  g.AttachCornerResizer(corner, frame::EUIResizerMode::Scale, false);

  const char* start = std::getenv("REELSTOP_START_PAGE");
  showPage(plugin, g, start != nullptr && std::string(start) == "settings" ? Settings : Main);
}

void paramChanged(IGraphics& g, int paramIdx) {
  if (paramIdx != reelstop::kAuto) return;
  if (SettingsView* settings = settingsOf(g)) settings->layoutContent();
}

void install(Reelstop& plugin) {
  plugin.mMakeGraphicsFunc = [&plugin](int width, int height, float scale) {
    return frame::MakeGraphics(plugin, width, height, scale);
  };
  plugin.mLayoutFunc = [&plugin](IGraphics* g) { layout(plugin, *g); };
  plugin.mParamChangeUIFunc = [&plugin](int paramIdx) { paramChanged(*plugin.GetUI(), paramIdx); };
}

}  // namespace reelstop_ui
