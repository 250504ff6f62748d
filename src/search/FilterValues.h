// The size and date filters of a search made from the plain values a user gives for them
// (a count and its unit, two calendar dates, a number of days).
#pragma once

#include <cstdint>

#include "search/SearchRequest.h"

namespace kestrix::search {

// Passes files of at most (`maximum`) or at least `count` KB, or MB when `megabytes`.
// The filter keeps the unit for showing it back to the user.
SizeFilter sizeFilterOf(bool maximum, std::int64_t count, bool megabytes);

// Passes files dated between `first` and `second` (whole days, both included).
DateFilter betweenDates(const Date& first, const Date& second);

// Passes files written at or after `days` days before the present moment.
DateFilter newerThan(double days);

}  // namespace kestrix::search
