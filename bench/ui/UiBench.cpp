// ui_bench: generates a tree of 50 000 small files, then times the same Phrase search
// through the core alone (in process, and `ksr find` when built) and through the real main
// window on the offscreen platform, from pressing Find to the last row painted.
// Usage: ui_bench [files] [runs] [tree]   (defaults: 50000 files, 3 runs; the median is
// reported). With `tree`, that folder is used and filled only when it does not exist yet.
// Then the modification rows of ModifyBench.cpp (over their own 3 000 files), `runs` times;
// with 0 files only those.
#include <sys/resource.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "search/Find.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/window/TFind.h"

namespace search = kestrix::search;

// The modification rows (ModifyBench.cpp).
void runModifyBench(int runs);

namespace {

constexpr int kFilesPerFolder = 500;

// Every second file holds the phrase once among a dozen other lines.
void generateTree(const std::string& root, int files) {
  for (int i = 0; i < files; ++i) {
    const std::string folder = root + "/d" + std::to_string(i / kFilesPerFolder);
    if (i % kFilesPerFolder == 0) std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/f" + std::to_string(i) + ".txt");
    for (int line = 0; line < 12; ++line) {
      out << "line " << line << " of file " << i << " with some ordinary words\n";
      if (line == 6 && i % 2 == 0) out << "here is the needle phrase\n";
    }
  }
}

search::SearchRequest coreRequest(const std::string& root) {
  search::SearchRequest request;
  request.folder = root;
  request.masksText = "*.txt";
  request.queryType = search::QueryType::Phrase;
  request.queryText = "needle phrase";
  return request;
}

// Keeps the rows as the window does, so both sides build the same items.
class CollectingObserver : public search::SearchObserver {
 public:
  void resultAdded(const search::ResultItem& item) override { items.push_back(item); }
  std::vector<search::ResultItem> items;
};

double timeCore(const std::string& root, std::size_t& rows) {
  QElapsedTimer timer;
  timer.start();
  CollectingObserver observer;
  search::runFind(coreRequest(root), observer);
  rows = observer.items.size();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double timeKsr(const std::string& root) {
#ifdef KESTRIX_KSR_PATH
  QElapsedTimer timer;
  timer.start();
  QProcess ksr;
  ksr.setStandardOutputFile(QProcess::nullDevice());
  ksr.start(KESTRIX_KSR_PATH,
            {"find", "--masks", "*.txt", "needle phrase", QString::fromStdString(root)});
  ksr.waitForFinished(-1);
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
#else
  (void)root;
  return -1;
#endif
}

double timeWindow(kestrix::ui::TFind& window, std::size_t& rows) {
  auto* view = window.findChild<kestrix::ui::ResultsView*>("ListView1");
  auto* button = window.findChild<QPushButton*>("FindButton");
  QElapsedTimer timer;
  timer.start();
  button->click();  // returns when the run has ended
  QApplication::processEvents();
  view->scrollToBottom();
  view->viewport()->repaint();  // the last row is painted
  rows = static_cast<std::size_t>(view->model()->rowCount());
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// CPU time of this process so far (user + system), in ms.
double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
// CPU time (user + system) of the child processes waited for so far, in ms.
double childCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
double sysMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_stime.tv_usec) / 1e3;
}

// Sorting a list of 200 000 rows by a text, a numeric and the Type column (which goes
// through the type-name cache), as header clicks do.
void timeLargeListSorts() {
  kestrix::ui::ResultsModel model;
  kestrix::ui::ResultsView view;
  view.setModel(&model);
  view.resize(900, 500);
  view.show();
  std::vector<search::ResultItem> items(200000);
  for (std::size_t i = 0; i < items.size(); ++i) {
    items[i].name = "file" + std::to_string((i * 7919) % items.size()) + (i % 3 ? ".txt" : ".log");
    items[i].path = "/data/d" + std::to_string(i % 400);
    items[i].hits = {static_cast<std::int64_t>(i % 97)};
    items[i].sizeBytes = static_cast<std::int64_t>((i * 104729) % 1000000);
    items[i].type = i % 3 ? "TXT File" : "LOG File";
  }
  QElapsedTimer timer;
  timer.start();
  model.appendItems(std::move(items));
  QApplication::processEvents();
  std::printf("200000 rows: append %.1f ms", static_cast<double>(timer.nsecsElapsed()) / 1e6);
  for (const char* caption : {"Name", "Size", "Type"}) {
    timer.restart();
    model.sortByColumn(model.columnOf(caption));
    view.viewport()->repaint();
    std::printf(", sort by %s %.1f ms", caption, static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::printf("\n");
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int files = argc > 1 ? std::max(0, std::atoi(argv[1])) : 50000;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  if (files == 0) {
    runModifyBench(runs);
    return 0;
  }
  QTemporaryDir dir;
  const std::string root = argc > 3 ? std::string(argv[3]) : dir.path().toStdString();
  if (argc <= 3 || !std::filesystem::exists(root)) {
    std::printf("generating %d files in %s\n", files, root.c_str());
    generateTree(root, files);
  }

  kestrix::ui::TFind window;
  window.resize(1000, 700);
  window.show();
  window.findChild<QComboBox*>("ComboBoxPath")->setEditText(QString::fromStdString(root));
  window.findChild<QComboBox*>("MasksComboBox")->setEditText("*.txt");
  window.findChild<QComboBox*>("FindEditComboBox")->setEditText("needle phrase");

  std::size_t coreRows = 0, windowRows = 0;
  timeCore(root, coreRows);  // warm the file cache and the window once
  timeWindow(window, windowRows);
  std::vector<double> core, ksr, ui, ksrCpu, uiCpu;
  for (int run = 0; run < runs; ++run) {
    double cpu = cpuMs(), sys = sysMs();
    core.push_back(timeCore(root, coreRows));
    const double coreCpu = cpuMs() - cpu, coreSys = sysMs() - sys;
    const double childCpu = childCpuMs();
    ksr.push_back(timeKsr(root));
    ksrCpu.push_back(childCpuMs() - childCpu);
    cpu = cpuMs();
    sys = sysMs();
    ui.push_back(timeWindow(window, windowRows));
    uiCpu.push_back(cpuMs() - cpu);
    std::printf(
        "run %d: core %.1f ms (cpu %.1f, sys %.1f), ksr %.1f ms (cpu %.1f), window %.1f ms "
        "(cpu %.1f, sys %.1f)\n",
        run + 1, core.back(), coreCpu, coreSys, ksr.back(), ksrCpu.back(), ui.back(), uiCpu.back(),
        sysMs() - sys);
  }
  const double c = median(core), k = median(ksr), w = median(ui);
  std::printf("rows: core %zu, window %zu\n", coreRows, windowRows);
  std::printf("core (in process): %8.1f ms\n", c);
  if (k >= 0) std::printf("ksr find:          %8.1f ms\n", k);
  std::printf("window:            %8.1f ms  (%+.1f%% over the core; goal <= +25%%)\n", w,
              100.0 * (w - c) / c);
  if (k > 0) {
    const double kc = median(ksrCpu), wc = median(uiCpu);
    std::printf("window over ksr find: %+.1f%% wall, %+.1f%% cpu (goal <= +10%%)\n",
                100.0 * (w - k) / k, 100.0 * (wc - kc) / kc);
  }
  timeLargeListSorts();
  runModifyBench(runs);
  return windowRows == coreRows ? 0 : 1;
}
