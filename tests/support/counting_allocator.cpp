// The counting replacements of the global operator new and delete.
#include "counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};
std::atomic<long> releases{0};

void* countedAlloc(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}

void countedFree(void* p) {
  if (p != nullptr) releases.fetch_add(1, std::memory_order_relaxed);
  std::free(p);
}

}  // namespace

namespace reelstop::test {
long allocationsSoFar() { return allocations.load(); }
long releasesSoFar() { return releases.load(); }
}  // namespace reelstop::test

void* operator new(std::size_t size) {
  if (void* p = countedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }
