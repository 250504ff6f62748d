// The counting, failing operator new of the memory tests.
#include "Allocations.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace kestrix::testing {
namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> made{0};
std::atomic<std::size_t> countdown{0};
std::atomic<std::size_t> failMinSize{0};
std::atomic<bool> fired{false};

bool failNow(std::size_t size) {
  if (size < failMinSize.load() || countdown.load() == 0) return false;
  if (countdown.fetch_sub(1) != 1) return false;
  fired = true;
  return true;
}

void* allocate(std::size_t size, bool nothrow) {
  if (failNow(size)) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  void* p = std::malloc(size == 0 ? 1 : size);
  if (!p) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  made.fetch_add(1);
  const std::size_t now = live.fetch_add(::malloc_usable_size(p)) + ::malloc_usable_size(p);
  std::size_t high = peak.load();
  while (now > high && !peak.compare_exchange_weak(high, now)) {
  }
  return p;
}

void release(void* p) {
  if (!p) return;
  live.fetch_sub(::malloc_usable_size(p));
  std::free(p);
}

}  // namespace

std::size_t liveBytes() {
  return live.load();
}
std::size_t peakBytes() {
  return peak.load();
}
void resetPeak() {
  peak = live.load();
}
std::size_t allocationCount() {
  return made.load();
}

void failAllocation(std::size_t nth, std::size_t minSize) {
  countdown = 0;
  failMinSize = minSize;
  if (nth != 0) fired = false;
  countdown = nth;
}
bool failureFired() {
  return fired.load();
}

}  // namespace kestrix::testing

void* operator new(std::size_t size) {
  return kestrix::testing::allocate(size, false);
}
void* operator new[](std::size_t size) {
  return kestrix::testing::allocate(size, false);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return kestrix::testing::allocate(size, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return kestrix::testing::allocate(size, true);
}
void operator delete(void* p) noexcept {
  kestrix::testing::release(p);
}
void operator delete[](void* p) noexcept {
  kestrix::testing::release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  kestrix::testing::release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  kestrix::testing::release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  kestrix::testing::release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  kestrix::testing::release(p);
}
