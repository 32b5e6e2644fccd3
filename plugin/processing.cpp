// Block processing: reset, the host's blocks split at note events, the level history and the
// values published to the editor; the timer.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "frame/denormals.h"
#include "reelstop.h"
#include "shared_constants.h"

namespace reelstop {
namespace {

constexpr int kMinMidiQueueMessages = 256;
constexpr int32_t kLongestSilence = 1 << 30;
constexpr double kIdleSeconds = 0.5;
constexpr double kSpeedSettled = 0.001;
constexpr double kQuarterTurn = kTwoPi / 4.0;

}  // namespace

void Reelstop::OnReset() {
  mTiming.sampleRate = GetSampleRate();
  mEngineHost.prepare(mTiming.sampleRate, MaxNChannels(frame::ERoute::kOutput) >= 2 ? 2 : 1);
  sendVarispeed();
  SetLatency(engine().api.latency());
  mControl.reset();
  mMidiQueue.Resize(std::max(GetBlockSize(), kMinMidiQueueMessages));
  mCapture.arm(mTiming.sampleRate, GetBlockSize());
}

void Reelstop::ProcessMidiMsg(const frame::IMidiMsg& msg) { mMidiQueue.Add(msg); }

void Reelstop::ProcessBlock(float** inputs, float** outputs, int nFrames) {
  const frame::ScopedFlushDenormals flushDenormals;
  const int nIn = NChannelsConnected(frame::ERoute::kInput);
  const int nOut = NChannelsConnected(frame::ERoute::kOutput);
  const int nch = nOut >= 2 ? 2 : 1;
  nFrames = std::max(nFrames, 0);
  // From here on the outputs hold the dry input and the engine works on them in place.
  for (int c = 0; c < nch; ++c) {
    if (c < nIn && inputs[c] != nullptr) {
      if (inputs[c] != outputs[c]) std::memcpy(outputs[c], inputs[c], sizeof(float) * static_cast<size_t>(nFrames));
    } else {
      std::fill(outputs[c], outputs[c] + nFrames, 0.0f);
    }
  }

  mTiming.readTransport(GetTimeInfo(), GetHost() == frame::EHost::kHostStandalone);
  mLink.samplesPerTurn.store(mTiming.samplesPerTurn(paramInt(kTurn)));
  mLink.samplesPerBeat.store(mTiming.samplesPerBeat());
  if (mTiming.songPlaying) {
    mLink.barOriginSample.store(static_cast<double>(mLink.samplesSeen.load()) -
                                (mTiming.blockPpq - mTiming.barStartPpq) * mTiming.samplesPerBeat());
  }

  // A new engine starts playing: the next decision issues the stop again if one is wanted.
  if (mEngineHost.beginBlock()) mControl.engineReplaced();
  sendVarispeed();

  recordLevels(outputs, nch, nFrames);
  mCapture.beforeEngine(outputs, nch, nFrames);
  mControl.update(0);

  // Every counted note event acts at its own sample: render up to it, then decide there.
  int done = 0;
  while (!mMidiQueue.Empty() && mMidiQueue.Peek().mOffset < nFrames) {
    const frame::IMidiMsg msg = mMidiQueue.Peek();
    mMidiQueue.Remove();
    if (!mControl.countNote(msg)) continue;
    const int offset = std::max(msg.mOffset, 0);
    if (offset > done) {
      renderEngine(outputs, nch, done, offset);
      done = offset;
    }
    mControl.update(offset);
  }
  if (done < nFrames) renderEngine(outputs, nch, done, nFrames);
  mMidiQueue.Flush(nFrames);
  mControl.endBlock(nFrames);

  publishDisplay();
  mCapture.afterEngine(outputs, nch, nFrames,
                       {nOut >= 2, engine().api.speed(engine().engine), mTiming.songPlaying, mTiming.blockPpq,
                        mTiming.tempo, mTiming.beatsPerBar, mTiming.snapGridBeats(paramInt(kSnap))});
}

void Reelstop::sendVarispeed() { engine().api.set_varispeed(engine().engine, GetParam(kVarispeed)->Value() / 100.0); }

void Reelstop::renderEngine(float** outputs, int nch, int from, int to) {
  float* channels[2] = {outputs[0] + from, nch > 1 ? outputs[1] + from : nullptr};
  engine().api.process(engine().engine, channels, nch, to - from);
}

// The dry input's peak per 128 samples for the drawn record, and how long it has been silent.
void Reelstop::recordLevels(float** outputs, int nch, int nFrames) {
  int64_t seen = mLink.samplesSeen.load();
  float loudest = 0.0f;
  for (int i = 0; i < nFrames; ++i) {
    float peak = 0.0f;
    for (int c = 0; c < nch; ++c) peak = std::max(peak, std::fabs(outputs[c][i]));
    loudest = std::max(loudest, peak);
    mRunningPeak = std::max(mRunningPeak, peak);
    if ((seen + 1) % kPeakSlotSamples == 0) {
      mLink.peakHistory[static_cast<size_t>((seen / kPeakSlotSamples) % kPeakHistorySlots)].store(
          mRunningPeak, std::memory_order_relaxed);
      mRunningPeak = 0.0f;
    }
    ++seen;
  }
  mLink.samplesSeen.store(seen);
  mSilentSamples = loudest > kSilenceLevel
                       ? 0
                       : static_cast<int32_t>(std::min<int64_t>(mSilentSamples + int64_t{nFrames}, kLongestSilence));
}

void Reelstop::publishDisplay() {
  const Slot& tape = engine();
  const double speed = tape.api.speed(tape.engine);
  mLink.displaySpeed.store(static_cast<float>(speed));
  // The history position of the sample now being heard.
  const double heard = static_cast<double>(mLink.samplesSeen.load()) - tape.api.latency() - tape.api.lag(tape.engine);
  const bool idle = !mTiming.songPlaying && mSilentSamples >= static_cast<int32_t>(kIdleSeconds * mTiming.sampleRate) &&
                    std::fabs(speed - 1.0) <= kSpeedSettled;
  const bool turning = !idle || tape.api.is_scratching(tape.engine) != 0;
  const double samplesPerRadian = mLink.samplesPerTurn.load() / kTwoPi;
  if (mTiming.songPlaying) {
    // The song position of the heard sample, as a fraction of a turn; song position 0 sits a
    // quarter turn back from angle 0.
    const double beatSamples = mLink.samplesPerBeat.load();
    const double songSamples =
        ((heard - mLink.barOriginSample.load()) / beatSamples + mTiming.barStartPpq) * beatSamples;
    mLink.platterPhase.store(songSamples / samplesPerRadian - kQuarterTurn);
  } else if (turning) {
    // The record turns by exactly the tape that was played, backwards when it ran backwards.
    mLink.platterPhase.store(mLink.platterPhase.load() + (heard - mLink.playhead.load()) / samplesPerRadian);
  }
  mLink.playhead.store(heard);
  mLink.active.store(turning);
  mLink.blockCount.fetch_add(1);
}

void Reelstop::onTimer() {
  mEngineHost.poll();
  if (mCapture.takeFull()) mCapture.write();
}

void Reelstop::OnParamChangeUI(int paramIdx, frame::EParamSource) {
  if (GetUI() != nullptr && mParamChangeUIFunc) mParamChangeUIFunc(paramIdx);
}

void Reelstop::OnUIClose() { mLink.releaseHand(); }

}  // namespace reelstop
