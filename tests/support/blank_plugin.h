// A plug-in with no parameters that processes nothing: a delegate for surfaces under test.
#pragma once

#include "frame/plugin.h"

namespace frame::test {

class BlankPlugin : public Plugin {
 public:
  explicit BlankPlugin(const InstanceInfo& info) : Plugin(info, Config()) {}
  void ProcessBlock(float**, float**, int) override {}
};

}  // namespace frame::test
