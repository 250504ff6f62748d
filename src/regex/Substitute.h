// Expansion of replacement templates ("$1", "${12}", "$&", "\" escapes) for one match.
#pragma once

#include <string>
#include <string_view>

#include "regex/Matcher.h"

namespace kestrix::regex {

// Expands `templ` with the groups of `regs` (0-based offsets into `subject`).
// A reference to a group of 15 or more, or to a group that did not take part, gives nothing.
std::string expandTemplate(std::string_view templ, std::string_view subject, const Registers& regs);

}  // namespace kestrix::regex
