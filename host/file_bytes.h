// Whole-file byte reads and writes, and the FNV-1a fingerprint that tells builds apart.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reelstop {

// The whole file; empty when it cannot be read.
std::vector<char> readFileBytes(const std::string& path);

// Writes the bytes, truncating; false when the stream failed, and then no partial file is left.
bool writeFileBytes(const std::string& path, const std::vector<char>& bytes);

// 64-bit FNV-1a over the bytes.
uint64_t fnv1a64(const std::vector<char>& bytes);

}  // namespace reelstop
