#pragma once
// "Poprowadź rury": the choices for piping the plan's heads — which
// section (or all), the section valve, the valve box and the pipe laterals
// start from (sizing then chooses every segment's size).

#include <QDialog>

#include "hydraulics/pipe_routing.h"

class QComboBox;
class CGraphicPlane;

class CDlgRoute : public QDialog {
  Q_OBJECT
 public:
  CDlgRoute(const CGraphicPlane& doc, QWidget* parent = nullptr);

  QComboBox* section() const { return section_; }
  QComboBox* valve() const { return valve_; }
  QComboBox* box() const { return box_; }
  QComboBox* pipe() const { return pipe_; }
  // The choices as the routing takes them (catalogue and sections set).
  routing::Options options() const;

 private:
  QComboBox* section_;
  QComboBox* valve_;
  QComboBox* box_;
  QComboBox* pipe_;
};
