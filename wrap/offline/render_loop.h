// The render loop: the source through the plug-in in host blocks, into the sink.
// Each block is preceded by the timeline's events that fall in it. Main thread only: the
// offline host plays the audio and the main thread on one thread, as the headless host does.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audio_stream.h"
#include "frame/headless_host.h"
#include "progress.h"
#include "speed_csv.h"
#include "timeline.h"
#include "transport.h"

namespace reelstop::offline {

struct RenderJob {
  int blockSize = 512;
  const std::vector<Event>* events = nullptr;  // sorted by time
  Transport* transport = nullptr;
  SpeedCsv* speedCsv = nullptr;  // null: no diagnostics
  Progress* progress = nullptr;
  // After each block has left the plug-in, with its first sample; empty: nothing more per block.
  std::function<void(int64_t firstSample)> afterBlock;
};

// The host must be configured for the source's rate, channels and the job's block size.
void render(frame::HeadlessHost& host, AudioSource& source, AudioSink& sink, const RenderJob& job);

}  // namespace reelstop::offline
