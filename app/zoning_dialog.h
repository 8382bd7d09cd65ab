#pragma once
// "Podziel na sekcje automatycznie": the share of the source's capacity a
// section may take, the sections the plan's heads would form (each with its
// family, heads and flow), and "Zastosuj" to put them into the plan.

#include <QDialog>

#include "hydraulics/zoning.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class CGraphicPlane;

class CDlgAutoZones : public QDialog {
  Q_OBJECT
 public:
  CDlgAutoZones(const CGraphicPlane& doc, QWidget* parent = nullptr);

  QDoubleSpinBox* share() const { return share_; }
  QTreeWidget* table() const { return table_; }
  QLabel* note() const { return note_; }
  const zoning::Result& result() const { return result_; }

 public slots:
  void compute();

 private:
  const CGraphicPlane& doc_;
  zoning::Result result_;
  QDoubleSpinBox* share_;
  QTreeWidget* table_;
  QLabel* note_;
  QPushButton* apply_;
};
