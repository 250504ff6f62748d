// The status texts of an ended search and the hint for misseparated masks.
#include "search/RunEndStatus.h"

#include "search/Cells.h"

namespace kestrix::search {
namespace {

std::string_view trimmed(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\n\v\f\r";
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

bool masksLookMisseparated(std::string_view masks) {
  // Blanks around ";" are fine; a comma, or a blank between two masks, is a likely slip.
  while (true) {
    const std::size_t end = masks.find(';');
    const std::string_view mask = trimmed(masks.substr(0, end));
    if (mask.find_first_of(", ") != std::string_view::npos) return true;
    if (end == std::string_view::npos) return false;
    masks.remove_prefix(end + 1);
  }
}

RunEndStatus runEndStatus(Origin origin, std::size_t rowCount, bool stopped,
                          std::string_view masksText) {
  if (stopped) return {foundStatusText(origin, rowCount), "Stopped"};
  if (rowCount > 0) return {};
  return {notFoundStatusText(), masksLookMisseparated(masksText) ? kMaskSeparatorHint : ""};
}

}  // namespace kestrix::search
