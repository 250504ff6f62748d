// Where Create Report and Browse Context put their pages (the data folder), the file lines
// a context page quotes, and what the window says while and after writing them.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::results {

// A page could not be written; what() is the message for the user:
// "Cannot open file " + data folder + "/" + file name.
class PageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `text` as `fileName` in the data folder (created when missing) through the safe
// write and returns the page's full name. Throws PageError.
std::string writeDataPage(const std::string& fileName, std::string_view text);

// The lines of the file `path` up to its first NUL byte, without their line breaks. Throws
// platform::PlatformError when it cannot be read.
std::vector<std::string> fileLines(const std::string& path);

// The message when no browser could show a written page.
std::string noBrowserText(const std::string& pagePath);

// Status panel 0 while Create Report writes the section of `row` of `count` (0-based):
// "Processed:  " + the whole percent done + "% files".
std::string reportProgressText(std::size_t row, std::size_t count);

}  // namespace kestrix::results
