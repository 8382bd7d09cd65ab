#pragma once
// "Rozmieść zraszacze": sprinklers laid out in an area of the plan. The body
// (rotary, with its own nozzle rows, or static, with a kind of nozzle or one
// nozzle's series), the pattern, the spacing as a share of the throw, the
// working pressure and whether water may fall on hard surfaces; "Podgląd"
// lays them out and shows them in outline over the plan with what the
// watering analysis gives for them; "Zastosuj" accepts.

#include <QDialog>
#include <functional>
#include <vector>

#include "hydraulics/head_layout.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CGraphicPlane;
class CPrimitive;

class QBoxLayout;
class QFormLayout;

// The choice of a head family and pattern, shared by the layout and the
// design dialogs: the bodies (rotary first, then static), the nozzles of a
// static body (a kind, or one nozzle's series; off for a rotary body, which
// brings its own rows) and the pattern, as rows of `form`.
struct FamilyRows {
  QComboBox* bodies = nullptr;
  QComboBox* nozzles = nullptr;
  QComboBox* pattern = nullptr;
  // The choice, read into the layout's options.
  void read(layout::Options& options) const;
};
FamilyRows addFamilyRows(QFormLayout* form, QWidget* parent);

// The end of a dialog that previews: the figures, then "Podgląd",
// "Zastosuj" (off until a preview; accepts) and "Anuluj" (rejects).
struct PreviewButtons {
  QLabel* figures = nullptr;
  QPushButton* look = nullptr;
  QPushButton* apply = nullptr;
};
PreviewButtons addPreviewButtons(QDialog* dialog, QBoxLayout* layout, int figuresHeight);

class CDlgLayout : public QDialog {
  Q_OBJECT
 public:
  // `preview` shows (or, with a result not ok, takes away) the heads over
  // the plan. `networkPressure` (0 for none) is the pressure the pipes give
  // in the area, the default working pressure where there is one.
  CDlgLayout(const CGraphicPlane& doc, const CPrimitive& area, double networkPressure,
             std::function<void(const layout::Result&, const layout::Options&)> preview, QWidget* parent = nullptr);
  ~CDlgLayout() override;

  QComboBox* bodies() const { return bodies_; }
  QComboBox* nozzles() const { return nozzles_; }
  QComboBox* pattern() const { return pattern_; }
  QDoubleSpinBox* spacing() const { return spacing_; }
  QLineEdit* pressure() const { return pressure_; }
  QCheckBox* throwOver() const { return throwOver_; }
  QLabel* figures() const { return figures_; }
  const layout::Result& result() const { return result_; }
  const layout::Options& options() const { return options_; }

 public slots:
  // "Podgląd": false (with the reason shown) when nothing can be laid out.
  bool compute();

 private:
  void clearPreview();

  const CGraphicPlane& doc_;
  const CPrimitive& area_;
  std::function<void(const layout::Result&, const layout::Options&)> preview_;
  layout::Options options_;
  layout::Result result_;
  QComboBox* bodies_;
  QComboBox* nozzles_;
  QComboBox* pattern_;
  QDoubleSpinBox* spacing_;
  QLineEdit* pressure_;
  QCheckBox* throwOver_;
  QLabel* figures_;
  QPushButton* apply_;
};
