// The rename rules: validation in the dialog's order and the new-name builder.
#include <string_view>

#include "fileops/Rename.h"

namespace kestrix::fileops {
namespace {

constexpr std::string_view kNameChars = "\\/:*?\"<>|";

std::string trimmed(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool hasAny(const std::string& s, std::string_view chars) {
  return s.find_first_of(chars) != std::string::npos;
}

}  // namespace

std::optional<std::string> validateRules(RenameRules& r) {
  if (hasAny(r.prefix, kNameChars) || hasAny(r.suffix, kNameChars)) {
    return "A file name cannot contain any of the following characters: \\/:*?\"<><>|";
  }
  r.prefix = trimmed(r.prefix);
  r.suffix = trimmed(r.suffix);
  if (r.newExtension) {
    r.extension = trimmed(r.extension);
    if (r.extension.starts_with('.')) r.extension.erase(0, 1);
  }
  if (!r.remove && !r.newExtension && r.prefix.empty() && r.suffix.empty()) {
    return "Please specify any commands";
  }
  if (r.newExtension && (hasAny(r.extension, kNameChars) || hasAny(r.extension, "."))) {
    return "A file extension cannot contain any of the following characters: .\\/:*?\"<><>|";
  }
  return std::nullopt;
}

std::string buildNewName(const std::string& name, const RenameRules& r, std::string* stem) {
  const std::size_t dot = name.rfind('.');
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  if (r.remove && r.firstPosition >= 1 && r.number >= 1) {
    const std::size_t from = static_cast<std::size_t>(r.firstPosition - 1);
    if (from < base.size()) base.erase(from, static_cast<std::size_t>(r.number));
  }
  if (r.newExtension) extension = r.extension;
  std::string result = r.prefix + base + r.suffix;
  if (stem) *stem = result;
  if (!extension.empty()) result += "." + extension;
  return result;
}

}  // namespace kestrix::fileops
