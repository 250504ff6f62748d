// Builds the UTF-8 and Windows-1252 tables once and keeps the active choice.
#include "text/CodePage.h"

namespace kestrix::text {
namespace {

using Table = CodePage::Table;
using Flags = std::array<bool, 256>;

Table identity() {
  Table t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

void addAsciiLetters(Table& upper, Table& lower, Flags& alnum) {
  for (int c = 'a'; c <= 'z'; ++c) {
    upper[c] = static_cast<unsigned char>(c - 32);
    lower[c - 32] = static_cast<unsigned char>(c);
    alnum[c] = alnum[c - 32] = true;
  }
  for (int c = '0'; c <= '9'; ++c) alnum[c] = true;
}

void addPair(Table& upper, Table& lower, Flags& alnum, int small, int capital) {
  upper[small] = static_cast<unsigned char>(capital);
  lower[capital] = static_cast<unsigned char>(small);
  alnum[small] = alnum[capital] = true;
}

CodePage::Table utf8Upper, utf8Lower, cp1252Upper, cp1252Lower;
Flags utf8Alnum{}, cp1252Alnum{};

void buildUtf8() {
  utf8Upper = utf8Lower = identity();
  addAsciiLetters(utf8Upper, utf8Lower, utf8Alnum);
  // Bytes of multi-byte sequences count as word characters, so that a letter such as
  // "é" never splits a word; they are never case-folded.
  for (int c = 0x80; c < 256; ++c) utf8Alnum[c] = true;
}

void buildWindows1252() {
  cp1252Upper = cp1252Lower = identity();
  addAsciiLetters(cp1252Upper, cp1252Lower, cp1252Alnum);
  addPair(cp1252Upper, cp1252Lower, cp1252Alnum, 0x9A, 0x8A);  // s caron
  addPair(cp1252Upper, cp1252Lower, cp1252Alnum, 0x9C, 0x8C);  // oe
  addPair(cp1252Upper, cp1252Lower, cp1252Alnum, 0x9E, 0x8E);  // z caron
  addPair(cp1252Upper, cp1252Lower, cp1252Alnum, 0xFF, 0x9F);  // y diaeresis
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) addPair(cp1252Upper, cp1252Lower, cp1252Alnum, c, c - 0x20);
  }
  // Letters without a case partner in this code page.
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) cp1252Alnum[c] = true;
}

const CodePage* active = nullptr;

}  // namespace

const CodePage& CodePage::utf8() {
  static const CodePage page = [] {
    buildUtf8();
    return CodePage(CodePageId::Utf8, utf8Upper, utf8Lower, utf8Alnum);
  }();
  return page;
}

const CodePage& CodePage::windows1252() {
  static const CodePage page = [] {
    buildWindows1252();
    return CodePage(CodePageId::Windows1252, cp1252Upper, cp1252Lower, cp1252Alnum);
  }();
  return page;
}

const CodePage& CodePage::byId(CodePageId id) {
  return id == CodePageId::Windows1252 ? windows1252() : utf8();
}

std::string CodePage::toUpper(std::string_view s) const {
  std::string out(s);
  toUpperInPlace(out);
  return out;
}

void CodePage::toUpperInPlace(std::string& s) const {
  for (char& c : s) c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
}

const CodePage& activeCodePage() { return active ? *active : CodePage::utf8(); }

void setActiveCodePage(CodePageId id) { active = &CodePage::byId(id); }

}  // namespace kestrix::text
