// Stable orders of the list's rows by numeric or text keys.
#include "results/RowOrder.h"

#include <algorithm>
#include <numeric>

namespace kestrix::results {
namespace {

unsigned char asciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

template <typename Key, typename Compare>
std::vector<std::size_t> stableOrder(const std::vector<Key>& keys, bool descending,
                                     Compare compare) {
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = compare(keys[a], keys[b]);
    return descending ? c > 0 : c < 0;
  });
  return order;
}

}  // namespace

int compareAsciiNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = asciiLower(static_cast<unsigned char>(a[i]));
    const unsigned char y = asciiLower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::vector<std::size_t> orderByNumbers(const std::vector<double>& keys, bool descending) {
  return stableOrder(keys, descending,
                     [](double a, double b) { return a == b ? 0 : (a < b ? -1 : 1); });
}

std::vector<std::size_t> orderByTexts(const std::vector<std::string>& keys, bool descending) {
  return stableOrder(keys, descending, [](const std::string& a, const std::string& b) {
    return compareAsciiNoCase(a, b);
  });
}

}  // namespace kestrix::results
