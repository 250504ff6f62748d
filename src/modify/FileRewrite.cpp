// The new bytes of one file: the engine of the search type over the file's text, with the
// request's line breaks, in the file's own encoding and after its own byte-order mark.
#include <algorithm>

#include "modify/ChangeSet.h"
#include "modify/FileText.h"
#include "modify/ModifyPass.h"
#include "modify/RegexEngine.h"
#include "modify/TextEngines.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::modify {

namespace {

// The encoding the file is rewritten in. A file without a byte-order mark is taken as its
// bytes when the request's texts are ASCII: ASCII finds and writes the same bytes in UTF-8
// and in every legacy code page offered.
text::Encoding encodingToRewrite(const ModifyRequest& request, std::string_view bytes) {
  const text::Encoding bom = text::encodingOfBom(bytes);
  if (bom != text::Encoding::Utf8) return bom;
  return textsAreAscii(request) ? text::Encoding::Utf8 : text::detectEncoding(bytes);
}

}  // namespace

std::optional<std::string> rewriteText(const ModifyRequest& request, FileBytes& file,
                                       const std::string& fullName,
                                       const std::optional<Interval>& interval, StopPoll& poll,
                                       ChangeRecorder* recorder) {
  const std::string_view bytes = file.view();
  // The line model ends the text at a NUL byte: rewriting would cut the file.
  if (text::hasNul(bytes)) throw FileFailure(kNulByte);
  const std::optional<search::ModifyEngine> engine =
      search::queryTypeInfo(request.searchType).modifyEngine;
  if (!engine) throw FileFailure("the search type cannot modify files");
  std::optional<std::string> out;
  switch (*engine) {
    case search::ModifyEngine::Phrase:
      out = rewritePhrase(bytes, request, interval, poll, recorder);
      break;
    case search::ModifyEngine::RegExpr:
      out = rewriteRegex(file, request, fullName, interval, poll, recorder);
      break;
    case search::ModifyEngine::Multiline:
      out = rewriteMultiline(bytes, request, poll, recorder);
      break;
  }
  // (Under Keep the bytes are never released.)
  if (request.lineSeparator == LineSeparator::Keep && out && *out == file.view()) out.reset();
  return out;
}

namespace {

// The UTF-8 text of a file body in `encoding`; throws FileFailure when writing that text
// back would not give the same bytes (a lone last byte of UTF-16, a legacy byte sequence
// that reads as UTF-8), since the bytes outside the matches must stay as they are.
std::string decodeBody(std::string_view body, text::Encoding encoding,
                       const std::string& codePage) {
  const std::string name = text::encodingName(encoding, codePage);
  try {
    std::string decoded = text::decodeToUtf8(body, encoding, codePage);
    const bool exact = encoding == text::Encoding::Legacy
                           ? text::encodeFromUtf8(decoded, encoding, codePage) == body
                           : body.size() % 2 == 0;
    if (!exact) throw FileFailure("its bytes would not be written back unchanged as " + name);
    return decoded;
  } catch (const text::EncodingError& e) {
    throw FileFailure(e.what());
  }
}

}  // namespace

std::optional<std::string> rewriteInFileEncoding(const ModifyRequest& request, FileBytes& file,
                                                 const TextRewrite& rewrite) {
  const text::Encoding encoding = encodingToRewrite(request, file.view());
  if (encoding == text::Encoding::Utf8) return rewrite(file);
  // Other encodings: the engines work on the UTF-8 text; the result is written in the
  // file's encoding after the same byte-order mark.
  const std::size_t bomSize = text::bomLength(encoding);
  const std::string_view bom = file.view().substr(0, bomSize);
  const std::string_view body = file.view().substr(bomSize);
  std::string decoded;
  if (encoding != text::Encoding::Utf8Bom)
    decoded = decodeBody(body, encoding, request.legacyCodePage);
  FileBytes text(encoding == text::Encoding::Utf8Bom ? body : std::string_view(decoded));
  std::optional<std::string> out = rewrite(text);
  if (!out) return out;
  try {
    return std::string(bom) + text::encodeFromUtf8(*out, encoding, request.legacyCodePage);
  } catch (const text::EncodingError& e) {
    throw FileFailure(e.what());
  }
}

std::optional<std::string> rewriteFileBytes(const ModifyRequest& request, FileBytes& file,
                                            const std::string& fullName,
                                            const std::optional<Interval>& interval,
                                            StopPoll& poll) {
  return rewriteInFileEncoding(request, file, [&](FileBytes& text) {
    return rewriteText(request, text, fullName, interval, poll, nullptr);
  });
}

}  // namespace kestrix::modify
