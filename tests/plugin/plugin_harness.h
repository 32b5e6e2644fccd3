// Test harness: a Reelstop instance in the headless host.
#pragma once

#include <memory>
#include <string>

#include "iplug/headless_host.h"
#include "reelstop.h"

namespace reelstop::test {

struct Instance {
  iplug::HeadlessHost host{[](const iplug::InstanceInfo& info) { return std::make_unique<Reelstop>(info); }};

  Reelstop& plugin() { return static_cast<Reelstop&>(host.plugin()); }
  iplug::IParam& param(int index) { return *plugin().GetParam(index); }
  std::string display(int index) {
    iplug::WDL_String text;
    param(index).GetDisplay(text);
    return text.Get();
  }
};

}  // namespace reelstop::test
