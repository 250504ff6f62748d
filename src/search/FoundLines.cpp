// Appending entries to the found lines, with the limit of the lines viewer.
#include "search/FoundLines.h"

namespace kestrix::search {
namespace {

std::string linePrefix(std::int64_t lineNumber) {
  return " line " + std::to_string(lineNumber) + ": ";
}

}  // namespace

void FoundLines::begin(std::string_view name, std::string_view folder) {
  *this = FoundLines{};
  std::string header = "     File:  ";
  header += name;
  header += "      Path:  ";
  header += folder;
  entries.push_back(std::move(header));
  viewerMap.push_back(-1);
}

std::size_t FoundLines::prefixLength(std::int64_t lineNumber) {
  return linePrefix(lineNumber).size();
}

// Appends one entry while at most kMaxEntries are held; at exactly kMaxEntries the entry
// goes in with the marker just before it, and the list is closed.
static bool appendEntry(FoundLines& lines, std::string entry, int hitLine) {
  if (lines.limited) return false;
  const bool last = lines.entries.size() >= FoundLines::kMaxEntries;
  lines.entries.push_back(std::move(entry));
  lines.viewerMap.push_back(hitLine);
  if (last) {
    lines.entries.insert(lines.entries.end() - 1, FoundLines::kEtcMarker);
    lines.viewerMap.insert(lines.viewerMap.end() - 1, -1);
    lines.limited = true;
  }
  return !lines.limited;
}

bool FoundLines::appendLine(std::int64_t lineNumber, std::string_view text, int hitLine) {
  std::string entry = linePrefix(lineNumber);
  entry += text;
  if (entry.size() > kMaxEntryLength) entry.resize(kMaxEntryLength);
  return appendEntry(*this, std::move(entry), hitLine);
}

bool FoundLines::appendBlock(std::int64_t first, std::int64_t last, bool singleLineQuery) {
  std::string entry = " line " + std::to_string(first);
  entry += singleLineQuery ? std::string(" ") : " - line " + std::to_string(last);
  return appendEntry(*this, std::move(entry), -1);
}

}  // namespace kestrix::search
