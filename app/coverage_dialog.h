#pragma once
// "Analiza nawadniania": the watering analysis of the open project, a row per
// section and one for the whole system (watered area, precipitation, its
// uniformity, water thrown outside the watered areas, run time), with the
// options it is made with and a way to show a row's map on the plan.
// Modeless, one at a time, with the open project.

#include <QDialog>

#include "hydraulics/coverage.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QTreeWidget;
class CGraphicPlane;

class CDlgCoverage : public QDialog {
  Q_OBJECT
 public:
  CDlgCoverage(const CGraphicPlane& doc, const CoverageOptions& options, QWidget* parent = nullptr);

  QTreeWidget* table() const { return table_; }
  const CoverageResult& result() const { return result_; }
  const CoverageOptions& options() const { return options_; }

  // The section a row stands for: -1 for the whole system.
  static constexpr int kSectionRole = Qt::UserRole + 1;

 public slots:
  // Reads the options and analyses the plan again; false (with a message)
  // when an option is not a number in its range.
  bool recompute();

 signals:
  // The options changed: the map on the plan follows them.
  void optionsChanged(const CoverageOptions& options);
  // "Pokaż na planie": the map of the chosen row's section.
  void showMapRequested(int section);

 private:
  void fill();

  const CGraphicPlane& doc_;
  CoverageOptions options_;
  CoverageResult result_;
  QLineEdit* cell_;
  QLineEdit* depth_;
  QSpinBox* runs_;
  class QCheckBox* network_;
  QTreeWidget* table_;
  QLabel* areas_;
};
