// The lines of a multi-line query or replacement text, split the same way by the window's
// memos and the console's options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrix::search {

// The lines of `text` as typed: split at LF, a CR before the LF dropped; a final LF makes
// no empty last line, and an empty text has no line.
std::vector<std::string> splitQueryLines(std::string_view text);

}  // namespace kestrix::search
