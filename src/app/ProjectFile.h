// Project files (".ksr"): the whole working set-up of the window in one text file, written
// by Save Project and read back by Open Project or a project named at start-up.
//
// Format: plain 8-bit text, one value per line, every line ended by CR LF (the reader also
// takes LF or a lone CR). No header and no version: the reader relies on the fixed order.
//   bool   "TRUE" or "FALSE"; only an exact "TRUE" reads as true.
//   int    decimal, optionally negative.
//   text   the value up to the end of the line (a line break inside is never written).
//   list   an int n, then n text lines.
//   memo   a multi-line text as a list of its lines: an empty text is one empty line, a
//          text ending in a line break ends with an empty line.
// Entries, in order:
//    1-5  text + list  path, Find-tab query, search text, replacement, masks (the text, then
//                      at most 8 history entries)
//    6-8  memo         Find-tab multi-line query, multi-line search text, its replacement
//    9    16 bool      Sensitive, Whole Words, Phrase, Words Or, Words And, Search Engine,
//                      Multiline, Phrase (replace tab), Multiline (replace tab), None,
//                      Replace, Clear, Insert Before, Insert After, Delete, Create Backups
//   10    bool         Create Backups again (ignored on reading)
//   11    9 bool       Trim Left, Trim Right, sub-folders, size filter, date filter, at
//                      least, at most, between, newer than
//   12    2 int        size limit, size unit (0 KB, 1 MB)
//   13    2 text       lower and upper date of the date filter as yyyy-MM-dd
//   14    int          days ago
//   15    4 bool       enabled state of the labels "Size:", "Last Modified:", "and", "days ago"
//   16    8 int        column widths: Name, Path, Found, Attributes, Time, Size, Type, Result
//   17    5 text       start folders: Save List, Save Lines, editor program, Open Project,
//                      Save Project
//   18    text         editor command (read as the setting of older writers)
//   19    int          active tab: 1 Find, 2 Search and Replace, 3 Options
//   20    2 int        lower and upper date as day numbers (days since 30 December 1899);
//                      0 leaves the date of entry 13
//   21    4 bool       Reg Expr (Find tab), Reg Expr (replace tab), "." matches line breaks,
//                      ignore spaces in expressions
//   22    text         editor command
//   23    3 bool       line separator Windows, Unix, Macintosh; three FALSE lines stand for
//                      "Keep Original" (a reader that does not know it falls back to Windows);
//                      a file that ends before the entry also reads as Keep Original
//   24    text         last target folder of Copy Files
//   25    bool         Phrase within intervals
//   26    int          context-lines choice (an empty line means 3)
//   27    2 bool       Reg Expr search of each line, Reg Expr within intervals
//   28    5 bool       use folder ignore list, use file ignore list, modify read-only files,
//                      modify hidden files, folder list applies to sub-folders
//   29-30 memo         folder ignore list, file ignore list
//   31    text         last folder picked for the folder ignore list
//   32    2 int        batch dialog width and height
//   33    int          batch "Number of Rows:"
//   34    2 int        batch column widths
//   35    int n, then n search cells and n replacement cells; only when the batch table has
//                      rows
// Reading past the end of the file gives empty text lines and 0 for int lines, so a file
// of an older, shorter writer reads up to the first value that needs a conversion.
// Entries 1-19 must read cleanly or the whole file is refused ("Incorrect project file").
// Entries 20-21, entry 22 and entries 23-35 are three sections that end silently at a bad
// line, keeping what they had read.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/WindowSettings.h"
#include "modify/BatchTable.h"

namespace kestrix::app {

inline constexpr const char* kProjectExtension = "ksr";
inline constexpr const char* kIncorrectProject = "Incorrect project file";
// Larger files are not project files; they are refused as incorrect.
inline constexpr std::size_t kMaxProjectBytes = 64u * 1024 * 1024;

// The set-up a project holds. `settings` carries everything but the window bounds and the
// maximized state; its start folders are Save List, Save Lines, editor program, Open
// Project, Save Project and Copy Files, in that order.
struct Project {
  WindowSettings settings;
  modify::BatchState batch;
  bool operator==(const Project&) const = default;
};

// A project that could not be read. what() is the message the user sees.
class ProjectError : public std::runtime_error {
 public:
  enum class Kind { NotFound, Incorrect };
  ProjectError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// What a read gives: the project over the values it started from, and whether the read
// got through the context-lines entry (the window's `ProjectLoaded`).
struct ProjectRead {
  Project project;
  bool loaded = false;
};

// The file's bytes.
std::string formatProject(const Project& project);
// Reads `bytes` over `current`: every value the file holds replaces the current one.
// Batch sizes of 0 and a missing cell section leave the current batch values. Throws
// ProjectError (Incorrect) when entries 1 to 19 do not read.
ProjectRead parseProject(std::string_view bytes, const Project& current);

// Writes the file safely (a read-only file is made writable first, so it can be replaced).
// Throws platform::AtomicWriteError or platform::PlatformError.
void writeProject(const std::string& path, const Project& project);
// Reads the file at `path` over `current`. Throws ProjectError: NotFound with
// "File \"<path>\" not found", or Incorrect for a file that cannot be read or parsed.
ProjectRead readProject(const std::string& path, const Project& current);

}  // namespace kestrix::app
