// The mask prompt: asks for one file mask for Select and Deselect by mask. Created once
// and reused, so the last mask entered is offered again.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrix::ui {

class TMaskForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMaskForm(QWidget* parent = nullptr);

  // The mask as typed ("*.*" at first; kept between uses, also after Cancel).
  QString mask() const;
  void setMask(const QString& mask);

  QLineEdit* Edit1 = nullptr;
  QLabel* LabelMask = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kestrix::ui
