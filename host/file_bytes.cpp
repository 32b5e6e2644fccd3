// Reading and writing whole files as raw bytes, and fingerprinting them with 64-bit FNV-1a.
#include "file_bytes.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace reelstop {

std::vector<char> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFileBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out.fail()) return true;
  std::remove(path.c_str());  // a truncated library must never be loaded later
  return false;
}

uint64_t fnv1a64(const std::vector<char>& bytes) {
  constexpr uint64_t kOffsetBasis = 14695981039346656037ull;
  constexpr uint64_t kPrime = 1099511628211ull;
  uint64_t hash = kOffsetBasis;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= kPrime;
  }
  return hash;
}

}  // namespace reelstop
