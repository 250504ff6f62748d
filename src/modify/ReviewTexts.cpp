// Makes the texts of a review: counts, failures, captions and the excerpts of changes.
#include "modify/ReviewTexts.h"

#include <algorithm>

namespace kestrix::modify {

namespace {

// At most this many bytes of a line are shown on each side of a change.
constexpr std::size_t kContext = 240;
constexpr std::size_t kLongestMark = 4000;
constexpr std::string_view kBreakShown = "\u21B5";
constexpr std::string_view kCutShown = "\u2026";

bool continuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Every break (CR LF, CR or LF) a "↵", tabs kept.
std::string shown(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') {
      out += kBreakShown;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string reviewCounts(const ReviewChecks& checks) {
  return std::to_string(checks.checkedChanges()) + " of " + std::to_string(checks.totalChanges()) +
         " changes in " + std::to_string(checks.checkedFiles()) + " files";
}

std::string reviewSummary(const ReviewChecks& checks, bool stopped) {
  std::string text = checks.totalChanges() == 0 ? "Nothing would change" : reviewCounts(checks);
  text += ". Nothing has been written yet.";
  if (stopped) text += " (Stopped: the preview is incomplete.)";
  return text;
}

std::string reviewFailures(const std::vector<FileFailurePreview>& failures) {
  if (failures.empty()) return {};
  std::string text = "Would fail (" + std::to_string(failures.size()) +
                     (failures.size() == 1 ? " file" : " files") + "):\n";
  for (const FileFailurePreview& failure : failures)
    text += "  ! " + failure.fullName + ": " + failure.reason + "\n";
  return text;
}

std::string fileCaption(const std::string& fullName, std::size_t checked, std::size_t total) {
  return fullName + "  (" + std::to_string(checked) + " of " + std::to_string(total) + ")";
}

std::string changeLineLabel(const Change& change) {
  if (change.lastLine == change.firstLine) return std::to_string(change.firstLine);
  return std::to_string(change.firstLine) + "-" + std::to_string(change.lastLine);
}

ChangeExcerpt changeExcerpt(std::string_view line, std::size_t from, std::size_t length) {
  std::size_t head = from > kContext ? from - kContext : 0;
  while (head > 0 && head < from && continuationByte(line[head])) --head;
  std::size_t tailEnd = std::min(line.size(), from + length + kContext);
  while (tailEnd < line.size() && continuationByte(line[tailEnd])) ++tailEnd;
  std::size_t markEnd = from + std::min(length, kLongestMark);
  while (markEnd < from + length && continuationByte(line[markEnd])) ++markEnd;
  ChangeExcerpt out;
  out.head = std::string(head > 0 ? kCutShown : "") + shown(line.substr(head, from - head));
  out.mark = shown(line.substr(from, markEnd - from));
  if (markEnd < from + length) out.tail += kCutShown;
  out.tail += shown(line.substr(from + length, tailEnd - from - length));
  if (tailEnd < line.size()) out.tail += kCutShown;
  return out;
}

}  // namespace kestrix::modify
