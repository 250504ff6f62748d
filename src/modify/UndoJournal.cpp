// Reading and writing the undo journal file (format in UndoJournal.h).
#include "modify/UndoJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

constexpr std::string_view kHeader = "KSR-UNDO 2\n";
constexpr std::size_t kFields = 9;

void addField(std::string& out, const std::string& field) {
  out += field;
  out += '\0';
}

std::string hex(std::uint64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

std::string encode(const UndoEntry& e) {
  std::string out;
  addField(out, e.fullName);
  addField(out, std::to_string(e.before.sizeBytes));
  addField(out, hex(e.before.hash));
  addField(out, std::to_string(e.after.sizeBytes));
  addField(out, hex(e.after.hash));
  addField(out, std::to_string(e.afterMtimeNs));
  char mode[16];
  std::snprintf(mode, sizeof mode, "%o", e.mode);
  addField(out, mode);
  addField(out, std::to_string(e.uid));
  addField(out, std::to_string(e.gid));
  return out;
}

// The fields of `bytes` (each ended by NUL); a last field without its NUL is dropped.
std::vector<std::string> fieldsOf(std::string_view bytes) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\0', start)) != std::string_view::npos;
       start = end + 1) {
    fields.emplace_back(bytes.substr(start, end - start));
  }
  return fields;
}

// Decodes one entry; false when a field is not a number (a damaged file).
bool decode(const std::vector<std::string>& f, std::size_t at, UndoEntry& e) {
  try {
    e.fullName = f[at];
    e.before = {std::stoll(f[at + 1]), std::stoull(f[at + 2], nullptr, 16)};
    e.after = {std::stoll(f[at + 3]), std::stoull(f[at + 4], nullptr, 16)};
    e.afterMtimeNs = std::stoll(f[at + 5]);
    e.mode = static_cast<std::uint32_t>(std::stoul(f[at + 6], nullptr, 8));
    e.uid = static_cast<std::uint32_t>(std::stoul(f[at + 7]));
    e.gid = static_cast<std::uint32_t>(std::stoul(f[at + 8]));
  } catch (const std::exception&) {
    return false;
  }
  return !e.fullName.empty();
}

}  // namespace

void saveUndoJournal(const UndoJournal& journal, const std::string& path) {
  std::string bytes(kHeader);
  for (const auto& entry : journal.entries) bytes += encode(entry);
  platform::writeFileAtomically(path, bytes);
}

UndoJournal loadUndoJournal(const std::string& path) {
  UndoJournal journal;
  if (!platform::exists(path)) return journal;
  const std::string bytes = platform::readRegularFile(path, platform::kMaxOwnFileBytes);
  if (bytes.rfind(kHeader, 0) != 0) {  // the older format: names only
    for (const std::string& name : fieldsOf(bytes + '\0')) {
      if (!name.empty()) journal.entries.push_back({name, false, {}, {}, 0, 0, 0, 0});
    }
    return journal;
  }
  const auto fields = fieldsOf(std::string_view(bytes).substr(kHeader.size()));
  for (std::size_t at = 0; at + kFields <= fields.size(); at += kFields) {
    UndoEntry entry;
    if (decode(fields, at, entry)) journal.entries.push_back(std::move(entry));
  }
  return journal;
}

JournalWriter::JournalWriter(const std::string& path) : path_(path) {
  fd_ = platform::UniqueFd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd_) {
    throw platform::PlatformError("Cannot write " + path + ": " + std::strerror(errno), errno);
  }
  append({});
}

void JournalWriter::append(const std::vector<UndoEntry>& entries) {
  const off_t start = ::lseek(fd_.get(), 0, SEEK_END);
  std::string bytes;
  if (start == 0) bytes = kHeader;
  for (const auto& entry : entries) bytes += encode(entry);
  std::size_t done = 0;
  int err = 0;
  while (done < bytes.size() && err == 0) {
    const ssize_t put = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
    if (put > 0) done += static_cast<std::size_t>(put);
    if (put < 0 && errno != EINTR) err = errno;
    if (put == 0) err = EIO;
  }
  if (err == 0 && ::fdatasync(fd_.get()) != 0) err = errno;
  if (err != 0) {
    // Cut a partly written entry off, so that later entries stay readable.
    [[maybe_unused]] int ignored = ::ftruncate(fd_.get(), start < 0 ? 0 : start);
    throw platform::PlatformError("Cannot write " + path_ + ": " + std::strerror(err), err);
  }
}

}  // namespace kestrix::modify
