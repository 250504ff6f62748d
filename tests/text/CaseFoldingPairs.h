// Test helper: the simple case pairs (statuses C and S) of Unicode's CaseFolding.txt, read
// from the file the build names in KESTRIX_CASE_FOLDING.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace kestrix::testing {

struct FoldPair {
  char32_t from, to;
};

inline std::vector<FoldPair> simpleFoldPairs() {
  std::ifstream in(KESTRIX_CASE_FOLDING);
  std::vector<FoldPair> pairs;
  for (std::string s; std::getline(in, s);) {
    unsigned from = 0, to = 0;
    char status = 0;
    if (std::sscanf(s.c_str(), "%X; %c; %X;", &from, &status, &to) != 3) continue;
    if (status == 'C' || status == 'S') pairs.push_back({from, to});
  }
  return pairs;
}

}  // namespace kestrix::testing
