// Internal: whether the processor runs AVX2, for the vector loops of the search (each has a
// portable form beside it).
#pragma once

namespace kestrix::search {

#if defined(__x86_64__)
// True when the processor has AVX2 (asked once).
inline bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace kestrix::search
