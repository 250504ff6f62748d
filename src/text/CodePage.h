// Single-byte code-page tables: upper-casing, lower-casing and the letter-or-digit test.
// Every case-insensitive comparison and word test in the core goes through the active table.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrix::text {

enum class CodePageId {
  Utf8,         // folds ASCII letters only; bytes >= 0x80 are word characters (default)
  Windows1252,  // the Western single-byte code page with its accented letters
};

class CodePage {
 public:
  using Table = std::array<unsigned char, 256>;

  // The two built-in tables; they live for the whole program.
  static const CodePage& utf8();
  static const CodePage& windows1252();
  static const CodePage& byId(CodePageId id);

  CodePageId id() const { return id_; }
  unsigned char upper(unsigned char c) const { return upper_[c]; }
  unsigned char lower(unsigned char c) const { return lower_[c]; }
  // The other case of c: its upper case, or its lower case when upper-casing leaves it alone.
  unsigned char otherCase(unsigned char c) const { return upper_[c] != c ? upper_[c] : lower_[c]; }
  bool isLetterOrDigit(unsigned char c) const { return alnum_[c]; }
  // Word characters of whole-word tests: letters, digits and "_".
  bool isWordChar(unsigned char c) const { return alnum_[c] || c == '_'; }

  const Table& upperTable() const { return upper_; }
  std::string toUpper(std::string_view s) const;
  void toUpperInPlace(std::string& s) const;

 private:
  CodePage(CodePageId id, const Table& upper, const Table& lower,
           const std::array<bool, 256>& alnum)
      : id_(id), upper_(upper), lower_(lower), alnum_(alnum) {}

  CodePageId id_;
  Table upper_;
  Table lower_;
  std::array<bool, 256> alnum_;
};

// The table chosen at start (a setting); UTF-8 until changed. Not thread-safe to change
// while a search runs.
const CodePage& activeCodePage();
void setActiveCodePage(CodePageId id);

}  // namespace kestrix::text
