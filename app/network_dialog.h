#pragma once
// "Analiza hydrauliczna sieci": the pipe network of the open project solved
// section by section. A list of the sections; for the one chosen its figures,
// a table of its heads and one of its pipe segments (sorted by any column; a
// double click shows the object on the plan), and what is wrong with it.
// "Dobierz średnice rur" chooses pipe sizes and, once confirmed, puts them
// into the plan as one step of its history. Modeless, one at a time, with
// the open project.

#include <QDialog>
#include <functional>

#include "hydraulics/network.h"
#include "hydraulics/pipe_sizing.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QComboBox;
class CGraphicPlane;

class CDlgNetwork : public QDialog {
  Q_OBJECT
 public:
  // `apply` puts a sizing into the plan (the frame records its history).
  CDlgNetwork(CGraphicPlane& doc, std::function<void(const network::SizingResult&)> apply, QWidget* parent = nullptr);

  QListWidget* sections() const { return sections_; }
  QTreeWidget* heads() const { return heads_; }
  QTreeWidget* pipes() const { return pipes_; }
  QListWidget* warnings() const { return warnings_; }
  QLabel* summary() const { return summary_; }
  const network::Result& result() const { return result_; }
  // The section shown (0-based), -1 when none.
  int currentSection() const;

  // The object a row stands for (its index in the object list).
  static constexpr int kObjectRole = Qt::UserRole + 1;

 public slots:
  // Solves the plan again; false (with a message) when the default diameter
  // is not a number in its range.
  bool recompute();
  // "Dobierz średnice rur".
  void sizePipes();

 signals:
  // A row was double-clicked: show object `index` on the plan.
  void objectChosen(int index);

 private:
  void showSection();

  CGraphicPlane& doc_;
  std::function<void(const network::SizingResult&)> apply_;
  network::Options options_;
  network::Result result_;
  QLineEdit* diameter_;
  QListWidget* sections_;
  QLabel* summary_;
  QTabWidget* tabs_;
  QTreeWidget* heads_;
  QTreeWidget* pipes_;
  QListWidget* warnings_;
};

// "Dobierz średnice rur": the sections to size, the sizes' price before and
// after, and what no catalogue pipe can meet; "Zastosuj" puts them into the
// plan.
class CDlgPipeSizing : public QDialog {
  Q_OBJECT
 public:
  CDlgPipeSizing(const CGraphicPlane& doc, int section, double defaultDiameterMm, QWidget* parent = nullptr);

  QComboBox* scope() const { return scope_; }
  QLabel* costs() const { return costs_; }
  QListWidget* unmet() const { return unmet_; }
  const network::SizingResult& sizing() const { return sizing_; }

 public slots:
  void compute();

 private:
  const CGraphicPlane& doc_;
  double defaultDiameterMm_;
  network::SizingResult sizing_;
  QComboBox* scope_;
  QLabel* costs_;
  QListWidget* unmet_;
  class QPushButton* apply_;
};
