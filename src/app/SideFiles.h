// The side files of the data folder: multi-line texts kept as `MemoFile`s beside the
// settings ("FindMemo.tmp", "SearchMemo.tmp", "ReplaceMemo.tmp", "DirectIgnoreList.tmp",
// "FileIgnoreList.tmp").
//
// MemoFile format: the text's lines, each followed by CR LF, so the file is the text (with
// CR LF breaks) plus one final CR LF; an empty text is a lone CR LF. No header, no count.
// Reading drops that final line break (CR LF, or a lone LF or CR in a file edited by hand).
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace kestrix::app {

inline constexpr const char* kFindMemoFile = "FindMemo.tmp";
inline constexpr const char* kSearchMemoFile = "SearchMemo.tmp";
inline constexpr const char* kReplaceMemoFile = "ReplaceMemo.tmp";
inline constexpr const char* kFolderIgnoreFile = "DirectIgnoreList.tmp";
inline constexpr const char* kFileIgnoreFile = "FileIgnoreList.tmp";

// A side file larger than this is not loaded (its text box keeps what it had) and is never
// overwritten, so a file the window cannot show is not lost either.
inline constexpr std::size_t kMaxSideFileBytes = 1024 * 1024;

// Whole side files by name. Errors are silent.
class SideFiles {
 public:
  virtual ~SideFiles() = default;
  // The bytes of `name`, or nothing when it is missing, unreadable or too large.
  virtual std::optional<std::string> read(const std::string& name) = 0;
  virtual bool exists(const std::string& name) const = 0;
  // Replaces the content of `name`; a failure is dropped.
  virtual void write(const std::string& name, const std::string& bytes) = 0;
};

// Side files in a folder, which is created on the first write. Files are replaced
// atomically: a crash while saving leaves the old or the new content, never a part.
class FolderSideFiles : public SideFiles {
 public:
  explicit FolderSideFiles(std::string folder) : folder_(std::move(folder)) {}
  std::optional<std::string> read(const std::string& name) override;
  bool exists(const std::string& name) const override;
  void write(const std::string& name, const std::string& bytes) override;

 private:
  std::string folder_;
  std::set<std::string> tooLarge_;  // found too large to load: kept as they are
};

// Side files in memory, for tests and for runs that leave the user's files alone.
class MemorySideFiles : public SideFiles {
 public:
  std::optional<std::string> read(const std::string& name) override;
  bool exists(const std::string& name) const override;
  void write(const std::string& name, const std::string& bytes) override;
  std::map<std::string, std::string> files;
};

// The MemoFile bytes of `text`, whose lines are separated by "\n".
std::string encodeMemo(const std::string& text);
// The text (lines separated by "\n") of MemoFile bytes.
std::string decodeMemo(const std::string& bytes);

// The text of side file `name`, or nothing when there is none (the box stays as it was).
std::optional<std::string> readMemo(SideFiles& files, const std::string& name);
// Writes `text` when it has at least one line or the file already exists, so an empty text
// never creates a file.
void writeMemo(SideFiles& files, const std::string& name, const std::string& text);

}  // namespace kestrix::app
