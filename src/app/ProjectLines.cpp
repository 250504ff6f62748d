// Line encodings of project files.
#include "app/ProjectLines.h"

#include "app/KeyValueStore.h"

namespace kestrix::app {

void ProjectLineWriter::text(std::string_view value) {
  bytes_.append(value.substr(0, value.find_first_of("\r\n")));
  bytes_.append("\r\n");
}

void ProjectLineWriter::flag(bool value) {
  text(value ? "TRUE" : "FALSE");
}

void ProjectLineWriter::number(int value) {
  text(std::to_string(value));
}

void ProjectLineWriter::list(const std::vector<std::string>& entries) {
  number(static_cast<int>(entries.size()));
  for (const std::string& entry : entries) text(entry);
}

void ProjectLineWriter::memo(const std::string& value) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = value.find_first_of("\r\n", start);
    lines.push_back(value.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + (value.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  list(lines);
}

std::string ProjectLineReader::text() {
  if (atEnd()) return {};
  const std::size_t end = bytes_.find_first_of("\r\n", pos_);
  const std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
  std::string line(bytes_.substr(pos_, stop - pos_));
  pos_ = stop;
  if (pos_ < bytes_.size()) pos_ += bytes_.compare(pos_, 2, "\r\n") == 0 ? 2 : 1;
  return line;
}

void ProjectLineReader::skip(int count) {
  for (int i = 0; i < count && !atEnd(); ++i) text();
}

bool ProjectLineReader::flag() {
  return text() == "TRUE";
}

int ProjectLineReader::number() {
  if (atEnd()) return 0;
  const std::optional<int> value = parseDecimal(text());
  if (!value) throw BadProjectLine();
  return *value;
}

std::vector<std::string> ProjectLineReader::list() {
  const int count = number();
  std::vector<std::string> entries;
  for (int i = 0; i < count && !atEnd(); ++i) entries.push_back(text());
  return entries;
}

std::string ProjectLineReader::memo() {
  std::string joined;
  const std::vector<std::string> lines = list();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += lines[i];
  }
  return joined;
}

}  // namespace kestrix::app
