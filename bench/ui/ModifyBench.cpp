// The modification rows of ui_bench: Modify All over 3 000 files through the real window
// (Search, then Modify All) against `ksr replace` on an identical copy, and the window's
// Preview (until its dialog shows) against `ksr replace --dry-run`, in the same run. The
// two sides alternate which goes first, so that noise from the machine (other processes'
// disk writes above all) hits both alike; wall time, CPU time (user + system), blocks
// written and voluntary context switches (mostly waits for the disk) are reported per side,
// with the medians and the median of the per-run ratios. Modify All is timed with its
// search (as `ksr replace` searches too); Preview from its button, after the search, to its
// first rows painted, over files with 34 changes each (102 000 in all), with its longest
// scroll step (paging through all of it) and its peak resident size over the changed files'
// bytes (goals: 1.5x the dry run's wall time, no step above 50 ms, at most 3x the bytes).
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/modify/ChangeTreeModel.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/PreviewDialog.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/window/TFind.h"

namespace {

constexpr int kModifyFiles = 3000;
constexpr int kPerFolder = 300;

// Every file holds the phrase twice among a dozen other lines; the preview's tree
// (`dense`) holds it 34 times a file: 102 000 changes in all.
void writeTree(const std::string& root, bool dense = false) {
  std::filesystem::remove_all(root);
  const int lines = dense ? 40 : 12;
  for (int i = 0; i < kModifyFiles; ++i) {
    const std::string folder = root + "/d" + std::to_string(i / kPerFolder);
    if (i % kPerFolder == 0) std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/f" + std::to_string(i) + ".txt");
    for (int line = 0; line < lines; ++line) {
      out << "line " << line << " of file " << i << " with some ordinary words\n";
      if (dense ? line < 34 : line % 6 == 3) out << "here is the needle phrase\n";
    }
  }
}

// What one side cost: wall and CPU time in ms, 512-byte blocks written, voluntary context
// switches; and for the window the longest time its event loop did not run.
struct Cost {
  double wallMs = 0;
  double cpuMs = 0;
  double blocksOut = 0;
  double waits = 0;
  double frozenMs = 0;
  double searchMs = 0;     // Preview only: the search before it
  double scrollMs = 0;     // Preview only: the longest scroll step through its changes, painted
  double scrollCpuMs = 0;  // Preview only: the longest scroll step in CPU time
  double changes = 0;      // Preview only: the changes it shows
  double peakMb = 0;       // Preview only: the peak resident size above the one before it
  double memoryRatio = 0;  // Preview only: peakMb over the changed files' total size
};

// The resource use so far of this process (RUSAGE_SELF) or its reaped children.
Cost usageOf(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
  Cost cost;
  cost.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
  cost.blocksOut = static_cast<double>(usage.ru_oublock);
  cost.waits = static_cast<double>(usage.ru_nvcsw);
  return cost;
}

Cost minus(Cost after, const Cost& before) {
  after.cpuMs -= before.cpuMs;
  after.blocksOut -= before.blocksOut;
  after.waits -= before.waits;
  return after;
}

double msSince(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Measures how long the event loop goes without running a 5 ms timer.
class FreezeMeter {
 public:
  FreezeMeter() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      longest_ = std::max(longest_, msSince(sinceTick_));
      sinceTick_.restart();
    });
    sinceTick_.start();
    timer_.start();
  }
  double longestMs() const { return longest_; }

 private:
  QTimer timer_;
  QElapsedTimer sinceTick_;
  double longest_ = 0;
};

Cost runKsr(const QStringList& arguments) {
  Cost cost;
#ifdef KESTRIX_KSR_PATH
  const Cost before = usageOf(RUSAGE_CHILDREN);
  QElapsedTimer timer;
  timer.start();
  QProcess ksr;
  ksr.setStandardOutputFile(QProcess::nullDevice());
  ksr.start(KESTRIX_KSR_PATH, arguments);
  ksr.waitForFinished(-1);
  cost = minus(usageOf(RUSAGE_CHILDREN), before);
  cost.wallMs = msSince(timer);
#else
  (void)arguments;
  cost.wallMs = -1;
#endif
  return cost;
}

QStringList ksrReplace(const std::string& root, bool dryRun) {
  QStringList arguments = {"replace", "--with", "thread phrase", "--masks", "*.txt"};
  if (dryRun) arguments << "--dry-run";
  return arguments << "needle phrase" << QString::fromStdString(root);
}

