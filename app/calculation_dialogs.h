#pragma once
// The designer's calculations: the free pipe calculator "Kalkulator", the
// main and lateral pipe dialogs that take their pipe and consumers from the
// plan, the cable dialog "Parametry kabli", and "Parametry hydrauliczne
// systemu.". What they compute is in the hydraulics model; these show it.

#include <QDialog>
#include <memory>

#include "hydraulics/pipe_calculator.h"
#include "hydraulics/voltage_drop.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;
class CPartix;
class CProjWnd;

// "Kalkulator" (modal): any flow, length, number of outlets and pipe type.
class CDlgCalculator : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgCalculator(CElem* catalogueHead, QWidget* parent = nullptr);
  QComboBox* typeList() const { return types_; }
  QLineEdit* flowEdit() const { return flow_; }
  QLineEdit* lengthEdit() const { return length_; }
  QLineEdit* outletsEdit() const { return outlets_; }
  QLineEdit* dropEdit() const { return drop_; }
  QLineEdit* velocityEdit() const { return velocity_; }

 private:
  PipeCalculator calc_;
  QComboBox* types_;
  QLineEdit* flow_;
  QLineEdit* length_;
  QLineEdit* outlets_;
  QLineEdit* drop_;
  QLineEdit* velocity_;
};

// A modeless dialog that works with a pointing tool on the plan. It ends
// once, by "Zastosuj" or however it is closed, and then goes.
class PlanToolDialog : public QDialog {
  Q_OBJECT
 public:
  PlanToolDialog(CProjWnd& view, QWidget* parent, Qt::WindowFlags flags = {});

 signals:
  // The dialog ended: the plan's tool is what the calculation left.
  void ended();

 public slots:
  // "Zastosuj".
  void apply();

 protected:
  // The calculation's own ending, applied or not; true when the project changed.
  virtual bool finishCalculation(bool applied) = 0;
  // Ends the calculation (derived destructors call it too).
  void end(bool applied);
  void closeEvent(class QCloseEvent* e) override;
  void reject() override;

  CProjWnd& view_;

 private:
  bool ended_ = false;
};

// "Parametry rury głównej" and "Parametry rur bocznych" (modeless, one at a
// time): the pipe and the consumers it feeds are pointed at on the plan.
class CDlgPipeParams : public PlanToolDialog {
  Q_OBJECT
 public:
  CDlgPipeParams(PlanPipeCalculation::Kind kind, CProjWnd& view, CElem* catalogueHead, QWidget* parent = nullptr);
  ~CDlgPipeParams() override;

  PlanPipeCalculation& calculation() { return calc_; }
  QComboBox* typeList() const { return types_; }
  QLineEdit* outletsEdit() const { return outlets_; }
  QLineEdit* flowEdit() const { return flow_; }
  QLineEdit* lengthEdit() const { return length_; }
  QLineEdit* dropEdit() const { return drop_; }
  QLineEdit* velocityEdit() const { return velocity_; }

  void compute();

 protected:
  // Applied: the pointed pipe takes the chosen type. Either way the marks and
  // the pointed pipe are cleared and the select tool is left.
  bool finishCalculation(bool applied) override;

 private:
  PlanPipeCalculation calc_;
  QComboBox* types_;
  QLineEdit* outlets_ = nullptr;
  QLineEdit* count_ = nullptr;
  QLineEdit* flow_;
  QLineEdit* length_;
  QLineEdit* drop_;
  QLineEdit* velocity_;
};

// "Parametry kabli" (a modeless tool window, one at a time).
class CDlgVoltageDrop : public PlanToolDialog {
  Q_OBJECT
 public:
  CDlgVoltageDrop(CProjWnd& view, CElem* catalogueHead, QWidget* parent = nullptr);
  ~CDlgVoltageDrop() override;

  VoltageDropCalculation& calculation() { return calc_; }
  QComboBox* cableList() const { return cables_; }
  QLineEdit* lengthEdit() const { return length_; }
  QLineEdit* dropEdit() const { return drop_; }

  void compute();

 protected:
  // Applied: the pointed cable takes the chosen type. Either way the pointed
  // cable is cleared and no tool is left.
  bool finishCalculation(bool applied) override;

 private:
  VoltageDropCalculation calc_;
  QComboBox* cables_;
  QLineEdit* length_;
  QLineEdit* drop_;
};

// "Parametry hydrauliczne systemu." (modal): the source's pressure and
// capacity, and per section its flow, its devices and a bar of the flow
// against the capacity, red where the section asks more than the source
// gives.
class CDlgSystemParams : public QDialog {
  Q_OBJECT
 public:
  CDlgSystemParams(const class CGraphicPlane& doc, QWidget* parent = nullptr);
  QTreeWidget* sourceList() const { return source_; }
  QTreeWidget* sectionList() const { return sections_; }
  // The share of the capacity each row's bar shows, and whether it is over.
  static constexpr int kShareRole = Qt::UserRole + 1;
  static constexpr int kOverRole = Qt::UserRole + 2;

 private:
  QTreeWidget* source_;
  QTreeWidget* sections_;
};
