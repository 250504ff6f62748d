// Unicode categories through utf8proc.
#include "text/CharClass.h"

#include <utf8proc.h>

#include "text/Utf8.h"

namespace kestrix::text {

bool isLetterDigitOrMark(char32_t c) {
  if (c >= kInvalidByteBase) return false;
  switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_MN:
    case UTF8PROC_CATEGORY_MC:
    case UTF8PROC_CATEGORY_ME:
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return true;
    default:
      return false;
  }
}

bool isDecimalDigit(char32_t c) {
  if (c < 0x80) return c >= '0' && c <= '9';
  return c < kInvalidByteBase &&
         utf8proc_category(static_cast<utf8proc_int32_t>(c)) == UTF8PROC_CATEGORY_ND;
}

bool isWhiteSpace(char32_t c) {
  switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

bool wordCharBefore(std::string_view s, std::size_t pos) {
  return pos > 0 && isWordCodePoint(decodeUtf8Before(s, pos).value);
}

bool wordCharAt(std::string_view s, std::size_t pos) {
  return pos < s.size() && isWordCodePoint(decodeUtf8(s, pos).value);
}

}  // namespace kestrix::text
