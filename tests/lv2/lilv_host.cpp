// The tests' LV2 host: world, URID map, ports, events, runs and state.
#include "lilv_host.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace reelstop::lv2::test {
namespace {

constexpr size_t kEventBufferBytes = 65536;

struct Property {
  const void* value;
  size_t size;
  LV2_URID type;
  std::vector<uint8_t>* saved;
  LV2_URID* savedType;
};

LV2_State_Status storeProperty(LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t type,
                               uint32_t) {
  auto& property = *static_cast<Property*>(handle);
  const auto* bytes = static_cast<const uint8_t*>(value);
  property.saved->assign(bytes, bytes + size);
  if (property.savedType != nullptr) *property.savedType = type;
  return LV2_STATE_SUCCESS;
}

const void* retrieveProperty(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type, uint32_t* flags) {
  const auto& property = *static_cast<const Property*>(handle);
  *size = property.size;
  *type = property.type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return property.value;
}

}  // namespace

UridMap::UridMap() {
  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->map(uri); };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) -> const char* {
    const auto& uris = static_cast<UridMap*>(handle)->mUris;
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
  };
}

LV2_URID UridMap::map(const char* uri) {
  const auto found = std::find(mUris.begin(), mUris.end(), uri);
  if (found != mUris.end()) return static_cast<LV2_URID>(found - mUris.begin() + 1);
  mUris.emplace_back(uri);
  return static_cast<LV2_URID>(mUris.size());
}

LilvBundle::LilvBundle() : mWorld(lilv_world_new()) {
  LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, REELSTOP_LV2_BUNDLE "/");
  lilv_world_load_bundle(mWorld, bundle);
  lilv_node_free(bundle);
}

LilvBundle::~LilvBundle() { lilv_world_free(mWorld); }

const LilvPlugin* LilvBundle::plugin(const char* uri) const {
  LilvNode* node = lilv_new_uri(mWorld, uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  if (plugin == nullptr) throw std::runtime_error(std::string("no plug-in ") + uri + " in the bundle");
  return plugin;
}

TestInstance::TestInstance(const LilvBundle& bundle, const char* uri, double sampleRateHz, int maxBlockFrames)
    : mWorld(bundle.world()), mPlugin(bundle.plugin(uri)), mMaxBlockFrames(maxBlockFrames) {
  mFeatureStore.push_back({LV2_URID__map, mUrids.mapFeature()});
  mFeatureStore.push_back({LV2_URID__unmap, mUrids.unmapFeature()});
  if (maxBlockFrames > 0) {
    const LV2_URID atomInt = mUrids.map(LV2_ATOM__Int);
    for (const char* key : {LV2_BUF_SIZE__maxBlockLength, LV2_BUF_SIZE__nominalBlockLength}) {
      mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, mUrids.map(key), sizeof(int32_t), atomInt, &mMaxBlockFrames});
    }
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    mFeatureStore.push_back({LV2_OPTIONS__options, mOptions.data()});
    mFeatureStore.push_back({LV2_BUF_SIZE__boundedBlockLength, nullptr});
  }
  for (const LV2_Feature& feature : mFeatureStore) mFeatures.push_back(&feature);
  mFeatures.push_back(nullptr);

  mInstance = lilv_plugin_instantiate(mPlugin, sampleRateHz, mFeatures.data());
  if (mInstance == nullptr) throw std::runtime_error(std::string("cannot instantiate ") + uri);

  LilvNode* audio = lilv_new_uri(mWorld, LV2_CORE__AudioPort);
  LilvNode* input = lilv_new_uri(mWorld, LV2_CORE__InputPort);
  LilvNode* control = lilv_new_uri(mWorld, LV2_CORE__ControlPort);
  LilvNode* atom = lilv_new_uri(mWorld, LV2_ATOM__AtomPort);
  LilvNode* midiEvent = lilv_new_uri(mWorld, LV2_MIDI__MidiEvent);
  const uint32_t ports = lilv_plugin_get_num_ports(mPlugin);
  mPortValues.resize(ports);
  std::vector<float> defaults(ports);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  for (uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const bool isInput = lilv_port_is_a(mPlugin, port, input);
    if (lilv_port_is_a(mPlugin, port, audio)) {
      (isInput ? mAudioInputs : mAudioOutputs).push_back(i);
    } else if (lilv_port_is_a(mPlugin, port, control)) {
      mPortValues[i] = isInput ? defaults[i] : 0.0f;
      if (isInput) {
        mControlInputs.push_back(i);
      } else {
        mLatencyPort = i;
      }
      lilv_instance_connect_port(mInstance, i, &mPortValues[i]);
    } else if (lilv_port_is_a(mPlugin, port, atom)) {
      const bool takesMidi = lilv_port_supports_event(mPlugin, port, midiEvent);
      sequence(takesMidi ? EventInput::kControl : EventInput::kTransport).port = i;
    }
  }
  for (LilvNode* node : {audio, input, control, atom, midiEvent}) lilv_node_free(node);
  for (const EventSequence& events : mSequences) {
    if (events.port == kNoPort) {
      lilv_instance_free(mInstance);
      throw std::runtime_error(std::string(uri) + " lacks one of its two atom inputs");
    }
  }

  for (EventSequence& events : mSequences) {
    events.memory.resize(kEventBufferBytes / sizeof(uint64_t));
    lv2_atom_forge_init(&events.forge, mUrids.mapFeature());
  }
  startSequences();
  lilv_instance_activate(mInstance);
}

