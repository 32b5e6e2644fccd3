// HeadlessHost: the plug-in's life as a host drives it, on one thread.
#include "frame/headless_host.h"

namespace frame {

HeadlessHost::HeadlessHost(const Factory& make, EHost kind) {
  const TimerClock::Scope clock(mClock);
  mPlugin = make(InstanceInfo{kind, this});
}

// A host closes the editor before it destroys the plug-in.
HeadlessHost::~HeadlessHost() {
  if (mPlugin != nullptr) mPlugin->CloseWindow();
  mPlugin.reset();
}

void HeadlessHost::configure(double sampleRate, int blockSize, int channels) {
  mPlugin->SetSampleRate(sampleRate);
  mPlugin->SetBlockSize(blockSize);
  mPlugin->SetChannelsConnected(channels, channels);
  mPlugin->Reset();
}

void HeadlessHost::process(float** inputs, float** outputs, int nFrames) {
  for (const IMidiMsg& msg : mPendingMidi) mPlugin->ProcessMidiMsg(msg);
  mPendingMidi.clear();
  mPlugin->SetTimeInfo(mTransport);
  mPlugin->ProcessBlock(inputs, outputs, nFrames);
  mClock.Advance(1000.0 * nFrames / mPlugin->GetSampleRate());
}

IByteChunk HeadlessHost::saveState() const {
  IByteChunk chunk;
  mPlugin->SerializeState(chunk);
  return chunk;
}

}  // namespace frame
