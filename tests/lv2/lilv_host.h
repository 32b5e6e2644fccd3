// LilvHost: the tests' own LV2 host on lilv. It loads the bundle from the build tree, creates an
// instance with urid:map and, when asked, the block-length options, sends it MIDI and
// time:Position events, runs blocks through it, and saves and restores its state the ways real
// hosts do: through lilv's state functions, and straight through the state interface.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "wav_file.h"

namespace reelstop::lv2::test {

// URIs to URIDs and back, as a host keeps them.
class UridMap {
 public:
  UridMap();
  UridMap(const UridMap&) = delete;
  UridMap& operator=(const UridMap&) = delete;
  LV2_URID map(const char* uri);
  LV2_URID_Map* mapFeature() { return &mMap; }
  LV2_URID_Unmap* unmapFeature() { return &mUnmap; }

 private:
  std::vector<std::string> mUris;  // URID n is mUris[n - 1]
  LV2_URID_Map mMap{};
  LV2_URID_Unmap mUnmap{};
};

// A lilv world holding the bundle under test, and nothing else.
class LilvBundle {
 public:
  LilvBundle();
  ~LilvBundle();
  LilvBundle(const LilvBundle&) = delete;
  LilvBundle& operator=(const LilvBundle&) = delete;
  const LilvPlugin* plugin(const char* uri) const;
  LilvWorld* world() const { return mWorld; }

 private:
  LilvWorld* mWorld;
};

// A time:Position as hosts send it.
struct Position {
  float speed = 1.0f;
  float beatsPerMinute = 120.0f;
  float beatsPerBar = 4.0f;
  int32_t beatUnit = 4;
  int64_t bar = 0;
  float barBeat = 0.0f;
};

// The plug-in's two atom inputs: the one for MIDI and the transport, and the one for the
// transport alone.
enum class EventInput { kControl, kTransport };

struct StateDeleter {
  void operator()(LilvState* state) const { lilv_state_free(state); }
};
using StatePtr = std::unique_ptr<LilvState, StateDeleter>;

class TestInstance {
 public:
  // maxBlockFrames 0: the host offers no options (and no bound on its blocks).
  TestInstance(const LilvBundle& bundle, const char* uri, double sampleRateHz, int maxBlockFrames);
  ~TestInstance();
  TestInstance(const TestInstance&) = delete;
  TestInstance& operator=(const TestInstance&) = delete;

  int channels() const { return static_cast<int>(mAudioInputs.size()); }
  // The value of a control port, as the host holds it.
  float& control(const char* symbol);
  float control(uint32_t port) const { return mPortValues[port]; }
  uint32_t portIndex(const char* symbol) const;
  // The control input ports, in index order.
  const std::vector<uint32_t>& controlInputs() const { return mControlInputs; }
  // Any thread: a UI's value for a control port, which the port takes before the next run.
  void writeLater(uint32_t port, float value);
  float latency() const { return mPortValues[mLatencyPort]; }

  // Events for the next run, in frame order on each input.
  void midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
  void position(uint32_t frame, const Position& position, EventInput input = EventInput::kControl);
  // Puts the events 4 bytes off the 8-byte alignment atoms ask for, as jalv 1.6 does.
  void misalignEvents();
  // One block: the output for the input given, computed in the input's own buffers when asked.
  Signal run(const Signal& input, bool inPlace = false);

  // State through lilv, with or without the control ports' values beside the plug-in's own.
  StatePtr saveState(bool withPorts);
  void restoreState(const LilvState& state);
  // The presets lilv finds for the plug-in, by label; null when none has the label.
  std::vector<std::string> presetLabels();
  StatePtr preset(const std::string& label);
  // The plug-in's state property straight from its state interface: its value and type.
  std::vector<uint8_t> savedChunk(LV2_URID* type = nullptr);
  // Restores from a property the host makes up: value null means the property is missing.
  LV2_State_Status restoreProperty(const void* value, size_t size, LV2_URID type);

  UridMap& urids() { return mUrids; }
  const LilvPlugin* lilvPlugin() const { return mPlugin; }
  LilvWorld* world() const { return mWorld; }
  // The instance's LV2 handle, as instance-access hands it to a UI.
  void* handle() const { return lilv_instance_get_handle(mInstance); }

 private:
  static constexpr uint32_t kNoPort = UINT32_MAX;
  // One atom input's sequence for the next run.
  struct EventSequence {
    uint32_t port = kNoPort;
    std::vector<uint64_t> memory;  // 8-byte aligned, as atoms want
    LV2_Atom_Forge forge{};
    LV2_Atom_Forge_Frame frame{};
  };

  const LV2_State_Interface& stateInterface() const;
  // Calls visit with every preset lilv relates to the plug-in, and its label.
  void eachPreset(const std::function<void(const LilvNode*, const std::string&)>& visit);
  EventSequence& sequence(EventInput input) { return mSequences[static_cast<size_t>(input)]; }
  void startSequences();

  LilvWorld* mWorld;
  const LilvPlugin* mPlugin;
  UridMap mUrids;
  int32_t mMaxBlockFrames;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatureStore;
  std::vector<const LV2_Feature*> mFeatures;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mPortValues;  // one per port; only the control ports' are used
  std::vector<uint32_t> mControlInputs;
  uint32_t mLatencyPort = 0;
  std::mutex mWritesLock;
  std::vector<std::pair<uint32_t, float>> mWrites;  // waiting for the next run
  std::vector<uint32_t> mAudioInputs;
  std::vector<uint32_t> mAudioOutputs;
  std::array<EventSequence, 2> mSequences;  // in EventInput order
  size_t mEventOffsetBytes = 0;
};

}  // namespace reelstop::lv2::test
