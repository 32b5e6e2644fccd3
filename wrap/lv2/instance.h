// Instance: one LV2 instance of the bundled plug-in: the plug-in, the clock of its timer, its
// ports and the host's transport, behind the entry points in descriptor.cpp.
// Threads, as LV2 classes them: create, connect, activate, save, restore and the destructor in
// the instantiation class, which the host never runs at the same time as run; run on the audio
// thread, where nothing allocates, locks, loads, frees or logs.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>

#include <array>
#include <memory>

#include "bundle.h"
#include "control_ports.h"
#include "editor_bridge.h"
#include "event_reader.h"
#include "frame/plugin.h"
#include "frame/thread_timer_clock.h"
#include "transport.h"
#include "urids.h"

namespace reelstop::lv2 {

// The LV2 handle is the InstanceAccess part, which an editor in the other binary reads.
class Instance : public InstanceAccess {
 public:
  // Null when the host offers no urid:map, the one feature required.
  static std::unique_ptr<Instance> create(const Variant& variant, double sampleRateHz,
                                          const LV2_Feature* const* features);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  void connect(uint32_t port, void* data);
  void activate();
  void run(uint32_t nFrames);
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

 private:
  Instance(const Variant& variant, double sampleRateHz, const LV2_URID_Map& map, const LV2_Options_Option* options);

  // run.cpp: hands the plug-in the MIDI events of the piece from start and takes the positions
  // at its start; a position later in the piece ends the piece there. Leaves the reader on the
  // first event not taken.
  void deliverEvents(MergedEvents& events, uint32_t start, uint32_t& end, uint32_t nFrames);
  void processPiece(uint32_t start, uint32_t frames);

  const Variant& mVariant;
  const Urids mUrids;
  const int mMaxFrames;  // the longest block the plug-in is reset for; longer runs are split
  // Before the plug-in: the plug-in's timer lives on this clock's thread, which is joined only
  // after the plug-in is gone.
  frame::ThreadTimerClock mClock;
  std::unique_ptr<frame::Plugin> mPlugin;
  HostTransport mTransport;
  ControlPorts mControls;
  // The plug-in's host callbacks; the destructor frees the plug-in before it.
  EditorBridge mBridge;

  // Ports, as the host connected them.
  float* mLatencyPort = nullptr;
  const LV2_Atom_Sequence* mEvents = nullptr;           // MIDI and time:Position
  const LV2_Atom_Sequence* mTransportEvents = nullptr;  // time:Position alone
  std::array<float*, kMaxChannels> mInputs{};
  std::array<float*, kMaxChannels> mOutputs{};
  // The current piece of the block: the buffers above moved on to its first frame.
  std::array<float*, kMaxChannels> mPieceInputs{};
  std::array<float*, kMaxChannels> mPieceOutputs{};
};

}  // namespace reelstop::lv2