TestInstance::~TestInstance() {
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

uint32_t TestInstance::portIndex(const char* symbol) const {
  LilvNode* node = lilv_new_string(mWorld, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  if (port == nullptr) throw std::runtime_error(std::string("no port ") + symbol);
  return lilv_port_get_index(mPlugin, port);
}

float& TestInstance::control(const char* symbol) { return mPortValues[portIndex(symbol)]; }

void TestInstance::writeLater(uint32_t port, float value) {
  const std::lock_guard<std::mutex> guard(mWritesLock);
  mWrites.emplace_back(port, value);
}

void TestInstance::startSequences() {
  for (EventSequence& events : mSequences) {
    uint8_t* buffer = reinterpret_cast<uint8_t*>(events.memory.data()) + mEventOffsetBytes;
    lilv_instance_connect_port(mInstance, events.port, buffer);
    lv2_atom_forge_set_buffer(&events.forge, buffer, kEventBufferBytes - mEventOffsetBytes);
    lv2_atom_forge_sequence_head(&events.forge, &events.frame, 0);
  }
}

void TestInstance::misalignEvents() {
  mEventOffsetBytes = 4;
  startSequences();
}

void TestInstance::midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
  LV2_Atom_Forge& forge = sequence(EventInput::kControl).forge;
  const uint8_t bytes[3] = {status, data1, data2};
  lv2_atom_forge_frame_time(&forge, frame);
  lv2_atom_forge_atom(&forge, sizeof bytes, mUrids.map(LV2_MIDI__MidiEvent));
  lv2_atom_forge_write(&forge, bytes, sizeof bytes);
}

void TestInstance::position(uint32_t frame, const Position& position, EventInput input) {
  LV2_Atom_Forge& forge = sequence(input).forge;
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_frame_time(&forge, frame);
  lv2_atom_forge_object(&forge, &object, 0, mUrids.map(LV2_TIME__Position));
  // The types jalv and Ardour send: floats, but an int beat unit and a long bar.
  const auto key = [this, &forge](const char* uri) { lv2_atom_forge_key(&forge, mUrids.map(uri)); };
  for (const auto& [uri, value] :
       {std::pair{LV2_TIME__speed, position.speed}, std::pair{LV2_TIME__beatsPerMinute, position.beatsPerMinute},
        std::pair{LV2_TIME__beatsPerBar, position.beatsPerBar}, std::pair{LV2_TIME__barBeat, position.barBeat}}) {
    key(uri);
    lv2_atom_forge_float(&forge, value);
  }
  key(LV2_TIME__beatUnit);
  lv2_atom_forge_int(&forge, position.beatUnit);
  key(LV2_TIME__bar);
  lv2_atom_forge_long(&forge, position.bar);
  lv2_atom_forge_pop(&forge, &object);
}

Signal TestInstance::run(const Signal& input, bool inPlace) {
  {
    const std::lock_guard<std::mutex> guard(mWritesLock);
    for (const auto& [port, value] : mWrites) mPortValues[port] = value;
    mWrites.clear();
  }
  const size_t frames = input.empty() ? 0 : input[0].size();
  // Never an empty buffer: a port is connected to real memory even for a run of no frames.
  Signal inputs(input);
  Signal outputs(mAudioOutputs.size(), std::vector<float>(std::max<size_t>(frames, 1)));
  for (size_t c = 0; c < mAudioInputs.size(); ++c) {
    inputs[c].resize(std::max<size_t>(frames, 1));
    lilv_instance_connect_port(mInstance, mAudioInputs[c], inputs[c].data());
    lilv_instance_connect_port(mInstance, mAudioOutputs[c], inPlace ? inputs[c].data() : outputs[c].data());
  }
  lilv_instance_run(mInstance, static_cast<uint32_t>(frames));
  startSequences();
  Signal& result = inPlace ? inputs : outputs;
  for (auto& channel : result) channel.resize(frames);
  return result;
}

StatePtr TestInstance::saveState(bool withPorts) {
  const auto portValue = [](const char* symbol, void* self, uint32_t* size, uint32_t* type) -> const void* {
    auto& instance = *static_cast<TestInstance*>(self);
    *size = sizeof(float);
    *type = instance.mUrids.map(LV2_ATOM__Float);
    return &instance.control(symbol);
  };
  const auto noPortValue = [](const char*, void*, uint32_t*, uint32_t*) -> const void* { return nullptr; };
  return StatePtr(lilv_state_new_from_instance(
      mPlugin, mInstance, mUrids.mapFeature(), nullptr, nullptr, nullptr, nullptr,
      withPorts ? static_cast<LilvGetPortValueFunc>(portValue) : static_cast<LilvGetPortValueFunc>(noPortValue), this,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data()));
}

void TestInstance::restoreState(const LilvState& state) {
  const auto setPortValue = [](const char* symbol, void* self, const void* value, uint32_t size, uint32_t type) {
    auto& instance = *static_cast<TestInstance*>(self);
    if (type == instance.mUrids.map(LV2_ATOM__Float) && size == sizeof(float)) {
      std::memcpy(&instance.control(symbol), value, sizeof(float));
    }
  };
  lilv_state_restore(&state, mInstance, setPortValue, this, 0, mFeatures.data());
}

void TestInstance::eachPreset(const std::function<void(const LilvNode*, const std::string&)>& visit) {
  LilvNode* presetClass = lilv_new_uri(mWorld, LV2_PRESETS__Preset);
  LilvNode* label = lilv_new_uri(mWorld, LILV_NS_RDFS "label");
  LilvNodes* presets = lilv_plugin_get_related(mPlugin, presetClass);
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(mWorld, preset);
    LilvNodes* names = lilv_world_find_nodes(mWorld, preset, label, nullptr);
    if (names != nullptr && lilv_nodes_size(names) > 0) visit(preset, lilv_node_as_string(lilv_nodes_get_first(names)));
    lilv_nodes_free(names);
  }
  lilv_nodes_free(presets);
  lilv_node_free(label);
  lilv_node_free(presetClass);
}

