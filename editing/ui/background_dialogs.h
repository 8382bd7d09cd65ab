#pragma once
// The background image of a plan: the insert dialog "Właściwości wstawiania
// bitmapy" and the modeless scaling dialog "Skalowanie" that gives the plan
// its drawing scale from two points or a framed scale bar on the image.

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class CGraphicPlane;
class CProjWnd;

// "Właściwości wstawiania bitmapy": the image file and the drawing scale.
class CBmpProp : public QDialog {
  Q_OBJECT
 public:
  CBmpProp(const CGraphicPlane& doc, QWidget* parent = nullptr);

  // The file chosen with "Lokalizuj" (full path and bare name).
  QString chosenPath;
  QString chosenTitle;
  bool chosen = false;
  // What "Wstaw" read: the scale's denominator and the scaling option.
  unsigned scaleDenominator = 100;
  bool scaleFromSegment = false;

  QLineEdit* scaleEdit() const { return scale_; }

 public slots:
  // "Lokalizuj": the question before a second image, then the file dialog.
  void locate();
  // "Wstaw": accepted with a chosen file, else closed; a scale that is not a
  // positive number is refused.
  void accept() override;

 private:
  const CGraphicPlane& doc_;
  QLineEdit* file_;
  QLineEdit* scale_;
  QCheckBox* fromSegment_;
};

// "Skalowanie": tool 97 picks two points, tool 90 frames the scale bar;
// "Skaluj" sets the drawing scale from the measure and the metres typed.
class CDlgScale : public QDialog {
  Q_OBJECT
 public:
  // `resetZoom` puts the view at 100 % with its origin at 0, as the zoom
  // list does.
  CDlgScale(CProjWnd& view, std::function<void()> resetZoom);
  ~CDlgScale() override;

  QLineEdit* metresEdit() const { return metres_; }
  QLineEdit* pointsEdit() const { return points_; }
  QLineEdit* segmentEdit() const { return segment_; }
  QLineEdit* resultEdit() const { return result_; }

 signals:
  // The drawing scale changed ("Skaluj").
  void scaleChanged();

 public slots:
  // "Skaluj": the scale from the measured pixels and the metres typed.
  void scale();
  // "Użyj wyliczoną skalę": the tools end and the dialog closes.
  void finish();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void chooseTool(int tool);

  CProjWnd& view_;
  std::function<void()> resetZoom_;
  QPushButton* twoPoints_;
  QPushButton* frameTool_;
  QLineEdit* points_;
  QLineEdit* segment_;
  QLineEdit* metres_;
  QLineEdit* result_;
  bool finished_ = false;
};
