// The user-facing texts of the modification core and the typed error that carries them.
// The UI decides how to show a message; the core only names its caption and text.
#pragma once

#include <stdexcept>
#include <string>

#include "search/SearchError.h"

namespace kestrix::modify {

// Captions of the message boxes.
using search::kProgramCaption;
using search::kRegexCaption;
inline constexpr const char* kModifyCaption = "Modify";
inline constexpr const char* kEraseBackupCaption = "Erase Backup";

// The notice of a run that kept a ".bak" of the user's instead of overwriting it.
inline constexpr const char* kUsersBackupKept =
    "A \".bak\" file that is not a backup made by this program was kept; the original of its "
    "file went to the undo history instead.";
// The start of the warning that names the temporaries a run could not remove, one a line.
inline constexpr const char* kTemporariesLeft =
    "These temporary files could not be removed; the next run or undo removes them once their "
    "folder allows it:";
// The reason a file fails when another run holds it.
inline constexpr const char* kInUseByAnotherRun = "in use by another run";

// Message texts.
inline constexpr const char* kNoStringToSearch =
    "Please specify the string to search and click Search before modification";
inline constexpr const char* kNoTextToSearch =
    "Please specify the text to search and click Search before modification";
inline constexpr const char* kSelectSomeItems = "Please select some items";
inline constexpr const char* kStringTooLong =
    "The string is too long for the To Replace or Insert field";
inline constexpr const char* kLinesTooLong =
    "The lines are too long for the To Replace or Insert field";
using search::messages::kSpecifyPath;
inline constexpr const char* kTypeIsNone = "The Modification Type is \"None\"";
inline constexpr const char* kIncorrectFile = "Incorrect file";

// A message for the user: the box's caption and its text.
struct UserMessage {
  std::string caption;
  std::string text;
  bool operator==(const UserMessage&) const = default;
};

// An error that ends a modification command; what() is the message text.
class ModifyError : public std::runtime_error {
 public:
  ModifyError(std::string caption, const std::string& text)
      : std::runtime_error(text), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }
  UserMessage message() const { return {caption_, what()}; }

 private:
  std::string caption_;
};

// The work on one file failed; the pass records "Failed Modification" and goes on.
class FileFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user asked to stop; the file being transformed is not written.
struct StopRequested {};

}  // namespace kestrix::modify
