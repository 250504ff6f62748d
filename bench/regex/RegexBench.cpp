// Engine speed: compile time and search throughput over 20 MB of C headers (read from
// /usr/include at start), side by side with PCRE2's interpreter and, for literals, memmem;
// expressions that are exponential for a plain backtracker; a case-insensitive scan of one
// 50 MB line.
#include <benchmark/benchmark.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "regex/RegExpr.h"
#include "regex/Search.h"
#include "text/CodePage.h"

namespace {

constexpr size_t kTextSize = 20u << 20;

// 20 MB of header files in path order, repeated when the folder holds less.
const std::string& corpus() {
  static const std::string text = [] {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             "/usr/include", std::filesystem::directory_options::skip_permission_denied)) {
      if (entry.is_regular_file() && entry.path().extension() == ".h") files.push_back(entry);
    }
    std::sort(files.begin(), files.end());
    std::string all;
    while (all.size() < kTextSize && !files.empty()) {
      for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream buf;
        buf << in.rdbuf();
        all += buf.str();
        if (all.size() >= kTextSize) break;
      }
    }
    all.resize(kTextSize);
    std::replace(all.begin(), all.end(), '\0', ' ');
    return all;
  }();
  return text;
}

struct Pattern {
  const char* name;
  const char* expression;
  bool caseless;
  bool multiline;
};

const Pattern kPatterns[] = {
    {"literal", "namespace", false, false},
    {"caseless_literal", "namespace", true, false},
    {"class_plus_t", "[a-z]+_t", false, false},
    {"five_words", "struct|class|union|enum|typedef", false, false},
    {"line_include", "^#include", false, true},
    {"backref", "(\\w)\\1", false, false},
    {"word_plus_t", "\\w+_t", false, false},
    {"fo_plus_ba_r", "fo+ba?r", false, false},
};

void setCounters(benchmark::State& state, long matches) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTextSize);
  state.counters["matches"] = static_cast<double>(matches);
}

void BM_Kestrix(benchmark::State& state, Pattern p) {
  const std::string& text = corpus();
  kestrix::RegExpr re;
  re.setModifier(1, p.caseless);
  re.setModifier(5, p.multiline);
  re.setExpression(p.expression);
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (bool found = re.exec(text); found; found = re.execNext()) ++matches;
  }
  setCounters(state, matches);
}

void BM_Pcre2(benchmark::State& state, Pattern p) {
  const std::string& text = corpus();
  int error = 0;
  PCRE2_SIZE offset = 0;
  uint32_t options = (p.caseless ? PCRE2_CASELESS : 0) | (p.multiline ? PCRE2_MULTILINE : 0);
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.expression),
                                   PCRE2_ZERO_TERMINATED, options, &error, &offset, nullptr);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    PCRE2_SIZE start = 0;
    while (start <= text.size() && pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()),
                                               text.size(), start, 0, data, nullptr) >= 0) {
      ++matches;
      PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
      start = ov[1] + (ov[0] == ov[1] ? 1 : 0);
    }
  }
  setCounters(state, matches);
  pcre2_match_data_free(data);
  pcre2_code_free(code);
}

void BM_Memmem(benchmark::State& state, Pattern p) {
  const std::string& text = corpus();
  const size_t len = std::strlen(p.expression);
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (const void* hit = memmem(at, end - at, p.expression, len)) {
      ++matches;
      at = static_cast<const char*>(hit) + len;
    }
  }
  setCounters(state, matches);
}

// The corpus cut into lines, as the line-by-line search mode runs the engine.
const std::vector<std::string_view>& corpusLines() {
  static const std::vector<std::string_view> lines = [] {
    std::vector<std::string_view> out;
    std::string_view text = corpus();
    for (size_t start = 0; start < text.size();) {
      size_t end = std::min(text.find('\n', start), text.size());
      out.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return out;
  }();
  return lines;
}

void BM_KestrixLines(benchmark::State& state, Pattern p) {
  kestrix::RegExpr re;
  re.setModifier(1, p.caseless);
  re.setModifier(5, true);
  re.setExpression(p.expression);
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (std::string_view line : corpusLines()) {
      for (bool found = re.exec(line); found; found = re.execNext()) ++matches;
    }
  }
  setCounters(state, matches);
}

void BM_Pcre2Lines(benchmark::State& state, Pattern p) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  uint32_t options = (p.caseless ? PCRE2_CASELESS : 0) | PCRE2_MULTILINE;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.expression),
                                   PCRE2_ZERO_TERMINATED, options, &error, &offset, nullptr);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (std::string_view line : corpusLines()) {
      PCRE2_SIZE start = 0;
      while (start <= line.size() && pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()),
                                                 line.size(), start, 0, data, nullptr) >= 0) {
        ++matches;
        PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
        start = ov[1] + (ov[0] == ov[1] ? 1 : 0);
      }
    }
  }
  setCounters(state, matches);
  pcre2_match_data_free(data);
  pcre2_code_free(code);
}

