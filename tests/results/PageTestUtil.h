// Helpers of the page tests: a search over a temporary tree, and pages split into lines
// so that a difference shows the line it is on.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "search/Find.h"

namespace kestrix::testing {

// Splits `text` at CR LF; fails the test on a bare LF or CR, or a missing final CR LF.
inline std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end with CR LF: " << text.substr(pos);
      break;
    }
    std::string line = text.substr(pos, end - pos);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare break in: " << line;
    lines.push_back(std::move(line));
    pos = end + 2;
  }
  return lines;
}

inline void expectLines(const std::string& text, const std::vector<std::string>& expected) {
  const std::vector<std::string> got = crlfLines(text);
  for (std::size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
    EXPECT_EQ(i < got.size() ? got[i] : "<missing>", i < expected.size() ? expected[i] : "<extra>")
        << "line " << i + 1;
  }
}

// Collects the rows of a run.
struct Rows : search::SearchObserver {
  std::vector<search::ResultItem> items;
  void resultAdded(const search::ResultItem& item) override { items.push_back(item); }
};

inline search::SearchRequest phraseRequest(const std::string& folder, const std::string& query) {
  search::SearchRequest r;
  r.folder = folder;
  r.queryText = query;
  return r;
}

}  // namespace kestrix::testing
