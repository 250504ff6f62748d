// What a modification does to each match, where it runs, and which line break it writes.
#pragma once

#include <string_view>

namespace kestrix::modify {

enum class ModificationType { None, Replace, InsertBefore, InsertAfter, Delete, Clear };

// The line break written between the lines of a rewritten file.
enum class LineSeparator {
  Windows,    // CR LF
  Unix,       // LF (the default on Linux)
  Macintosh,  // CR
  Keep,       // each line keeps its own break (CR LF, LF or CR), the default
};

// Which listed rows a run changes.
enum class ModifyScope { Selected, All };

// The bytes of a separator: "\r\n", "\n" or "\r".
std::string_view separatorBytes(LineSeparator separator);

// True for the types that put the replacement text into the file.
inline bool usesReplacement(ModificationType type) {
  return type == ModificationType::Replace || type == ModificationType::InsertBefore ||
         type == ModificationType::InsertAfter;
}

}  // namespace kestrix::modify
