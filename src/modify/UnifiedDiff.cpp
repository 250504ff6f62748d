// Unified diff: common head and tail trimmed, the middle aligned by a longest common
// subsequence when it is small enough, else shown as removed and added whole.
#include "modify/UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace kestrix::modify {
namespace {

// Lines with their break bytes (CR LF, LF or a lone CR).
std::vector<std::string_view> linesWithBreaks(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      lines.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

enum class Op { Keep, Remove, Add };
struct Edit {
  Op op;
  std::string_view line;
};

constexpr std::size_t kMaxTable = 4'000'000;  // cells of the LCS table

// The edit script of a and b (both already without common head and tail).
void alignMiddle(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                 std::vector<Edit>& out) {
  const std::size_t n = a.size(), m = b.size();
  if (n == 0 || m == 0 || (n + 1) * (m + 1) > kMaxTable) {
    for (auto l : a) out.push_back({Op::Remove, l});
    for (auto l : b) out.push_back({Op::Add, l});
    return;
  }
  std::vector<unsigned> len((n + 1) * (m + 1), 0);
  auto at = [&](std::size_t i, std::size_t j) -> unsigned& { return len[i * (m + 1) + j]; };
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      at(i, j) = a[i] == b[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
  }
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && a[i] == b[j]) {
      out.push_back({Op::Keep, a[i++]});
      ++j;
    } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
      out.push_back({Op::Remove, a[i++]});
    } else {
      out.push_back({Op::Add, b[j++]});
    }
  }
}

std::vector<Edit> editScript(const std::vector<std::string_view>& a,
                             const std::vector<std::string_view>& b) {
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  std::vector<Edit> edits;
  for (std::size_t i = 0; i < head; ++i) edits.push_back({Op::Keep, a[i]});
  alignMiddle({a.begin() + head, a.end() - tail}, {b.begin() + head, b.end() - tail}, edits);
  for (std::size_t i = a.size() - tail; i < a.size(); ++i) edits.push_back({Op::Keep, a[i]});
  return edits;
}

void appendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || (line.back() != '\n' && line.back() != '\r')) {
    out += "\n\\ No newline at end of file\n";
  } else if (line.back() == '\r') {
    out += '\n';  // keep the diff itself line-based
  }
}

std::string range(std::size_t start, std::size_t count) {
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

// Appends the hunk of edits [from, to), whose first line is line `oldStart`/`newStart`
// (0-based) of the old/new text.
void appendHunk(std::string& out, const std::vector<Edit>& edits, std::size_t from, std::size_t to,
                std::size_t oldStart, std::size_t newStart) {
  std::size_t oldCount = 0, newCount = 0;
  for (std::size_t k = from; k < to; ++k) {
    if (edits[k].op != Op::Add) ++oldCount;
    if (edits[k].op != Op::Remove) ++newCount;
  }
  out += "@@ -" + range(oldStart, oldCount) + " +" + range(newStart, newCount) + " @@\n";
  for (std::size_t k = from; k < to; ++k) {
    const char mark = edits[k].op == Op::Keep ? ' ' : edits[k].op == Op::Remove ? '-' : '+';
    appendLine(out, mark, edits[k].line);
  }
}

}  // namespace

std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after) {
  if (before == after) return {};
  const auto edits = editScript(linesWithBreaks(before), linesWithBreaks(after));
  constexpr std::size_t kContext = 3;
  // "a/" and "b/" prefixes as `patch -p1` expects; an absolute name keeps one slash.
  const std::string sep = !name.empty() && name.front() == '/' ? "" : "/";
  std::string out = "--- a" + sep + std::string(name) + "\n+++ b" + sep + std::string(name) + "\n";
  std::size_t k = 0, oldLine = 0, newLine = 0;
  while (k < edits.size()) {
    if (edits[k].op == Op::Keep) {
      ++k, ++oldLine, ++newLine;
      continue;
    }
    // A hunk: back up to three lines of context, then run until more than six kept lines
    // in a row (or the end) follow the last change.
    const std::size_t back = std::min<std::size_t>(kContext, std::min(oldLine, newLine));
    std::size_t from = k - back, end = k, keptRun = 0;
    std::size_t oldStart = oldLine - back, newStart = newLine - back;
    for (std::size_t j = k; j < edits.size(); ++j) {
      if (edits[j].op == Op::Keep) {
        if (++keptRun > 2 * kContext) break;
      } else {
        keptRun = 0;
        end = j + 1;
      }
    }
    const std::size_t to = std::min(edits.size(), end + kContext);
    appendHunk(out, edits, from, to, oldStart, newStart);
    for (std::size_t j = k; j < to; ++j) {
      if (edits[j].op != Op::Add) ++oldLine;
      if (edits[j].op != Op::Remove) ++newLine;
    }
    k = to;
  }
  return out;
}

}  // namespace kestrix::modify
