// The new bytes the modify pass makes of a file's bytes, for tests of the engines without
// files on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modify/FileBytes.h"
#include "modify/Interval.h"
#include "modify/ModifyPass.h"
#include "modify/StopPoll.h"

namespace kestrix::modify::testing {

// What rewriteFileBytes makes of `bytes` (borrowed, never released), or nothing when the
// file would stay as it is. Throws what rewriteFileBytes throws.
inline std::optional<std::string> rewriteOf(const ModifyRequest& request, std::string_view bytes,
                                            const std::optional<Interval>& interval = {}) {
  FileBytes file(bytes);
  StopPoll poll;
  return rewriteFileBytes(request, file, "/f", interval, poll);
}

// The bytes the file holds after the pass: the new bytes, or `bytes` when nothing changed.
inline std::string rewritten(const ModifyRequest& request, std::string_view bytes,
                             const std::optional<Interval>& interval = {}) {
  std::optional<std::string> out = rewriteOf(request, bytes, interval);
  return out ? std::move(*out) : std::string(bytes);
}

}  // namespace kestrix::modify::testing
