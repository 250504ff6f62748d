// The line encodings of project files: a writer that collects CR LF ended lines and a
// reader that gives empty lines (and 0 for numbers) once the file has ended.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::app {

// A line that does not hold the value it should (a number, a date).
class BadProjectLine : public std::runtime_error {
 public:
  BadProjectLine() : std::runtime_error("bad project line") {}
};

class ProjectLineWriter {
 public:
  // The value up to its first line break: a break inside would shift every later line.
  void text(std::string_view value);
  void flag(bool value);
  void number(int value);
  // A count line, then the entries.
  void list(const std::vector<std::string>& entries);
  // A multi-line text (lines separated by "\n") as a list of its lines.
  void memo(const std::string& value);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

class ProjectLineReader {
 public:
  explicit ProjectLineReader(std::string_view bytes) : bytes_(bytes) {}
  // True once every line has been read.
  bool atEnd() const { return pos_ >= bytes_.size(); }
  // Passes over `count` lines.
  void skip(int count);
  // The next line; empty past the end.
  std::string text();
  // True for exactly "TRUE".
  bool flag();
  // The next line as a decimal number; 0 past the end. Throws BadProjectLine.
  int number();
  // A count and its entries. A count beyond the end of the file reads the lines there are.
  std::vector<std::string> list();
  // A multi-line text: the list's lines joined by "\n".
  std::string memo();

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace kestrix::app
