// Text built line by line, each line ended by CR LF, as every page and list is written.
#pragma once

#include <string>
#include <string_view>

namespace kestrix::results {

class PageText {
 public:
  void line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The opening tag of the blue colour that marks hits and values.
inline constexpr std::string_view kBlue = "<font color=\"#0000FF\">";
inline constexpr std::string_view kFontEnd = "</font>";

}  // namespace kestrix::results
