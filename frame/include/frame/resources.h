// Where the frame finds the plug-in's resource files (fonts): a folder its wrapper names.
// Main thread only.
#pragma once

#include <string>

namespace frame {

void SetResourceFolder(const std::string& folder);
const std::string& ResourceFolder();

// The folder `name` beside the running program's file, where a build or an install puts its
// resources; `name` alone (from the current folder) when the program's file cannot be found.
std::string FolderBesideProgram(const std::string& name);

}  // namespace frame
