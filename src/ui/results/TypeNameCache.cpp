// Per-extension type names from the MIME database.
#include "ui/results/TypeNameCache.h"

#include <QMimeDatabase>

#include "ui/results/IconCache.h"

namespace kestrix::ui {

QString TypeNameCache::typeName(std::string_view fileName) {
  const QString key = extensionKey(fileName);
  const auto found = names_.constFind(key);
  if (found != names_.constEnd()) return *found;
  QString name;
  if (!key.isEmpty()) {
    const QMimeType mime =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + key, QMimeDatabase::MatchExtension);
    if (mime.isValid() && !mime.isDefault()) name = mime.comment();
  }
  names_.insert(key, name);
  return name;
}

QString TypeNameCache::displayText(std::string_view fileName, const std::string& coreText) {
  const bool fallback = coreText.empty() || coreText.ends_with(" File");
  if (fallback) {
    QString desktop = typeName(fileName);
    if (!desktop.isEmpty()) return desktop;
  }
  return QString::fromStdString(coreText);
}

}  // namespace kestrix::ui
