// Size and date filters from plain values.
#include "search/FilterValues.h"

namespace kestrix::search {

SizeFilter sizeFilterOf(bool maximum, std::int64_t count, bool megabytes) {
  SizeFilter filter;
  filter.kind = maximum ? SizeFilter::Kind::Maximum : SizeFilter::Kind::Minimum;
  filter.unitBytes = megabytes ? kMegabyte : kKilobyte;
  filter.limitBytes = count * filter.unitBytes;
  return filter;
}

DateFilter betweenDates(const Date& first, const Date& second) {
  DateFilter filter;
  filter.kind = DateFilter::Kind::Between;
  filter.minDate = first;
  filter.maxDate = second;
  return filter;
}

DateFilter newerThan(double days) {
  DateFilter filter;
  filter.kind = DateFilter::Kind::NewerThan;
  filter.days = days;
  return filter;
}

}  // namespace kestrix::search
