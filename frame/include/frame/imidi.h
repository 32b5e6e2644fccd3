// IMidiMsg, one MIDI message at a sample offset, and IMidiQueue, the messages waiting for the
// block they belong to, ordered by offset.
// Audio thread: the queue allocates only when it must grow past the room given by Resize.
#pragma once

#include <cstdint>
#include <vector>

namespace frame {

struct IMidiMsg {
  enum EStatusMsg { kNone = 0, kNoteOff = 8, kNoteOn = 9, kControlChange = 11 };

  int mOffset = 0;  // sample offset within the block it belongs to
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  // The high nibble of the status byte; 0 for a data byte or a system message.
  int StatusMsg() const { return mStatus < 0x80 || mStatus >= 0xF0 ? kNone : mStatus >> 4; }
  int Channel() const { return mStatus & 0x0F; }
  int NoteNumber() const { return mData1; }
  int Velocity() const { return mData2; }
  int ControlChangeIdx() const { return mData1; }
};

class IMidiQueue {
 public:
  explicit IMidiQueue(int size = 0) { Resize(size); }

  // Room for at least `size` messages, rounded up to whole 4096-byte pages; empties the queue.
  void Resize(int size);

  // Inserted after every queued message whose offset is not greater, so equal offsets keep
  // their arrival order.
  void Add(const IMidiMsg& msg);

  bool Empty() const { return mFront == mMessages.size(); }
  int ToDo() const { return static_cast<int>(mMessages.size() - mFront); }
  const IMidiMsg& Peek() const { return mMessages[mFront]; }
  void Remove();
  void Clear();

  // The block is done: the offsets of the messages still queued count from the next one.
  void Flush(int nFrames);

  int GetSize() const { return static_cast<int>(mMessages.capacity()); }

 private:
  std::vector<IMidiMsg> mMessages;
  size_t mFront = 0;
};

}  // namespace frame