// Expressions that make a plain backtracker take exponential time, each on a subject
// without a match; "strategy" 1 lets the engine pick (the automaton), 0 forces the
// backtracker with its memo of failed states.
struct Hostile {
  const char* name;
  const char* expression;
  std::string subject;
};

const Hostile kHostile[] = {
    {"dotX_20", ".X(.+)+X", "=X" + std::string(18, '=')},
    {"dotX_25", ".X(.+)+X", "=X" + std::string(23, '=')},
    {"dotX_30", ".X(.+)+X", "=X" + std::string(28, '=')},
    {"a_or_aa_10k", "(a|aa)+$", std::string(10000, 'a')},
    {"a_or_aa_10k_b", "(a|aa)+$", std::string(10000, 'a') + "b"},
    {"xx_plus_y_10k", "(x+x+)+y", std::string(10000, 'x')},
};

void BM_Hostile(benchmark::State& state, const Hostile* h) {
  const auto& codePage = kestrix::text::activeCodePage();
  namespace rx = kestrix::regex;
  rx::Program program =
      rx::compileProgram(rx::parseExpression(h->expression, rx::Modifiers{}, codePage), codePage);
  const std::function<bool()> never;
  rx::Poller poller(never);
  rx::Searcher searcher(program, poller);
  searcher.allowAutomaton(state.range(0) != 0);
  rx::Registers regs{};
  for (auto _ : state) {
    searcher.setSubject(h->subject);
    benchmark::DoNotOptimize(searcher.find(0, regs));
    searcher.fillGroups(regs);
  }
}

// One 50 MB line of lower-case text: a case-insensitive "fo+" never sees an "F".
void BM_CaselessLongLine(benchmark::State& state) {
  std::string line;
  while (line.size() < (50u << 20)) line += "the food of fools is fine, so far ";
  kestrix::RegExpr re;
  re.setModifier(1, true);
  re.setExpression("fo+");
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (bool found = re.exec(line); found; found = re.execNext()) ++matches;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * line.size());
  state.counters["matches"] = static_cast<double>(matches);
}

const char* kCompilePattern = "^\\s*#\\s*(define|include)\\s+([A-Za-z_]\\w*)(\\(.*?\\))?[ \\t]*$";

void BM_CompileKestrix(benchmark::State& state) {
  for (auto _ : state) {
    kestrix::RegExpr re;
    re.setModifier(5, true);
    re.setExpression(kCompilePattern);
    benchmark::DoNotOptimize(re.exec("x"));
  }
}

void BM_CompilePcre2(benchmark::State& state) {
  for (auto _ : state) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kCompilePattern), PCRE2_ZERO_TERMINATED,
                      PCRE2_MULTILINE, &error, &offset, nullptr);
    benchmark::DoNotOptimize(code);
    pcre2_code_free(code);
  }
}

int registerAll() {
  for (const Pattern& p : kPatterns) {
    benchmark::RegisterBenchmark((std::string("Search/") + p.name + "/kestrix").c_str(), BM_Kestrix,
                                 p)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Search/") + p.name + "/pcre2").c_str(), BM_Pcre2, p)
        ->Unit(benchmark::kMillisecond);
    if (std::string(p.name) == "literal") {
      benchmark::RegisterBenchmark((std::string("Search/") + p.name + "/memmem").c_str(), BM_Memmem,
                                   p)
          ->Unit(benchmark::kMillisecond);
    }
  }
  for (const Hostile& h : kHostile) {
    benchmark::RegisterBenchmark((std::string("Hostile/") + h.name).c_str(), BM_Hostile, &h)
        ->ArgName("automaton")
        ->Arg(1)
        ->Arg(0)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("CaselessLongLine/fo_plus", BM_CaselessLongLine)
      ->Unit(benchmark::kMillisecond);
  for (const Pattern& p : {kPatterns[0], kPatterns[2], kPatterns[3], kPatterns[6]}) {
    benchmark::RegisterBenchmark((std::string("Lines/") + p.name + "/kestrix").c_str(),
                                 BM_KestrixLines, p)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Lines/") + p.name + "/pcre2").c_str(), BM_Pcre2Lines,
                                 p)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Compile/kestrix", BM_CompileKestrix);
  benchmark::RegisterBenchmark("Compile/pcre2", BM_CompilePcre2);
  return 0;
}

const int kRegistered = registerAll();

}  // namespace

BENCHMARK_MAIN();
