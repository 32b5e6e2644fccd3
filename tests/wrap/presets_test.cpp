// The factory presets through reelstop-render: each a sound of its own, and each exactly the
// parameters its table gives (every other one at its default).
#include "presets.h"

#include <gtest/gtest.h>

#include <map>

#include "frame/headless_host.h"
#include "reelstop.h"
#include "render_harness.h"

namespace reelstop::offline::test {
namespace {

using Presets = RenderFolder;

TEST_F(Presets, EachIsASoundOfItsOwnAndTheSameAsSettingItsValues) {
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); });
  const std::vector<std::string> demo{"--seconds", "4"};
  auto render = [&](std::vector<std::string> args, const std::string& file) {
    args.insert(args.begin(), demo.begin(), demo.end());
    args.push_back(path(file));
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 0) << result.err;
    return readBytes(path(file));
  };
  std::map<std::string, std::string> sounds{{"defaults", render({}, "defaults.wav")}};
  int index = 0;
  for (const Preset& preset : factoryPresets()) {
    const std::string file = "preset" + std::to_string(index++) + ".wav";
    const std::string sound = render({"--preset", preset.name}, file);
    for (const auto& [other, otherSound] : sounds)
      EXPECT_NE(sound, otherSound) << preset.name << " sounds like " << other;
    sounds[preset.name] = sound;

    // A preset is the whole table over the defaults: the same as setting every parameter, even
    // after another preset and a state that moved them all.
    std::vector<std::string> settings{"--preset", "Half-speed drag"};
    const std::vector<double> values = presetValues(host.plugin(), preset);
    for (size_t i = 0; i < values.size(); ++i) {
      settings.push_back("--set");
      settings.push_back(std::string(host.plugin().GetParam(static_cast<int>(i))->GetName()) + "=" +
                         std::to_string(values[i]));
    }
    EXPECT_EQ(render(settings, "set-" + file), sound) << preset.name;
  }
  EXPECT_GE(factoryPresets().size(), 8u);
  const RunResult listed = run({"--list-presets"});
  for (const Preset& preset : factoryPresets()) EXPECT_NE(listed.out.find(preset.name), std::string::npos);
}

}  // namespace
}  // namespace reelstop::offline::test
