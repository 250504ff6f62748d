// The Multiline engine: blocks of whole lines found after folding and trimming, then
// replaced, deleted, blanked or surrounded by the replacement lines. The lines pass
// through a window of one block's length, so a file is rewritten without a list of its
// lines: the memory is the output's.
#include <algorithm>
#include <deque>
#include <functional>

#include "modify/ChangeSet.h"
#include "modify/TextEngines.h"
#include "search/Matchers.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

// One line on its way out, with the break that follows it.
struct OutLine {
  std::string_view text;
  LineBreak lineBreak = LineBreak::Lf;
};
using LineOut = std::function<void(const OutLine&)>;

// The lines a kept block becomes, with their breaks, so that every line keeps a break of
// the file: a replacement line takes the break of the block line at its place, a line put
// in takes the break of the block line it stands by, and only a block at the very end of
// a file without a final break leaves its last line without one.
void emitBlockChange(const std::deque<OutLine>& block, const ModifyRequest& request,
                     LineBreak usual, const LineOut& out) {
  const auto& r = request.replacementLines;
  const std::size_t n = block.size();
  const std::size_t m = r.size();
  auto at = [&](std::size_t k) { return block[std::min(k, n - 1)].lineBreak; };
  auto orUsual = [usual](LineBreak b) { return b == LineBreak::None ? usual : b; };
  const LineBreak last = block.back().lineBreak;
  auto blockLines = [&](bool lastNeedsBreak) {
    for (std::size_t k = 0; k < n; ++k) {
      LineBreak b = block[k].lineBreak;
      if (k + 1 == n && lastNeedsBreak) b = orUsual(b);
      out({block[k].text, b});
    }
  };
  switch (request.modificationType) {
    case ModificationType::Replace:
      for (std::size_t k = 0; k < m; ++k) out({r[k], k + 1 == m ? last : orUsual(at(k))});
      break;
    case ModificationType::InsertBefore:
      for (std::size_t k = 0; k < m; ++k) out({r[k], orUsual(at(0))});
      blockLines(false);
      break;
    case ModificationType::InsertAfter:
      blockLines(m > 0);
      for (std::size_t k = 0; k < m; ++k) out({r[k], k + 1 == m ? last : orUsual(last)});
      break;
    case ModificationType::Clear:
      for (std::size_t k = 0; k < n; ++k) out({std::string_view(), at(k)});
      break;
    default:  // Delete
      break;
  }
}

// Finds the non-overlapping blocks from the top, fed one line at a time: the window holds
// the lines from the first one not yet decided; when it is as long as the block, either
// it is the block (changed, and emptied) or its first line can no longer belong to one.
class BlockScanner {
 public:
  // With `recorder`, every line fed is a view into `text`, the recorder's text.
  BlockScanner(const ModifyRequest& request, StopPoll& poll, LineBreak usual, LineOut out,
               ChangeRecorder* recorder = nullptr, std::string_view text = {})
      : request_(request),
        options_{request.caseSensitive, request.ignoreLeadingSpaces, request.ignoreTrailingSpaces},
        poll_(poll),
        usual_(usual),
        out_(std::move(out)),
        recorder_(recorder),
        text_(text) {
    for (const auto& line : request.searchLines) {
      block_.push_back(search::prepareBlockLine(line, options_));
    }
  }

  void feed(std::string_view text, LineBreak lineBreak) {
    if (block_.empty()) return out_({text, lineBreak});
    window_.push_back({text, lineBreak});
    if (window_.size() < block_.size()) return;
    poll_.check();
    if (windowIsBlock()) {
      if (recorder_) {
        recordAndEmitBlock();
      } else {
        emitBlockChange(window_, request_, usual_, out_);
      }
      window_.clear();
      ++blocks_;
    } else {
      out_(window_.front());
      window_.pop_front();
    }
  }

  // Where the lines still in the window begin (nullptr when it is empty): they may begin a
  // block with lines not fed yet.
  const char* windowStart() const {
    return window_.empty() ? nullptr : window_.front().text.data();
  }

  // How many blocks were changed so far.
  std::size_t blocks() const { return blocks_; }

  // The lines left in the window go out unchanged. Returns how many blocks were changed.
  std::size_t finish() {
    for (const OutLine& line : window_) out_(line);
    window_.clear();
    return blocks_;
  }

