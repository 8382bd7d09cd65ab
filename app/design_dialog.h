#pragma once
// "Zaprojektuj automatycznie": the areas to water, the head family, the
// pattern, the capacity share of the sections, the valve and the pipe;
// "Podgląd" works the whole design out and shows it over the plan (heads
// and pipes in their sections' colours) with its figures and the
// estimate's total; "Zastosuj" accepts.

#include <QDialog>
#include <functional>

#include "hydraulics/auto_design.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class CGraphicPlane;
class CPrimitive;

class CDlgDesign : public QDialog {
  Q_OBJECT
 public:
  // `selected` (may be null) is checked in the list of areas; `preview`
  // shows a design over the plan (one not ok takes it away).
  CDlgDesign(const CGraphicPlane& doc, const CPrimitive* selected,
             std::function<void(const design::Result&)> preview, QWidget* parent = nullptr);
  ~CDlgDesign() override;

  QListWidget* areas() const { return areas_; }
  QComboBox* bodies() const { return bodies_; }
  QComboBox* nozzles() const { return nozzles_; }
  QDoubleSpinBox* share() const { return share_; }
  QListWidget* pipes() const { return pipes_; }
  QLabel* figures() const { return figures_; }
  const design::Result& result() const { return result_; }
  const design::Options& options() const { return options_; }

 public slots:
  bool compute();

 private:
  const CGraphicPlane& doc_;
  std::function<void(const design::Result&)> preview_;
  std::vector<const CPrimitive*> candidates_;
  design::Options options_;
  design::Result result_;
  QListWidget* areas_;
  QComboBox* bodies_;
  QComboBox* nozzles_;
  QComboBox* pattern_;
  QDoubleSpinBox* share_;
  QComboBox* valve_;
  QListWidget* pipes_;
  QLabel* figures_;
  QPushButton* apply_;
};
