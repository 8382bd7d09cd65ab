#pragma once
// "Podziel system na sekcje": one row per section (its button, colour and
// "..." for colour and description), adding and deleting sections, and the
// marking mode in which clicks on the plan put objects into the current
// section. Modeless, one at a time, with the open project.

#include <QDialog>
#include <string>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QScrollArea;
class QVBoxLayout;
class CMButton;
class ColourSwatch;
class CProjWnd;

class CDlgSecSel : public QDialog {
  Q_OBJECT
 public:
  CDlgSecSel(CProjWnd& view, QWidget* parent = nullptr);
  ~CDlgSecSel() override;

  // The rows shown, one per section.
  int rowCount() const { return static_cast<int>(rows_.size()); }
  CMButton* rowButton(int i) const { return rows_.at(i).button; }
  ColourSwatch* rowSwatch(int i) const { return rows_.at(i).swatch; }
  QAbstractButton* rowEditButton(int i) const;
  QCheckBox* markingBox() const { return marking_; }
  QScrollArea* rowArea() const { return area_; }
  // Rows shown before the list scrolls.
  static constexpr int kVisibleRows = 20;
  static constexpr int kRowPitch = 23;

 signals:
  // "Parametry hydrauliczne systemu" of the dialog.
  void systemParametersRequested();
  // "Podziel na sekcje automatycznie".
  void autoZonesRequested();
  // The sections changed (the plan and the reports follow).
  void sectionsChanged();

 public slots:
  void addSection();
  void deleteSection();
  // A row's button: its section becomes the current one.
  void chooseRow(int i);
  // A row's "...": the colour dialog, then the description.
  void editRow(int i);
  void setMarking(bool on);
  // The rows again, after the table changed elsewhere.
  void refreshRows() { rebuildRows(0); }

 protected:
  void closeEvent(class QCloseEvent* e) override;
  void reject() override;

 private:
  struct Row {
    CMButton* button = nullptr;
    ColourSwatch* swatch = nullptr;
    class QPushButton* edit = nullptr;
    class QLabel* description = nullptr;
    QWidget* widget = nullptr;
  };
  void showDescription(Row& r, const std::string& desc);
  // Rows for every section of the table, colours from the objects; row
  // `current` checked and current.
  void rebuildRows(int current);
  void fitRows();
  void finish();

  CProjWnd& view_;
  QScrollArea* area_;
  QVBoxLayout* rowsLayout_;
  QCheckBox* marking_;
  std::vector<Row> rows_;
  int savedTool_ = 0;
  int savedSelectMode_ = 0;
  bool markingSaved_ = false;
  bool finished_ = false;
};