 private:
  // The block in the window, its lines and their breaks, becomes the lines it is changed
  // into: they are made once, recorded as one text and sent out.
  void recordAndEmitBlock() {
    changed_.clear();
    emitBlockChange(window_, request_, usual_,
                    [this](const OutLine& line) { changed_.push_back(line); });
    std::size_t size = 0;
    for (const OutLine& line : changed_) {
      size += line.text.size() + breakBytes(line.lineBreak).size();
    }
    std::string lines;
    lines.reserve(size);
    for (const OutLine& line : changed_) {
      lines += line.text;
      lines += breakBytes(line.lineBreak);
      out_(line);
    }
    const OutLine& last = window_.back();
    const auto from = static_cast<std::size_t>(window_.front().text.data() - text_.data());
    const auto to = static_cast<std::size_t>(last.text.data() - text_.data()) + last.text.size() +
                    breakBytes(last.lineBreak).size();
    recorder_->record(from, to - from, std::move(lines));
  }

  bool windowIsBlock() const {
    for (std::size_t j = 0; j < block_.size(); ++j) {
      if (!search::blockLineEquals(window_[j].text, block_[j], options_)) return false;
    }
    return true;
  }

  const ModifyRequest& request_;
  search::BlockOptions options_;
  StopPoll& poll_;
  LineBreak usual_;
  LineOut out_;
  ChangeRecorder* recorder_;
  std::string_view text_;
  std::vector<std::string> block_;
  std::deque<OutLine> window_;
  std::vector<OutLine> changed_;  // the lines a recorded block becomes
  std::size_t blocks_ = 0;
};

// The break most lines of a file would get: the first one it has, else LF.
LineBreak usualBreak(std::string_view bytes) {
  const std::size_t at = bytes.find_first_of("\r\n");
  if (at == std::string_view::npos || bytes[at] == '\n') return LineBreak::Lf;
  return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? LineBreak::CrLf : LineBreak::Cr;
}

// The break that follows the line ending at `end` in `bytes`.
LineBreak breakAt(std::string_view bytes, std::size_t end) {
  if (end >= bytes.size()) return LineBreak::None;
  if (bytes[end] == '\n') return LineBreak::Lf;
  return end + 1 < bytes.size() && bytes[end + 1] == '\n' ? LineBreak::CrLf : LineBreak::Cr;
}

}  // namespace

MultilineStream::MultilineStream(const ModifyRequest& request, StopPoll& poll,
                                 ChangeRecorder* recorder)
    : request_(request), poll_(poll), recorder_(recorder) {}

std::size_t MultilineStream::rewrite(std::string_view piece, bool last, std::string& out) {
  const bool keep = request_.lineSeparator == LineSeparator::Keep;
  const std::string_view sep = separatorBytes(request_.lineSeparator);
  if (!usual_) usual_ = usualBreak(piece);
  BlockScanner scanner(
      request_, poll_, *usual_,
      [&](const OutLine& line) {
        if (!keep && !first_) out += sep;
        first_ = false;
        out += line.text;
        if (keep) out += breakBytes(line.lineBreak);
      },
      recorder_, piece);
  text::forEachLine(piece, [&](const text::Line& line) {
    scanner.feed(line.text, breakAt(piece, line.offset + line.text.size()));
  });
  if (!last) {
    blocks_ += scanner.blocks();
    const char* held = scanner.windowStart();
    return held ? piece.size() - static_cast<std::size_t>(held - piece.data()) : 0;
  }
  blocks_ += scanner.finish();
  if (!keep && !first_ && endsWithLineBreak(piece)) out += sep;
  return 0;
}

std::optional<std::string> rewriteMultiline(std::string_view bytes, const ModifyRequest& request,
                                            StopPoll& poll, ChangeRecorder* recorder) {
  if (recorder) recorder->begin(bytes, false, false);
  const std::string_view sep = separatorBytes(request.lineSeparator);
  std::string out;
  // Room for longer breaks and a little growth, so that the output is not copied while
  // it grows.
  const std::size_t size = sep.size() > 1 ? sizeWithLongBreaks(bytes) : bytes.size();
  out.reserve(size + size / 16 + 64);
  MultilineStream stream(request, poll, recorder);
  stream.rewrite(bytes, true, out);
  if (request.lineSeparator == LineSeparator::Keep && stream.blocks() == 0) return std::nullopt;
  return out;
}

}  // namespace kestrix::modify