std::vector<std::string> TestInstance::presetLabels() {
  std::vector<std::string> labels;
  eachPreset([&](const LilvNode*, const std::string& name) { labels.push_back(name); });
  return labels;
}

StatePtr TestInstance::preset(const std::string& wanted) {
  StatePtr found;
  eachPreset([&](const LilvNode* preset, const std::string& name) {
    if (!found && name == wanted) found.reset(lilv_state_new_from_world(mWorld, mUrids.mapFeature(), preset));
  });
  return found;
}

const LV2_State_Interface& TestInstance::stateInterface() const {
  const auto* state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (state == nullptr) throw std::runtime_error("no state interface");
  return *state;
}

std::vector<uint8_t> TestInstance::savedChunk(LV2_URID* type) {
  std::vector<uint8_t> saved;
  Property property{nullptr, 0, 0, &saved, type};
  stateInterface().save(lilv_instance_get_handle(mInstance), storeProperty, &property,
                        LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data());
  return saved;
}

LV2_State_Status TestInstance::restoreProperty(const void* value, size_t size, LV2_URID type) {
  Property property{value, size, type, nullptr, nullptr};
  return stateInterface().restore(lilv_instance_get_handle(mInstance), retrieveProperty, &property, 0,
                                  mFeatures.data());
}

}  // namespace reelstop::lv2::test
