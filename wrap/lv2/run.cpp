// Instance::run: the host's block, cut into pieces at time:Position events (from either atom
// input) and at the longest block the plug-in was reset for, with the MIDI events handed over
// before the piece they are in.
// Audio thread: walks the host's buffers in place; nothing allocates, locks, loads, frees or logs.
#include <algorithm>

#include "instance.h"

namespace reelstop::lv2 {

void Instance::deliverEvents(MergedEvents& events, uint32_t start, uint32_t& end, uint32_t nFrames) {
  // Events stamped before the piece (out of order) count at its start, and those past the run
  // (a host's mistake, or any event of an empty run) at its last frame.
  const int64_t lastFrame = nFrames > 0 ? nFrames - 1 : 0;
  for (; !events.done(); events.next()) {
    const auto eventFrame = static_cast<uint32_t>(std::clamp<int64_t>(events.frames(), start, lastFrame));
    if (eventFrame >= end && nFrames > 0) return;
    const LV2_Atom& body = events.body();
    if (body.type == mUrids.midiEvent && body.size >= 3) {
      const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&body));
      const frame::IMidiMsg msg{static_cast<int>(eventFrame - start), bytes[0], bytes[1], bytes[2]};
      const int kind = msg.StatusMsg();
      if (kind == frame::IMidiMsg::kNoteOn || kind == frame::IMidiMsg::kNoteOff ||
          kind == frame::IMidiMsg::kControlChange) {
        mPlugin->ProcessMidiMsg(msg);
      }
    } else if ((body.type == mUrids.atomObject || body.type == mUrids.atomBlank) &&
               body.size >= sizeof(LV2_Atom_Object_Body) &&
               reinterpret_cast<const LV2_Atom_Object&>(body).body.otype == mUrids.timePosition) {
      if (eventFrame > start) {
        end = eventFrame;  // the transport changes here: the next piece starts with it
        return;
      }
      mTransport.apply(reinterpret_cast<const LV2_Atom_Object&>(body));
    }
  }
}

void Instance::processPiece(uint32_t start, uint32_t frames) {
  for (size_t c = 0; c < static_cast<size_t>(mVariant.channels); ++c) {
    if (mOutputs[c] == nullptr) return;  // a host must connect every audio port; nothing to write to
    mPieceInputs[c] = mInputs[c] != nullptr ? mInputs[c] + start : nullptr;
    mPieceOutputs[c] = mOutputs[c] + start;
  }
  mPlugin->SetTimeInfo(mTransport.timeInfo());
  // In place when the host gave an input and its output the same buffer: the plug-in copies only
  // between different ones.
  mPlugin->ProcessBlock(mPieceInputs.data(), mPieceOutputs.data(), static_cast<int>(frames));
  mTransport.advance(static_cast<int>(frames));
}

void Instance::run(uint32_t nFrames) {
  if (mLatencyPort != nullptr) *mLatencyPort = static_cast<float>(mPlugin->GetLatency());
  mControls.pull(*mPlugin);
  MergedEvents events(EventReader(mEvents, mUrids.atomSequence), EventReader(mTransportEvents, mUrids.atomSequence));
  uint32_t start = 0;
  do {
    uint32_t end = std::min(nFrames, start + static_cast<uint32_t>(mMaxFrames));
    deliverEvents(events, start, end, nFrames);
    processPiece(start, end - start);
    start = end;
  } while (start < nFrames);
}

}  // namespace reelstop::lv2
