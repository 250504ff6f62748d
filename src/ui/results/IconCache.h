// Small file icons for the results list, looked up once per file extension.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <string_view>

namespace kestrix::ui {

class IconCache {
 public:
  // The small icon of files named like `fileName`: the icon theme's icon for the MIME type
  // the extension stands for, else the generic file icon. Computed once per extension
  // (case-insensitive); never touches the file itself.
  QIcon icon(std::string_view fileName);
  int size() const { return static_cast<int>(icons_.size()); }

 private:
  QHash<QString, QIcon> icons_;
};

// The lower-cased extension of `fileName` without its dot; empty when it has no dot.
QString extensionKey(std::string_view fileName);

}  // namespace kestrix::ui
