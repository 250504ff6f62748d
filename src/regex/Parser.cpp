// Parser: turns the expression text into a Syntax tree, applying the modifiers in force at
// each point. Covered by RegexDialectTest.cpp (CompileErrors, Classes, QuantifiersAndGroups,
// ExtendedModifier, LiteralsAndEscapes).
#include <cstring>
#include <optional>

#include "regex/CharSets.h"
#include "regex/RegexErrors.h"
#include "regex/Syntax.h"
#include "text/CaseFold.h"
#include "text/Encoding.h"
#include "text/Utf8.h"

namespace kestrix::regex {
namespace {

constexpr std::string_view kSpecial = "^$.[()|?+*\\{";

bool isSpecial(char c) {
  return kSpecial.find(c) != std::string_view::npos;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::unique_ptr<Node> makeNode(Node::Kind kind) {
  return std::make_unique<Node>(kind);
}

ByteSet setOf(bool (*member)(unsigned char)) {
  ByteSet set{};
  for (int c = 0; c < 256; ++c) set[c] = member(static_cast<unsigned char>(c)) ? 1 : 0;
  return set;
}
bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool isWord(unsigned char c) {
  return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The set named by the escape letter d, w, s (upper case: the complement); nullopt otherwise.
std::optional<ByteSet> escapeSet(char letter) {
  static const ByteSet kDigits = setOf(isDigit), kWord = setOf(isWord), kSpace = setOf(isSpace);
  ByteSet set;
  switch (letter | 0x20) {
    case 'd':
      set = kDigits;
      break;
    case 'w':
      set = kWord;
      break;
    case 's':
      set = kSpace;
      break;
    default:
      return std::nullopt;
  }
  if (letter >= 'A' && letter <= 'Z') {
    for (auto& member : set) member ^= 1;
  }
  return set;
}

// The character of a one-letter control escape (\t, \n, ...), or -1.
int controlEscape(char letter) {
  switch (letter) {
    case 't':
      return '\t';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 'f':
      return '\f';
    case 'a':
      return 7;
    case 'e':
      return 27;
    default:
      return -1;
  }
}

// A quantifier read from the text.
struct Quantifier {
  int min = 0;
  int max = 0;
  bool lazy = false;
};

// One member read inside a class: a single character or an escape set.
struct ClassItem {
  long ch = -1;              // the character (a code point in the utf8 mode), or -1 for a set
  ByteSet set{};             // the set of \d, \w, \s
  CodeRanges ranges;         // the same in the utf8 mode
  bool namedEscape = false;  // written as one of \d \w \s \D \W \S (never a range end)
};

// The Unicode set of \d, \w or \s (upper case: the complement); nullopt for other letters.
std::optional<CodeRanges> unicodeEscapeSet(char letter) {
  const CodeRanges* set = nullptr;
  switch (letter | 0x20) {
    case 'd':
      set = &unicodeDigits();
      break;
    case 'w':
      set = &unicodeWordChars();
      break;
    case 's':
      set = &unicodeSpaces();
      break;
    default:
      return std::nullopt;
  }
  return letter >= 'A' && letter <= 'Z' ? complementRanges(*set) : *set;
}

class Parser {
 public:
  Parser(std::string_view src, const Modifiers& mods, const text::CodePage& codePage)
      : src_(src), mods_(mods), cp_(codePage) {}

  ParsedExpression run() {
    if (src_.empty()) throwCompileError(kNullArgument, 1);
    ParsedExpression result;
    result.root = parseAlternation();
    if (pos_ < src_.size()) throwCompileError(kUnmatchedClose, position());
    result.groupCount = groupCount_;
    result.midCharStarts = midCharStarts_;
    return result;
  }

 private:
  int position() const { return static_cast<int>(pos_) + 1; }
  bool atEnd() const { return pos_ >= src_.size(); }
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0';
  }

  std::unique_ptr<Node> parseAlternation() {
    auto first = parseSequence();
    if (peek() != '|' || atEnd()) return first;
    auto alt = makeNode(Node::Kind::Alt);
    alt->kids.push_back(std::move(first));
    while (!atEnd() && peek() == '|') {
      ++pos_;
      alt->kids.push_back(parseSequence());
    }
    return alt;
  }

  std::unique_ptr<Node> parseSequence() {
    auto seq = makeNode(Node::Kind::Concat);
    for (;;) {
      if (mods_.x) skipBlanksAndComments();
      if (atEnd() || peek() == '|' || peek() == ')') break;
      parsePiece(*seq);
    }
    return seq;
  }

  // With modifier x: blanks and "#" comments where an atom begins.
  void skipBlanksAndComments() {
    while (!atEnd()) {
      char c = peek();
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++pos_;
      } else if (c == '#') {
        while (!atEnd() && peek() != '\r' && peek() != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  void parsePiece(Node& seq) {
    if (quantifierAt(pos_)) throwCompileError(kFollowsNothing, position());
    auto atom = parseAtom(seq);
    if (!quantifierAt(pos_)) {
      seq.kids.push_back(std::move(atom));
      return;
    }
    int quantPos = position();
    char quantChar = peek();
    Quantifier q = readQuantifier();
    if (quantChar != '?' && canBeEmpty(*atom)) throwCompileError(kOperandCouldBeEmpty, quantPos);
    if (quantifierAt(pos_)) throwCompileError(kNestedQuantifier, position());
    auto rep = makeNode(Node::Kind::Repeat);
    rep->min = q.min;
    rep->max = q.max;
    rep->greedy = mods_.g && !q.lazy;
    rep->kids.push_back(std::move(atom));
    seq.kids.push_back(std::move(rep));
  }

  // True when a quantifier starts at `at`: "*", "+", "?" or a well-formed brace.
  bool quantifierAt(size_t at) const {
    if (at >= src_.size()) return false;
    char c = src_[at];
    if (c == '*' || c == '+' || c == '?') return true;
    return c == '{' && braceEnd(at) != 0;
  }

  // The index just past a well-formed brace quantifier starting at `at`, or 0.
  size_t braceEnd(size_t at) const {
    size_t i = at + 1;
    size_t digits = i;
    while (i < src_.size() && isDigit(src_[i])) ++i;
    if (i == digits || i >= src_.size()) return 0;
    if (src_[i] == '}') return i + 1;
    if (src_[i] != ',') return 0;
    ++i;
    while (i < src_.size() && isDigit(src_[i])) ++i;
    return i < src_.size() && src_[i] == '}' ? i + 1 : 0;
  }

  Quantifier readQuantifier() {
    Quantifier q;
    char c = peek();
    if (c == '{') {
      readBrace(q);
    } else {
      q.min = c == '+' ? 1 : 0;
      q.max = c == '?' ? 1 : kMaxCount;
      ++pos_;
    }
    if (peek() == '?' && !atEnd()) {
      q.lazy = true;
      ++pos_;
    }
    return q;
  }

  void readBrace(Quantifier& q) {
    size_t end = braceEnd(pos_);
    ++pos_;
    q.min = readCount();
    q.max = q.min;
    if (peek() == ',') {
      ++pos_;
      int maxPos = position();
      q.max = peek() == '}' ? kMaxCount : readCount();
      if (q.max < q.min) throwCompileError(kBraceMinGreater, maxPos);
    }
    pos_ = end;
  }

  int readCount() {
    int start = position();
    long long value = 0;
    while (!atEnd() && isDigit(peek())) {
      value = value * 10 + (peek() - '0');
      if (value > kMaxCount) throwCompileError(kBracesTooBig, start);
      ++pos_;
    }
    return static_cast<int>(value);
  }

  std::unique_ptr<Node> parseAtom(Node& seq) {
    char c = peek();
    switch (c) {
      case '(':
        return parseParen();
      case '[':
        return parseClass();
      case '\\':
        return parseEscape();
      case '.': {
        ++pos_;
        if (mods_.utf8) return utf8Dot();
        auto node = makeNode(Node::Kind::Set);
        node->set.fill(1);
        if (!mods_.s) node->set['\r'] = node->set['\n'] = 0;
        return node;
      }
      case '^':
      case '$': {
        ++pos_;
        auto node = makeNode(Node::Kind::Assert);
        bool start = c == '^';
        node->assertion = mods_.m ? (start ? Assertion::LineStart : Assertion::LineEnd)
                                  : (start ? Assertion::InputStart : Assertion::InputEnd);
        return node;
      }
      case '{':
        ++pos_;
        return literal("{");
      default:
        return parseLiteralRun(seq);
    }
  }

  // A run of ordinary characters; when a quantifier follows, the run's last character
  // becomes the atom and the rest goes straight into the sequence.
  std::unique_ptr<Node> parseLiteralRun(Node& seq) {
    size_t start = pos_;
    while (!atEnd() && !isSpecial(peek())) ++pos_;
    std::string_view run = src_.substr(start, pos_ - start);
    const std::size_t last = mods_.utf8 ? lastCharStart(run) : run.size() - 1;
    if (last > 0 && quantifierAt(pos_)) {
      seq.kids.push_back(literal(run.substr(0, last)));
      return literal(run.substr(last));
    }
    return literal(run);
  }

  // Where the last character of `run` begins (its last byte unless a valid sequence ends it).
  static std::size_t lastCharStart(std::string_view run) {
    return run.size() - static_cast<std::size_t>(text::decodeUtf8Before(run, run.size()).length);
  }

  // "." in the utf8 mode: one character, or one byte that begins no valid sequence.
  std::unique_ptr<Node> utf8Dot() {
    midCharStarts_ = true;
    CodeRanges except;
    if (!mods_.s) except = {{'\n', '\n'}, {'\r', '\r'}};
    return charSetNode(complementRanges(except), true);
  }

  std::unique_ptr<Node> literal(std::string_view chars) {
    if (mods_.utf8 && mods_.i && !text::isAscii(chars)) return caselessUtf8Literal(chars);
    return byteLiteral(chars);
  }

  // A caseless literal in the utf8 mode: runs of ASCII (folded byte by byte as always) and
  // characters without case variants stay literals; every other character becomes the
  // alternatives of its case variants.
  std::unique_ptr<Node> caselessUtf8Literal(std::string_view chars) {
    auto seq = makeNode(Node::Kind::Concat);
    std::size_t plain = 0;
    for (std::size_t at = 0; at < chars.size();) {
      const text::DecodedChar d = text::decodeUtf8(chars, at);
      const auto& variants = text::caseVariants(d.value);
      if (d.value < 0x80 || variants.size() < 2) {
        at += static_cast<std::size_t>(d.length);
        continue;
      }
      if (at > plain) seq->kids.push_back(byteLiteral(chars.substr(plain, at - plain)));
      CodeRanges members;
      for (char32_t v : variants) members.emplace_back(v, v);
      seq->kids.push_back(charSetNode(normalizedRanges(std::move(members)), false));
      at += static_cast<std::size_t>(d.length);
      plain = at;
    }
    if (plain < chars.size()) seq->kids.push_back(byteLiteral(chars.substr(plain)));
    if (seq->kids.size() == 1) return std::move(seq->kids[0]);
    return seq;
  }

  std::unique_ptr<Node> byteLiteral(std::string_view chars) {
    auto node = makeNode(Node::Kind::Literal);
    node->text = std::string(chars);
    if (mods_.i) {
      node->fold = node->text;
      for (char& ch : node->fold)
        ch = static_cast<char>(cp_.otherCase(static_cast<unsigned char>(ch)));
    }
    return node;
  }

  std::unique_ptr<Node> parseEscape() {
    ++pos_;
    if (atEnd()) throwCompileError(kAtomTrailingBackslash, position());
    char c = peek();
    if (mods_.utf8) {
      if (auto set = unicodeEscapeSet(c)) {
        ++pos_;
        return charSetNode(*set, false);
      }
    }
    if (auto set = escapeSet(c)) {
      ++pos_;
      auto node = makeNode(Node::Kind::Set);
      node->set = *set;
      return node;
    }
    if (c == 'n' && mods_.newlineCrLf) {
      ++pos_;
      auto alt = makeNode(Node::Kind::Alt);
      alt->kids.push_back(literal("\r\n"));
      alt->kids.push_back(literal("\n"));
      return alt;
    }
    if (c == 'A' || c == 'Z') {
      ++pos_;
      auto node = makeNode(Node::Kind::Assert);
      node->assertion = c == 'A' ? Assertion::InputStart : Assertion::InputEnd;
      return node;
    }
    if (c >= '1' && c <= '9') {
      ++pos_;
      auto node = makeNode(Node::Kind::Backref);
      node->index = c - '0';
      node->icase = mods_.i;
      return node;
    }
    const long ch = readEscapedChar();
    std::string bytes;
    if (mods_.utf8) {
      text::appendUtf8(bytes, static_cast<char32_t>(ch));
    } else {
      bytes.push_back(static_cast<char>(ch));
    }
    return literal(bytes);
  }

  // After "\": a control escape, a hex code, or the character itself (in the utf8 mode a
  // whole character, or an invalid byte's value).
  long readEscapedChar() {
    char c = peek();
    if (mods_.utf8 && static_cast<unsigned char>(c) >= 0x80) {
      const text::DecodedChar d = text::decodeUtf8(src_, pos_);
      pos_ += static_cast<std::size_t>(d.length);
      return static_cast<long>(d.value);
    }
    ++pos_;
    if (int control = controlEscape(c); control >= 0) return control;
    if (c == 'x') return readHex();
    return static_cast<unsigned char>(c);
  }

  int readHex() {
    if (atEnd()) throwCompileError(kNoHexCode, position());
    if (peek() != '{') {
      if (hexValue(peek()) < 0) throwCompileError(kNoHexCode, position());
      int high = hexValue(peek());
      ++pos_;
      if (atEnd() || hexValue(peek()) < 0) throwCompileError(kBadHexDigit, position());
      int low = hexValue(peek());
      ++pos_;
      return high * 16 + low;
    }
    ++pos_;
    if (peek() == '}' || atEnd()) throwCompileError(kNoHexCode, position());
    int value = 0;
    while (!atEnd() && peek() != '}') {
      if (hexValue(peek()) < 0) throwCompileError(kBadHexDigit, position());
      value = value * 16 + hexValue(peek());
      if (value > (mods_.utf8 ? 0x10FFFF : 255)) throwCompileError(kHexTooBig, position());
      ++pos_;
    }
    if (atEnd()) throwCompileError(kBadHexDigit, position());
    ++pos_;
    return value;
  }

  std::unique_ptr<Node> parseParen() {
    if (peek(1) == '?') return parseSwitchOrComment();
    int openPos = position();
    if (groupCount_ >= kGroupCount - 1) throwCompileError(kTooManyGroups, openPos);
    ++pos_;
    int index = ++groupCount_;
    Modifiers saved = mods_;
    auto body = parseAlternation();
    mods_ = saved;
    if (atEnd()) throwCompileError(kUnmatchedOpen, openPos);
    ++pos_;
    groupNullable_[index] = canBeEmpty(*body) ? 1 : 0;
    auto group = makeNode(Node::Kind::Group);
    group->index = index;
    group->kids.push_back(std::move(body));
    return group;
  }

  // "(?#...)" or "(?flags-flags)"; both match nothing.
  std::unique_ptr<Node> parseSwitchOrComment() {
    int openPos = position();
    pos_ += 2;
    if (peek() == '#' && !atEnd()) {
      size_t close = src_.find(')', pos_);
      if (close == std::string_view::npos) throwCompileError(kUnclosedComment, openPos);
      pos_ = close + 1;
      return makeNode(Node::Kind::Empty);
    }
    Modifiers next = mods_;
    bool on = true;
    int letters = 0;
    for (; !atEnd() && peek() != ')'; ++pos_) {
      char c = peek();
      if (c == '-' && on) {
        on = false;
        continue;
      }
      bool* flag = modifierFlag(next, c);
      if (!flag) throwCompileError(kUnknownModifier, position());
      *flag = on;
      ++letters;
    }
    if (atEnd() || letters == 0) throwCompileError(kUnknownModifier, position());
    ++pos_;
    mods_ = next;
    return makeNode(Node::Kind::Empty);
  }

  static bool* modifierFlag(Modifiers& mods, char letter) {
    switch (letter | 0x20) {
      case 'i':
        return &mods.i;
      case 'm':
        return &mods.m;
      case 's':
        return &mods.s;
      case 'x':
        return &mods.x;
      case 'r':
        return &mods.r;
      case 'g':
        return &mods.g;
      default:
        return nullptr;
    }
  }

  std::unique_ptr<Node> parseClass() {
    int openPos = position();
    ++pos_;
    bool negate = false;
    if (peek() == '^' && !atEnd()) {
      negate = true;
      ++pos_;
    }
    if (mods_.utf8) return parseUtf8Class(openPos, negate);
    ByteSet members{};
    bool first = true;
    for (;;) {
      if (atEnd()) throwCompileError(kUnmatchedBracket, openPos);
      if (peek() == ']' && !first) break;
      first = false;
      addClassMember(members, readClassItem());
    }
    ++pos_;
    auto node = makeNode(Node::Kind::Set);
    for (int c = 0; c < 256; ++c) {
      if (!members[c]) continue;
      node->set[c] = 1;
      if (mods_.i) node->set[cp_.otherCase(static_cast<unsigned char>(c))] = 1;
    }
    if (negate) {
      for (auto& member : node->set) member ^= 1;
    }
    return node;
  }

  // Adds `item`, or the range that starts with it when "-" and a range end follow.
  void addClassMember(ByteSet& members, const ClassItem& item) {
    if (item.ch < 0) {
      for (int c = 0; c < 256; ++c) members[c] |= item.set[c];
      return;
    }
    if (peek() != '-' || pos_ + 1 >= src_.size() || src_[pos_ + 1] == ']') {
      members[item.ch] = 1;
      return;
    }
    ++pos_;
    int rangePos = position();
    ClassItem end = readClassItem();
    if (end.namedEscape) {
      members[item.ch] = 1;
      members['-'] = 1;
      addClassMember(members, end);
      return;
    }
    addRange(members, item.ch, end.ch, rangePos);
  }

  void addRange(ByteSet& members, int from, int to, int rangePos) {
    if (mods_.r && from == 0xE0 && to == 0xDF) {
      for (int c = 0xC0; c <= 0xFF; ++c) members[c] = 1;
      members[0xA8] = members[0xB8] = 1;
      return;
    }
    if (from > to) throwCompileError(kInvalidRange, rangePos);
    for (int c = from; c <= to; ++c) members[c] = 1;
    if (mods_.r && from == 0xE0 && to == 0xFF) members[0xB8] = 1;
    if (mods_.r && from == 0xC0 && to == 0xDF) members[0xA8] = 1;
  }

  // A class in the utf8 mode: members are code points; caseless classes take every case
  // variant of their members; a complement holds valid characters only.
  std::unique_ptr<Node> parseUtf8Class(int openPos, bool negate) {
    CodeRanges members;
    bool first = true;
    for (;;) {
      if (atEnd()) throwCompileError(kUnmatchedBracket, openPos);
      if (peek() == ']' && !first) break;
      first = false;
      addUtf8ClassMember(members, readClassItem());
    }
    ++pos_;
    members = normalizedRanges(std::move(members));
    if (mods_.i) members = withCaseVariants(members);
    if (negate) members = complementRanges(members);
    return charSetNode(members, false);
  }

  void addUtf8ClassMember(CodeRanges& members, const ClassItem& item) {
    if (item.ch < 0) {
      members.insert(members.end(), item.ranges.begin(), item.ranges.end());
      return;
    }
    const auto ch = static_cast<char32_t>(item.ch);
    if (peek() != '-' || pos_ + 1 >= src_.size() || src_[pos_ + 1] == ']') {
      members.emplace_back(ch, ch);
      return;
    }
    ++pos_;
    int rangePos = position();
    ClassItem end = readClassItem();
    if (end.namedEscape) {
      members.emplace_back(ch, ch);
      members.emplace_back('-', '-');
      addUtf8ClassMember(members, end);
      return;
    }
    addUtf8Range(members, ch, static_cast<char32_t>(end.ch), rangePos);
  }

  // With modifier r the Russian ranges take the letters outside them: а-я takes ё, А-Я
  // takes Ё, and а-Я both alphabets with both letters.
  void addUtf8Range(CodeRanges& members, char32_t from, char32_t to, int rangePos) {
    constexpr char32_t kSmallA = 0x430, kSmallYa = 0x44F, kCapitalA = 0x410, kCapitalYa = 0x42F;
    constexpr char32_t kSmallYo = 0x451, kCapitalYo = 0x401;
    if (mods_.r && from == kSmallA && to == kCapitalYa) {
      members.emplace_back(kCapitalA, kSmallYa);
      members.emplace_back(kSmallYo, kSmallYo);
      members.emplace_back(kCapitalYo, kCapitalYo);
      return;
    }
    if (from > to) throwCompileError(kInvalidRange, rangePos);
    members.emplace_back(from, to);
    if (mods_.r && from == kSmallA && to == kSmallYa) members.emplace_back(kSmallYo, kSmallYo);
    if (mods_.r && from == kCapitalA && to == kCapitalYa) {
      members.emplace_back(kCapitalYo, kCapitalYo);
    }
  }

  ClassItem readClassItem() {
    ClassItem item;
    if (peek() != '\\') {
      if (mods_.utf8) {
        const text::DecodedChar d = text::decodeUtf8(src_, pos_);
        item.ch = static_cast<long>(d.value);
        pos_ += static_cast<std::size_t>(d.length);
        return item;
      }
      item.ch = static_cast<unsigned char>(peek());
      ++pos_;
      return item;
    }
    ++pos_;
    if (atEnd()) throwCompileError(kTrailingBackslash, position());
    char c = peek();
    if (std::strchr("dwsDWS", c) && c != '\0') {
      ++pos_;
      item.namedEscape = true;
      if (c >= 'a' && mods_.utf8) {
        item.ranges = *unicodeEscapeSet(c);
      } else if (c >= 'a') {
        item.set = *escapeSet(c);
      } else {
        item.ch = static_cast<unsigned char>(c);
      }
      return item;
    }
    item.ch = readEscapedChar();
    return item;
  }

  // True when the node can match the empty string. A back-reference counts as empty-able
  // unless it names a group already closed that can never be empty.
  bool canBeEmpty(const Node& node) const {
    switch (node.kind) {
      case Node::Kind::Empty:
      case Node::Kind::Assert:
        return true;
      case Node::Kind::Literal:
        return node.text.empty();
      case Node::Kind::Set:
        return false;
      case Node::Kind::Group:
        return canBeEmpty(*node.kids[0]);
      case Node::Kind::Repeat:
        return node.min == 0 || canBeEmpty(*node.kids[0]);
      case Node::Kind::Backref:
        return groupNullable_[node.index] != 0;
      case Node::Kind::Concat:
        for (const auto& kid : node.kids) {
          if (!canBeEmpty(*kid)) return false;
        }
        return true;
      case Node::Kind::Alt:
        for (const auto& kid : node.kids) {
          if (canBeEmpty(*kid)) return true;
        }
        return false;
    }
    return true;
  }

  std::string_view src_;
  size_t pos_ = 0;
  Modifiers mods_;
  const text::CodePage& cp_;
  int groupCount_ = 0;
  bool midCharStarts_ = false;
  // Per group: 1 while unknown (open or not yet seen) or when it can match empty.
  std::array<std::uint8_t, 16> groupNullable_{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

}  // namespace

ParsedExpression parseExpression(std::string_view expression, const Modifiers& mods,
                                 const text::CodePage& codePage) {
  return Parser(expression, mods, codePage).run();
}

}  // namespace kestrix::regex
