// Where the window keeps its settings: the value store (QSettings: an INI file in the XDG
// config home on Linux, the registry key on Windows) and the side files of the data folder.
// With KESTRIX_SETTINGS=memory in the environment both live in memory only, so test and
// trial runs neither read nor change the user's settings.
#pragma once

#include <QString>
#include <memory>

#include "app/KeyValueStore.h"
#include "app/SideFiles.h"

class QSettings;

namespace kestrix::ui {

// A key/value store over QSettings: the main key's values at the top level, the `Options`
// values in the group "Options". Writes are kept until sync() or destruction, and the file
// is then replaced atomically.
class QSettingsStore : public app::KeyValueStore {
 public:
  explicit QSettingsStore(std::unique_ptr<QSettings> settings);
  ~QSettingsStore() override;
  std::optional<std::string> read(app::Key key, const std::string& name) const override;
  void write(app::Key key, const std::string& name, const std::string& value) override;
  void sync();

 private:
  std::unique_ptr<QSettings> settings_;
};

// The values and the side files one window and its dialogs share.
struct SettingsBackend {
  std::unique_ptr<app::KeyValueStore> values;
  std::unique_ptr<app::SideFiles> files;
  // Writes pending values out (a no-op in memory).
  void sync();
};

// The user's settings, or memory-only ones when KESTRIX_SETTINGS=memory.
std::shared_ptr<SettingsBackend> openSettingsBackend();

// The settings file on this system (empty on Windows, where the registry is used).
QString settingsFilePath();

}  // namespace kestrix::ui
