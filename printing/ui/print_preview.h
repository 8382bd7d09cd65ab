#pragma once
// The print preview: a frame of its own with the sheet exactly as it will
// print (grey surround, white paper, the plan at the print scale clipped to
// the margins, the title block and the frame), the toolbar that sets the
// print layout (zoom, line thickness, scale, switches, paper, orientation,
// plan position, margins, print) and the menu of the same choices.

#include <QAbstractScrollArea>
#include <QMainWindow>
#include <QToolBar>
#include <functional>
#include <memory>

#include "platform/canvas.h"
#include "printing/print_layout.h"
#include "printing/title_block.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;
class QToolButton;
class CGraphicPlane;

// The sheet window.
class CPrintPrevWnd : public QAbstractScrollArea {
  Q_OBJECT
 public:
  CPrintPrevWnd(CGraphicPlane& doc, PrintLayout& layout, const platform::Image* background, QWidget* parent = nullptr);

  double zoom() const { return zoom_; }
  // Screen zoom (1.0 shows `pixelsPerCm` screen pixels per centimetre); the
  // scroll positions keep their share of the ranges.
  void setZoom(double z);
  int scale() const { return scale_; }
  void setScale(int n);
  // Screen pixels per centimetre of paper.
  double pixelsPerCm() const;
  // Where the sheet's top-left corner stands in the window.
  QPoint sheetOrigin() const;
  // The window as it is painted now.
  QImage picture();

 signals:
  void zoomChangedByWheel();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void paintSheetOn(QPainter& p);
  void updateRanges();

  CGraphicPlane& doc_;
  PrintLayout& layout_;
  const platform::Image* background_;
  TitleBlockPicture titleBlock_;
  double zoom_ = 1.0;
  int scale_ = 100;
};

// The toolbar of the preview: its controls, wired by the frame.
class CPPrevTool : public QToolBar {
  Q_OBJECT
 public:
  static const int kZoomPercent[13];
  explicit CPPrevTool(QWidget* parent = nullptr);
  QToolButton* zoomIn;
  QToolButton* zoomOut;
  QComboBox* zoomBox;
  QSlider* lines;
  QLineEdit* scaleEdit;
  class QPushButton* setScale;
  QCheckBox* lawnFill;
  QCheckBox* backgroundImage;
  QCheckBox* grid;
  QComboBox* paper;
  QComboBox* orientation;
  class QPushButton* position;
  class QPushButton* margins;
  QToolButton* print;
};

// The preview frame, opened over the main window until "Powrót do projektu".
class CPrintViewFrame : public QMainWindow {
  Q_OBJECT
 public:
  // `print` prints the sheet at the scale given (the preview's), without
  // asking for a scale.
  CPrintViewFrame(CGraphicPlane& doc, std::shared_ptr<const platform::Image> background,
                  std::function<void(int)> print, QWidget* parent = nullptr);
  ~CPrintViewFrame() override;

  CPrintPrevWnd* sheet() const { return sheet_; }
  CPPrevTool* tool() const { return tool_; }
  QAction* command(int id) const;

  // The zoom box's entry of `percent` selected and applied.
  void applyZoomPercent(int percent);
  // The choices of the toolbar and the menu.
  void choosePaper(int index, bool fromUser = true);
  void chooseOrientation(bool portrait);
  void planPosition();
  void setMargins();
  void printSheet();
  // "Ustal skalę": the field's scale for the sheet and the layout.
  void takeScale();
  // The scale dialog of command 32841.
  void askScale();

 signals:
  void closed();

 protected:
  void closeEvent(class QCloseEvent* e) override;

 private:
  void buildMenu();
  void buildTool();
  void syncChecks();
  void repaintSheet();

  CGraphicPlane& doc_;
  PrintLayout& layout_;
  std::shared_ptr<const platform::Image> background_;
  std::function<void(int)> print_;
  CPrintPrevWnd* sheet_ = nullptr;
  CPPrevTool* tool_ = nullptr;
  std::map<int, QAction*> commands_;
  bool settingUp_ = false;
  float penFactorBefore_ = 1.0f;
};
