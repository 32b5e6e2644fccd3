// The block loop of the offline host.
#include "render_loop.h"

#include <algorithm>

#include "interruption.h"
#include "reelstop.h"

namespace reelstop::offline {
namespace {

constexpr int kMaxChannels = 2;
// Frames read and written per file call: small enough for the cache, large enough for few calls.
constexpr int kChunkFramesWanted = 8192;

// Everything but MIDI lands at the start of the block, as a host's automation and the editor's
// atomics do; MIDI keeps its exact sample as the message's offset into the block.
void applyEvent(const Event& event, int64_t blockStart, frame::HeadlessHost& host, Transport& transport) {
  auto& plugin = static_cast<Reelstop&>(host.plugin());
  switch (event.kind) {
    case Event::Kind::kMidi: {
      frame::IMidiMsg msg = event.midi;
      msg.mOffset = static_cast<int>(event.sample - blockStart);
      host.sendMidi(msg);
      break;
    }
    case Event::Kind::kSet: applySetting(host, event.setting); break;
    case Event::Kind::kHandDown: plugin.editorLink().pressHand(); break;
    case Event::Kind::kHandUp: plugin.editorLink().releaseHand(); break;
    case Event::Kind::kDrag: plugin.editorLink().drag(event.amount); break;
    case Event::Kind::kPlay: transport.setPlaying(true); break;
    case Event::Kind::kStop: transport.setPlaying(false); break;
    case Event::Kind::kTempo: transport.setTempo(event.amount); break;
  }
}

}  // namespace

void render(frame::HeadlessHost& host, AudioSource& source, AudioSink& sink, const RenderJob& job) {
  const int nch = source.channelCount();
  const int64_t totalFrames = source.frames();
  // Whole blocks per chunk, so that chunking never changes the host's block boundaries.
  const int chunkFrames = job.blockSize * std::max(1, kChunkFramesWanted / job.blockSize);
  std::vector<std::vector<float>> inputBuffers(static_cast<size_t>(nch),
                                               std::vector<float>(static_cast<size_t>(chunkFrames)));
  std::vector<std::vector<float>> outputBuffers = inputBuffers;
  float* inputs[kMaxChannels] = {};
  float* outputs[kMaxChannels] = {};
  const std::vector<Event>& events = *job.events;
  auto& plugin = static_cast<Reelstop&>(host.plugin());
  size_t nextEvent = 0;

  for (int64_t chunkStart = 0; chunkStart < totalFrames; chunkStart += chunkFrames) {
    throwIfInterrupted();
    const int chunkLength = static_cast<int>(std::min<int64_t>(chunkFrames, totalFrames - chunkStart));
    for (int c = 0; c < nch; ++c) inputs[c] = inputBuffers[static_cast<size_t>(c)].data();
    source.read(inputs, chunkLength);
    for (int offset = 0; offset < chunkLength; offset += job.blockSize) {
      const int64_t start = chunkStart + offset;
      const int nFrames = std::min(job.blockSize, chunkLength - offset);
      for (; nextEvent < events.size() && events[nextEvent].sample < start + nFrames; ++nextEvent) {
        applyEvent(events[nextEvent], start, host, *job.transport);
      }
      for (int c = 0; c < nch; ++c) {
        inputs[c] = inputBuffers[static_cast<size_t>(c)].data() + offset;
        outputs[c] = outputBuffers[static_cast<size_t>(c)].data() + offset;
      }
      host.transport() = job.transport->blockInfo();
      host.process(inputs, outputs, nFrames);
      if (job.speedCsv != nullptr) job.speedCsv->addRow(start, plugin);
      if (job.afterBlock) job.afterBlock(start);
      job.transport->advance(nFrames);
    }
    for (int c = 0; c < nch; ++c) outputs[c] = outputBuffers[static_cast<size_t>(c)].data();
    sink.write(outputs, chunkLength);
    job.progress->update(chunkStart + chunkLength);
  }
  job.progress->finish();
}

}  // namespace reelstop::offline
