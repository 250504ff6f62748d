// The conditions block of the report (shared by the report writer and its tests).
#pragma once

#include "results/PageText.h"
#include "results/Report.h"

namespace kestrix::results {

// Writes "<strong>Search Conditions</strong>" and every condition line of `c` in order,
// through the query and its empty line.
void writeConditions(PageText& page, const ReportConditions& c);

}  // namespace kestrix::results
