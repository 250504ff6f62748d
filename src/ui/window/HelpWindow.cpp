// Shows help topics compiled into the program's resources under ":/help".
#include "ui/window/HelpWindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/window/ScreenScale.h"

// The help pages live in the kestrix_ui library's resources; a static library needs them
// registered explicitly.
static void registerHelpResources() {
  Q_INIT_RESOURCE(kestrix);
}

namespace kestrix::ui {

namespace {
const QString kRoot = QStringLiteral("qrc:/help/");
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  registerHelpResources();
  setObjectName("HelpWindow");
  setWindowTitle("Kestrix Search & Replace Help");
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("HelpBrowser");
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(scaled(640), scaled(560));
}

void HelpWindow::showTopic(const QString& topicPath) {
  // A topic may name an anchor of its page ("Manual/Settings.htm#IgnoreLists").
  const QString page = topicPath.section(u'#', 0, 0);
  const QString path = QFile::exists(":/help/" + page) ? topicPath : QString("Intro.htm");
  browser_->setSource(QUrl(kRoot + path));
  show();
  raise();
  activateWindow();
}

QString HelpWindow::currentTopic() const {
  const QString source = browser_->source().toString();
  return source.startsWith(kRoot) ? source.mid(kRoot.size()) : source;
}

}  // namespace kestrix::ui
