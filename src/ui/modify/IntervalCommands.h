// The modification-interval commands of the menus ("Mark &From", "Mark &To", "Mark &All"
// and "&Unmark All" with their scopes), their enabling when a menu opens, the red "+"
// marker of the lines viewer and the interval text of the second status panel.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "modify/IntervalStatus.h"
#include "ui/modify/ModifyHost.h"

class QMenu;

namespace kestrix::ui {

class ModifyEnableRules;

class IntervalCommands : public QObject {
  Q_OBJECT
 public:
  IntervalCommands(const ModifyContext& context, ModifyEnableRules& rules);

  // Mark From / Mark To on the selected viewer line of the browsed file.
  void markFrom();
  void markTo();
  // Mark All (0/0) or Unmark All (-1/-1) for the browsed file, the selected rows or all.
  using Scope = modify::MarkScope;
  void markAll(Scope scope);
  void unmarkAll(Scope scope);

  // True when intervals limit the current search type and the modify commands are usable
  // (enabled, or parked after a search that is still valid).
  bool intervalsUsable() const;
  // Enables the interval items for the viewer's state and the selection.
  void updateItems();
  // The idle work: the second status panel's interval text and the viewer's marker.
  void updateStatus();

 private:
  void wireMenus();
  void mark(bool from);
  void bulk(Scope scope, bool markAllLines);
  bool markable() const;

  const ModifyContext context_;
  ModifyEnableRules& rules_;
  QTimer idle_;
  bool markerShown_ = false;
  std::int64_t markerFrom_ = 0, markerTo_ = 0;
};

}  // namespace kestrix::ui
