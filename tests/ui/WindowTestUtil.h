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

// Answers the window's questions in place of the modal boxes, for its lifetime: with
// `answers` in turn, then with the last one; records each question's text.
class QuestionAnswerer {
 public:
  explicit QuestionAnswerer(QList<bool> answers)
      : answers_(std::move(answers)),
        previous_(setQuestionHandler([this](const QString&, const QString& text) {
          questions.append(text);
          return answers_.size() > 1 ? answers_.takeFirst() : answers_.value(0);
        })) {}
  ~QuestionAnswerer() { setQuestionHandler(previous_); }
  QuestionAnswerer(const QuestionAnswerer&) = delete;
  QuestionAnswerer& operator=(const QuestionAnswerer&) = delete;

  QStringList questions;

 private:
  QList<bool> answers_;
  QuestionHandler previous_;
};

// Where tests leave artifacts (screenshots): the test's build folder.
inline QString artifactFolder() {
  const QString folder = qEnvironmentVariable("KESTRIX_TEST_TMP");
  return folder.isEmpty() ? QDir::tempPath() : folder;
}

}  // namespace kestrix::ui::testing
