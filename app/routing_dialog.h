#pragma once
// "Poprowadź rury": the choices for piping the plan's heads — which
// section (or all), the section valve, the valve box and the pipe laterals
// start from (sizing then chooses every segment's size).

#include <QDialog>
#include <vector>

#include "hydraulics/pipe_routing.h"

class QComboBox;
class QListWidget;
class QWidget;
class CGraphicPlane;

// The catalogue's pipe types sizing chooses from, each with a check box
// (all checked), shared by the routing and the design dialogs.
QListWidget* pipeTypeList(QWidget* parent);
std::vector<CElem*> checkedPipes(const QListWidget* list);

class CDlgRoute : public QDialog {
  Q_OBJECT
 public:
  CDlgRoute(const CGraphicPlane& doc, QWidget* parent = nullptr);

  QComboBox* section() const { return section_; }
  QComboBox* valve() const { return valve_; }
  QComboBox* box() const { return box_; }
  QListWidget* pipes() const { return pipes_; }
  // The choices as the routing takes them (catalogue and sections set).
  routing::Options options() const;

 private:
  QComboBox* section_;
  QComboBox* valve_;
  QComboBox* box_;
  QListWidget* pipes_;
};
