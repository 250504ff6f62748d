// The help window: shows the built-in HTML help topics (Intro.htm, Manual/FindTab.htm,
// Manual/Options.htm, Manual/SearchReplaceTab.htm) by their topic paths.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace kestrix::ui {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the window with `topicPath` (relative to the help root, e.g. "Manual/Options.htm")
  // and brings it to the front. An unknown topic shows Intro.htm.
  void showTopic(const QString& topicPath);
  // The topic path currently shown, e.g. "Intro.htm".
  QString currentTopic() const;
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace kestrix::ui
