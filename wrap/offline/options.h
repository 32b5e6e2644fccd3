// The command line of reelstop-render: what it holds after parsing, and the parser.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace reelstop::offline {

// The editor page a --snapshot shows.
enum class EditorPage { kRecord, kSettings };

struct Options {
  bool help = false;
  bool listParams = false;
  bool listPresets = false;
  std::string presetName;  // a factory preset, applied after --load-state and before --set
  std::string inputPath;   // empty: the built-in demo groove
  std::string outputPath;
  int blockSize = 512;
  std::optional<int> demoRateHz;  // the demo only; a file brings its own rate
  std::optional<double> demoSeconds;
  std::optional<double> tempoBpm;  // none: the host gives no tempo
  int meterNumerator = 4;
  int meterDenominator = 4;
  bool playing = false;
  double startBeats = 0.0;            // song position of the first sample, quarter notes
  std::vector<std::string> settings;  // "NAME=VALUE", in command-line order
  std::vector<std::string> events;    // "TIME ACTION"
  std::vector<std::string> eventFiles;
  std::string loadStatePath;
  std::string saveStatePath;
  std::string speedCsvPath;
  std::string snapshotPath;                // empty: no picture of the editor
  std::optional<EditorPage> snapshotPage;  // none given: the record page
  std::optional<double> snapshotScale;     // none given: 1
  std::string plotPath;

  bool scriptGiven() const { return !events.empty() || !eventFiles.empty(); }
};

constexpr int kMaxBlockSize = 65536;
constexpr double kMinTempoBpm = 1.0;
constexpr double kMaxTempoBpm = 999.0;
// The editor's own range of sizes.
constexpr double kMinSnapshotScale = 0.75;
constexpr double kMaxSnapshotScale = 2.0;

// Throws RenderError naming the offending argument.
Options parseOptions(const std::vector<std::string>& args);

// A tempo from the command line or an event script, checked against the host's range; what
// names the option or action in the error.
double parseTempoBpm(const std::string& what, const std::string& text);

}  // namespace reelstop::offline
