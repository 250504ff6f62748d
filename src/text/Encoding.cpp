// Byte-order marks, UTF-8 validity, the names of encodings and the per-file choice of the
// text the matchers see. The conversions live in Utf16.cpp and LegacyCodePage.cpp.
#include "text/Encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/EncodingDetail.h"
#include "text/Lines.h"

namespace kestrix::text {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool sameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// True when the eight bytes at `p` are all ASCII.
bool asciiWord(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & 0x8080808080808080ull) == 0;
}

}  // namespace

const std::vector<CodePageChoice>& legacyCodePages() {
  static const std::vector<CodePageChoice> pages = {
      {"Windows-1252", "WINDOWS-1252"},
      {"Windows-1250", "WINDOWS-1250"},
      {"Windows-1251", "WINDOWS-1251"},
      {"Windows-1253", "WINDOWS-1253"},
      {"Windows-1254", "WINDOWS-1254"},
      {"Windows-1255", "WINDOWS-1255"},
      {"Windows-1256", "WINDOWS-1256"},
      {"Windows-1257", "WINDOWS-1257"},
      {"Windows-1258", "WINDOWS-1258"},
      {"ISO-8859-1", "ISO-8859-1"},
      {"ISO-8859-2", "ISO-8859-2"},
      {"ISO-8859-3", "ISO-8859-3"},
      {"ISO-8859-4", "ISO-8859-4"},
      {"ISO-8859-5", "ISO-8859-5"},
      {"ISO-8859-6", "ISO-8859-6"},
      {"ISO-8859-7", "ISO-8859-7"},
      {"ISO-8859-8", "ISO-8859-8"},
      {"ISO-8859-9", "ISO-8859-9"},
      {"ISO-8859-10", "ISO-8859-10"},
      {"ISO-8859-11", "ISO-8859-11"},
      {"ISO-8859-13", "ISO-8859-13"},
      {"ISO-8859-14", "ISO-8859-14"},
      {"ISO-8859-15", "ISO-8859-15"},
      {"ISO-8859-16", "ISO-8859-16"},
      {"KOI8-R", "KOI8-R"},
      {"KOI8-U", "KOI8-U"},
      {"CP866", "CP866"},
      {"CP437", "CP437"},
  };
  return pages;
}

const CodePageChoice* findLegacyCodePage(std::string_view name) {
  for (const CodePageChoice& page : legacyCodePages()) {
    if (sameNoCase(name, page.name) || sameNoCase(name, page.converterName)) return &page;
  }
  return nullptr;
}

Encoding encodingOfBom(std::string_view head) {
  if (startsWith(head, "\xEF\xBB\xBF")) return Encoding::Utf8Bom;
  if (startsWith(head, "\xFF\xFE")) return Encoding::Utf16Le;
  if (startsWith(head, "\xFE\xFF")) return Encoding::Utf16Be;
  return Encoding::Utf8;
}

std::size_t bomLength(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8Bom:
      return 3;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return 2;
    default:
      return 0;
  }
}

bool isWellFormedUtf8(std::string_view bytes) {
  const char* p = bytes.data();
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && asciiWord(p + i)) {
      i += 8;
      continue;
    }
    const std::size_t len = utf8SequenceLength(bytes, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

Encoding detectEncoding(std::string_view bytes) {
  const Encoding bom = encodingOfBom(bytes);
  if (bom != Encoding::Utf8) return bom;
  return isWellFormedUtf8(textUntilNul(bytes)) ? Encoding::Utf8 : Encoding::Legacy;
}

std::string encodingName(Encoding encoding, std::string_view legacyCodePage) {
  switch (encoding) {
    case Encoding::Utf8:
      return "UTF-8";
    case Encoding::Utf8Bom:
      return "UTF-8 with BOM";
    case Encoding::Utf16Le:
      return "UTF-16 LE";
    case Encoding::Utf16Be:
      return "UTF-16 BE";
    case Encoding::Legacy:
      break;
  }
  const CodePageChoice* page = findLegacyCodePage(legacyCodePage);
  return page ? page->name : std::string(legacyCodePage);
}

std::string decodeToUtf8(std::string_view bytes, Encoding encoding,
                         std::string_view legacyCodePage) {
  switch (encoding) {
    case Encoding::Utf16Le:
      return utf16ToUtf8(bytes, false);
    case Encoding::Utf16Be:
      return utf16ToUtf8(bytes, true);
    case Encoding::Legacy:
      return legacyToUtf8(bytes, legacyCodePage);
    default:
      return std::string(bytes);
  }
}

std::string encodeFromUtf8(std::string_view text, Encoding encoding,
                           std::string_view legacyCodePage) {
  switch (encoding) {
    case Encoding::Utf16Le:
      return utf8ToUtf16(text, false);
    case Encoding::Utf16Be:
      return utf8ToUtf16(text, true);
    case Encoding::Legacy:
      return utf8ToLegacy(text, legacyCodePage);
    default:
      return std::string(text);
  }
}

DecodedFile decodeFile(std::string_view bytes, std::string_view legacyCodePage, bool decodeLegacy,
                       std::string& storage) {
  const Encoding bom = encodingOfBom(bytes);
  if (bom == Encoding::Utf8Bom) return {bom, bytes.substr(3)};
  if (bom != Encoding::Utf8) {
    storage = decodeToUtf8(bytes.substr(2), bom, legacyCodePage);
    return {bom, storage};
  }
  const std::string_view text = textUntilNul(bytes);
  if (!decodeLegacy || isWellFormedUtf8(text)) return {Encoding::Utf8, bytes};
  storage = legacyToUtf8(text, legacyCodePage);
  return {Encoding::Legacy, storage};
}

}  // namespace kestrix::text
