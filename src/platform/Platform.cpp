// POSIX implementation of the platform seam.
#include "platform/Platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

FileInfo infoFrom(const struct ::stat& st, std::string name) {
  FileInfo info;
  info.isDirectory = S_ISDIR(st.st_mode);
  info.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
  info.sizeBytes = static_cast<std::int64_t>(st.st_size);
  info.lastWriteSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  info.attributes.readOnly = (st.st_mode & S_IWUSR) == 0;
  info.attributes.hidden = !name.empty() && name[0] == '.';
  info.name = std::move(name);
  return info;
}

EntryKind kindAt(int dirFd, const char* name, unsigned char type) {
  if (type == DT_DIR) return EntryKind::Directory;
  if (type == DT_REG) return EntryKind::File;
  if (type != DT_LNK && type != DT_UNKNOWN) return EntryKind::Other;
  struct ::stat st {};
  if (::fstatat(dirFd, name, &st, type == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
    return EntryKind::Other;
  }
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  // A link to a folder is never followed; a real folder (unknown type) is.
  if (S_ISDIR(st.st_mode) && type != DT_LNK) return EntryKind::Directory;
  return EntryKind::Other;
}

// Opens a file for reading without ever blocking on it (a FIFO, a terminal or a kernel
// message queue opened by a search must not hang it or take a terminal); the caller checks
// that it is a regular file before reading.
int openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) fail("Cannot open", path, errno);
  return fd;
}

// Only regular files are read: reading a device or a FIFO could block, never end, or
// consume what another program waits for.
void requireRegular(const struct ::stat& st, const std::string& path) {
  if (S_ISDIR(st.st_mode)) fail("Cannot read", path, EISDIR);
  if (!S_ISREG(st.st_mode))
    throw PlatformError("Cannot read " + path + ": not a regular file", EINVAL);
}

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string attributeLetters(const Attributes& a) {
  std::string letters;
  if (a.readOnly) letters += 'R';
  if (a.hidden) letters += 'H';
  if (a.system) letters += 'S';
  if (a.archive) letters += 'A';
  return letters;
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string full(folder);
  if (!full.empty() && full.back() != '/') full += '/';
  full += name;
  return full;
}

std::string folderOf(std::string_view fullName) {
  auto slash = fullName.rfind('/');
  if (slash == std::string_view::npos) return {};
  return slash == 0 ? std::string("/") : std::string(fullName.substr(0, slash));
}

std::string nameOf(std::string_view fullName) {
  auto slash = fullName.rfind('/');
  return std::string(slash == std::string_view::npos ? fullName : fullName.substr(slash + 1));
}

std::vector<DirEntry> listDirectory(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) fail("Cannot list", folder, errno);
  std::vector<DirEntry> entries;
  const int fd = ::dirfd(dir.get());
  while (const struct ::dirent* e = ::readdir(dir.get())) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    entries.push_back({n, kindAt(fd, n, e->d_type)});
  }
  return entries;
}

FileInfo stat(const std::string& path) {
  struct ::stat st {};
  if (::stat(path.c_str(), &st) != 0) fail("Cannot examine", path, errno);
  return infoFrom(st, nameOf(path));
}

std::optional<FileInfo> tryStat(const std::string& path) {
  struct ::stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return infoFrom(st, nameOf(path));
}

bool exists(const std::string& path) {
  struct ::stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

namespace {
std::atomic<std::int64_t> gReadCap{std::int64_t{1} << 30};
}  // namespace

std::int64_t readCap() {
  return gReadCap.load(std::memory_order_relaxed);
}

void setReadCap(std::int64_t bytes) {
  gReadCap.store(bytes, std::memory_order_relaxed);
}

void failTooLarge(const std::string& path, std::int64_t maxBytes) {
  throw PlatformError(
      "Cannot read " + path + ": larger than " + std::to_string(maxBytes) + " bytes", EFBIG);
}

bool ownFileUsable(const std::string& path, std::int64_t maxBytes) {
  struct ::stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode) && st.st_size <= maxBytes;
}

