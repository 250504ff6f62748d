// Classifying viewer entries and marking their hits through the escaping offset map.
#include "results/ViewerEntries.h"

#include <charconv>
#include <string_view>

#include "results/PageText.h"
#include "text/Html.h"

namespace kestrix::results {
namespace {

constexpr std::string_view kLinePrefix = " line ";

// Reads the decimal number at text[pos...]; advances pos; 0 when none.
std::int64_t readNumber(std::string_view text, std::size_t& pos) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
  if (error != std::errc()) return 0;
  pos = static_cast<std::size_t>(end - text.data());
  return value;
}

// The range of a block entry " line a - line b" or " line a "; nullopt-like {0,0} else.
LineRange blockRange(std::string_view entry) {
  if (!entry.starts_with(kLinePrefix)) return {};
  std::size_t pos = kLinePrefix.size();
  const std::int64_t first = readNumber(entry, pos);
  if (first == 0) return {};
  std::string_view rest = entry.substr(pos);
  if (rest == " ") return {first, first};
  if (!rest.starts_with(" - line ")) return {};
  pos += 8;
  const std::int64_t last = readNumber(entry, pos);
  if (last == 0 || pos != entry.size()) return {};
  return {first, last};
}

}  // namespace

EntryKind entryKind(const search::FoundLines& lines, std::size_t index) {
  if (index == 0) return EntryKind::Header;
  const std::string& entry = lines.entries[index];
  if (entry == search::FoundLines::kEtcMarker) return EntryKind::Etc;
  const bool hasRecords = index < lines.viewerMap.size() && lines.viewerMap[index] >= 0;
  if (!hasRecords && blockRange(entry).first > 0) return EntryKind::Block;
  return EntryKind::Line;
}

LineRange entryLines(const search::FoundLines& lines, std::size_t index) {
  const std::string& entry = lines.entries[index];
  switch (entryKind(lines, index)) {
    case EntryKind::Block:
      return blockRange(entry);
    case EntryKind::Line: {
      std::size_t pos = kLinePrefix.size();
      const std::int64_t n = entry.starts_with(kLinePrefix) ? readNumber(entry, pos) : 0;
      return {n, n};
    }
    default:
      return {};
  }
}

std::string markedEntry(const search::FoundLines& lines, std::size_t index) {
  const std::string& entry = lines.entries[index];
  const text::EscapedText escaped = text::htmlEscapeWithOffsets(entry);
  const int record = index < lines.viewerMap.size() ? lines.viewerMap[index] : -1;
  if (record < 0 || static_cast<std::size_t>(record) >= lines.hitLines.size()) {
    return escaped.text;
  }
  std::string out;
  std::size_t done = 0;  // plain bytes copied so far
  auto copyTo = [&](std::size_t plainEnd) {
    out.append(escaped.text, escaped.offsets[done],
               escaped.offsets[plainEnd] - escaped.offsets[done]);
    done = plainEnd;
  };
  for (const search::Hit& hit : lines.hitLines[static_cast<std::size_t>(record)].hits) {
    if (hit.start >= entry.size() || hit.start < done) continue;
    copyTo(hit.start);
    out += kBlue;
    copyTo(std::min(entry.size(), hit.start + hit.length));
    out += kFontEnd;
  }
  copyTo(entry.size());
  return out;
}

}  // namespace kestrix::results
