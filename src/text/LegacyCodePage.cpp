// Legacy 8-bit code pages through the C library's converters (iconv). A byte the code page
// does not define, and a byte of the UTF-8 side that is not UTF-8, travel unchanged, so that
// a file decoded and encoded again is the same bytes.
#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "text/Encoding.h"
#include "text/EncodingDetail.h"

namespace kestrix::text {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from, std::string_view codePage) {
    handle_ = ::iconv_open(to, from);
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw EncodingError("the code page " + std::string(codePage) + " cannot be used");
    }
  }
  ~Converter() { ::iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of `in` as it can, appending to `out`; returns the bytes of `in` used.
  // Stops at a sequence it cannot convert (or at the end).
  std::size_t convert(std::string_view in, std::string& out) {
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char chunk[16384];
    while (left > 0) {
      char* dst = chunk;
      std::size_t room = sizeof chunk;
      const std::size_t r = ::iconv(handle_, &src, &left, &dst, &room);
      out.append(chunk, static_cast<std::size_t>(dst - chunk));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return in.size() - left;
  }

 private:
  iconv_t handle_;
};

const char* converterName(std::string_view codePage) {
  const CodePageChoice* page = findLegacyCodePage(codePage);
  if (!page) throw EncodingError("the code page " + std::string(codePage) + " cannot be used");
  return page->converterName;
}

}  // namespace

std::string legacyToUtf8(std::string_view bytes, std::string_view codePage) {
  Converter converter("UTF-8", converterName(codePage), codePage);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  while (!bytes.empty()) {
    const std::size_t used = converter.convert(bytes, out);
    if (used < bytes.size()) out += bytes[used];  // undefined in the code page: kept as it is
    bytes.remove_prefix(std::min(used + 1, bytes.size()));
  }
  return out;
}

std::string utf8ToLegacy(std::string_view text, std::string_view codePage) {
  const CodePageChoice* page = findLegacyCodePage(codePage);
  Converter converter(converterName(codePage), "UTF-8", codePage);
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t used = converter.convert(text, out);
    if (used == text.size()) break;
    const std::size_t len = utf8SequenceLength(text, used);
    if (len != 0) {
      throw EncodingError("the character \"" + std::string(text.substr(used, len)) +
                          "\" cannot be written in " + page->name);
    }
    out += text[used];  // not UTF-8: a byte of the file kept as it was
    text.remove_prefix(used + 1);
  }
  return out;
}

}  // namespace kestrix::text