std::string_view readFileInto(const std::string& path, std::string& buffer) {
  FdCloser file{openForReading(path)};
  struct ::stat st {};
  if (::fstat(file.fd, &st) != 0) fail("Cannot examine", path, errno);
  requireRegular(st, path);
  // Room for the size of the directory entry plus one byte, so the end is seen at once;
  // grows if the file grew meanwhile.
  const auto cap = static_cast<std::size_t>(readCap());
  const std::size_t expected = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  if (expected > cap) failTooLarge(path, readCap());
  if (buffer.size() < expected + 1) buffer.resize(expected + 1);
  std::size_t used = 0;
  for (;;) {
    if (used > cap) failTooLarge(path, readCap());
    if (used == buffer.size()) buffer.resize(std::min(buffer.size() * 2 + 4096, cap + 1));
    ssize_t got = ::read(file.fd, buffer.data() + used, buffer.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail("Cannot read", path, errno);
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
    if (used == expected && expected > 0) break;  // the size the entry gave: no extra read
  }
  return std::string_view(buffer.data(), used);
}

FileReader::FileReader(const std::string& path) : path_(path) {
  fd_ = openForReading(path);
  struct ::stat st {};
  try {
    if (::fstat(fd_, &st) != 0) fail("Cannot examine", path, errno);
    requireRegular(st, path);
  } catch (const PlatformError&) {
    ::close(fd_);
    throw;
  }
  info_ = infoFrom(st, nameOf(path));
}

FileReader::~FileReader() {
  ::close(fd_);
}

std::size_t FileReader::read(char* out, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, out, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) fail("Cannot read", path_, errno);
  }
}

std::string readRegularFile(const std::string& path, std::int64_t maxBytes) {
  FdCloser file{openForReading(path)};
  struct ::stat st {};
  if (::fstat(file.fd, &st) != 0) fail("Cannot examine", path, errno);
  requireRegular(st, path);
  if (st.st_size > maxBytes) failTooLarge(path, maxBytes);
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t used = 0;
  while (used < bytes.size()) {
    const ssize_t got = ::read(file.fd, bytes.data() + used, bytes.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail("Cannot read", path, errno);
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return bytes;
}

std::string readFile(const std::string& path) {
  std::string bytes;
  const std::size_t used = readFileInto(path, bytes).size();
  bytes.resize(used);
  return bytes;
}

std::uint32_t getMode(const std::string& path) {
  return stat(path).mode;
}

void setMode(const std::string& path, std::uint32_t mode) {
  if (::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0) fail("Cannot change", path, errno);
}

std::uint32_t makeWritable(const std::string& path) {
  std::uint32_t before = getMode(path);
  if ((before & S_IWUSR) == 0) setMode(path, before | S_IWUSR);
  return before;
}

void renameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) fail("Cannot rename", from, errno);
}

void removeFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) fail("Cannot delete", path, errno);
}

std::uint64_t tickMs() {
  struct ::timespec ts {};
  // The coarse clock (a few milliseconds' resolution) is read without the time counter:
  // pollers read it once per file.
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

double nowSec() {
  struct ::timespec ts {};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

LocalTime toLocalTime(std::int64_t epochSec) {
  std::time_t t = static_cast<std::time_t>(epochSec);
  struct std::tm tm {};
  ::localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t daysFromCivil(int year, int month, int day) {
  // Howard Hinnant's days_from_civil.
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

namespace {
std::string formatTm(const LocalTime& t, const char* format) {
  struct std::tm tm {};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  char buffer[128];
  std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}
}  // namespace

std::string fourDigitYears(std::string_view format) {
  std::string out;
  out.reserve(format.size() + 4);
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    std::size_t last = i + 1;
    if ((format[last] == 'E' || format[last] == 'O') && last + 1 < format.size()) ++last;
    const std::string_view conversion = format.substr(i, last - i + 1);
    if (conversion == "%y" || conversion == "%Ey") {
      out.append(conversion.substr(0, conversion.size() - 1)).push_back('Y');
    } else if (conversion == "%D") {
      out += "%m/%d/%Y";
    } else {
      out += conversion;  // "%%" included, so an escaped "%y" stays text
    }
    i = last;
  }
  return out;
}

std::string formatShortDate(const LocalTime& t) {
  // The locale's date order and separators with the year in full: a two-digit year
  // leaves dates around a century apart indistinguishable.
  const std::string format = fourDigitYears(nl_langinfo(D_FMT));
  return formatTm(t, format.c_str());
}
std::string formatLongTime(const LocalTime& t) {
  return formatTm(t, "%X");
}

std::string decimalSeparator() {
  const std::lconv* conv = std::localeconv();
  if (!conv || !conv->decimal_point || !*conv->decimal_point) return ".";
  return conv->decimal_point;
}

}  // namespace kestrix::platform
