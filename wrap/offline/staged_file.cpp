// Temporary-then-rename output files.
#include "staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "render_error.h"

namespace reelstop::offline {
namespace {

constexpr int kMaxNameAttempts = 100;

std::string cannotWrite(const std::string& path, int error) {
  return "cannot write '" + path + "': " + std::strerror(error);
}

}  // namespace

StagedFile::StagedFile(std::string finalPath) : mFinalPath(std::move(finalPath)) {
  // Beside the final file, so that the rename stays on one file system and is atomic.
  const size_t slash = mFinalPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : mFinalPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? mFinalPath : mFinalPath.substr(slash + 1);
  if (name.empty()) throw RenderError("'" + mFinalPath + "' names a folder, not a file");
  for (int attempt = 0; attempt < kMaxNameAttempts && mFd < 0; ++attempt) {
    mTempPath = folder;
    mTempPath += "." + name + ".part" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    mFd = ::open(mTempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (mFd < 0 && errno != EEXIST) throw RenderError(cannotWrite(mFinalPath, errno));
  }
  if (mFd < 0) throw RenderError(cannotWrite(mFinalPath, EEXIST));
}

StagedFile::~StagedFile() {
  if (mFd >= 0) ::close(mFd);
  if (!mCommitted) ::unlink(mTempPath.c_str());
}

void StagedFile::writeAll(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(mFd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw RenderError(cannotWrite(mFinalPath, written < 0 ? errno : ENOSPC));
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

void StagedFile::commit() {
  const int closed = ::close(mFd);
  mFd = -1;
  if (closed != 0) throw RenderError(cannotWrite(mFinalPath, errno));
  if (std::rename(mTempPath.c_str(), mFinalPath.c_str()) != 0) throw RenderError(cannotWrite(mFinalPath, errno));
  mCommitted = true;
}

}  // namespace reelstop::offline
