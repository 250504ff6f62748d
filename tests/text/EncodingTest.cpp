// Encoding detection and the lossless conversions between file encodings and UTF-8.
#include <gtest/gtest.h>

#include "text/DisplayWidth.h"
#include "text/Encoding.h"

namespace kestrix::text {
namespace {

TEST(Encoding, DetectsByBomThenUtf8Validity) {
  struct Case {
    std::string_view bytes;
    Encoding encoding;
  };
  const std::vector<Case> cases = {
      {"", Encoding::Utf8},
      {"plain ascii", Encoding::Utf8},
      {"caf\xC3\xA9", Encoding::Utf8},
      {"\xEF\xBB\xBFx", Encoding::Utf8Bom},
      {"\xFF\xFEx\0", Encoding::Utf16Le},
      {"\xFE\xFF\0x", Encoding::Utf16Be},
      {"caf\xE9", Encoding::Legacy},
      {"\xC0\xAF", Encoding::Legacy},                     // overlong
      {"\xED\xA0\x80", Encoding::Legacy},                 // a surrogate
      {"\xF4\x90\x80\x80", Encoding::Legacy},             // past U+10FFFF
      {"abcdefghij\xC3", Encoding::Legacy},               // cut at the end
      {std::string_view("ok\0\xE9", 4), Encoding::Utf8},  // the text ends at NUL
  };
  for (const auto& c : cases) {
    EXPECT_EQ(detectEncoding(c.bytes), c.encoding) << testing::PrintToString(c.bytes);
  }
}

TEST(Encoding, Utf16RoundTripsWithoutLoss) {
  struct Case {
    std::string_view utf16le;  // without BOM
    std::string_view utf8;
  };
  using namespace std::string_view_literals;
  const std::vector<Case> cases = {
      {"a\0b\0c\0d\0e\0f\0\r\0\n\0"sv, "abcdef\r\n"},
      {"\xE9\0"sv, "\xC3\xA9"},
      {"\x2D\x4E"sv, "\xE4\xB8\xAD"},              // U+4E2D
      {"\x3D\xD8\x00\xDE"sv, "\xF0\x9F\x98\x80"},  // a surrogate pair
      {"\x3D\xD8x\0"sv, "\xED\xA0\xBDx"},          // an unpaired high surrogate
      {"x\0\x00\xDE"sv, "x\xED\xB8\x80"},          // an unpaired low surrogate
      {"\0\0a\0"sv, std::string_view("\0a", 2)},
  };
  for (const auto& c : cases) {
    std::string be;
    for (std::size_t i = 0; i + 1 < c.utf16le.size(); i += 2) {
      be += c.utf16le[i + 1];
      be += c.utf16le[i];
    }
    EXPECT_EQ(decodeToUtf8(c.utf16le, Encoding::Utf16Le, ""), c.utf8);
    EXPECT_EQ(decodeToUtf8(be, Encoding::Utf16Be, ""), c.utf8);
    EXPECT_EQ(encodeFromUtf8(c.utf8, Encoding::Utf16Le, ""), c.utf16le);
    EXPECT_EQ(encodeFromUtf8(c.utf8, Encoding::Utf16Be, ""), be);
  }
  EXPECT_EQ(decodeToUtf8("a\0b"sv, Encoding::Utf16Le, ""), std::string("a\xEF\xBF\xBD"));
  // Read piece by piece, cut anywhere (inside a unit, between the units of a pair), the
  // text is the same; runs of ASCII long enough for the fast path included.
  std::string whole;
  for (const auto& c : cases) whole += std::string(c.utf16le) + "a\0b\0c\0d\0e\0f\0g\0h\0i\0";
  const std::string expected = decodeToUtf8(whole, Encoding::Utf16Le, "");
  for (std::size_t piece = 1; piece <= 19; ++piece) {
    std::string out;
    std::size_t kept = 0;
    for (std::size_t at = 0; at < whole.size(); at += piece) {
      const std::string_view next = std::string_view(whole).substr(at - kept, kept + piece);
      kept = next.size() - appendUtf16AsUtf8(next, false, false, out);
    }
    appendUtf16AsUtf8(std::string_view(whole).substr(whole.size() - kept), false, true, out);
    EXPECT_EQ(out, expected) << piece;
  }
  EXPECT_THROW(encodeFromUtf8("\xE9", Encoding::Utf16Le, ""), EncodingError);
}

TEST(Encoding, LegacyPagesKeepEveryByte) {
  struct Case {
    const char* codePage;
    std::string_view bytes;
    std::string_view utf8;
  };
  const std::vector<Case> cases = {
      {"Windows-1252", "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"Windows-1252", "a\x81z", "a\x81z"},  // undefined in the page: kept
      {"Windows-1251", "\xEF\xF0\xE8", "\xD0\xBF\xD1\x80\xD0\xB8"},
      {"KOI8-R", "\xD0\xD2\xC9", "\xD0\xBF\xD1\x80\xD0\xB8"},
      {"CP866", "\xAF\xE0\xA8", "\xD0\xBF\xD1\x80\xD0\xB8"},
      {"ISO-8859-15", "\xA4", "\xE2\x82\xAC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decodeToUtf8(c.bytes, Encoding::Legacy, c.codePage), c.utf8) << c.codePage;
    EXPECT_EQ(encodeFromUtf8(c.utf8, Encoding::Legacy, c.codePage), c.bytes) << c.codePage;
  }
}

TEST(Encoding, LegacyRefusesWhatThePageCannotHold) {
  try {
    encodeFromUtf8("x\xE4\xB8\xADy", Encoding::Legacy, "Windows-1252");
    FAIL() << "no error";
  } catch (const EncodingError& e) {
    EXPECT_STREQ(e.what(), "the character \"\xE4\xB8\xAD\" cannot be written in Windows-1252");
  }
  EXPECT_THROW(decodeToUtf8("x", Encoding::Legacy, "EBCDIC-XYZ"), EncodingError);
}

TEST(Encoding, DecodeFileGivesTheTextTheMatchersSee) {
  std::string storage;
  DecodedFile plain = decodeFile("caf\xE9", "Windows-1252", false, storage);
  EXPECT_EQ(plain.encoding, Encoding::Utf8);  // ASCII queries need no decoding
  EXPECT_EQ(plain.text, "caf\xE9");
  DecodedFile legacy = decodeFile("caf\xE9", "Windows-1252", true, storage);
  EXPECT_EQ(legacy.encoding, Encoding::Legacy);
  EXPECT_EQ(legacy.text, "caf\xC3\xA9");
  DecodedFile bom = decodeFile("\xEF\xBB\xBFhi", "Windows-1252", true, storage);
  EXPECT_EQ(bom.encoding, Encoding::Utf8Bom);
  EXPECT_EQ(bom.text, "hi");
  EXPECT_EQ(encodingName(Encoding::Legacy, "koi8-r"), "KOI8-R");
  EXPECT_EQ(encodingName(Encoding::Utf16Be, "Windows-1252"), "UTF-16 BE");
}

TEST(DisplayWidth, CountsColumnsNotBytes) {
  struct Case {
    std::string_view text;
    std::size_t width;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"Size.txt", 8},
      {"Gr\xC3\xB6\xC3\x9F"
       "e.txt",
       9},                                                      // Größe.txt
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", 6},  // Привет
      {"e\xCC\x81", 1},                                         // e and a combining accent
      {"\xE4\xB8\xAD\xE6\x96\x87", 4},                          // two wide characters
      {"a\xFF\xFE"
       "b",
       4},  // bytes that are not UTF-8
  };
  for (const auto& c : cases) {
    EXPECT_EQ(displayWidth(c.text), c.width) << testing::PrintToString(c.text);
  }
  EXPECT_EQ(escapeForDisplay("Gr\xC3\xB6\xC3\x9F"
                             "e"),
            "Gr\xC3\xB6\xC3\x9F"
            "e");
  EXPECT_EQ(escapeForDisplay("caf\xE9.txt\xC3"), "caf\\xE9.txt\\xC3");
}

}  // namespace
}  // namespace kestrix::text
