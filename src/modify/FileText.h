// A file's text as the engines see it: decoded from the file's encoding into UTF-8 and
// encoded back after its own byte-order mark, around whatever makes the new text.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "modify/FileBytes.h"
#include "modify/Interval.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"

namespace kestrix::modify {

class ChangeRecorder;

// Makes the new UTF-8 text from the UTF-8 text of a file; nothing when it stays.
using TextRewrite = std::function<std::optional<std::string>(FileBytes& text)>;

// The new bytes of `file`: its text decoded by the encoding the request rewrites it in,
// changed by `rewrite`, and encoded back after the same byte-order mark; nothing when
// `rewrite` gives nothing. Throws FileFailure when the file cannot be written back in its
// encoding, and whatever `rewrite` throws.
std::optional<std::string> rewriteInFileEncoding(const ModifyRequest& request, FileBytes& file,
                                                 const TextRewrite& rewrite);

// The engine of the request's search type over the UTF-8 text `text`; nothing when it stays
// (under Keep, also when the new text is the same). With `recorder`, each change the engine
// makes is recorded there. Throws FileFailure (a NUL byte, a search type that cannot
// modify, an interval past the end, an engine error) and StopRequested.
std::optional<std::string> rewriteText(const ModifyRequest& request, FileBytes& text,
                                       const std::string& fullName,
                                       const std::optional<Interval>& interval, StopPoll& poll,
                                       ChangeRecorder* recorder);

}  // namespace kestrix::modify
