// EventReader: walks the events of the host's atom:Sequence in order; MergedEvents walks two of
// them as one. Hosts do not all align the buffer to 8 bytes (jalv 1.6 hands over 4-byte aligned
// ones), so no event's 64-bit time is read in place, and a sequence that claims more than it
// holds ends where its bytes do.
// Audio thread: reads the host's buffer where it lies; nothing allocated.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>

#include <cstdint>
#include <cstring>

namespace reelstop::lv2 {

class EventReader {
 public:
  // Empty for a port that is not connected or holds anything but a sequence.
  EventReader(const LV2_Atom_Sequence* sequence, LV2_URID sequenceType) {
    if (sequence == nullptr || sequence->atom.type != sequenceType) return;
    mBody = reinterpret_cast<const uint8_t*>(&sequence->body);
    mSize = sequence->atom.size;
    mOffset = sizeof(LV2_Atom_Sequence_Body);
  }

  // True once no whole event is left.
  bool done() const { return mOffset + kHeaderBytes > mSize || body().size > mSize - mOffset - kHeaderBytes; }
  int64_t frames() const {
    int64_t frames = 0;
    std::memcpy(&frames, mBody + mOffset, sizeof frames);
    return frames;
  }
  const LV2_Atom& body() const { return *reinterpret_cast<const LV2_Atom*>(mBody + mOffset + kTimeBytes); }
  void next() { mOffset += kTimeBytes + lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom)) + body().size); }

 private:
  static constexpr size_t kTimeBytes = sizeof(int64_t);
  static constexpr size_t kHeaderBytes = kTimeBytes + sizeof(LV2_Atom);

  const uint8_t* mBody = nullptr;  // the sequence body: its unit, then the events
  size_t mSize = 0;                // bytes in the body
  size_t mOffset = 0;              // of the current event, from the body
};

// The events of two sequences in frame order, so that what is in force at a frame (a position
// above all) is the last thing stamped at or before it, whichever sequence it came in. On the
// same frame the first sequence's events come first.
class MergedEvents {
 public:
  MergedEvents(const EventReader& first, const EventReader& second) : mFirst(first), mSecond(second) {}

  bool done() const { return mFirst.done() && mSecond.done(); }
  int64_t frames() const { return current().frames(); }
  const LV2_Atom& body() const { return current().body(); }
  void next() {
    if (secondIsNext()) {
      mSecond.next();
    } else {
      mFirst.next();
    }
  }

 private:
  bool secondIsNext() const { return mFirst.done() || (!mSecond.done() && mSecond.frames() < mFirst.frames()); }
  const EventReader& current() const { return secondIsNext() ? mSecond : mFirst; }

  EventReader mFirst;
  EventReader mSecond;
};

}  // namespace reelstop::lv2
