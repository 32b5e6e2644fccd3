// Parsing and checking the command line.
// Every value is validated here, so that rendering starts only from a sound request.
#include "options.h"

#include <cmath>
#include <functional>
#include <map>

#include "render_error.h"
#include "text_parse.h"

namespace reelstop::offline {
namespace {

constexpr int kMinRateHz = 8000;
constexpr int kMaxRateHz = 384000;
constexpr double kMaxDemoSeconds = 3600.0;
constexpr int kMaxMeterPart = 32;
constexpr double kMaxStartBeats = 1e6;  // about 35 hours at 480 BPM

int integerIn(const std::string& option, const std::string& text, int64_t low, int64_t high) {
  const auto value = parseInteger(text);
  if (!value || *value < low || *value > high) {
    throw RenderError(option + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                      ", not '" + text + "'");
  }
  return static_cast<int>(*value);
}

double numberOf(const std::string& option, const std::string& text) {
  const auto value = parseNumber(text);
  if (!value) throw RenderError(option + " wants a number, not '" + text + "'");
  return *value;
}

void parseMeter(const std::string& text, Options& options) {
  const size_t slash = text.find('/');
  const auto numerator = parseInteger(text.substr(0, slash));
  const auto denominator = slash == std::string::npos ? std::nullopt : parseInteger(text.substr(slash + 1));
  const bool powerOfTwo = denominator && *denominator > 0 && (*denominator & (*denominator - 1)) == 0;
  if (!numerator || *numerator < 1 || *numerator > kMaxMeterPart || !powerOfTwo || *denominator > kMaxMeterPart) {
    throw RenderError("--meter wants N/D with N from 1 to 32 and D a power of two up to 32, not '" + text + "'");
  }
  options.meterNumerator = static_cast<int>(*numerator);
  options.meterDenominator = static_cast<int>(*denominator);
}

EditorPage pageNamed(const std::string& text) {
  if (text == "main") return EditorPage::kRecord;
  if (text == "settings") return EditorPage::kSettings;
  throw RenderError("--page wants main or settings, not '" + text + "'");
}

double snapshotScaleOf(const std::string& text) {
  const double scale = numberOf("--scale", text);
  if (!(scale >= kMinSnapshotScale && scale <= kMaxSnapshotScale)) {
    throw RenderError("--scale wants a size from 0.75 to 2, not '" + text + "'");
  }
  return scale;
}

void placePositionals(const std::vector<std::string>& positionals, Options& options) {
  if (positionals.size() > 2) throw RenderError("too many arguments: '" + positionals[2] + "' (see --help)");
  if (positionals.size() == 2) options.inputPath = positionals[0];
  if (!positionals.empty()) options.outputPath = positionals.back();
  if (options.help || options.listParams || options.listPresets) return;
  if (options.outputPath.empty()) throw RenderError("no OUTPUT file given (see --help)");
  if (!options.inputPath.empty() && (options.demoRateHz || options.demoSeconds)) {
    throw RenderError("--rate and --seconds shape the demo signal; INPUT brings its own");
  }
  if (options.snapshotPath.empty() && (options.snapshotPage || options.snapshotScale)) {
    throw RenderError("--page and --scale shape the --snapshot picture; give --snapshot FILE.png too");
  }
}

}  // namespace

double parseTempoBpm(const std::string& what, const std::string& text) {
  const auto bpm = parseNumber(text);
  if (!bpm || *bpm < kMinTempoBpm || *bpm > kMaxTempoBpm) {
    throw RenderError(what + " wants a tempo from 1 to 999 BPM, not '" + text + "'");
  }
  return *bpm;
}

Options parseOptions(const std::vector<std::string>& args) {
  Options options;
  const std::map<std::string, std::function<void()>> flags = {
      {"--help", [&] { options.help = true; }},
      {"-h", [&] { options.help = true; }},
      {"--list-params", [&] { options.listParams = true; }},
      {"--list-presets", [&] { options.listPresets = true; }},
      {"--playing", [&] { options.playing = true; }},
  };
  const std::map<std::string, std::function<void(const std::string&)>> valued = {
      {"--block", [&](const std::string& v) { options.blockSize = integerIn("--block", v, 1, kMaxBlockSize); }},
      {"--rate", [&](const std::string& v) { options.demoRateHz = integerIn("--rate", v, kMinRateHz, kMaxRateHz); }},
      {"--seconds",
       [&](const std::string& v) {
         const double seconds = numberOf("--seconds", v);
         if (seconds <= 0.0 || seconds > kMaxDemoSeconds) {
           throw RenderError("--seconds wants a length above 0 and at most 3600, not '" + v + "'");
         }
         options.demoSeconds = seconds;
       }},
      {"--tempo", [&](const std::string& v) { options.tempoBpm = parseTempoBpm("--tempo", v); }},
      {"--meter", [&](const std::string& v) { parseMeter(v, options); }},
      {"--start",
       [&](const std::string& v) {
         const double beats = numberOf("--start", v);
         if (!(std::fabs(beats) <= kMaxStartBeats)) {
           throw RenderError("--start wants a song position from -1000000 to 1000000 beats, not '" + v + "'");
         }
         options.startBeats = beats;
       }},
      {"--set", [&](const std::string& v) { options.settings.push_back(v); }},
      {"--preset", [&](const std::string& v) { options.presetName = v; }},
      {"--event", [&](const std::string& v) { options.events.push_back(v); }},
      {"--events", [&](const std::string& v) { options.eventFiles.push_back(v); }},
      {"--load-state", [&](const std::string& v) { options.loadStatePath = v; }},
      {"--save-state", [&](const std::string& v) { options.saveStatePath = v; }},
      {"--speed-csv", [&](const std::string& v) { options.speedCsvPath = v; }},
      {"--snapshot", [&](const std::string& v) { options.snapshotPath = v; }},
      {"--page", [&](const std::string& v) { options.snapshotPage = pageNamed(v); }},
      {"--scale", [&](const std::string& v) { options.snapshotScale = snapshotScaleOf(v); }},
      {"--plot", [&](const std::string& v) { options.plotPath = v; }},
  };

  std::vector<std::string> positionals;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      positionals.insert(positionals.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      positionals.push_back(arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (const auto flag = flags.find(arg); flag != flags.end()) {
      flag->second();
    } else if (const auto option = valued.find(name); option != valued.end()) {
      if (equals != std::string::npos) {
        option->second(arg.substr(equals + 1));
      } else if (i + 1 < args.size()) {
        option->second(args[++i]);
      } else {
        throw RenderError(name + " needs a value");
      }
    } else {
      throw RenderError("unknown option '" + arg + "' (see --help)");
    }
  }
  placePositionals(positionals, options);
  return options;
}

}  // namespace reelstop::offline
