#pragma once
// "Rozmieść zraszacze": rotary sprinklers laid out in an area of the plan.
// The body, the pattern, the spacing as a share of the throw and the working
// pressure; "Podgląd" lays them out, shows them in outline over the plan with
// what the watering analysis gives for them; "Zastosuj" accepts.

#include <QDialog>
#include <functional>
#include <vector>

#include "hydraulics/head_layout.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CGraphicPlane;
class CPrimitive;

class CDlgLayout : public QDialog {
  Q_OBJECT
 public:
  // `preview` shows (or, with an empty list, takes away) the heads over the plan.
  CDlgLayout(const CGraphicPlane& doc, const CPrimitive& area,
             std::function<void(const layout::Result&)> preview, QWidget* parent = nullptr);
  ~CDlgLayout() override;

  QComboBox* bodies() const { return bodies_; }
  QComboBox* pattern() const { return pattern_; }
  QDoubleSpinBox* spacing() const { return spacing_; }
  QLineEdit* pressure() const { return pressure_; }
  QLabel* figures() const { return figures_; }
  const layout::Result& result() const { return result_; }
  const layout::Options& options() const { return options_; }

 public slots:
  // "Podgląd": false (with the reason shown) when nothing can be laid out.
  bool compute();

 private:
  const CGraphicPlane& doc_;
  const CPrimitive& area_;
  std::function<void(const layout::Result&)> preview_;
  layout::Options options_;
  layout::Result result_;
  QComboBox* bodies_;
  QComboBox* pattern_;
  QDoubleSpinBox* spacing_;
  QLineEdit* pressure_;
  QLabel* figures_;
  QPushButton* apply_;
};
