// Reading of the window's command line and the checks before a command-line run.
#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace kestrix::app {

namespace {

// Search and replacement texts longer than these are refused (bytes).
constexpr std::size_t kMaxText = 4000;
constexpr std::size_t kMaxLine = 1000;

enum class Switch { None, Com, Shr, LogFile, S1, R1, S2, R2, Folder, Masks, ListFile };

bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The switch `arg` (leading blanks removed) names, or None when it names none the way it
// is written: a flag must stand alone, a switch with "=" must have a value.
Switch switchOf(const std::string& arg) {
  if (arg.size() < 4) return Switch::None;
  const std::string head = lowerAscii(std::string_view(arg).substr(0, 4));
  if (head == "-com" || head == "-shr") {
    if (withoutTrailingBlanks(arg).size() != 4) return Switch::None;
    return head == "-com" ? Switch::Com : Switch::Shr;
  }
  if (arg.size() == 4) return Switch::None;
  static const std::pair<std::string_view, Switch> kValued[] = {
      {"-fr=", Switch::LogFile}, {"-s1=", Switch::S1},      {"-r1=", Switch::R1},
      {"-s2=", Switch::S2},      {"-r2=", Switch::R2},      {"-pt=", Switch::Folder},
      {"-ms=", Switch::Masks},   {"-fs=", Switch::ListFile}};
  for (const auto& [name, kind] : kValued)
    if (head == name) return kind;
  return Switch::None;
}

bool isPathArgument(const std::string& arg) {
  return arg.size() >= 5 && lowerAscii(std::string_view(arg).substr(0, 5)) == "-path";
}

// The switches after the first argument, up to the first empty one, leading blanks removed.
std::vector<std::string> switchArguments(const std::vector<std::string>& args) {
  std::vector<std::string> switches;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string arg = withoutLeadingBlanks(args[i]);
    if (arg.empty()) break;
    switches.push_back(std::move(arg));
  }
  return switches;
}

bool anyLineLonger(const std::vector<std::string>& lines, std::size_t limit) {
  return std::any_of(lines.begin(), lines.end(),
                     [limit](const std::string& line) { return line.size() > limit; });
}

void validate(const CommandRunFields& f, std::vector<std::string>& messages) {
  if (withoutLeadingBlanks(f.folder).empty()) messages.emplace_back("Please specify the Path");
  if (withoutLeadingBlanks(f.masks).empty()) messages.emplace_back("Please specify the Mask");
  if (f.modification == modify::ModificationType::None)
    messages.emplace_back("Modify Type is \"None\"");
  if (!f.phraseSearch && anyLineLonger(f.searchLines, kMaxLine))
    messages.emplace_back("The lines are too long for the To Search field");
  if (f.phraseSearch && f.searchText.size() > kMaxText)
    messages.emplace_back("The string is too long for the To Search field");
  if (f.phraseSearch && f.searchText.empty())
    messages.emplace_back("Please specify the string to search");
  if (!f.phraseSearch && f.searchLines.empty())
    messages.emplace_back("Please specify the text to search");
  if (!modify::usesReplacement(f.modification)) return;
  if (!f.phraseSearch && anyLineLonger(f.replaceLines, kMaxLine))
    messages.emplace_back("The lines are too long for the To Replace or Insert field");
  if (f.phraseSearch && f.replaceText.size() > kMaxText)
    messages.emplace_back("The string is too long for the To Replace or Insert field");
  if (f.phraseSearch && f.replaceText.empty())
    messages.emplace_back("Please specify the string to replace or insert");
  if (!f.phraseSearch && f.replaceLines.empty())
    messages.emplace_back("Please specify the text to replace or insert");
}

}  // namespace

std::string withoutLeadingBlanks(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  return text.substr(i);
}

StartArguments parseStartArguments(const std::vector<std::string>& args) {
  StartArguments start;
  if (args.empty()) return start;
  const std::string first = withoutLeadingBlanks(args[0]);
  if (!isPathArgument(first)) {
    start.kind = StartKind::Project;
    start.projectFile = first;
    return start;
  }
  start.kind = StartKind::CommandLine;
  start.folder = first.size() > 6 ? first.substr(6) : std::string();
  for (const std::string& arg : switchArguments(args)) {
    switch (switchOf(arg)) {
      case Switch::Com:
        start.commandLineRun = true;
        break;
      case Switch::Shr:
        start.showErrors = true;
        break;
      case Switch::LogFile:
        start.logErrors = true;
        start.logFileName = arg.substr(4);
        break;
      default:
        break;
    }
  }
  return start;
}

std::optional<std::string> startFolderOf(const StartArguments& start) {
  if (start.kind != StartKind::CommandLine) return std::nullopt;
  if (start.folder.empty() && !start.commandLineRun) return std::nullopt;
  return start.folder;
}

std::vector<std::string> splitSwitchLines(const std::string& value) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '|') {
      lines.back() += value[i];
    } else if (i + 1 < value.size() && value[i + 1] == '|') {
      lines.back() += '|';
      ++i;
    } else {
      lines.emplace_back();
    }
  }
  return lines;
}

CommandRunPlan planCommandRun(const std::vector<std::string>& args, CommandRunFields current) {
  CommandRunPlan plan;
  plan.fields = std::move(current);
  CommandRunFields& f = plan.fields;
  for (const std::string& arg : switchArguments(args)) {
    const std::string value = arg.size() > 4 ? arg.substr(4) : std::string();
    switch (switchOf(arg)) {
      case Switch::Com:
      case Switch::Shr:
      case Switch::LogFile:
        break;  // read when the window was shown
      case Switch::S1:
        f.searchText = value;
        break;
      case Switch::R1:
        f.replaceText = value;
        break;
      case Switch::S2:
        f.searchLines = splitSwitchLines(value);
        break;
      case Switch::R2:
        f.replaceLines = splitSwitchLines(value);
        break;
      case Switch::Folder:
        f.folder = value;
        break;
      case Switch::Masks:
        f.masks = value;
        break;
      case Switch::ListFile:
        plan.listFile = value;
        break;
      case Switch::None:
        plan.messages.push_back("Incorrect parameter \"" + arg + "\"");
        break;
    }
  }
  validate(f, plan.messages);
  return plan;
}

}  // namespace kestrix::app
