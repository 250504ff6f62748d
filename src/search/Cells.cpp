// The cell texts of a results row and the status-bar texts of a run.
#include "search/Cells.h"

#include "search/SearchError.h"

namespace kestrix::search {

std::string foundText(const std::vector<std::int64_t>& hits, bool cut) {
  std::string text;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (cut && text.size() > kFoundTextLimit) {
      text += ",...";
      break;
    }
    if (i) text += ", ";
    text += std::to_string(hits[i]);
  }
  return text;
}

std::string sizeText(std::int64_t bytes) {
  if (bytes < 0) bytes = 0;
  const std::string sep = platform::decimalSeparator();
  if (bytes <= 100) {  // at most 0.1 KB: three decimals
    std::string milli = std::to_string(bytes);
    return "0" + sep + std::string(3 - milli.size(), '0') + milli + " KB";
  }
  const std::int64_t tenths = (bytes + 50) / 100;  // rounded to one decimal
  return std::to_string(tenths / 10) + sep + std::to_string(tenths % 10) + " KB";
}

std::string timeText(std::int64_t epochSec) {
  const platform::LocalTime t = platform::toLocalTime(epochSec);
  std::string text = platform::formatShortDate(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    text += ' ';
    text += platform::formatLongTime(t);
  }
  return text;
}

std::string typeFallback(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return {};
  std::string ext(name.substr(dot + 1));
  for (char& c : ext) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return ext + " File";
}

ResultItem makeResultItem(const SearchRequest& request, std::string_view folder,
                          const platform::FileInfo& info, std::vector<std::int64_t> hits,
                          bool hasFoundColumn, const std::string& typeName) {
  ResultItem item;
  item.name = info.name;
  item.path = std::string(folder);
  item.attributes = platform::attributeLetters(info.attributes);
  item.time = timeText(info.lastWriteSec);
  item.size = sizeText(info.sizeBytes);
  item.type = typeName.empty() ? typeFallback(info.name) : typeName;
  item.outcome.result = request.resultColumnShown ? RowResult::Found : RowResult::None;
  item.sizeBytes = info.sizeBytes;
  item.lastWriteSec = info.lastWriteSec;
  if (hasFoundColumn) item.hits = std::move(hits);
  return item;
}

std::string foundStatusText(Origin origin, std::size_t foundCount) {
  const std::string n = std::to_string(foundCount);
  if (origin == Origin::Find) {
    return (foundCount == 1 ? "Found File:    " : "Found Files:   ") + n;
  }
  return (foundCount == 1 ? "File in List:    " : "Files in List:    ") + n;
}

std::string startStatusText(Origin origin) {
  return origin == Origin::Find ? "Found Files:   " : "Files in List:   ";
}

std::string notFoundStatusText() {
  return messages::kNotFound;
}

}  // namespace kestrix::search
