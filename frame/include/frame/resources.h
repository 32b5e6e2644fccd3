// Where the frame finds the plug-in's resource files (fonts): a folder its wrapper names.
// Main thread only.
#pragma once

#include <string>

namespace frame {

void SetResourceFolder(const std::string& folder);
const std::string& ResourceFolder();

}  // namespace frame
