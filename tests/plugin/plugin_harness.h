// Test harness: a Reelstop instance in the headless host, fed a numbered test signal.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "choices.h"
#include "frame/headless_host.h"
#include "reelstop.h"

namespace reelstop::test {

// A slow ramp, different in each channel: any move of the tape head shows in the output.
inline float numbered(long sample, int channel) {
  return sample < 0 ? 0.0f : static_cast<float>(sample % 1000) * (channel ? -1e-3f : 1e-3f);
}

struct Instance {
  frame::HeadlessHost host{[](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); }};
  long position = 0;               // samples fed so far
  std::vector<float> left, right;  // everything played so far

  Reelstop& plugin() { return static_cast<Reelstop&>(host.plugin()); }
  frame::IParam& param(int index) { return *plugin().GetParam(index); }
  std::string display(int index) {
    frame::DisplayText text;
    param(index).GetDisplay(text);
    return text.Get();
  }
  // A parameter change as a host writes a plain value.
  void set(int index, double value) { host.setPlainParameter(index, value); }
  void note(int offset, bool on, uint8_t number = 60) {
    host.sendMidi({offset, static_cast<uint8_t>(on ? 0x90 : 0x80), number, static_cast<uint8_t>(on ? 100 : 0)});
  }
  const Slot& engine() { return plugin().engineHost().current(); }
  double speed() { return engine().api.speed(engine().engine); }
  double lag() { return engine().api.lag(engine().engine); }

  // Plays `frames` of the numbered signal in one block (or of silence).
  void play(int frames, bool silent = false) {
    std::vector<float> in[2];
    for (int c = 0; c < 2; ++c) {
      in[c].resize(static_cast<size_t>(frames));
      for (int i = 0; i < frames; ++i) in[c][static_cast<size_t>(i)] = silent ? 0.0f : numbered(position + i, c);
    }
    std::vector<float> out[2] = {std::vector<float>(static_cast<size_t>(frames)),
                                 std::vector<float>(static_cast<size_t>(frames))};
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    host.process(inputs, outputs, frames);
    left.insert(left.end(), out[0].begin(), out[0].end());
    right.insert(right.end(), out[1].begin(), out[1].end());
    position += frames;
  }
  void playBlocks(int blocks, int frames = 512) {
    for (int b = 0; b < blocks; ++b) play(frames);
  }
  // Whole 512-frame blocks for about `seconds`.
  void playSeconds(double seconds) { playBlocks(static_cast<int>(seconds * plugin().GetSampleRate() / 512)); }
  // The first sample from which the left output stops being the input two samples late.
  long firstDeparture(long from = 0) const {
    for (long i = from; i < static_cast<long>(left.size()); ++i) {
      if (left[static_cast<size_t>(i)] != numbered(i - 2, 0)) return i;
    }
    return -1;
  }
};

}  // namespace reelstop::test
