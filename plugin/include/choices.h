// The enumerated parameters' choices: each text beside what it means, in the order of the
// parameter's values. The parameter table shows the texts; the timing and the control read the
// meanings; tests look choices up by their text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace reelstop {

// A musical length: so many beats, or so many bars of the current meter.
struct GridChoice {
  const char* text;
  double count;
  bool inBars;

  double beats(double beatsPerBar) const { return inBars ? count * beatsPerBar : count; }
};

enum class Ramp { kManual, kLinear, kBezier, kBezierPitch, kPlatter };
// "Start Mode": how a "Manual" spin-up meets the track.
enum class ReleaseMode { kSpinUp, kCatchUp };

template <typename Meaning>
struct Choice {
  const char* text;
  Meaning meaning;
};

// "Stop Sync" and "Start Sync": a ramp's length.
inline constexpr GridChoice kSyncChoices[] = {{"Free", 0.0, false},  {"1/16", 0.25, false}, {"1/8", 0.5, false},
                                              {"1/4", 1.0, false},   {"1/2", 2.0, false},   {"1 bar", 1.0, true},
                                              {"2 bars", 2.0, true}, {"4 bars", 4.0, true}};
// "Snap": the grid a spin-up ends on while the song plays.
inline constexpr GridChoice kSnapChoices[] = {{"Free", 0.0, false}, {"1/16", 0.25, false}, {"1/8", 0.5, false},
                                              {"1/4", 1.0, false},  {"1/2", 2.0, false},   {"1 bar", 1.0, true}};
// "Lock": the grid a restarted tape lands on behind the track.
inline constexpr GridChoice kLockChoices[] = {
    {"Off", 0.0, false}, {"1/16", 0.25, false}, {"1/8", 0.5, false}, {"1/4", 1.0, false}};
// "Turn": the song one turn of the record shows.
inline constexpr GridChoice kTurnChoices[] = {{"1 bar", 1.0, true}, {"2 bars", 2.0, true}};
inline constexpr Choice<Ramp> kRampChoices[] = {{"Manual", Ramp::kManual},
                                                {"Linear", Ramp::kLinear},
                                                {"Bezier", Ramp::kBezier},
                                                {"Bezier pitch", Ramp::kBezierPitch},
                                                {"Platter", Ramp::kPlatter}};
inline constexpr Choice<ReleaseMode> kStartModeChoices[] = {{"Spin up", ReleaseMode::kSpinUp},
                                                            {"Catch up", ReleaseMode::kCatchUp}};

// The choice a parameter's value picks, held within the table.
template <typename Entry, size_t N>
constexpr const Entry& chosen(const Entry (&table)[N], int value) {
  return table[value < 0 ? 0 : (static_cast<size_t>(value) >= N ? N - 1 : static_cast<size_t>(value))];
}

// The value of the choice with this text, or -1.
template <typename Entry, size_t N>
int choiceIndex(const Entry (&table)[N], const std::string& text) {
  for (size_t i = 0; i < N; ++i) {
    if (text == table[i].text) return static_cast<int>(i);
  }
  return -1;
}

template <typename Entry, size_t N>
std::vector<std::string> choiceTexts(const Entry (&table)[N]) {
  std::vector<std::string> texts;
  for (const Entry& entry : table) texts.emplace_back(entry.text);
  return texts;
}

}  // namespace reelstop
