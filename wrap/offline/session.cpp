// The steps of a run: check the paths, load, set up the host, parse the timeline, render, write.
#include "session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "default_script.h"
#include "demo_signal.h"
#include "editor_snapshot.h"
#include "frame/headless_host.h"
#include "interruption.h"
#include "param_values.h"
#include "presets.h"
#include "reelstop.h"
#include "render_error.h"
#include "render_loop.h"
#include "sound_file.h"
#include "speed_csv.h"
#include "speed_plot.h"
#include "staged_file.h"
#include "timeline.h"
#include "transport.h"

namespace reelstop::offline {
namespace {

std::unique_ptr<frame::HeadlessHost> makeHost() {
  return std::make_unique<frame::HeadlessHost>(
      [](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); }, frame::EHost::kHostOffline);
}

// Every file the run writes must be a file of its own: not the input, not a folder, not another output.
void checkOutputPaths(const Options& options) {
  const std::string* paths[] = {&options.outputPath, &options.saveStatePath, &options.speedCsvPath,
                                &options.snapshotPath, &options.plotPath};
  struct stat input {};
  const bool inputExists = !options.inputPath.empty() && ::stat(options.inputPath.c_str(), &input) == 0;
  for (size_t i = 0; i < std::size(paths); ++i) {
    const std::string& path = *paths[i];
    for (size_t j = 0; j < i; ++j) {
      if (!path.empty() && path == *paths[j]) throw RenderError("'" + path + "' is named for two outputs");
    }
    struct stat output {};
    if (path.empty() || ::stat(path.c_str(), &output) != 0) continue;
    if (S_ISDIR(output.st_mode)) throw RenderError("'" + path + "' is a folder, not a file");
    if (inputExists && input.st_dev == output.st_dev && input.st_ino == output.st_ino) {
      throw RenderError("'" + path + "' is the input file; it is never overwritten");
    }
  }
}

// Every parameter to the preset's value or its default, as a host loads a preset.
void applyPreset(frame::HeadlessHost& host, const std::string& name) {
  const Preset* preset = findPreset(name);
  if (preset == nullptr) throw RenderError("no factory preset is called '" + name + "' (see --list-presets)");
  const std::vector<double> values = presetValues(host.plugin(), *preset);
  for (size_t i = 0; i < values.size(); ++i) host.setPlainParameter(static_cast<int>(i), values[i]);
}

void restoreState(frame::HeadlessHost& host, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw RenderError("cannot read the state file '" + path + "'");
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (host.restoreState(frame::IByteChunk(bytes.data(), static_cast<int>(bytes.size()))) < 0) {
    throw RenderError("the plug-in refused the state in '" + path + "'");
  }
}

std::vector<Event> timelineOf(const Options& options, const TimeBase& base, const frame::Plugin& plugin) {
  if (!options.scriptGiven()) {
    return options.inputPath.empty() ? defaultScriptEvents(base, plugin) : std::vector<Event>{};
  }
  std::vector<Event> events;
  for (const std::string& line : options.events) {
    try {
      events.push_back(parseEvent(line, base, plugin));
    } catch (const RenderError& error) {
      throw RenderError("--event '" + line + "': " + error.what());
    }
  }
  for (const std::string& path : options.eventFiles) {
    const std::vector<Event> fromFile = readEventFile(path, base, plugin);
    events.insert(events.end(), fromFile.begin(), fromFile.end());
  }
  sortByTime(events);
  checkHandMoves(events, base);
  return events;
}

std::unique_ptr<AudioSource> openInput(const Options& options, std::optional<double> tempoBpm) {
  if (!options.inputPath.empty()) return std::make_unique<SoundFileReader>(options.inputPath);
  return std::make_unique<MemorySource>(
      makeDemoGroove(options.demoRateHz.value_or(kDemoRateHz), options.demoSeconds.value_or(kDemoSeconds), *tempoBpm));
}

// Opened before the render, so that an unwritable output fails at once rather than at the end.
std::unique_ptr<StagedFile> stageIf(const std::string& path) {
  return path.empty() ? nullptr : std::make_unique<StagedFile>(path);
}

}  // namespace

