// Plugin: the host-facing plug-in base that a plug-in derives from and that every wrapper drives.
// Threads: ProcessBlock and ProcessMidiMsg run on the audio thread; OnReset runs under the main
// lock while no block is processed, and may allocate; the Serialize/Unserialize calls,
// OnParamChangeUI, OnUIClose and the editor calls run on the main thread. Parameter values cross
// between them as atomics (IParam).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "frame/config.h"
#include "frame/ibyte_chunk.h"
#include "frame/imidi.h"
#include "frame/iparam.h"
#include "frame/time_info.h"

namespace frame {

class IGraphics;

class Plugin {
 public:
  Plugin(const InstanceInfo& info, const Config& config);
  virtual ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // ---- What the plug-in overrides.
  virtual void OnReset() {}
  virtual void ProcessBlock(float** inputs, float** outputs, int nFrames) = 0;
  virtual void ProcessMidiMsg(const IMidiMsg&) {}
  virtual bool SerializeState(IByteChunk& chunk) const { return SerializeParams(chunk); }
  virtual int UnserializeState(const IByteChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  virtual void OnParamChangeUI(int, EParamSource) {}
  virtual void OnUIClose() {}

  // ---- What the plug-in calls.
  IParam* GetParam(int paramIdx) { return &mParams[static_cast<size_t>(paramIdx)]; }
  const IParam* GetParam(int paramIdx) const { return &mParams[static_cast<size_t>(paramIdx)]; }
  int NParams() const { return static_cast<int>(mParams.size()); }
  const Config& GetConfig() const { return mConfig; }

  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int NChannelsConnected(ERoute route) const { return route == ERoute::kInput ? mInputs : mOutputs; }
  int MaxNChannels(ERoute route) const;
  EHost GetHost() const { return mHost; }
  const ITimeInfo& GetTimeInfo() const { return mTimeInfo; }

  void SetLatency(int samples);
  int GetLatency() const { return mLatency; }

  // Width, height and scale of the editor, written in saved state: the open editor's, else the
  // kept one. A restored size counts only when an editor can open at it (positive sizes up to
  // 16384 pixels, scale 0.75 to 2) or when all three are zero (no size); otherwise the previous
  // one stays. An open editor is resized to it at once; a closed one opens at it next time.
  void SerializeEditorState(IByteChunk& chunk) const;
  int UnserializeEditorState(const IByteChunk& chunk, int startPos);
  // Every parameter's value as a double, in index order.
  bool SerializeParams(IByteChunk& chunk) const;
  // Restores the values that are complete; stepped values are rounded and every value is held
  // in its range. Returns the position after the last value, or -1 when the chunk ends early.
  int UnserializeParams(const IByteChunk& chunk, int startPos);

  // The editor: its drawing surface while it is open, and the functions that build it when the
  // host opens it: the surface at a size and scale, then the controls on it.
  IGraphics* GetUI() const { return mGraphics.get(); }
  using MakeGraphicsFunc = std::function<IGraphics*(int width, int height, float scale)>;
  using LayoutFunc = std::function<void(IGraphics*)>;
  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;
  // What the plug-in's OnParamChangeUI forwards to its open editor.
  using ParamChangeUIFunc = std::function<void(int paramIdx)>;
  ParamChangeUIFunc mParamChangeUIFunc;

  void SendParameterValueFromUI(int paramIdx, double normalized);
  void BeginInformHostOfParamChangeFromUI(int paramIdx);
  void EndInformHostOfParamChangeFromUI(int paramIdx);

  // ---- What the wrapper calls.
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  void SetBlockSize(int blockSize) { mBlockSize = blockSize; }
  void SetChannelsConnected(int inputs, int outputs);
  void SetTimeInfo(const ITimeInfo& timeInfo) { mTimeInfo = timeInfo; }
  // OnReset under the main lock.
  void Reset();
  // A host's change of one parameter (normalised), then the editor is told.
  void SetParameterValueFromHost(int paramIdx, double normalized);
  // The same with a plain value, held in range and stepped.
  void SetPlainParameterValueFromHost(int paramIdx, double value);
  // Opens the editor at the kept size and scale (420 × 480 at 1 when none is kept); null when the
  // plug-in has no editor.
  IGraphics* OpenWindow();
  // OnUIClose, then the size and scale are kept, GetUI() becomes null and the surface and its
  // controls are destroyed.
  void CloseWindow();
  int EditorWidth() const { return mEditorWidth; }
  int EditorHeight() const { return mEditorHeight; }
  float EditorScale() const { return mEditorScale; }

 private:
  void InformHostOfPresetRecall();
  // Bound controls of an open editor take the parameter's value.
  void ControlsFollow(int paramIdx);

  Config mConfig;
  EHost mHost;
  HostCallbacks* mCallbacks;
  std::vector<IParam> mParams;
  double mSampleRate = 48000.0;
  int mBlockSize = 512;
  int mInputs = 2;
  int mOutputs = 2;
  int mLatency = 0;
  ITimeInfo mTimeInfo;
  int mEditorWidth = 0;  // kept from the last close or restore while no editor is open
  int mEditorHeight = 0;
  float mEditorScale = 0.0f;
  std::unique_ptr<IGraphics> mGraphics;
};

}  // namespace frame
