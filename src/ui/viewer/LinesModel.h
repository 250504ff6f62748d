// The lines viewer's model: the entries of the browsed file's FoundLines decoded for
// display, with their hits as display columns.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QMetaType>
#include <QString>
#include <vector>

#include "results/DisplayLines.h"
#include "search/FoundLines.h"
#include "ui/viewer/LineMode.h"

namespace kestrix::ui {

// One hit of a viewer line in display columns (QString positions).
using DisplayHit = results::ColumnHit;
using DisplayHits = QList<DisplayHit>;

class LinesModel : public QAbstractListModel {
  Q_OBJECT
 public:
  enum class Kind { Header, Etc, Line };
  // Qt::DisplayRole gives the decoded text (controls as spaces).
  enum Role {
    KindRole = Qt::UserRole + 1,  // int(Kind)
    HitsRole,                     // DisplayHits
    WholeLineHitRole,             // bool: Multiline entry, drawn fully in the hit colour
    LineNumberRole,               // int: the file line number the entry shows, 0 for none
  };
  static constexpr int kEtcIndex = 5001;

  explicit LinesModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Replaces the lines with those of `lines`: entries decoded (UTF-8 when valid, else
  // Windows-1252), hits moved from byte offsets to display columns and clipped to the
  // text.
  void setFoundLines(const search::FoundLines& lines);
  void clear();
  // Ranges for Multiline entries, Lines otherwise; set by the query-type handlers.
  void setLineMode(LineMode mode);
  LineMode lineMode() const { return lineMode_; }

  QString text(int row) const { return lines_.at(static_cast<size_t>(row)).text; }
  DisplayHits hits(int row) const { return lines_.at(static_cast<size_t>(row)).hits; }
  Kind kind(int row) const;

 private:
  struct Line {
    QString text;
    DisplayHits hits;
    int lineNumber = 0;
  };
  std::vector<Line> lines_;
  LineMode lineMode_ = LineMode::Lines;
};

}  // namespace kestrix::ui

Q_DECLARE_METATYPE(kestrix::ui::DisplayHits)