void prepareWindow(kestrix::ui::TFind& window, const std::string& root) {
  window.PageControl1->setCurrentIndex(kestrix::ui::TFind::SearchReplacePage);
  window.findChild<QComboBox*>("ComboBoxPath")->setEditText(QString::fromStdString(root));
  window.findChild<QComboBox*>("MasksComboBox")->setEditText("*.txt");
  window.replaceTab->PhraseButtonReplace->click();
  window.replaceTab->SearchEdit->setEditText("needle phrase");
  window.replaceTab->ReplaceButton->click();
  window.replaceTab->Edit2->setEditText("thread phrase");
}

// Search, then Modify All, as a user presses them (the same work as `ksr replace`).
Cost runWindowModify(kestrix::ui::TFind& window) {
  const Cost before = usageOf(RUSAGE_SELF);
  FreezeMeter freeze;
  QElapsedTimer timer;
  timer.start();
  window.replaceTab->SearchButton->click();
  QApplication::processEvents();
  window.replaceTab->ModifyAllButton->click();
  QApplication::processEvents();
  Cost cost = minus(usageOf(RUSAGE_SELF), before);
  cost.wallMs = msSince(timer);
  cost.frozenMs = freeze.longestMs();
  return cost;
}

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The longest step of paging through the whole preview with the keyboard (Page Down
// until the last row is current, each step repainted), then a jump to the end and back
// to the top (End, Home), as a user scrolls it.
// `longestCpu`: the same in CPU time of this thread, which other processes do not inflate.
double longestScrollMs(kestrix::ui::PreviewDialog& dialog, double& longestCpu) {
  QTreeView* view = dialog.ChangeView;
  double longest = 0;
  auto step = [&](int key) {
    const QModelIndex was = view->currentIndex();
    QElapsedTimer timer;
    timer.start();
    const double cpu = threadCpuMs();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    view->viewport()->repaint();
    longest = std::max(longest, msSince(timer));
    longestCpu = std::max(longestCpu, threadCpuMs() - cpu);
    return view->currentIndex() != was;
  };
  view->setCurrentIndex(view->model()->index(0, 0));
  while (step(Qt::Key_PageDown)) {
  }
  step(Qt::Key_Home);
  step(Qt::Key_End);
  step(Qt::Key_Home);
  return longest;
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double statusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::atof(line.c_str() + field.size() + 1) * 1024;
  }
  return 0;
}

// The resident size now, with the memory freed so far given back first, and the peak
// from here on reset to it (so that VmHWM then tells the peak of what follows).
double restartPeakRss() {
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return statusBytes("VmRSS");
}

// From pressing Preview to its dialog shown with the model filled and its first rows
// painted, after a search (timed apart in searchMs: `ksr replace --dry-run` searches
// too, the window's user has searched already). Then the scrolling, and the peak of the
// resident size over it all against the changed files' total size.
Cost runWindowPreview(kestrix::ui::TFind& window) {
  QElapsedTimer timer;
  timer.start();
  window.replaceTab->SearchButton->click();
  QApplication::processEvents();
  const double searchMs = msSince(timer);
  const double rssBefore = restartPeakRss();
  const Cost before = usageOf(RUSAGE_SELF);
  Cost cost;
  kestrix::ui::PreviewDialog* dialog = window.modifyController().previewDialog();
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dialog->isVisible()) return;
    dialog->ChangeView->viewport()->repaint();
    cost = minus(usageOf(RUSAGE_SELF), before);
    cost.wallMs = msSince(timer);
    poll.stop();
    cost.scrollMs = longestScrollMs(*dialog, cost.scrollCpuMs);
    cost.changes = static_cast<double>(dialog->changes().totalChanges());
    double changedBytes = 0;
    for (const auto& file : dialog->changes().review().files)
      changedBytes += static_cast<double>(file.stamp.sizeBytes);
    cost.peakMb = (statusBytes("VmHWM") - rssBefore) / 1e6;
    cost.memoryRatio = changedBytes > 0 ? (statusBytes("VmHWM") - rssBefore) / changedBytes : 0;
    dialog->reject();
  });
  timer.restart();
  poll.start();
  window.replaceTab->PreviewButton->click();
  cost.searchMs = searchMs;
  return cost;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The runs of one side.
struct Series {
  std::vector<Cost> runs;
  double median(double Cost::*field) const {
    std::vector<double> v;
    for (const Cost& c : runs) v.push_back(c.*field);
    return ::median(v);
  }
};

