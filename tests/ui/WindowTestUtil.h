// Helpers of the window tests: temporary file trees, a recorder of warning boxes, and a
// main window ready to drive.
#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/window/MessageBoxes.h"

namespace kestrix::ui::testing {

// Writes `content` to dir/relative, creating folders on the way.
inline void writeFile(const QString& dir, const QString& relative, const QByteArray& content) {
  const QString full = dir + "/" + relative;
  QDir().mkpath(QFileInfo(full).absolutePath());
  QFile file(full);
  QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(full));
  file.write(content);
}

// Records every warning (caption, text) instead of showing a modal box, for its lifetime.
class WarningRecorder {
 public:
  WarningRecorder()
      : previous_(setWarningHandler([this](const QString& caption, const QString& text) {
          warnings.append({caption, text});
        })) {}
  ~WarningRecorder() { setWarningHandler(previous_); }
  WarningRecorder(const WarningRecorder&) = delete;
  WarningRecorder& operator=(const WarningRecorder&) = delete;

  QList<QPair<QString, QString>> warnings;

 private:
  WarningHandler previous_;
};

// Where tests leave artifacts (screenshots): the test's build folder.
inline QString artifactFolder() {
  const QString folder = qEnvironmentVariable("KESTRIX_TEST_TMP");
  return folder.isEmpty() ? QDir::tempPath() : folder;
}

}  // namespace kestrix::ui::testing
