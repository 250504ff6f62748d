// What the settings controller asks of the window: the stored controls' values, the values
// the window takes from the Settings dialog, its help and its kind of run.
#pragma once

#include <QString>

#include "app/WindowSettings.h"

namespace kestrix::ui {

class SettingsHost {
 public:
  // Reads the stored controls (histories, memos, tab options, filters, active tab).
  virtual void readControls(app::WindowSettings& settings) const = 0;
  // Puts the stored values into the controls.
  virtual void applyControls(const app::WindowSettings& settings) = 0;
  // The editor command of Edit File; empty means the desktop's default editor.
  virtual void setEditorCommand(const QString& command) = 0;
  // True during a command-line run ("-com").
  virtual bool commandLineRun() const = 0;
  virtual void showHelpTopic(const QString& topicPath) = 0;

 protected:
  ~SettingsHost() = default;
};

}  // namespace kestrix::ui