// The median over runs of window / ksr - 1 for one measure, in percent.
double pairedExcess(const Series& window, const Series& ksr, double Cost::*field) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < window.runs.size() && i < ksr.runs.size(); ++i) {
    if (ksr.runs[i].*field > 0) ratios.push_back(window.runs[i].*field / (ksr.runs[i].*field));
  }
  return ratios.empty() ? 0 : 100.0 * (median(ratios) - 1);
}

void printSide(const char* name, const Cost& c) {
  std::printf("  %-22s %8.1f ms wall, %7.1f ms cpu, %6.0f blocks out, %5.0f waits", name, c.wallMs,
              c.cpuMs, c.blocksOut, c.waits);
  if (c.frozenMs > 0) std::printf(", event loop stalled %.0f ms at most", c.frozenMs);
  if (c.searchMs > 0) std::printf(" (after a search of %.1f ms)", c.searchMs);
  if (c.scrollMs > 0) {
    std::printf(", scroll step %.1f ms at most (%.1f ms cpu)", c.scrollMs, c.scrollCpuMs);
  }
  if (c.memoryRatio > 0) {
    std::printf(", peak RSS +%.1f MB = %.2fx the changed files' bytes", c.peakMb, c.memoryRatio);
  }
  std::printf("\n");
}

void printComparison(const char* what, const Series& window, const Series& ksr) {
  std::printf("%s, medians of %zu runs:\n", what, window.runs.size());
  Cost w, k;
  for (double Cost::*field :
       {&Cost::wallMs, &Cost::cpuMs, &Cost::blocksOut, &Cost::waits, &Cost::frozenMs,
        &Cost::scrollMs, &Cost::scrollCpuMs, &Cost::peakMb, &Cost::memoryRatio}) {
    w.*field = window.median(field);
    k.*field = ksr.median(field);
  }
  printSide("window", w);
  printSide("ksr", k);
  std::printf("  window over ksr (median of per-run ratios): wall %+.1f%%, cpu %+.1f%%\n",
              pairedExcess(window, ksr, &Cost::wallMs), pairedExcess(window, ksr, &Cost::cpuMs));
}

}  // namespace

void runModifyBench(int runs) {
  QTemporaryDir dir;
  qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());  // ksr keeps its journal there
  // Fresh settings: the window starts as on first use, whatever the user's own settings.
  qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
  const std::string windowTree = dir.path().toStdString() + "/window";
  const std::string ksrTree = dir.path().toStdString() + "/ksr";
  kestrix::ui::TFind window;
  window.resize(1000, 700);
  window.show();
  Series windowModify, ksrModify, windowPreview, ksrPreview;
  for (int run = 0; run < runs; ++run) {
    const bool windowFirst = run % 2 == 0;
    writeTree(windowTree);
    writeTree(ksrTree);
    // The fresh trees go to disk first: the first timed flush would otherwise pay for them.
    ::sync();
    prepareWindow(window, windowTree);
    for (int side = 0; side < 2; ++side) {
      if ((side == 0) == windowFirst) {
        windowModify.runs.push_back(runWindowModify(window));
      } else {
        ksrModify.runs.push_back(runKsr(ksrReplace(ksrTree, false)));
      }
    }
    writeTree(windowTree, true);
    ::sync();
    for (int side = 0; side < 2; ++side) {
      if ((side == 0) == windowFirst) {
        windowPreview.runs.push_back(runWindowPreview(window));
      } else {
        ksrPreview.runs.push_back(runKsr(ksrReplace(windowTree, true)));
      }
    }
    std::printf("modify run %d (%s first):\n", run + 1, windowFirst ? "window" : "ksr");
    printSide("window Modify All", windowModify.runs.back());
    printSide("ksr replace", ksrModify.runs.back());
    printSide("window Preview", windowPreview.runs.back());
    printSide("ksr replace --dry-run", ksrPreview.runs.back());
  }
  std::printf(
      "%d files, %d listed rows; window = Search + Modify All, or Preview until its first rows "
      "are painted (%.0f changes)\n",
      kModifyFiles, window.results->rowCount(), windowPreview.median(&Cost::changes));
  printComparison("Modify All against ksr replace (goal: window <= +15%)", windowModify, ksrModify);
  printComparison(
      "Preview against ksr replace --dry-run (goals: window <= 1.5x, scroll <= 50 ms, memory <= "
      "3x)",
      windowPreview, ksrPreview);
}
