// Parsing of the find options into a SearchRequest.
#include "cli/FindOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/Platform.h"
#include "search/FilterValues.h"
#include "search/QueryLines.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::cli {
namespace {

using search::QueryType;

const std::string& valueOf(const std::vector<std::string>& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError("option " + args[i] + " needs a value");
  return args[++i];
}

QueryType parseType(const std::string& name) {
  for (const search::QueryTypeInfo& info : search::kQueryTypes) {
    if (name == info.cliName) return info.type;
  }
  throw UsageError("unknown query type \"" + name +
                   "\" (phrase, or, and, engine, multiline, regex)");
}

// "N", "NKB" or "NMB": N KB (the default unit) or N MB, as a filter of `kind` that keeps
// the unit given.
search::SizeFilter parseSize(search::SizeFilter::Kind kind, const std::string& value) {
  std::size_t digits = 0;
  while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
  const std::string unit = value.substr(digits);
  const bool kilobytes = unit.empty() || unit == "KB" || unit == "kb";
  const bool megabytes = unit == "MB" || unit == "mb";
  if (digits == 0 || digits > 12 || !(kilobytes || megabytes)) {
    throw UsageError("bad size \"" + value + "\" (N, NKB or NMB)");
  }
  return search::sizeFilterOf(kind == search::SizeFilter::Kind::Maximum,
                              std::stoll(value.substr(0, digits)), megabytes);
}

double parseDays(const std::string& value) {
  char* end = nullptr;
  errno = 0;
  const double days = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || errno != 0 || !std::isfinite(days) || days < 0) {
    throw UsageError("bad number of days \"" + value + "\"");
  }
  return days;
}

// An ISO date YYYY-MM-DD that exists in the calendar.
search::Date parseDate(const std::string& value) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  const bool shaped = value.size() == 10 && value[4] == '-' && value[7] == '-' &&
                      std::sscanf(value.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (!shaped || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] || (m == 2 && d == 29 && !leap)) {
    throw UsageError("bad date \"" + value + "\" (YYYY-MM-DD)");
  }
  return {y, m, d};
}

std::vector<std::string> linesOfFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = platform::readRegularFile(path, kMaxTextFileBytes);  // never /dev/zero or a FIFO
  } catch (const platform::PlatformError& error) {
    throw UsageError(error.what());
  }
  std::vector<std::string> lines;
  text::forEachLine(text::textUntilNul(bytes),
                    [&](const text::Line& line) { lines.emplace_back(line.text); });
  return lines;
}

void setSizeFilter(search::SearchRequest& request, search::SizeFilter::Kind kind,
                   const std::string& value) {
  if (request.sizeFilter) throw UsageError("give only one of --min-size and --max-size");
  request.sizeFilter = parseSize(kind, value);
}

void setDateFilter(search::SearchRequest& request, search::DateFilter filter) {
  if (request.dateFilter) throw UsageError("give only one of --newer-than and --between");
  request.dateFilter = filter;
}

// Options that switch a flag of the request.
bool consumeSwitch(const std::string& arg, FindOptions& o) {
  search::SearchRequest& r = o.request;
  struct Switch {
    const char* name;
    bool* flag;
    bool value;
  };
  const Switch kSwitches[] = {
      {"--case", &r.caseSensitive, true},
      {"--whole-words", &r.wholeWords, true},
      {"--no-subfolders", &r.includeSubfolders, false},
      {"--no-trim-leading", &r.ignoreLeadingSpaces, false},
      {"--no-trim-trailing", &r.ignoreTrailingSpaces, false},
      {"--dot-all", &r.dotMatchesLineSeparators, true},
      {"--extended", &r.ignoreRegexWhitespace, true},
      {"--each-line", &r.searchEachLine, true},
      {"--lines", &o.showLines, true},
      {"--list", &o.listTable, true},
      {"-0", &o.nullEnded, true},
      {"--null", &o.nullEnded, true},
      {"--json", &o.json, true},
      {"--help", &o.help, true},
      {"--version", &o.version, true},
  };
  for (const Switch& s : kSwitches) {
    if (arg == s.name) {
      *s.flag = s.value;
      return true;
    }
  }
  if (arg == "--ignore-subfolders-too") {
    if (!r.ignoredFolders) r.ignoredFolders.emplace();
    r.ignoredFolders->ignoreSubfolders = true;
    return true;
  }
  return false;
}

