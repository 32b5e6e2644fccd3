// What a plug-in tells the frame about itself when it is built, and what its wrapper tells it.
#pragma once

namespace frame {

// Which kind of host runs the plug-in.
enum class EHost { kHostUnknown, kHostStandalone, kHostOffline, kHostLV2 };

enum class ERoute { kInput, kOutput };

enum class EPlugType { kEffect, kInstrument };

struct Config {
  int nParams = 0;
  int nPresets = 1;
  const char* channelIOStr = "1-1";  // space-separated in-out pairs: "1-1 2-2"
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int vendorVersion = 0;  // major, minor and patch packed as 0xMMMMmmpp
  int uniqueID = 0;       // four-character codes
  int mfrID = 0;
  int latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  EPlugType plugType = EPlugType::kEffect;
  bool plugHasUI = false;
  int plugWidth = 0;
  int plugHeight = 0;
  int plugMinWidth = 0;
  int plugMaxWidth = 0;
  int plugMinHeight = 0;
  int plugMaxHeight = 0;
  bool plugHostResize = false;
  const char* bundleID = "";
  const char* appGroupID = "";
  // How hosts that list plug-ins by URI and kind (LV2) present it: the project's URI (each
  // channel configuration's plug-in adds "#mono", "#stereo", ...), its home page and licence,
  // the plug-in class, and what it does in a sentence or two.
  const char* projectUri = "";
  const char* homepageUri = "";
  const char* licenseUri = "";
  const char* lv2Class = "lv2:Plugin";
  const char* description = "";
};

class HostCallbacks;

// Handed over by the wrapper that builds the plug-in.
struct InstanceInfo {
  EHost host = EHost::kHostUnknown;
  HostCallbacks* callbacks = nullptr;  // may be null: nothing is told to the host
};

// What the plug-in tells its host. Main thread only.
class HostCallbacks {
 public:
  virtual ~HostCallbacks() = default;
  virtual void ParameterChangedFromUI(int paramIdx, double normalized) = 0;
  virtual void BeginGesture(int paramIdx) = 0;
  virtual void EndGesture(int paramIdx) = 0;
  // Every parameter may have changed at once (a state restore).
  virtual void ParametersRecalled() = 0;
  virtual void LatencyChanged(int samples) = 0;
};

}  // namespace frame
