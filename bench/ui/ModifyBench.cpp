// The modification rows of ui_bench: Modify All over 3 000 files through the real window
// (Search, then Modify All) against `ksr replace` on an identical copy, and the window's
// Preview (until its dialog shows) against `ksr replace --dry-run`, in the same run.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/ModifyController.h"
#include "ui/PreviewDialog.h"
#include "ui/ResultsModel.h"
#include "ui/SearchReplaceTab.h"
#include "ui/TFind.h"

namespace {

constexpr int kModifyFiles = 3000;
constexpr int kPerFolder = 300;

// Every file holds the phrase twice among a dozen other lines.
void writeTree(const std::string& root) {
  std::filesystem::remove_all(root);
  for (int i = 0; i < kModifyFiles; ++i) {
    const std::string folder = root + "/d" + std::to_string(i / kPerFolder);
    if (i % kPerFolder == 0) std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/f" + std::to_string(i) + ".txt");
    for (int line = 0; line < 12; ++line) {
      out << "line " << line << " of file " << i << " with some ordinary words\n";
      if (line % 6 == 3) out << "here is the needle phrase\n";
    }
  }
}

// CPU time (user + system) of this process, or of its finished children, in ms.
double cpuMsOf(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double msSince(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double timeKsr(const QStringList& arguments) {
#ifdef KESTRIX_KSR_PATH
  QElapsedTimer timer;
  timer.start();
  QProcess ksr;
  ksr.setStandardOutputFile(QProcess::nullDevice());
  ksr.start(KESTRIX_KSR_PATH, arguments);
  ksr.waitForFinished(-1);
  return msSince(timer);
#else
  (void)arguments;
  return -1;
#endif
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
  window.replaceTab->SearchEdit->setEditText("needle phrase");
  window.replaceTab->ReplaceButton->click();
  window.replaceTab->Edit2->setEditText("thread phrase");
}

// Search, then Modify All, as a user presses them; returns {search, modify} in ms.
std::pair<double, double> timeWindowModify(kestrix::ui::TFind& window) {
  QElapsedTimer timer;
  timer.start();
  window.replaceTab->SearchButton->click();
  QApplication::processEvents();
  const double search = msSince(timer);
  timer.restart();
  window.replaceTab->ModifyAllButton->click();
  QApplication::processEvents();
  return {search, msSince(timer)};
}

// From pressing Preview to its dialog shown (the search is made first, untimed).
double timeWindowPreview(kestrix::ui::TFind& window) {
  window.replaceTab->SearchButton->click();
  QElapsedTimer timer;
  double shown = -1;
  QDialog* dialog = window.modifyController().previewDialog();
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dialog->isVisible()) return;
    shown = msSince(timer);
    poll.stop();
    dialog->reject();
  });
  poll.start();
  timer.start();
  window.replaceTab->PreviewButton->click();
  return shown;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

void runModifyBench(int runs) {
  QTemporaryDir dir;
  qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());  // ksr keeps its journal there
  const std::string windowTree = dir.path().toStdString() + "/window";
  const std::string ksrTree = dir.path().toStdString() + "/ksr";
  kestrix::ui::TFind window;
  window.resize(1000, 700);
  window.show();
  std::vector<double> searches, modifies, ksrRuns, previews, dryRuns, windowCpus, ksrCpus;
  for (int run = 0; run < runs; ++run) {
    writeTree(windowTree);
    writeTree(ksrTree);
    // The fresh trees go to disk first: the first timed fsync would otherwise pay for them.
    ::sync();
    prepareWindow(window, windowTree);
    const double windowCpu = cpuMsOf(RUSAGE_SELF);
    const auto [search, modify] = timeWindowModify(window);
    windowCpus.push_back(cpuMsOf(RUSAGE_SELF) - windowCpu);
    searches.push_back(search);
    modifies.push_back(modify);
    const double ksrCpu = cpuMsOf(RUSAGE_CHILDREN);
    ksrRuns.push_back(timeKsr(ksrReplace(ksrTree, false)));
    ksrCpus.push_back(cpuMsOf(RUSAGE_CHILDREN) - ksrCpu);
    writeTree(windowTree);
    ::sync();
    previews.push_back(timeWindowPreview(window));
    dryRuns.push_back(timeKsr(ksrReplace(windowTree, true)));
    std::printf(
        "modify run %d: window search %.1f + Modify All %.1f ms (cpu %.1f), ksr replace %.1f "
        "ms (cpu %.1f); Preview %.1f ms, ksr --dry-run %.1f ms\n",
        run + 1, search, modify, windowCpus.back(), ksrRuns.back(), ksrCpus.back(), previews.back(),
        dryRuns.back());
  }
  const double w = median(searches) + median(modifies), k = median(ksrRuns);
  const double p = median(previews), d = median(dryRuns);
  std::printf("Modify All, %d files (%d listed rows):\n", kModifyFiles, window.results->rowCount());
  std::printf("  window search + Modify All: %8.1f ms (%.1f + %.1f)\n", w, median(searches),
              median(modifies));
  if (k >= 0)
    std::printf("  ksr replace:                %8.1f ms  (window %+.1f%%; goal <= +15%%)\n", k,
                100.0 * (w - k) / k);
  const double wc = median(windowCpus), kc = median(ksrCpus);
  std::printf("  CPU time (user + system):   window %.1f ms, ksr %.1f ms (window %+.1f%%)\n", wc,
              kc, kc > 0 ? 100.0 * (wc - kc) / kc : 0.0);
  std::printf("  Preview until shown:        %8.1f ms\n", p);
  if (d >= 0)
    std::printf("  ksr replace --dry-run:      %8.1f ms  (Preview %.2fx; goal <= 1.5x)\n", d,
                p / d);
}
