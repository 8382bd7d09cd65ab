#pragma once
// The catalogue-based lists of the project: the connection set editor
// "Edycja predefiniowanych zestawów połączeniowych" and the extra report
// elements "Dodaj do raportu elementy z bazy danych" with its item dialog
// "Właściwości".

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class CDBSets;
class CElem;
class CGraphicPlane;
class CPartix;
class CExtraReportElements;

// The set editor (modal). Works without a project; with one, deleting a set
// that is placed on the plan deletes its placed objects after a question.
class CDlgEditSets : public QDialog {
  Q_OBJECT
 public:
  CDlgEditSets(CDBSets& sets, CPartix& catalogue, CGraphicPlane* doc, QWidget* parent = nullptr);

  QListWidget* catalogueList() const { return catalogue_; }
  QComboBox* setList() const { return setList_; }
  QListWidget* elementList() const { return elements_; }
  // The record index of the set being edited, or -1.
  int currentSet() const { return current_; }
  // The plan changed (placed sets deleted).
  bool planChanged = false;

 public slots:
  void addSet();
  void deleteSet();
  void addElement();
  void deleteElement();
  // 3 pipes, 4 fittings, -1 both.
  void setFilter(int kind);

 private:
  void fillCatalogue();
  // Lists the sets; the one of record `record` (else the first) is current.
  void fillSets(int record);
  void fillElements();

  CDBSets& sets_;
  CPartix& cat_;
  CGraphicPlane* doc_;
  QLineEdit* search_ = nullptr;
  QListWidget* catalogue_;
  QComboBox* setList_;
  QListWidget* elements_;
  int filter_ = -1;
  int current_ = -1;
};

// "Właściwości" of an extra element: its section and quantity.
class CDlgItemProp : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgItemProp(QWidget* parent = nullptr);
  QComboBox* sectionList() const { return section_; }
  QLineEdit* quantityEdit() const { return quantity_; }
  // After OK: the 0-based section (0xFFFFFF for none) and the quantity.
  int section = -1;
  int quantity = -1;

 public slots:
  void accept() override;

 private:
  QComboBox* section_;
  QLineEdit* quantity_;
};

// "Dodaj do raportu elementy z bazy danych" (modal).
class CDlgAddRepSec : public QDialog {
  Q_OBJECT
 public:
  CDlgAddRepSec(CExtraReportElements& elements, CPartix& catalogue, QWidget* parent = nullptr);

  QComboBox* categoryList() const { return category_; }
  QComboBox* subcategoryList() const { return subcategory_; }
  QCheckBox* filterBox() const { return filter_; }
  QListWidget* catalogueList() const { return catalogue_; }
  QTreeWidget* elementView() const { return view_; }
  // Records were added or removed.
  bool changed = false;

 public slots:
  // "Dodaj": the item dialog, then a record of the chosen element.
  void addElement();
  void removeElement();

 private:
  void fillSubcategories();
  void fillCatalogue();
  void fillView();

  CExtraReportElements& elements_;
  CPartix& cat_;
  QComboBox* category_;
  QComboBox* subcategory_;
  QCheckBox* filter_;
  QListWidget* catalogue_;
  QTreeWidget* view_;
};
