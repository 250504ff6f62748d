// Batch replace tables: the pairs of the "Batch Replace" dialog, their cell rules, the
// ".tbl" table file and the dialog's state file "Batch.tmp".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::modify {

inline constexpr std::size_t kMaxBatchRows = 100000;
inline constexpr std::size_t kMaxBatchCell = 1000;
inline constexpr const char* kBatchStateFile = "Batch.tmp";

struct BatchPair {
  std::string search;   // "To Search"
  std::string replace;  // "To Replace or Insert"
  bool operator==(const BatchPair&) const = default;
};

// The table: 1 to 100000 pairs.
struct BatchTable {
  std::vector<BatchPair> rows{BatchPair{}};
  bool operator==(const BatchTable&) const = default;
};

// A typed or pasted cell: cut before the first CR or LF when it holds both, then cut to
// 1000 characters. `cut` tells the dialog to beep.
struct CellText {
  std::string text;
  bool cut = false;
};
CellText normalizeBatchCell(std::string_view typed);

// The row count of the "Number of Rows:" box: below 1 gives 1, above 100000 gives 100000.
std::size_t clampBatchRows(long long requested);
// Resizes the table to `rows` (clamped): empty pairs added at the end or pairs dropped.
void resizeBatchTable(BatchTable& table, long long rows);

// The lines a cell stands for with Multiline and Reg Expr: "|" separates lines and "||"
// is a literal "|" ('a|b||c|' gives 'a', 'b|c' and an empty line).
std::vector<std::string> splitBatchCell(std::string_view cell);

// Table file (".tbl", lines ended by CR LF):
//   line 1: N, decimal
//   then per pair: an empty line, the "To Search" cell, the "To Replace or Insert" cell.
// Reading accepts LF or CR LF line ends and cuts cells to 1000 characters.
std::string formatTableFile(const BatchTable& table);
// Throws ModifyError "Incorrect file" (program caption) when N is not a number, is 100001
// or more, or the file ends before N pairs were read. An N below 1 gives one empty pair.
BatchTable parseTableFile(std::string_view bytes);
// Writes the table file safely (any read-only mode of an existing file is cleared first).
// Throws platform::AtomicWriteError or platform::PlatformError.
void saveTableFile(const std::string& path, const BatchTable& table);
// Reads a table file. Throws ModifyError "Incorrect file" for a file that cannot be read
// or parsed.
BatchTable openTableFile(const std::string& path);

// State file "Batch.tmp" (lines ended by CR LF): dialog width, height, the "Number of
// Rows:" value, the two column widths, N, then the N "To Search" cells, one empty line,
// and the N "To Replace or Insert" cells.
struct BatchState {
  int width = 0;
  int height = 0;
  int rowsSpin = 1;
  int searchColumnWidth = 0;
  int replaceColumnWidth = 0;
  BatchTable table;
  bool operator==(const BatchState&) const = default;
};
std::string formatBatchState(const BatchState& state);
// The state read from `bytes`; nothing when it cannot be read (the dialog keeps its
// defaults). An N of 0 is read as 1.
std::optional<BatchState> parseBatchState(std::string_view bytes);
// Writes / reads the state file at `path`; read errors give nothing, write errors throw
// platform::AtomicWriteError.
void writeBatchState(const std::string& path, const BatchState& state);
std::optional<BatchState> readBatchState(const std::string& path);

}  // namespace kestrix::modify
