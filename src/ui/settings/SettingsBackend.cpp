// QSettings behind the core's key/value interface, and the choice of the settings place.
#include "ui/settings/SettingsBackend.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include "app/UserSideFiles.h"
#include "platform/Platform.h"

namespace kestrix::ui {

namespace {

QString keyOf(app::Key key, const std::string& name) {
  const QString value = QString::fromStdString(name);
  return key == app::Key::Options ? "Options/" + value : value;
}

}  // namespace

QSettingsStore::QSettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {
  settings_->setAtomicSyncRequired(true);
}

QSettingsStore::~QSettingsStore() = default;

std::optional<std::string> QSettingsStore::read(app::Key key, const std::string& name) const {
  const QVariant value = settings_->value(keyOf(key, name));
  if (!value.isValid()) return std::nullopt;
  // A value edited by hand with unquoted commas reads as a list.
  if (value.typeId() == QMetaType::QStringList)
    return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

void QSettingsStore::write(app::Key key, const std::string& name, const std::string& value) {
  settings_->setValue(keyOf(key, name), QString::fromStdString(value));
}

void QSettingsStore::sync() {
  settings_->sync();
}

void SettingsBackend::sync() {
  if (auto* store = dynamic_cast<QSettingsStore*>(values.get())) store->sync();
}

QString settingsFilePath() {
#ifdef Q_OS_WIN
  return {};
#else
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/Kestrix Search & Replace.conf";
#endif
}

std::shared_ptr<SettingsBackend> openSettingsBackend() {
  auto backend = std::make_shared<SettingsBackend>();
  if (qEnvironmentVariable("KESTRIX_SETTINGS") == "memory") {
    backend->values = std::make_unique<app::MemoryStore>();
    backend->files = std::make_unique<app::MemorySideFiles>();
    return backend;
  }
#ifdef Q_OS_WIN
  auto settings = std::make_unique<QSettings>(
      "HKEY_CURRENT_USER\\Software\\Kestrix Search & Replace", QSettings::NativeFormat);
  backend->values = std::make_unique<QSettingsStore>(std::move(settings));
#else
  // A FIFO, device or huge file in place of the settings file is never read (reading a FIFO
  // would wait forever) nor replaced: this run keeps its settings in memory.
  const QString path = settingsFilePath();
  if (platform::ownFileUsable(path.toStdString(), app::kMaxSettingsBytes)) {
    backend->values =
        std::make_unique<QSettingsStore>(std::make_unique<QSettings>(path, QSettings::IniFormat));
  } else {
    backend->values = std::make_unique<app::MemoryStore>();
  }
#endif
  backend->files = app::userSideFiles();
  return backend;
}

}  // namespace kestrix::ui
