// Pages written into the data folder, the quoted file's lines and the report's texts.
#include "results/ReportOutput.h"

#include "modify/DataFolder.h"
#include "platform/Platform.h"
#include "results/Pages.h"
#include "text/Lines.h"

namespace kestrix::results {
namespace {

// The data folder's name for a message; empty when even that cannot be told (no home).
std::string dataFolderForMessage() {
  try {
    return modify::dataFolder();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

std::string writeDataPage(const std::string& fileName, std::string_view text) {
  try {
    const std::string path = modify::ensureDataFolder() + "/" + fileName;
    writePageFile(path, text);
    return path;
  } catch (const std::exception&) {
    throw PageError("Cannot open file " + dataFolderForMessage() + "/" + fileName);
  }
}

std::vector<std::string> fileLines(const std::string& path) {
  const std::string bytes = platform::readFile(path);
  std::vector<std::string> lines;
  text::forEachLine(text::textUntilNul(bytes),
                    [&](const text::Line& line) { lines.emplace_back(line.text); });
  return lines;
}

std::string noBrowserText(const std::string& pagePath) {
  return "No web browser could be started to show the page.\nIt was saved as " + pagePath;
}

std::string reportProgressText(std::size_t row, std::size_t count) {
  const int percent = static_cast<int>(static_cast<double>(row) / static_cast<double>(count) * 100);
  return "Processed:  " + std::to_string(percent) + "% files";
}

}  // namespace kestrix::results
