// A host's feature by URI, for the plug-in and its editor alike.
#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace reelstop::lv2 {

// The feature's data; null when the host does not offer it (or offers it without data).
inline const void* featureData(const LV2_Feature* const* features, const char* uri) {
  for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
    if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  }
  return nullptr;
}

}  // namespace reelstop::lv2
