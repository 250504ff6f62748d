// viewer/: the lines viewer: found lines of the browsed file, decoded and painted.
// The lines viewer (ListBox1): the found lines of the browsed file under the results list,
// one line per entry in a monospaced font, scrolling horizontally over the widest line.
#pragma once

#include <QListView>
#include <cstdint>

#include "search/FoundLines.h"
#include "ui/viewer/LinesModel.h"

namespace kestrix::ui {

class LinesDelegate;

class LinesViewer : public QListView {
  Q_OBJECT
 public:
  explicit LinesViewer(QWidget* parent = nullptr);

  // Shows `lines` (replacing what was shown) and scrolls to the top.
  void setFoundLines(const search::FoundLines& lines);
  // Empties the viewer.
  void clear();
  // Ranges while the query type is Multiline (entries are line ranges), else Lines.
  void setLineMode(LineMode mode);

  int lineCount() const { return model_->rowCount(); }
  // The found lines shown (empty after clear()), for the pages written from the viewer.
  const search::FoundLines& foundLines() const { return foundLines_; }
  bool hasLines() const { return lineCount() > 0; }
  QString lineText(int row) const { return model_->text(row); }
  DisplayHits hitsOf(int row) const { return model_->hits(row); }

  // The selected line's index, or -1.
  int selectedLine() const;
  // The file line number of the selected line for "%NumLine%": 1 when no line, the header
  // or the Etc line is selected.
  int selectedLineNumber() const;
  void selectLine(int row);

  // The red "+" of lines inside the modification interval [from, to] of the browsed file
  // (0 = top / bottom); the window enables it when intervals are in use.
  void setIntervalMarker(bool enabled, std::int64_t from, std::int64_t to);

  LinesModel* linesModel() const { return model_; }
  LinesDelegate* linesDelegate() const { return delegate_; }
  // Width of the widest line in pixels (the horizontal scroll range).
  int contentWidth() const;

 signals:
  // A line was double-clicked: Edit File.
  void editRequested();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void updateContentWidth();

  LinesModel* model_;
  search::FoundLines foundLines_;
  LinesDelegate* delegate_;
};

// The monospaced font of the viewer: "Courier New" when installed, else the system's fixed
// font.
QFont linesViewerFont();

}  // namespace kestrix::ui
