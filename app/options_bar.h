#pragma once
// The options bar along the top of the frame: the project file buttons,
// print and preview, the grid, snap and ORTO switches, zoom, the edit
// filter and the display check boxes.

#include <QToolBar>
#include <functional>

class QCheckBox;
class QComboBox;
class QToolButton;
class CProjWnd;

class CMainToolBar : public QToolBar {
  Q_OBJECT
 public:
  // `view` gives the open project's plan view, or null.
  CMainToolBar(std::function<CProjWnd*()> view, QWidget* parent = nullptr);

  // The switches of a freshly made or opened project.
  void resetToolbar();
  // Origin 0 and 100 %.
  void resetZoom();
  void zoomIn();
  void zoomOut();
  // Zooms the view to the selected entry of the zoom list.
  void applyZoom();
  void setOrthoButton(bool on);
  void setGridButton(bool on);
  bool isSnapChecked() const;
  // "Wszystko" in the edit filter, applied.
  void selectAllFilter();

  // The zoom factors of the list, in its order.
  static const int kZoomPercent[14];

  QToolButton* button(int id) const;
  QComboBox* zoomList() const { return zoom_; }
  QComboBox* filterList() const { return filter_; }
  QCheckBox* checkBox(int id) const;
  // The bar of "Analiza nawadniania", which the frame places beside the
  // drawing toolbar.
  QToolBar* coverageBar() const { return coverageBar_; }
  // The precipitation map's section: -1 all sections.
  QComboBox* coverageSectionList() const { return coverageSection_; }
  int coverageSection() const;
  // Shows the map of `section` (-1 all), checking "Opad".
  void showCoverage(int section);

 signals:
  // The file buttons' commands: 32771 New, 32772 Open, 32773 Save.
  void command(int id);
  // "Wybierz z listy": the object list window.
  void objectListRequested();
  // "Opad" was switched (the frame's menu item follows).
  void coverageSwitched(bool on);
  // "Ciśnienie" was switched.
  void networkSwitched(bool on);

 private:
  QToolButton* addPictureButton(int id, const QString& picture, const QString& tip, bool checkable);
  QCheckBox* addCheck(int id, const QString& text, const QString& tip);
  void switched(int id, bool on);

  std::function<CProjWnd*()> view_;
  QComboBox* zoom_ = nullptr;
  QComboBox* filter_ = nullptr;
  QComboBox* coverageSection_ = nullptr;
  QToolBar* coverageBar_ = nullptr;
  // Lists "Wszystkie sekcje" and the sections of the open project.
  void refreshCoverageSections();
  void applyCoverage();
};
