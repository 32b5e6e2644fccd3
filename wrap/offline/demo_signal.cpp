// Synthesis of the demo groove.
// Every voice is a closed-form function of time, so the same arguments give the same samples.
#include "demo_signal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace reelstop::offline {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kStepsPerBar = 16;
constexpr double kPeakLevel = 0.8;

struct Chord {
  int bassNote;  // MIDI note numbers
  std::array<int, 3> padNotes;
};
constexpr std::array<Chord, 4> kProgression = {{
    {33, {57, 60, 64}},  // A minor
    {29, {53, 57, 60}},  // F
    {36, {55, 60, 64}},  // C
    {31, {55, 59, 62}},  // G
}};

double noteHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// A small deterministic noise source for the snare and hats.
class Noise {
 public:
  double next() {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<double>(mState) / 2147483648.0 - 1.0;
  }

 private:
  uint32_t mState = 0x2545F491u;
};

class Mixer {
 public:
  explicit Mixer(Audio& audio) : mAudio(audio), mRateHz(audio.sampleRateHz) {}

  // Adds voice(t seconds since its start) from startSec for lengthSec, panned by the gains.
  template <typename Voice>
  void add(double startSec, double lengthSec, double leftGain, double rightGain, Voice voice) {
    const int64_t first = static_cast<int64_t>(std::llround(startSec * mRateHz));
    const int64_t end = std::min(mAudio.frames(), first + static_cast<int64_t>(lengthSec * mRateHz));
    float* left = mAudio.channels[0].data();
    float* right = mAudio.channels[1].data();
    for (int64_t n = first; n < end; ++n) {
      const double value = voice(static_cast<double>(n - first) / mRateHz);
      left[n] += static_cast<float>(leftGain * value);
      right[n] += static_cast<float>(rightGain * value);
    }
  }

 private:
  Audio& mAudio;
  double mRateHz;
};

double kick(double t) {
  // The pitch falls from 150 to 50 Hz; the phase is the integral of that sweep.
  constexpr double kSweepSec = 0.03;
  const double phase = 50.0 * t + 100.0 * kSweepSec * (1.0 - std::exp(-t / kSweepSec));
  return 0.9 * std::sin(kTwoPi * phase) * std::exp(-t / 0.25);
}

void addDrums(Mixer& mixer, Noise& noise, double stepSec, int steps) {
  for (int step = 0; step < steps; ++step) {
    const double at = step * stepSec;
    const int inBar = step % kStepsPerBar;
    if (inBar == 0 || inBar == 8 || inBar == 10) mixer.add(at, 0.4, 1.0, 1.0, kick);
    if (inBar == 4 || inBar == 12) {
      mixer.add(at, 0.25, 0.9, 0.8, [&noise](double t) {
        return 0.45 * noise.next() * std::exp(-t / 0.08) + 0.35 * std::sin(kTwoPi * 185.0 * t) * std::exp(-t / 0.05);
      });
    }
    if (inBar % 2 == 0) {
      const double level = inBar % 4 == 2 ? 0.3 : 0.18;  // off-beat hats accented
      double previous = 0.0;
      mixer.add(at, 0.08, 0.5, 0.8, [&noise, &previous, level](double t) {
        const double white = noise.next();
        const double bright = white - previous;  // a first difference: only the hiss stays
        previous = white;
        return level * bright * std::exp(-t / 0.02);
      });
    }
  }
}

// Rises over attackSec and falls over the last releaseSec of lengthSec.
double envelope(double t, double lengthSec, double attackSec, double releaseSec) {
  return std::clamp(std::min(t / attackSec, (lengthSec - t) / releaseSec), 0.0, 1.0);
}

void addTones(Mixer& mixer, double barSec, int bars) {
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& chord = kProgression[static_cast<size_t>(bar) % kProgression.size()];
    const double bassHz = noteHz(chord.bassNote);
    mixer.add(bar * barSec, barSec, 1.0, 1.0, [bassHz, barSec](double t) {
      double saw = 0.0;  // four partials of a sawtooth: round, but with pitch to follow
      for (int k = 1; k <= 4; ++k) saw += std::sin(kTwoPi * k * bassHz * t) / k;
      return 0.22 * saw * envelope(t, barSec, 0.01, 0.05);
    });
    for (const int note : chord.padNotes) {
      // Slightly detuned copies left and right make the pad wide.
      for (const double detune : {0.999, 1.001}) {
        const double hz = noteHz(note) * detune;
        mixer.add(bar * barSec, barSec, detune < 1.0 ? 1.0 : 0.0, detune < 1.0 ? 0.0 : 1.0,
                  [hz, barSec](double t) { return 0.07 * std::sin(kTwoPi * hz * t) * envelope(t, barSec, 0.2, 0.2); });
      }
    }
  }
}

}  // namespace

Audio makeDemoGroove(int sampleRateHz, double seconds, double tempoBpm) {
  Audio audio;
  audio.sampleRateHz = sampleRateHz;
  const auto frames = static_cast<size_t>(std::llround(seconds * sampleRateHz));
  audio.channels.assign(2, std::vector<float>(frames, 0.0f));
  const double barSec = 4.0 * 60.0 / tempoBpm;
  const int bars = static_cast<int>(std::ceil(seconds / barSec));
  Mixer mixer(audio);
  Noise noise;
  addTones(mixer, barSec, bars);
  addDrums(mixer, noise, barSec / kStepsPerBar, bars * kStepsPerBar);

  float peak = 0.0f;
  for (const auto& channel : audio.channels) {
    for (const float sample : channel) peak = std::max(peak, std::fabs(sample));
  }
  const float gain = peak > 0.0f ? static_cast<float>(kPeakLevel) / peak : 1.0f;
  for (auto& channel : audio.channels) {
    for (float& sample : channel) sample *= gain;
  }
  return audio;
}

}  // namespace reelstop::offline
