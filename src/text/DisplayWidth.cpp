// Display widths from the C library's character classification under its built-in UTF-8
// locale, taken for the calling thread only (the program's own locale is left alone).
#include "text/DisplayWidth.h"

#include <locale.h>
#include <wchar.h>

#include <cstdint>
#include <cstring>

#include "text/EncodingDetail.h"

namespace kestrix::text {
namespace {

// The UTF-8 locale, opened once; null when the system has none (then every character is
// one column).
locale_t utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return l ? l : ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
  }();
  return locale;
}

std::uint32_t codePoint(std::string_view s, std::size_t i, std::size_t len) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]) & 0x3Fu; };
  const auto lead = static_cast<unsigned char>(s[i]);
  switch (len) {
    case 2:
      return ((lead & 0x1Fu) << 6) | b(1);
    case 3:
      return ((lead & 0x0Fu) << 12) | (b(1) << 6) | b(2);
    default:
      return ((lead & 0x07u) << 18) | (b(1) << 12) | (b(2) << 6) | b(3);
  }
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
  const locale_t locale = utf8Locale();
  const locale_t previous = locale ? ::uselocale(locale) : static_cast<locale_t>(nullptr);
  std::size_t width = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t len = utf8SequenceLength(text, i);
    if (len <= 1) {  // ASCII, or a byte that is not UTF-8
      ++width;
      i += 1;
      continue;
    }
    const int w = locale ? ::wcwidth(static_cast<wchar_t>(codePoint(text, i, len))) : 1;
    width += w < 0 ? 1 : static_cast<std::size_t>(w);
    i += len;
  }
  if (locale) ::uselocale(previous);
  return width;
}

std::string escapeForDisplay(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t len = utf8SequenceLength(text, i);
    if (len == 0) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(text[i]);
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
      ++i;
      continue;
    }
    out.append(text, i, len);
    i += len;
  }
  return out;
}

}  // namespace kestrix::text
