// The found lines of the browsed file: the entries the lines viewer shows, the hit records
// that mark hits, and the map from entries to hit records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::search {

// One hit inside a displayed entry: `start` is the byte offset in the entry text (the
// " line n: " prefix included); `length` is always filled; `term` is the 0-based index of
// the matched term for the term-table query types, -1 for Reg Expr. A hit may reach past
// the end of an entry that was cut to 1024 characters; the viewer clips it.
struct Hit {
  std::size_t start = 0;
  std::size_t length = 0;
  int term = -1;
};

// The hits of one file line.
struct HitLine {
  std::int64_t lineNumber = 0;  // 1-based
  std::vector<Hit> hits;
};

struct FoundLines {
  static constexpr std::size_t kMaxEntries = 5001;  // entries held before the limit applies
  static constexpr std::size_t kMaxEntryLength = 1024;
  static constexpr std::size_t kMaxBlocks = 5500;
  static constexpr const char* kEtcMarker = "    Etc (too many messages for the Lines Viewer)";

  std::vector<std::string> entries;  // entries[0] is the header once begun
  std::vector<HitLine> hitLines;
  // One value per entry: the index into hitLines of that entry's line, -1 for the header,
  // the marker, block entries and lines without hit records.
  std::vector<int> viewerMap;
  bool limited = false;  // the Etc marker was inserted; no further entries are taken

  // Starts afresh with the header "     File:  " + name + "      Path:  " + folder.
  void begin(std::string_view name, std::string_view folder);
  // Appends " line n: text" (cut to 1024 characters); returns false when the limit is
  // reached and nothing more may be appended. `hitLine` is the index into hitLines or -1.
  bool appendLine(std::int64_t lineNumber, std::string_view text, int hitLine);
  // Appends a block entry " line a - line b" (or " line a " for a one-line query).
  bool appendBlock(std::int64_t first, std::int64_t last, bool singleLineQuery);
  // Offset of the line text inside the entry of appendLine (" line n: " length).
  static std::size_t prefixLength(std::int64_t lineNumber);
  bool full() const { return limited; }
};

}  // namespace kestrix::search
