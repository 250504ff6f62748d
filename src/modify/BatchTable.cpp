// The batch table's cell rules and its two file formats.
#include "modify/BatchTable.h"

#include <algorithm>
#include <charconv>

#include "modify/ModifyMessages.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

// Reads one line at a time; LF or CR LF ends a line.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  std::optional<std::string_view> next() {
    if (rest_.empty()) return std::nullopt;
    std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view rest_;
};

std::optional<long long> parseNumber(std::optional<std::string_view> line) {
  if (!line) return std::nullopt;
  std::string_view s = *line;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  long long value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

std::string cutCell(std::string_view cell) {
  return std::string(cell.substr(0, std::min(cell.size(), kMaxBatchCell)));
}

[[noreturn]] void incorrectFile() {
  throw ModifyError(kProgramCaption, kIncorrectFile);
}

void appendLine(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

}  // namespace

CellText normalizeBatchCell(std::string_view typed) {
  CellText cell;
  if (typed.find('\r') != std::string_view::npos && typed.find('\n') != std::string_view::npos) {
    typed = typed.substr(0, typed.find_first_of("\r\n"));
  }
  cell.cut = typed.size() > kMaxBatchCell;
  cell.text = cutCell(typed);
  return cell;
}

std::size_t clampBatchRows(long long requested) {
  return static_cast<std::size_t>(
      std::clamp<long long>(requested, 1, static_cast<long long>(kMaxBatchRows)));
}

void resizeBatchTable(BatchTable& table, long long rows) {
  table.rows.resize(clampBatchRows(rows));
}

std::vector<std::string> splitBatchCell(std::string_view cell) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '|') {
      lines.back() += cell[i];
    } else if (i + 1 < cell.size() && cell[i + 1] == '|') {
      lines.back() += '|';
      ++i;
    } else {
      lines.emplace_back();
    }
  }
  return lines;
}

std::string formatTableFile(const BatchTable& table) {
  std::string out;
  appendLine(out, std::to_string(table.rows.size()));
  for (const auto& row : table.rows) {
    appendLine(out, "");
    appendLine(out, row.search);
    appendLine(out, row.replace);
  }
  return out;
}

BatchTable parseTableFile(std::string_view bytes) {
  LineReader reader(bytes);
  auto count = parseNumber(reader.next());
  if (!count || *count > static_cast<long long>(kMaxBatchRows)) incorrectFile();
  BatchTable table;
  table.rows.assign(clampBatchRows(*count), BatchPair{});
  if (*count < 1) return table;
  for (auto& row : table.rows) {
    auto blank = reader.next();
    auto search = reader.next();
    auto replace = reader.next();
    if (!blank || !search || !replace) incorrectFile();
    row = {cutCell(*search), cutCell(*replace)};
  }
  return table;
}

void saveTableFile(const std::string& path, const BatchTable& table) {
  if (platform::exists(path)) platform::makeWritable(path);
  platform::writeFileAtomically(path, formatTableFile(table));
}

BatchTable openTableFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = platform::readRegularFile(path, platform::kMaxOwnFileBytes);
  } catch (const platform::PlatformError&) {
    incorrectFile();
  }
  return parseTableFile(bytes);
}

std::string formatBatchState(const BatchState& state) {
  std::string out;
  for (int value : {state.width, state.height, state.rowsSpin, state.searchColumnWidth,
                    state.replaceColumnWidth}) {
    appendLine(out, std::to_string(value));
  }
  appendLine(out, std::to_string(state.table.rows.size()));
  for (const auto& row : state.table.rows) appendLine(out, row.search);
  appendLine(out, "");
  for (const auto& row : state.table.rows) appendLine(out, row.replace);
  return out;
}

std::optional<BatchState> parseBatchState(std::string_view bytes) {
  LineReader reader(bytes);
  BatchState state;
  for (int* field : {&state.width, &state.height, &state.rowsSpin, &state.searchColumnWidth,
                     &state.replaceColumnWidth}) {
    auto value = parseNumber(reader.next());
    if (!value) return std::nullopt;
    *field = static_cast<int>(*value);
  }
  auto count = parseNumber(reader.next());
  if (!count || *count > static_cast<long long>(kMaxBatchRows)) return std::nullopt;
  state.table.rows.assign(clampBatchRows(*count), BatchPair{});
  if (*count < 1) return state;
  for (auto& row : state.table.rows) {
    auto line = reader.next();
    if (!line) return std::nullopt;
    row.search = cutCell(*line);
  }
  if (!reader.next()) return std::nullopt;
  for (auto& row : state.table.rows) {
    auto line = reader.next();
    if (!line) return std::nullopt;
    row.replace = cutCell(*line);
  }
  return state;
}

void writeBatchState(const std::string& path, const BatchState& state) {
  platform::writeFileAtomically(path, formatBatchState(state));
}

std::optional<BatchState> readBatchState(const std::string& path) {
  try {
    return parseBatchState(platform::readRegularFile(path, platform::kMaxOwnFileBytes));
  } catch (const platform::PlatformError&) {
    return std::nullopt;
  }
}

}  // namespace kestrix::modify
