// The operating-system seam of the core: directory listing, file facts and attributes,
// whole-file reads, simple file changes, the tick counter and local time. POSIX today.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::platform {

// A failed file-system call. what() names the path and the system's reason; errorCode()
// is the errno value.
class PlatformError : public std::runtime_error {
 public:
  PlatformError(const std::string& message, int errorCode)
      : std::runtime_error(message), errorCode_(errorCode) {}
  int errorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// What a directory entry is. Symbolic links are resolved for files only: a link to a
// folder is `Other`, so walks never follow it (no loops).
enum class EntryKind { File, Directory, Other };

// One entry of a folder listing, in the order the file system returns them.
struct DirEntry {
  std::string name;
  EntryKind kind = EntryKind::Other;
};

// The attribute letters of the program: R = the owner has no write permission,
// H = the name starts with "."; S (system) and A (archive) are never set here.
struct Attributes {
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool archive = false;
};

// "R", "H", "S", "A" in that order for the set attributes; empty when none.
std::string attributeLetters(const Attributes& attributes);

// Facts about one file or folder.
struct FileInfo {
  std::string name;  // the last component of the path
  bool isDirectory = false;
  Attributes attributes;
  std::uint32_t mode = 0;         // the permission bits (st_mode & 07777)
  std::int64_t sizeBytes = 0;     // 64-bit: files of 2 GiB and more are sized right
  std::int64_t lastWriteSec = 0;  // last-write time, seconds since the Unix epoch (UTC)
};

// folder + "/" + name; a root folder "/" gives "/name", an empty folder gives "name".
std::string joinPath(std::string_view folder, std::string_view name);
// The part of `fullName` before its last "/" ("/" for a file in the root, "" for none).
std::string folderOf(std::string_view fullName);
// The part of `fullName` after its last "/".
std::string nameOf(std::string_view fullName);

// Lists `folder` without "." and "..". Throws PlatformError when it cannot be listed.
std::vector<DirEntry> listDirectory(const std::string& folder);

// Facts about `path` (symbolic links followed). Throws PlatformError when it is missing or
// cannot be examined. tryStat returns nothing instead of throwing.
FileInfo stat(const std::string& path);
std::optional<FileInfo> tryStat(const std::string& path);
// True when `path` names an existing file or folder.
bool exists(const std::string& path);

// Files are read whole, and files that report no size (kernel files, which may never end)
// are read, up to this many bytes; past it the read fails with PlatformError EFBIG
// ("too large"). 1 GiB unless set otherwise (tests lower it); safe to read from any thread.
std::int64_t readCap();
void setReadCap(std::int64_t bytes);
// Throws the PlatformError EFBIG of a file `path` larger than `maxBytes`.
[[noreturn]] void failTooLarge(const std::string& path, std::int64_t maxBytes);

// The largest of the program's own files (journal, batch tables and state, logs) it reads:
// one beyond it is refused as too large.
inline constexpr std::int64_t kMaxOwnFileBytes = std::int64_t{256} << 20;

// True when `path` is missing or names a regular file (a link followed) of at most
// `maxBytes` bytes: a file of the program's own (settings, journal, tables) it may read and
// replace. Anything else (a FIFO, a device, a folder, a huge file) is to be left alone
// unread. Opens nothing, so it never blocks.
bool ownFileUsable(const std::string& path, std::int64_t maxBytes);

// The whole content of the file `path` as bytes. Throws PlatformError when it cannot be
// opened or read (missing, not a regular file, no permission). Every read opens the file
// without blocking and reads regular files only, so a FIFO or a device never hangs it.
std::string readFile(const std::string& path);
// The whole content of the regular file `path`, which may hold at most `maxBytes` bytes.
// Throws PlatformError for anything else (a device, a FIFO, a folder, a larger file).
std::string readRegularFile(const std::string& path, std::int64_t maxBytes);
// Reads the whole file into `buffer`, reusing its memory across calls (the buffer is only
// ever grown, so large files are not zero-filled again), and returns a view of the bytes,
// valid until the buffer changes. Reads as many bytes as the file had when it was opened
// (a file growing meanwhile is cut there). Throws PlatformError like readFile, EFBIG past
// readCap.
std::string_view readFileInto(const std::string& path, std::string& buffer);

// A file opened for reading in pieces (scans that keep only a window of the file in
// memory). Closes the file when destroyed.
class FileReader {
 public:
  // Opens `path`; throws PlatformError when it cannot be opened or is a folder.
  explicit FileReader(const std::string& path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Reads up to `size` bytes into `out`; returns how many (0 at the end of the file).
  // Throws PlatformError on a read failure.
  std::size_t read(char* out, std::size_t size);
  // The size the file had when it was opened.
  std::int64_t sizeBytes() const { return info_.sizeBytes; }
  // The facts of the opened file (taken when it was opened).
  const FileInfo& info() const { return info_; }

 private:
  std::string path_;
  int fd_ = -1;
  FileInfo info_;
};

// The permission bits of `path`; throws PlatformError.
std::uint32_t getMode(const std::string& path);
// Puts the permission bits `mode` on `path` (restoring a saved mode); throws PlatformError.
void setMode(const std::string& path, std::uint32_t mode);
// "Set to normal": adds the owner's write permission; returns the mode it had before so
// the caller can restore it. Throws PlatformError.
std::uint32_t makeWritable(const std::string& path);

// Renames `from` to `to` (replacing `to`). Throws PlatformError.
void renameFile(const std::string& from, const std::string& to);
// Deletes the file `path`. Throws PlatformError.
void removeFile(const std::string& path);

// A millisecond counter that only grows (the coarse monotonic clock: a few milliseconds'
// resolution, cheap to read); for measuring intervals.
std::uint64_t tickMs();

// The present moment, seconds since the Unix epoch (with fractions).
double nowSec();

// A point in local time.
struct LocalTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// `epochSec` converted to the local time zone.
LocalTime toLocalTime(std::int64_t epochSec);
// Days since 1970-01-01 of a civil date (proleptic Gregorian); used for whole-day compares.
std::int64_t daysFromCivil(int year, int month, int day);

// The user's short date format (strftime %x, its year written with four digits) and long
// time format (%X) of `t`, in the locale the program selected with setlocale (the "C"
// locale until then).
std::string formatShortDate(const LocalTime& t);
std::string formatLongTime(const LocalTime& t);
// A strftime format with its two-digit years (%y, %Ey, and %D's) made four-digit (%Y, %EY).
std::string fourDigitYears(std::string_view format);
// The locale's decimal separator ("." in the "C" locale).
std::string decimalSeparator();

}  // namespace kestrix::platform
