// Per-extension icon look-up through the MIME database and the icon theme.
#include "ui/results/IconCache.h"

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace kestrix::ui {

QString extensionKey(std::string_view fileName) {
  const auto dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return QString();
  const auto ext = fileName.substr(dot + 1);
  return QString::fromUtf8(ext.data(), static_cast<qsizetype>(ext.size())).toLower();
}

QIcon IconCache::icon(std::string_view fileName) {
  const QString key = extensionKey(fileName);
  const auto found = icons_.constFind(key);
  if (found != icons_.constEnd()) return *found;
  QIcon result;
  if (!key.isEmpty()) {
    const QMimeType mime =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + key, QMimeDatabase::MatchExtension);
    result = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
  }
  if (result.isNull()) result = QFileIconProvider().icon(QAbstractFileIconProvider::File);
  icons_.insert(key, result);
  return result;
}

}  // namespace kestrix::ui
