// Copying one open file's bytes into another without passing them through the program's
// memory where the kernel can: a clone of the blocks on file systems that share them, else
// an in-kernel copy, else reads and writes through a small buffer.
#pragma once

#include <string>

#include "platform/AtomicWrite.h"

namespace kestrix::platform {

// Copies the content of `fromFd` (from its start to its end, whatever its offset) to the
// empty file `toFd`. When `ops.write` is set (a test's fault injection) every byte goes
// through it, so that an injected failure reaches copies too. `displayName` names the
// source in messages. Returns the bytes copied. Throws AtomicWriteError with the system's
// reason; `toFd` may then hold part of the bytes (the caller removes it).
std::int64_t copyFileContent(int fromFd, int toFd, const AtomicWriteOps& ops,
                             const std::string& displayName);

}  // namespace kestrix::platform
