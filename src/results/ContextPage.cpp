// The Browse Context page: the viewer's hit lines with the file lines around them.
#include <algorithm>
#include <cstdint>

#include "results/PageText.h"
#include "results/Pages.h"
#include "results/ViewerEntries.h"
#include "text/Html.h"

namespace kestrix::results {
namespace {

constexpr int kAllLines = 10000000;
constexpr int kContextSizes[] = {1, 2, 3, 5, 10, 15, 20, 30, 50, 100, kAllLines};

class ContextWriter {
 public:
  ContextWriter(const std::vector<std::string>& fileLines, std::int64_t context)
      : fileLines_(fileLines), context_(context) {}

  PageText page;

  // The lines before `first` not written yet, preceded by an empty line when they do not
  // follow the last line written.
  void linesBefore(std::int64_t first) {
    const std::int64_t from = std::max({written_ + 1, first - context_, std::int64_t{1}});
    if (from > first - 1) return;
    if (written_ > 0 && from > written_ + 1) page.line("");
    for (std::int64_t k = from; k < first; ++k)
      page.line(" line " + std::to_string(k) + ": " + fileText(k));
    written_ = first - 1;
  }
  // The lines after `last` up to the context size, stopping before `next` (the first line
  // of the next entry, or 0).
  void linesAfter(std::int64_t last, std::int64_t next) {
    std::int64_t to =
        std::min<std::int64_t>(last + context_, static_cast<std::int64_t>(fileLines_.size()));
    if (next > 0) to = std::min(to, next - 1);
    for (std::int64_t k = last + 1; k <= to; ++k)
      page.line(" line " + std::to_string(k) + ": " + fileText(k));
    written_ = std::max(written_, std::max(last, to));
  }
  std::string fileText(std::int64_t k) const {
    if (k < 1 || k > static_cast<std::int64_t>(fileLines_.size())) return {};
    const std::string& line = fileLines_[static_cast<std::size_t>(k - 1)];
    return text::htmlEscape(std::string_view(line).substr(0, kMaxLineLength));
  }

 private:
  const std::vector<std::string>& fileLines_;
  std::int64_t context_;
  std::int64_t written_ = 0;  // the last file line written
};

// The first file line of the next entry after `index` that shows file lines, or 0.
std::int64_t nextFirstLine(const search::FoundLines& lines, std::size_t index) {
  for (std::size_t j = index + 1; j < lines.entries.size(); ++j) {
    const LineRange r = entryLines(lines, j);
    if (r.first > 0) return r.first;
  }
  return 0;
}

const std::string kStar = std::string(kBlue) + "*" + std::string(kFontEnd);

void writeEntry(ContextWriter& w, const search::FoundLines& lines, std::size_t i) {
  const LineRange range = entryLines(lines, i);
  const EntryKind kind = entryKind(lines, i);
  if (range.first <= 0) {
    w.page.line("<strong>" + text::htmlEscape(lines.entries[i]) + "</strong>");
    return;
  }
  w.linesBefore(range.first);
  if (kind == EntryKind::Line) {
    w.page.line(kStar + markedEntry(lines, i).substr(1));
  } else {
    for (std::int64_t k = range.first; k <= range.last; ++k) {
      w.page.line(kStar + std::string(kBlue) + "line " + std::to_string(k) + ": " + w.fileText(k) +
                  std::string(kFontEnd));
    }
  }
  w.linesAfter(range.last, nextFirstLine(lines, i));
}

}  // namespace

int contextSize(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kContextSizes))) return kContextSizes[3];
  return kContextSizes[index];
}

std::string contextPage(const search::FoundLines& lines, const std::vector<std::string>& fileLines,
                        int context) {
  ContextWriter writer(fileLines, std::max(context, 1));
  for (const char* l : {"<html>", "<Title>Context</Title>", "<body>", "<pre>"}) writer.page.line(l);
  for (std::size_t i = 0; i < lines.entries.size(); ++i) writeEntry(writer, lines, i);
  for (const char* l : {"</pre>", "</body>", "</html>"}) writer.page.line(l);
  return writer.page.text();
}

}  // namespace kestrix::results
