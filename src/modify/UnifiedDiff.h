// A unified diff of a file's old and new bytes, for previews (`ksr replace --dry-run`).
#pragma once

#include <string>
#include <string_view>

namespace kestrix::modify {

// The diff in unified format ("--- a/NAME", "+++ b/NAME", "@@ -l,n +l,n @@" hunks with three
// lines of context). Lines keep their own break bytes, so a changed line separator shows
// as a changed line; a last line without a break is followed by
// "\ No newline at end of file". Empty when the bytes are equal.
std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after);

}  // namespace kestrix::modify
