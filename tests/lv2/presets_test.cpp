// The factory presets in an LV2 host: lilv finds every one on both plug-ins, and loading one
// gives exactly its table's values, on the ports and in the state chunk, whatever came before.
#include "presets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "frame/headless_host.h"
#include "lilv_host.h"
#include "reelstop.h"
#include "turtle_text.h"

namespace reelstop::lv2::test {
namespace {

TEST(LilvPresets, EachLoadsExactlyItsTableOnBothPluginsWhateverCameBefore) {
  LilvBundle bundle;
  frame::HeadlessHost table([](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); });
  std::vector<std::string> names;
  for (const Preset& preset : factoryPresets()) names.emplace_back(preset.name);
  for (const char* uri :
       {"https://ferncliff.example/plugins/reelstop#mono", "https://ferncliff.example/plugins/reelstop#stereo"}) {
    TestInstance instance(bundle, uri, 48000.0, 512);
    std::vector<std::string> labels = instance.presetLabels();
    std::sort(labels.begin(), labels.end());
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(labels, expected) << uri;

    const Preset* before = &factoryPresets().back();
    for (const Preset& preset : factoryPresets()) {
      // The chunk the plug-in itself saves with the table's values.
      const std::vector<double> values = presetValues(table.plugin(), preset);
      for (size_t i = 0; i < values.size(); ++i) table.setPlainParameter(static_cast<int>(i), values[i]);
      const frame::IByteChunk chunk = table.saveState();

      instance.restoreState(*instance.preset(before->name));
      instance.restoreState(*instance.preset(preset.name));
      for (size_t i = 0; i < values.size(); ++i) {
        const char* name = table.plugin().GetParam(static_cast<int>(i))->GetName();
        EXPECT_EQ(instance.control(symbolOf(name).c_str()), static_cast<float>(values[i]))
            << preset.name << ": " << name;
      }
      EXPECT_EQ(instance.savedChunk(), std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size()))
          << preset.name << " after " << before->name;
      before = &preset;
    }
  }
}

}  // namespace
}  // namespace reelstop::lv2::test
