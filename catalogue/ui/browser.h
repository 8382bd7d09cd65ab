#pragma once
// The catalogue browser "Przeglądanie bazy danych": the element names by
// category (and by a search text), one page per element with its data and
// picture, the price of each element with its final price, and the
// catalogue's information texts. Page edits stay in the page; final prices
// are the one lasting change.

#include <QDialog>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
class QVBoxLayout;
class CElem;
class CPartix;

namespace partix {

// The filter code of a category (and its sub-category) and whether an
// element passes a filter code.
int categoryFilterCode(int category, int subcategory);
bool passesFilter(const CElem& e, int filterCode);
// The categories and their sub-categories, as the browser lists them (UTF-8).
const std::vector<std::pair<const char*, std::vector<const char*>>>& browserCategories();

class ElementPage;

// "Edycja ceny końcowej": the result is 0 (cancel), 1 ("OK") or 2 ("Zachowaj").
class CDlgPrice : public QDialog {
 public:
  CDlgPrice(float price, float priceMul, float finalPrice, QWidget* parent = nullptr);
  int result = 0;
  QLineEdit* finalEdit() const { return final_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* keepButton() const { return keep_; }
  std::string enteredText() const;  // Windows-1250

 private:
  QLineEdit* final_;
  QPushButton* ok_;
  QPushButton* keep_;
};

class CDlgBrowser : public QDialog {
 public:
  explicit CDlgBrowser(CPartix& catalogue, QWidget* parent = nullptr);
  ~CDlgBrowser() override;

  QPushButton* filterButton() const { return filter_; }
  QComboBox* categoryList() const { return category_; }
  QComboBox* subcategoryList() const { return subcategory_; }
  QLineEdit* searchEdit() const { return search_; }
  QListWidget* elementList() const { return list_; }
  QTabBar* tabs() const { return tabs_; }
  ElementPage* page() const { return page_.get(); }
  CElem* currentElem() const { return current_; }
  int filterCode() const { return filterCode_; }

  // Fills the list from the catalogue with the filter and the search text.
  void fillList();
  void applyFilter();
  // Shows the page of the list's selected element.
  void showSelected();
  void showInfo();

 private:
  CPartix& cat_;
  QPushButton* filter_;
  QComboBox* category_;
  QComboBox* subcategory_;
  QLineEdit* search_;
  QListWidget* list_;
  QTabBar* tabs_;
  QVBoxLayout* pageBox_;
  std::unique_ptr<ElementPage> page_;
  CElem* current_ = nullptr;
  int filterCode_ = 1000;
};

}  // namespace partix
