// MemoFile reading and writing, in a folder or in memory.
#include "app/SideFiles.h"

#include <filesystem>
#include <system_error>

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::app {

std::optional<std::string> FolderSideFiles::read(const std::string& name) {
  const std::string path = platform::joinPath(folder_, name);
  const std::optional<platform::FileInfo> info = platform::tryStat(path);
  if (!info || info->isDirectory) return std::nullopt;
  if (info->sizeBytes > static_cast<std::int64_t>(kMaxSideFileBytes)) {
    tooLarge_.insert(name);
    return std::nullopt;
  }
  try {
    std::string bytes = platform::readFile(path);
    if (bytes.size() > kMaxSideFileBytes) {  // grew since it was examined
      tooLarge_.insert(name);
      return std::nullopt;
    }
    return bytes;
  } catch (const platform::PlatformError&) {
    return std::nullopt;  // unreadable side files count as missing
  }
}

bool FolderSideFiles::exists(const std::string& name) const {
  return platform::exists(platform::joinPath(folder_, name));
}

void FolderSideFiles::write(const std::string& name, const std::string& bytes) {
  if (tooLarge_.count(name) != 0) return;
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  try {
    platform::writeFileAtomically(platform::joinPath(folder_, name), bytes);
  } catch (const platform::AtomicWriteError&) {
    // Side-file errors are silent; the old content is still there.
  }
}

std::optional<std::string> MemorySideFiles::read(const std::string& name) {
  const auto it = files.find(name);
  if (it == files.end() || it->second.size() > kMaxSideFileBytes) return std::nullopt;
  return it->second;
}

bool MemorySideFiles::exists(const std::string& name) const {
  return files.count(name) != 0;
}

void MemorySideFiles::write(const std::string& name, const std::string& bytes) {
  files[name] = bytes;
}

std::string encodeMemo(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  out += "\r\n";
  return out;
}

std::string decodeMemo(const std::string& bytes) {
  std::string_view body = bytes;
  if (body.ends_with("\r\n"))
    body.remove_suffix(2);
  else if (body.ends_with('\n') || body.ends_with('\r'))
    body.remove_suffix(1);
  std::string text;
  text.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\r') {
      text += body[i];
    } else {
      text += '\n';
      if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
    }
  }
  return text;
}

std::optional<std::string> readMemo(SideFiles& files, const std::string& name) {
  std::optional<std::string> bytes = files.read(name);
  if (!bytes) return std::nullopt;
  return decodeMemo(*bytes);
}

void writeMemo(SideFiles& files, const std::string& name, const std::string& text) {
  if (text.empty() && !files.exists(name)) return;
  files.write(name, encodeMemo(text));
}

}  // namespace kestrix::app
