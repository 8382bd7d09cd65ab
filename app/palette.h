#pragma once
// The equipment palette along the right of the frame: one section per kind
// of equipment with its catalogue list and insert button, the pipe and cable
// buttons. The buttons that set a tool form one group, so the active one
// shows pressed. The choices it holds are what the placement tools put on
// the plan.

#include <QWidget>
#include <map>
#include <utility>
#include <vector>

#include "editing/palette_choice.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class CDBSets;
class CPartix;

class CPlovSysToolbar : public QWidget {
  Q_OBJECT
 public:
  CPlovSysToolbar(CPartix& catalogue, CDBSets* sets, QWidget* parent = nullptr);

  PaletteChoice& choice() { return choice_; }
  // Rebuilds the set list: the user's sets with a leading "*", then the
  // project's, none with an unavailable element.
  void refreshSetList(CDBSets* sets);
  // Releases every pressed button.
  void releasePaletteButtons();
  // The list or button of a control id, or null.
  QComboBox* list(int id) const;
  QPushButton* button(int id) const;
  // The nozzle row chosen for the rotary body, shown by its name.
  void setRotaryNozzleRow(int row);
  void setInsertNozzleRow(int row);
  void setStaticNozzle(CElem* nozzle);
  // The palette is taller than most screens: dragging its background moves
  // it up and down along `bar`.
  void setDragBar(class QScrollBar* bar) { dragBar_ = bar; }
  // The folding sections: their headings (toggles) and what they hold.
  int sectionCount() const;
  class QToolButton* sectionHeading(int i) const;
  QWidget* sectionBody(int i) const;
  // Opens sections from the top while the palette fits in `height` pixels
  // and folds the rest; the section of the tool in use stays open.
  void foldToHeight(int height);
  // Folds to the height of `viewport` whenever it changes, until the user
  // folds or opens a section by hand.
  void followHeightOf(QWidget* viewport);

 signals:
  // A tool button was pressed: `buttonId` is the control, `tool` the tool code.
  void toolRequested(int buttonId, int tool);
  // "Dysze" of the rotary sprinklers: the nozzle dialog for the chosen body.
  void rotaryNozzlesRequested();
  // "Dysze" of the HADAR section: the nozzle-size dialog for the chosen insert.
  void insertNozzlesRequested();
  // "Wybierz dyszę" of the static sprinklers.
  void staticNozzleRequested();
  // The pipe calculators (1048 main pipe, 1001 lateral pipes, 1047
  // "Kalkulator") and the cable dialog (1045).
  void dialogRequested(int buttonId);

 private:
  QComboBox* addList(class QVBoxLayout* section, int id, const QString& name);
  QPushButton* addTool(class QLayout* section, int id, const QString& text, int tool, const QString& name);
  QPushButton* addDialogButton(class QLayout* section, int id, const QString& text, const QString& name);
  void fillLists(CPartix& catalogue, CDBSets* sets);
  void listChanged(int id);
  void showFullNames(QComboBox* list);
  void openSectionOf(class QAbstractButton* tool);

  PaletteChoice choice_;
  QButtonGroup* tools_;
  QLineEdit* rotaryRow_ = nullptr;
  QLineEdit* hadarRow_ = nullptr;
  QLineEdit* staticNozzle_ = nullptr;
  class QScrollBar* dragBar_ = nullptr;
  std::vector<std::pair<class QToolButton*, QWidget*>> sections_;
  std::map<const class QAbstractButton*, int> toolSection_;
  class QAbstractButton* pressedChecked_ = nullptr;
  QWidget* viewport_ = nullptr;
  bool userFolded_ = false;
  bool dragging_ = false;
  int pressY_ = 0;
  int pressValue_ = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void mousePressEvent(class QMouseEvent* e) override;
  void mouseMoveEvent(class QMouseEvent* e) override;
  void mouseReleaseEvent(class QMouseEvent* e) override;
};