// --threads N of `ksr find`: 1 to 1024 workers.
unsigned parseThreads(const std::string& value) {
  const bool digits = !value.empty() && value.size() <= 4 &&
                      value.find_first_not_of("0123456789") == std::string::npos;
  const unsigned n = digits ? static_cast<unsigned>(std::stoul(value)) : 0;
  if (n < 1 || n > 1024) throw UsageError("bad number of threads \"" + value + "\" (1 to 1024)");
  return n;
}

// --encoding NAME: one of the legacy code pages offered, named without regard to case.
std::string parseCodePage(const std::string& value) {
  if (const text::CodePageChoice* page = text::findLegacyCodePage(value)) return page->name;
  std::string names;
  for (const text::CodePageChoice& page : text::legacyCodePages()) {
    names += names.empty() ? "" : ", ";
    names += page.name;
  }
  throw UsageError("unknown encoding \"" + value + "\" (one of " + names + ")");
}

}  // namespace

bool consumeFindOption(const std::vector<std::string>& args, std::size_t& i, FindOptions& options) {
  const std::string& arg = args[i];
  search::SearchRequest& r = options.request;
  if (consumeSwitch(arg, options)) return true;
  if (arg == "--type") {
    r.queryType = parseType(valueOf(args, i));
  } else if (arg == "--masks") {
    r.masksText = valueOf(args, i);
  } else if (arg == "--min-size") {
    setSizeFilter(r, search::SizeFilter::Kind::Minimum, valueOf(args, i));
  } else if (arg == "--max-size") {
    setSizeFilter(r, search::SizeFilter::Kind::Maximum, valueOf(args, i));
  } else if (arg == "--newer-than") {
    setDateFilter(r, search::newerThan(parseDays(valueOf(args, i))));
  } else if (arg == "--between") {
    const search::Date first = parseDate(valueOf(args, i));
    setDateFilter(r, search::betweenDates(first, parseDate(valueOf(args, i))));
  } else if (arg == "--ignore-dirs") {
    const bool subfolders = r.ignoredFolders && r.ignoredFolders->ignoreSubfolders;
    r.ignoredFolders = search::IgnoredFolders{linesOfFile(valueOf(args, i)), subfolders};
  } else if (arg == "--ignore-files") {
    r.ignoredFiles = linesOfFile(valueOf(args, i));
  } else if (arg == "--query-file") {
    options.queryFile = valueOf(args, i);
  } else if (arg == "--color" || arg.rfind("--color=", 0) == 0) {
    options.color = parseColorMode(arg == "--color" ? valueOf(args, i) : arg.substr(8));
  } else if (arg == "--report") {
    options.reportFile = valueOf(args, i);
  } else if (arg == "--encoding") {
    r.legacyCodePage = parseCodePage(valueOf(args, i));
  } else {
    return false;
  }
  return true;
}

void setQuery(FindOptions& options, const std::string& query) {
  search::SearchRequest& r = options.request;
  std::vector<std::string> lines;
  if (!options.queryFile.empty()) {
    lines = linesOfFile(options.queryFile);
  } else {
    lines = search::splitQueryLines(query);
  }
  if (search::usesQueryLines(r.queryType)) {
    r.queryLines = std::move(lines);
  } else if (!options.queryFile.empty()) {
    r.queryText = lines.empty() ? std::string() : lines.front();
  } else {
    r.queryText = query;
  }
}

