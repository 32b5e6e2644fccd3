// StagedFile: an output written whole or not at all.
// It is written under a temporary name in its own folder and renamed over the final name only
// on commit; until then the destructor removes it, so a failed render leaves nothing behind.
#pragma once

#include <cstddef>
#include <string>

namespace reelstop::offline {

class StagedFile {
 public:
  // Creates the temporary file; throws RenderError when the folder cannot take it.
  explicit StagedFile(std::string finalPath);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  int descriptor() const { return mFd; }
  const std::string& finalPath() const { return mFinalPath; }
  void writeAll(const void* data, size_t size);
  void writeAll(const std::string& bytes) { writeAll(bytes.data(), bytes.size()); }
  // Closes the temporary file and renames it to the final name.
  void commit();

 private:
  std::string mFinalPath;
  std::string mTempPath;
  int mFd = -1;
  bool mCommitted = false;
};

}  // namespace reelstop::offline
