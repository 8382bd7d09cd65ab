#pragma once
// "Transformuj obiekt": turns and scales an area or a polyline about its
// centre, previewing the outline over the plan while the sliders move.

#include <QDialog>
#include <memory>
#include <vector>

#include "platform/canvas.h"

class QLineEdit;
class QRadioButton;
class QSlider;
class CMUndo;
class CPoly;
class CPrimitive;
class CProjWnd;

class CDlgTransform : public QDialog {
  Q_OBJECT
 public:
  // The shape is hidden from the plan while the dialog is open.
  CDlgTransform(CProjWnd& view, CMUndo& undo, CPoly& shape, QWidget* parent = nullptr);
  ~CDlgTransform() override;

  QSlider* turnSlider() const { return turn_; }
  QSlider* uniformSlider() const { return uniform_; }
  QSlider* xSlider() const { return x_; }
  QSlider* ySlider() const { return y_; }
  QRadioButton* separateButton() const { return separate_; }
  QLineEdit* turnEdit() const { return turnText_; }
  // The outline as the sliders stand (pixels).
  const std::vector<platform::Point>& working() const { return working_; }

 public slots:
  // "Zastosuj": the shape takes the outline, with undo.
  void accept() override;
  // "Wyjdź": the shape stays as it was.
  void reject() override;

 private:
  void preview();
  void restore();

  CProjWnd& view_;
  CMUndo& undo_;
  CPoly& shape_;
  std::unique_ptr<CPrimitive> before_;
  std::vector<platform::Point> working_;
  bool restored_ = false;
  QSlider* turn_;
  QLineEdit* turnText_;
  QRadioButton* uniformButton_;
  QRadioButton* separate_;
  QSlider* uniform_;
  QSlider* x_;
  QSlider* y_;
};