FindOptions parseFindArguments(const std::vector<std::string>& args) {
  FindOptions options;
  options.request.folder.assign(1, '.');  // "." (assign: GCC 12 warns falsely on = ".")
  std::vector<std::string> positional;
  bool onlyPositional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!onlyPositional && args[i] == "--") {
      onlyPositional = true;
    } else if (!onlyPositional && args[i] == "--threads") {
      options.threads = parseThreads(valueOf(args, i));
    } else if (onlyPositional || args[i].size() < 2 || args[i][0] != '-' ||
               !consumeFindOption(args, i, options)) {
      if (!onlyPositional && args[i].size() > 1 && args[i].rfind("--", 0) == 0) {
        throw UsageError("unknown option " + args[i]);
      }
      positional.push_back(args[i]);
    }
  }
  if (options.help || options.version) return options;
  if (options.listTable + options.json + options.nullEnded > 1) {
    throw UsageError("give only one of --list, --json and -0");
  }
  const std::size_t queries = options.queryFile.empty() ? 1 : 0;
  if (positional.size() < queries) throw UsageError("missing QUERY");
  if (positional.size() > queries + 1) throw UsageError("too many arguments");
  setQuery(options, queries ? positional[0] : std::string());
  if (positional.size() > queries) options.request.folder = positional[queries];
  return options;
}

const char* findOptionsHelp() {
  return R"(Find options (ksr find [options] QUERY [FOLDER]; FOLDER defaults to "."):
  --type T              query type: phrase (default), or, and, engine (search-engine
                        syntax: +required -excluded "quoted phrase"), multiline, regex
  --case                compare letter case (default: ignore case)
  --whole-words         count whole words only (phrase, or, and, engine)
  --masks TEXT          file masks separated by ";" (default "*.*"); "*" any run,
                        "?" one character, [a-z] sets, [!x] negated sets
  --no-subfolders       do not search the subfolders
  --min-size N[KB|MB]   only files of at least N KB (1 KB = 1000 bytes; MB = 1000000)
  --max-size N[KB|MB]   only files of at most N KB (or MB)
  --newer-than DAYS     only files written in the last DAYS days (fractions allowed)
  --between DATE DATE   only files written on these days or between (YYYY-MM-DD)
  --ignore-dirs FILE    skip the files of the folders listed in FILE (one pattern a line)
  --ignore-subfolders-too  with --ignore-dirs: skip their subfolders as well
  --ignore-files FILE   skip the files matching the masks listed in FILE (one a line)
  --no-trim-leading     multiline: compare leading blanks and control characters
  --no-trim-trailing    multiline: compare trailing blanks and control characters
  --dot-all             regex: "." matches line separators too
  --extended            regex: ignore whitespace in the expression
  --each-line           regex: always search line by line
  --encoding NAME       the code page of files that are neither UTF-8 nor UTF-16 with a
                        byte-order mark (default Windows-1252; also Windows-1250..1258,
                        ISO-8859-1..11 and 13..16, KOI8-R, KOI8-U, CP866, CP437)
  --query-file FILE     read the query from FILE (multiline/regex: all its lines;
                        other types: its first line); then QUERY is not given
  --lines               also print the found lines of each file as the lines viewer shows them
  --list                print the list as an aligned table (Name, Path, Found, Attributes,
                        Time, Size, Type), lines ended by CR LF
  --report FILE         also write the report page (HTML) of the run to FILE
  -0, --null            end each file name by NUL instead of the TAB-separated line
  --json                one JSON object per line and file: path, found counts, result
  --color WHEN          colour the hits of --lines: auto (on a terminal), always, never
  --threads N           find only: test files on N threads (default: one per processor core)
  --help                show this help
  --version             show the version
A QUERY with line feeds gives a multiline or regex query of several lines. An empty
QUERY lists every file that passes the filters.
Output: one line per listed file, FULLPATH<TAB>FOUND (just FULLPATH without a query), in
walk order; names are not quoted (-0 or --json keep names with a TAB or line feed apart).
Exit status: 0 when a file was listed, 1 when none, 2 on an error (the message goes to
standard error as "CAPTION: TEXT"; a FOLDER that is not a folder gives
"FOLDER: No such folder").
)";
}

}  // namespace kestrix::cli