RenderSummary runRender(const Options& options) {
  const auto began = std::chrono::steady_clock::now();
  checkOutputPaths(options);
  const bool demo = options.inputPath.empty();
  // The demo groove is a song: its host knows its tempo and plays it from the first sample.
  const std::optional<double> tempoBpm = demo ? options.tempoBpm.value_or(kDemoTempoBpm) : options.tempoBpm;
  const std::unique_ptr<AudioSource> input = openInput(options, tempoBpm);

  const auto host = makeHost();
  host->configure(input->sampleRateHz(), options.blockSize, input->channelCount());
  if (!options.loadStatePath.empty()) restoreState(*host, options.loadStatePath);
  if (!options.presetName.empty()) applyPreset(*host, options.presetName);
  std::vector<ParamSetting> settings;
  for (const std::string& assignment : options.settings) settings.push_back(parseSetting(host->plugin(), assignment));
  const TimeBase base{static_cast<double>(input->sampleRateHz()), tempoBpm, options.startBeats, input->frames()};
  const std::vector<Event> events = timelineOf(options, base, host->plugin());

  const auto audioFile = stageIf(options.outputPath);
  const auto stateFile = stageIf(options.saveStatePath);
  const auto csvFile = stageIf(options.speedCsvPath);
  const auto snapshotFile = stageIf(options.snapshotPath);
  const auto plotFile = stageIf(options.plotPath);
  SoundFileWriter writer(*audioFile, input->channelCount(), input->sampleRateHz(),
                         outputFormatFor(options.outputPath, input->channelCount(), input->sampleRateHz()));

  for (const ParamSetting& setting : settings) applySetting(*host, setting);
  Transport transport({base.sampleRateHz, tempoBpm, options.meterNumerator, options.meterDenominator,
                       demo || options.playing, options.startBeats});
  std::optional<SpeedCsv> speedCsv;
  if (csvFile || plotFile) speedCsv.emplace();
  std::optional<SpeedPlot> plot;
  if (plotFile) plot.emplace(base.sampleRateHz);
  std::optional<EditorSnapshot> snapshot;
  if (snapshotFile) {
    snapshot.emplace(*host, options.snapshotPage.value_or(EditorPage::kRecord),
                     static_cast<float>(options.snapshotScale.value_or(1.0)), input->frames(), options.blockSize);
  }
  Progress progress(input->frames(), ::isatty(STDERR_FILENO) == 1);
  RenderJob job{options.blockSize, &events, &transport, speedCsv ? &*speedCsv : nullptr, &progress, {}};
  if (snapshot || plot) {
    job.afterBlock = [&](int64_t firstSample) {
      if (snapshot) snapshot->afterBlock(firstSample);
      if (plot) plot->noteTransport(firstSample, host->transport());
    };
  }
  render(*host, *input, writer, job);
  writer.finish();

  if (stateFile) {
    const frame::IByteChunk chunk = host->saveState();
    stateFile->writeAll(chunk.GetData(), static_cast<size_t>(chunk.Size()));
  }
  if (csvFile) csvFile->writeAll(speedCsv->text());
  if (snapshotFile) snapshotFile->writeAll(snapshot->png());
  if (plotFile) plotFile->writeAll(plot->png(host->plugin(), *speedCsv, input->frames()));
  throwIfInterrupted();
  for (StagedFile* file : {audioFile.get(), stateFile.get(), csvFile.get(), snapshotFile.get(), plotFile.get()}) {
    if (file != nullptr) file->commit();
  }

  const auto& plugin = static_cast<const Reelstop&>(host->plugin());
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - began;
  return {options.outputPath, static_cast<double>(input->frames()) / input->sampleRateHz(), wall.count(),
          plugin.control().stopsIssued(), plugin.control().startsIssued()};
}

void listParams(std::FILE* out) { printParamTable(makeHost()->plugin(), out); }

void listPresets(std::FILE* out) {
  for (const Preset& preset : factoryPresets()) std::fprintf(out, "%-20s %s\n", preset.name, preset.description);
}

}  // namespace reelstop::offline
