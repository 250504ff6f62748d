// The order of the results list's rows after a header click: stable, ascending or
// descending; numbers by value, texts by ASCII letters without case and other bytes by value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::results {

// <0, 0 or >0: ASCII letters compared without case, other bytes by value; a text that is a
// prefix of the other comes first.
int compareAsciiNoCase(std::string_view a, std::string_view b);

// The row indexes ordered by their keys (one key per row); rows with equal keys keep their
// order, in both directions.
std::vector<std::size_t> orderByNumbers(const std::vector<double>& keys, bool descending);
std::vector<std::size_t> orderByTexts(const std::vector<std::string>& keys, bool descending);

}  // namespace kestrix::results
