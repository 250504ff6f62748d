// Captions and lines of the copy, delete and rename questions; the renamed row.
#include "fileops/Questions.h"

#include "search/Cells.h"

namespace kestrix::fileops {
namespace {

std::string extensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

Question protectedQuestion(const std::string& fullName, bool rename) {
  return {rename ? "Confirm File Rename" : "Confirm File Delete",
          {"The file " + fullName + " is a read-only file.",
           rename ? "Are you sure you want to rename it?" : "Are you sure you want to delete it?"},
          0};
}

Question overwriteQuestion(const std::string& target) {
  return {"Copy Files", {target + " already exists.", "Do you want to replace it?"}, 0};
}

Question deleteQuestion(const std::vector<std::string>& fullNames) {
  if (fullNames.size() == 1)
    return {"Confirm File Delete",
            {"Are you sure you want to send", fullNames.front(), "to the Trash?"},
            1};
  return {"Confirm Multiple File Delete",
          {"Are you sure you want to send these " + std::to_string(fullNames.size()) +
           " files to the Trash?"},
          1};
}

search::ResultItem renamedItem(search::ResultItem item, const std::string& newName) {
  if (extensionOf(item.name) != extensionOf(newName)) item.type = search::typeFallback(newName);
  item.name = newName;
  return item;
}

}  // namespace kestrix::fileops
