// The new bytes of one file: the engine of the search type over the file's text, with the
// request's line breaks.
#include "modify/ModifyPass.h"

#include "modify/RegexEngine.h"
#include "modify/TextEngines.h"
#include "text/Lines.h"

namespace kestrix::modify {

std::optional<std::string> rewriteFileBytes(const ModifyRequest& request, FileBytes& file,
                                            const std::string& fullName,
                                            const std::optional<Interval>& interval,
                                            StopPoll& poll) {
  const std::string_view bytes = file.view();
  // The line model ends the text at a NUL byte: rewriting would cut the file.
  if (text::hasNul(bytes)) throw FileFailure("the file holds a NUL byte");
  const std::optional<search::ModifyEngine> engine =
      search::queryTypeInfo(request.searchType).modifyEngine;
  if (!engine) throw FileFailure("the search type cannot modify files");
  std::optional<std::string> out;
  switch (*engine) {
    case search::ModifyEngine::Phrase:
      out = rewritePhrase(bytes, request, interval, poll);
      break;
    case search::ModifyEngine::RegExpr:
      out = rewriteRegex(file, request, fullName, interval, poll);
      break;
    case search::ModifyEngine::Multiline:
      out = rewriteMultiline(bytes, request, poll);
      break;
  }
  // (Under Keep the bytes are never released.)
  if (request.lineSeparator == LineSeparator::Keep && out && *out == file.view()) out.reset();
  return out;
}

std::optional<std::string> rewriteFileBytes(const ModifyRequest& request, std::string_view bytes,
                                            const std::string& fullName,
                                            const std::optional<Interval>& interval,
                                            StopPoll& poll) {
  FileBytes file(bytes);
  return rewriteFileBytes(request, file, fullName, interval, poll);
}

std::string transformFileBytes(const ModifyRequest& request, std::string_view bytes,
                               const std::string& fullName, const std::optional<Interval>& interval,
                               StopPoll& poll) {
  std::optional<std::string> out = rewriteFileBytes(request, bytes, fullName, interval, poll);
  return out ? std::move(*out) : std::string(bytes);
}

}  // namespace kestrix::modify
