// The encoding of a file's text and the conversions between it and the UTF-8 the matchers
// and engines work on. A byte-order mark decides UTF-8, UTF-16 LE or UTF-16 BE; otherwise
// valid UTF-8 is UTF-8; otherwise the file is in a legacy 8-bit code page (a setting).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::text {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Legacy };

// A code page the legacy setting offers: the name shown and stored ("Windows-1252") and
// the converter's name for it ("WINDOWS-1252").
struct CodePageChoice {
  const char* name;
  const char* converterName;
};

// The legacy code pages offered, in the order shown; the first is the default.
const std::vector<CodePageChoice>& legacyCodePages();
// The default legacy code page's name: "Windows-1252".
inline constexpr const char* kDefaultLegacyCodePage = "Windows-1252";
// The choice named `name` (compared without case, also by its converter name); nullptr
// when none is.
const CodePageChoice* findLegacyCodePage(std::string_view name);

// A text that cannot be written in a file's encoding, or a code page that cannot be used;
// what() is the reason shown for the file.
class EncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The encoding a byte-order mark at the start of `head` names: Utf8Bom, Utf16Le, Utf16Be,
// or Utf8 when there is none.
Encoding encodingOfBom(std::string_view head);
// The length of the byte-order mark of `encoding` (0 for Utf8 and Legacy).
std::size_t bomLength(Encoding encoding);
// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF).
bool isWellFormedUtf8(std::string_view bytes);
// The encoding of a file's whole content: its byte-order mark, else Utf8 when well formed,
// else Legacy.
Encoding detectEncoding(std::string_view bytes);
// The name shown for a file's encoding: "UTF-8", "UTF-8 with BOM", "UTF-16 LE", "UTF-16 BE"
// or the legacy code page's name.
std::string encodingName(Encoding encoding, std::string_view legacyCodePage);

// The UTF-8 text of `bytes` (without their byte-order mark) in `encoding`. Nothing is
// lost: an unpaired UTF-16 surrogate becomes its generalized three-byte form, a byte the
// code page does not define stays the same byte, a last odd UTF-16 byte becomes U+FFFD.
// Throws EncodingError when `legacyCodePage` cannot be used.
std::string decodeToUtf8(std::string_view bytes, Encoding encoding,
                         std::string_view legacyCodePage);
// The bytes of the UTF-8 text `text` in `encoding` (no byte-order mark added), the reverse
// of decodeToUtf8. Throws EncodingError naming the first character that the encoding
// cannot hold.
std::string encodeFromUtf8(std::string_view text, Encoding encoding,
                           std::string_view legacyCodePage);

// Appends the UTF-8 text of the UTF-16 bytes `bytes` (no byte-order mark) to `out`, as
// decodeToUtf8 does, for a file read piece by piece. Returns how many bytes it used: all
// of them when `final`; otherwise a last odd byte or a last high surrogate may be left for
// the next call.
std::size_t appendUtf16AsUtf8(std::string_view bytes, bool bigEndian, bool final, std::string& out);

// A file's content as UTF-8 text for matching: `text` views `bytes` itself for UTF-8
// (without a byte-order mark) or `storage`, which holds the decoded text.
struct DecodedFile {
  Encoding encoding = Encoding::Utf8;
  std::string_view text;
};
// Decodes `bytes` into `storage` when they are not plain UTF-8. Legacy files are decoded
// only when `decodeLegacy` is set (a query of ASCII text finds the same bytes either way).
// Throws EncodingError when the code page cannot be used.
DecodedFile decodeFile(std::string_view bytes, std::string_view legacyCodePage, bool decodeLegacy,
                       std::string& storage);

}  // namespace kestrix::text
