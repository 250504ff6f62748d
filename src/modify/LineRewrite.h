// A file's bytes rewritten line by line without building a list of lines: each line is
// offered to a change function, and the result is joined with the request's separator, or,
// under LineSeparator::Keep, every untouched byte (the breaks included) is copied as it is.
// Memory stays at about the file's size for the output.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "modify/ModificationType.h"
#include "modify/StopPoll.h"

namespace kestrix::modify {

// The changed text of line `number` (counted from 1), or nothing when it stays.
using LineChange =
    std::function<std::optional<std::string>(std::string_view line, std::int64_t number)>;

// The new bytes of `bytes`. With Keep: nothing when no line changed, else the bytes with
// only the changed lines replaced. With another separator: always the lines joined by it,
// the last line ending with one only when `bytes` ended with CR or LF. Throws what `change`
// throws and StopRequested from `poll`.
std::optional<std::string> rewriteLines(std::string_view bytes, LineSeparator separator,
                                        const LineChange& change, StopPoll& poll);

}  // namespace kestrix::modify
