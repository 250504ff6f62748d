// The desktop's type names of files ("Plain text document"), looked up once per
// extension, for the Type column.
#pragma once

#include <QHash>
#include <QString>
#include <string_view>

namespace kestrix::ui {

class TypeNameCache {
 public:
  // The MIME database's description of the type the extension of `fileName` stands for;
  // empty when the extension is unknown or missing. Computed once per extension.
  QString typeName(std::string_view fileName);

  // What the Type column shows: `coreText` unless it is empty or the core's
  // EXT + " File" fallback, in which case the desktop's name when there is one.
  QString displayText(std::string_view fileName, const std::string& coreText);

 private:
  QHash<QString, QString> names_;
};

}  // namespace kestrix::ui
