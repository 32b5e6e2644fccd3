// Reading audio held in memory.
#include "audio_stream.h"

#include <algorithm>

namespace reelstop::offline {

void MemorySource::read(float* const* channels, int nFrames) {
  for (int c = 0; c < channelCount(); ++c) {
    const float* from = mAudio.channels[static_cast<size_t>(c)].data() + mPosition;
    std::copy(from, from + nFrames, channels[c]);
  }
  mPosition += nFrames;
}

}  // namespace reelstop::offline
