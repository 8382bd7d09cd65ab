#include "app/set_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "app/small_dialogs.h"
#include "partix.h"
#include "document/catalogue_lookup.h"
#include "document/graphic_plane.h"
#include "platform/message_sink.h"
#include "platform/qt_text.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"

using platform::cp;
using platform::toQString;

namespace {

QListWidget* sortedList(const QString& name, QWidget* parent) {
  auto* l = new QListWidget(parent);
  l->setAccessibleName(name);
  l->setSortingEnabled(true);
  return l;
}

QListWidgetItem* elementItem(const CElem* e, const QString& suffix = {}) {
  auto* item = new QListWidgetItem(toQString(elementName(e)) + suffix);
  item->setData(Qt::UserRole, QVariant::fromValue(const_cast<void*>(static_cast<const void*>(e))));
  return item;
}

CElem* itemElement(const QListWidgetItem* item) {
  return item ? static_cast<CElem*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

bool offered(const CElem* e) { return e && e->data && !e->deleted && !e->archived && e->kind < kKindCount; }

}  // namespace

// --- connection sets --------------------------------------------------------------------------

CDlgEditSets::CDlgEditSets(CDBSets& sets, CPartix& catalogue, CGraphicPlane* doc, QWidget* parent)
    : QDialog(parent), sets_(sets), cat_(catalogue), doc_(doc) {
  setWindowTitle(QString::fromUtf8("Edycja predefiniowanych zestawów połączeniowych"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  layout->addLayout(columns);

  auto* left = new QVBoxLayout;
  auto* filter = new QGroupBox("Filtr", this);
  auto* filterRow = new QHBoxLayout(filter);
  const std::pair<const char*, int> filters[] = {{"Rury", kKindPipe}, {"Złączki", kKindFitting}, {"Wszystkie", -1}};
  for (auto [text, kind] : filters) {
    QPushButton* b = namedButton(QString::fromUtf8(text), filter);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setAutoDefault(false);
    b->setChecked(kind == -1);
    filterRow->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, k = kind] { setFilter(k); });
  }
  left->addWidget(filter);
  // Names are found whatever their case and Polish letters.
  search_ = new QLineEdit(this);
  search_->setObjectName("search");
  search_->setAccessibleName("Szukaj");
  search_->setPlaceholderText("Szukaj");
  search_->setClearButtonEnabled(true);
  left->addWidget(search_);
  connect(search_, &QLineEdit::textChanged, this, [this] { fillCatalogue(); });
  left->addWidget(new QLabel("Elementy bazy danych:", this));
  catalogue_ = sortedList("Elementy bazy danych", this);
  catalogue_->setObjectName("list1068");
  catalogue_->setMinimumSize(300, 320);
  left->addWidget(catalogue_, 1);
  columns->addLayout(left, 1);

  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  QPushButton* add = namedButton("->", this);
  add->setAccessibleName(QString::fromUtf8("Dodaj element do zestawu"));
  add->setAutoDefault(false);
  middle->addWidget(add);
  middle->addStretch(1);
  columns->addLayout(middle);

  auto* right = new QVBoxLayout;
  auto* current = new QGroupBox("Aktualnie edytowany zestaw", this);
  auto* currentLayout = new QVBoxLayout(current);
  setList_ = new QComboBox(current);
  setList_->setObjectName("list1022");
  setList_->setAccessibleName("Aktualnie edytowany zestaw");
  setList_->setMinimumContentsLength(24);
  currentLayout->addWidget(setList_);
  elements_ = sortedList("Elementy zestawu", current);
  elements_->setObjectName("list1028");
  elements_->setMinimumSize(300, 240);
  currentLayout->addWidget(elements_, 1);
  right->addWidget(current, 1);
  auto* setButtons = new QGridLayout;
  QPushButton* newSet = namedButton("Dodaj zestaw", this);
  QPushButton* removeSet = namedButton(QString::fromUtf8("Usuń zestaw"), this);
  QPushButton* removeElement = namedButton(QString::fromUtf8("Usuń element"), this);
  for (QPushButton* b : {newSet, removeSet, removeElement}) b->setAutoDefault(false);
  setButtons->addWidget(newSet, 0, 0);
  setButtons->addWidget(removeSet, 0, 1);
  setButtons->addWidget(removeElement, 1, 1);
  right->addLayout(setButtons);
  columns->addLayout(right, 1);

  auto* note = new QLabel(QString::fromUtf8("Nazwy zestawów wyróżnione symbolem \" * \" oznaczają zestawy utworzone w "
                                            "programie. Nazwy zestawów bez wyróżnika oznaczają zestawy użyte w projekcie."),
                          this);
  note->setWordWrap(true);
  layout->addWidget(note);
  addDialogButtons(this, layout, QString::fromUtf8("Wyjście"));

  connect(add, &QPushButton::clicked, this, &CDlgEditSets::addElement);
  connect(newSet, &QPushButton::clicked, this, &CDlgEditSets::addSet);
  connect(removeSet, &QPushButton::clicked, this, &CDlgEditSets::deleteSet);
  connect(removeElement, &QPushButton::clicked, this, &CDlgEditSets::deleteElement);
  connect(setList_, &QComboBox::currentIndexChanged, this, [this](int i) {
    current_ = i < 0 ? -1 : setList_->itemData(i).toInt();
    fillElements();
  });

  fillCatalogue();
  fillSets(-1);
  if (catalogue_->count()) catalogue_->setCurrentRow(0);
}

void CDlgEditSets::setFilter(int kind) {
  filter_ = kind;
  fillCatalogue();
}

void CDlgEditSets::fillCatalogue() {
  catalogue_->clear();
  for (CElem* e = cat_.head; e; e = e->next) {
    if (!offered(e) || (e->kind != kKindPipe && e->kind != kKindFitting)) continue;
    if (filter_ >= 0 && static_cast<int>(e->kind) != filter_) continue;
    if (search_ && !platform::searchMatches(toQString(elementName(e)), search_->text().trimmed())) continue;
    catalogue_->addItem(elementItem(e));
  }
}

void CDlgEditSets::fillSets(int record) {
  QSignalBlocker block(setList_);
  setList_->clear();
  std::vector<std::pair<QString, int>> rows;
  for (int i = 0; i < sets_.size(); ++i) {
    const CDBSetItem& s = sets_.item(i);
    if (s.erased || (s.id == 0 && s.name.empty())) continue;
    rows.push_back({(s.fromProject() ? QString() : QString("*")) + toQString(s.name), i});
  }
  std::sort(rows.begin(), rows.end());
  for (const auto& [text, index] : rows) setList_->addItem(text, index);
  // The set asked for, else the first.
  const int at = setList_->findData(record);
  setList_->setCurrentIndex(rows.empty() ? -1 : std::max(at, 0));
  current_ = setList_->currentIndex() < 0 ? -1 : setList_->currentData().toInt();
  fillElements();
}

void CDlgEditSets::fillElements() {
  elements_->clear();
  if (current_ < 0 || current_ >= sets_.size()) return;
  const CDBSetItem& s = sets_.item(current_);
  for (int slot = 0; slot < s.elemCount(); ++slot) {
    if (s.removed[static_cast<size_t>(slot)] || !s.elems[static_cast<size_t>(slot)]) continue;
    const CElem* e = s.elems[static_cast<size_t>(slot)];
    auto* item = new QListWidgetItem(toQString(elementName(e)) +
                                     (e->archived ? QString::fromUtf8(" - ELEMENT NIEDOSTĘPNY") : QString()));
    item->setData(Qt::UserRole, slot);
    elements_->addItem(item);
  }
}

void CDlgEditSets::addElement() {
  CElem* e = itemElement(catalogue_->currentItem());
  if (current_ < 0 || !e) return;
  sets_.addElement(current_, e);
  fillElements();
}

void CDlgEditSets::deleteElement() {
  const QListWidgetItem* item = elements_->currentItem();
  if (current_ < 0 || !item) return;
  if (sets_.item(current_).fromProject()) {
    const auto a = platform::messages().show(
        {cp("To jest element zestawu używanego w projekcie. Czy na pewno chcesz go usunąć ?"), "Pytanie",
         platform::MessageIcon::Question, platform::MessageButtons::OkCancel});
    if (a != platform::MessageAnswer::Ok) return;
  }
  sets_.removeElement(current_, item->data(Qt::UserRole).toInt());
  fillElements();
}

void CDlgEditSets::addSet() {
  // A set needs a name: the dialog comes back until it has one.
  std::string name;
  while (name.empty()) {
    CDlgTextIn names({}, this);
    names.exec();
    name = names.result;
  }
  // The new set is the one to fill.
  fillSets(sets_.newSet(name));
}

void CDlgEditSets::deleteSet() {
  if (current_ < 0) return;
  const CDBSetItem& s = sets_.item(current_);
  const uint32_t key = static_cast<uint32_t>(s.id);
  const bool placed = doc_ && setUsedOnPlan(*doc_, key);
  if (s.fromProject() || placed) {
    const auto a = platform::messages().show({cp("To jest zestaw używany w projekcie. Czy na pewno chcesz go usunąć?"),
                                              "Pytanie", platform::MessageIcon::Question,
                                              platform::MessageButtons::OkCancel});
    if (a != platform::MessageAnswer::Ok) return;
    if (doc_) {
      for (const auto& o : doc_->objects())
        if (!o->deleted && o->GetType() == kTypeSet && o->kindWord == key) {
          o->deleted = 1;
          planChanged = true;
        }
      if (planChanged && doc_->requestRepaint) doc_->requestRepaint();
    }
  }
  sets_.erase(current_);
  fillSets(-1);
}

// --- extra report elements --------------------------------------------------------------------

namespace {

using ElementTest = std::function<bool(const CElem&)>;

ElementTest ofKind(int kind) {
  return [kind](const CElem& e) { return static_cast<int>(e.kind) == kind; };
}

ElementTest boxes(bool round) {
  return [round](const CElem& e) {
    return e.kind == kKindValveBox && (static_cast<const CStud*>(e.data)->isRound != 0) == round;
  };
}

struct Subcategory {
  const char* name;  // empty for a category without sub-categories
  ElementTest test;
};

struct Category {
  const char* name;
  std::vector<Subcategory> subs;
};

const std::vector<Category>& categories() {
  static const std::vector<Category> table = {
      {"Zraszacze statyczne",
       {{"obudowy", ofKind(6)},
        {"dysze st.„okrąg” nieregulowane", ofKind(19)},
        {"dysze st.„okrąg” regulowane", ofKind(7)},
        {"dysze st.„prostokąt” nieregulowane", ofKind(8)},
        {"dysze rot.„okrąg” nieregulowane", ofKind(20)},
        {"dysze rot.„okrąg” regulowane", ofKind(17)},
        {"dysze rot.„prostokąt” nieregulowane", ofKind(21)}}},
      {"Zraszacze obrotowe", {{"", ofKind(0)}}},
      {"Mikrozraszacze", {{"", ofKind(24)}}},
      {"Mikrozraszacze HADAR", {{"podstawa", ofKind(16)}, {"wkładki zraszające", ofKind(13)}, {"dysze", ofKind(15)}}},
      {"Seria RWS", {{"", ofKind(22)}}},
      {"Linie kroplujące", {{"", ofKind(9)}}},
      {"Sterowniki", {{"", ofKind(1)}}},
      {"Zawory elektromagnetyczne", {{"", ofKind(2)}}},
      {"Czujniki", {{"opadu deszczu", ofKind(14)}, {"wilgotności gleby", ofKind(23)}}},
      {"Filtry", {{"", ofKind(11)}}},
      {"Regulatory ciśnienia", {{"", ofKind(10)}}},
      {"Studzienki", {{"prostokątne", boxes(false)}, {"okrągłe", boxes(true)}}},
      {"Złączki", {{"", ofKind(4)}}},
      {"Rury", {{"", ofKind(3)}}},
      {"Przewody elektryczne", {{"", ofKind(18)}}},
      {"Inne", {{"", ofKind(5)}}},
  };
  return table;
}

QString sectionText(int section) {
  return section == ExtraReportElement::kNoSection ? QString("bez sekcji") : QString("Sekcja %1").arg(section + 1);
}

}  // namespace

CDlgItemProp::CDlgItemProp(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Właściwości"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  section_ = new QComboBox(this);
  section_->setObjectName("list1066");
  section_->setAccessibleName("Sekcja");
  section_->addItem("Bez sekcji", ExtraReportElement::kNoSection);
  const CSectionList& table = ::sectionList();
  for (int i = 0; i < table.count(); ++i) {
    QString text = QString("Sekcja %1 ").arg(i + 1);
    if (!table.item(i).desc.empty()) text += "(" + toQString(table.item(i).desc) + ")";
    section_->addItem(text, i);
  }
  quantity_ = new QLineEdit("1", this);
  quantity_->setObjectName("edit1013");
  quantity_->setAccessibleName(QString::fromUtf8("Ilość"));
  grid->addWidget(new QLabel("Sekcja", this), 0, 0);
  grid->addWidget(section_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("Ilość"), this), 1, 0);
  grid->addWidget(quantity_, 1, 1);
  grid->addWidget(new QLabel("[szt./m]", this), 1, 2);
  layout->addLayout(grid);
  addDialogButtons(this, layout, "OK", "Anuluj");
}

void CDlgItemProp::accept() {
  const int n = static_cast<int>(parseUnsignedText(platform::fromQString(quantity_->text())));
  if (n <= 0) {
    platform::tell(cp("Proszę wpisać wartość większą od 0."), "Informacja", platform::MessageIcon::Warning);
    quantity_->setFocus();
    quantity_->selectAll();
    return;
  }
  quantity = n;
  section = section_->currentData().toInt();
  QDialog::accept();
}

CDlgAddRepSec::CDlgAddRepSec(CExtraReportElements& elements, CPartix& catalogue, QWidget* parent)
    : QDialog(parent), elements_(elements), cat_(catalogue) {
  setWindowTitle("Dodaj do raportu elementy z bazy danych");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  layout->addLayout(columns);
  auto* left = new QVBoxLayout;
  auto* categoriesBox = new QGroupBox("Kategorie", this);
  auto* categoriesLayout = new QGridLayout(categoriesBox);
  category_ = new QComboBox(categoriesBox);
  category_->setObjectName("list1022");
  category_->setAccessibleName("Kategorie");
  for (const Category& c : categories()) category_->addItem(QString::fromUtf8(c.name));
  subcategory_ = new QComboBox(categoriesBox);
  subcategory_->setObjectName("list1041");
  subcategory_->setAccessibleName("podkategoria");
  filter_ = new QCheckBox("Filtruj", categoriesBox);
  filter_->setObjectName("check1065");
  categoriesLayout->addWidget(category_, 0, 0, 1, 2);
  categoriesLayout->addWidget(new QLabel("podkategoria:", categoriesBox), 1, 0);
  categoriesLayout->addWidget(subcategory_, 1, 1);
  categoriesLayout->addWidget(filter_, 2, 0, 1, 2);
  left->addWidget(categoriesBox);
  left->addWidget(new QLabel("Elementy bazy danych:", this));
  catalogue_ = sortedList("Elementy bazy danych", this);
  catalogue_->setObjectName("list1002");
  catalogue_->setMinimumSize(300, 300);
  left->addWidget(catalogue_, 1);
  columns->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  view_ = new QTreeWidget(this);
  view_->setObjectName("list1063");
  view_->setAccessibleName("Elementy dodane do raportu");
  view_->setRootIsDecorated(false);
  view_->setAllColumnsShowFocus(true);
  view_->setHeaderLabels({"Sekcja ", "Nazwa elementu", QString::fromUtf8("Ilość [szt./m]")});
  view_->setColumnWidth(0, 90);
  view_->setColumnWidth(1, 190);
  view_->setColumnWidth(2, 80);
  view_->setMinimumWidth(90 + 190 + 80 + 8);
  right->addWidget(view_, 1);
  auto* buttons = new QHBoxLayout;
  QPushButton* add = namedButton("Dodaj", this);
  QPushButton* remove = namedButton(QString::fromUtf8("Usuń element"), this);
  for (QPushButton* b : {add, remove}) b->setAutoDefault(false);
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch(1);
  right->addLayout(buttons);
  columns->addLayout(right, 1);
  addDialogButtons(this, layout, QString::fromUtf8("Wyjście"));

  connect(category_, &QComboBox::currentIndexChanged, this, [this] {
    fillSubcategories();
    if (filter_->isChecked()) fillCatalogue();
  });
  connect(subcategory_, &QComboBox::currentIndexChanged, this, [this] { fillCatalogue(); });
  connect(filter_, &QCheckBox::toggled, this, [this] { fillCatalogue(); });
  connect(add, &QPushButton::clicked, this, &CDlgAddRepSec::addElement);
  connect(remove, &QPushButton::clicked, this, &CDlgAddRepSec::removeElement);

  fillSubcategories();
  fillCatalogue();
  fillView();
}

void CDlgAddRepSec::fillSubcategories() {
  QSignalBlocker block(subcategory_);
  subcategory_->clear();
  const int c = category_->currentIndex();
  if (c < 0) return;
  for (const Subcategory& s : categories()[static_cast<size_t>(c)].subs)
    if (*s.name) subcategory_->addItem(QString::fromUtf8(s.name));
  subcategory_->setCurrentIndex(subcategory_->count() ? 0 : -1);
}

void CDlgAddRepSec::fillCatalogue() {
  catalogue_->clear();
  const ElementTest* test = nullptr;
  if (filter_->isChecked() && category_->currentIndex() >= 0) {
    const Category& c = categories()[static_cast<size_t>(category_->currentIndex())];
    const int sub = std::max(0, subcategory_->currentIndex());
    if (sub < static_cast<int>(c.subs.size())) test = &c.subs[static_cast<size_t>(sub)].test;
  }
  for (CElem* e = cat_.head; e; e = e->next)
    if (offered(e) && (!test || (*test)(*e))) catalogue_->addItem(elementItem(e));
}

void CDlgAddRepSec::fillView() {
  view_->clear();
  for (const ExtraReportElement& r : elements_.records()) {
    auto* item = new QTreeWidgetItem({sectionText(r.section), toQString(r.name), QString::number(r.quantity, 'f', 0)});
    item->setTextAlignment(2, Qt::AlignCenter);
    view_->addTopLevelItem(item);
  }
}

void CDlgAddRepSec::addElement() {
  CElem* e = itemElement(catalogue_->currentItem());
  if (!e) {
    platform::tell(cp("Najpierw wybierz element z listy."), "Informacja");
    return;
  }
  CDlgItemProp props(this);
  if (props.exec() != QDialog::Accepted || props.quantity <= 0) return;
  if (elements_.add(e, props.section, static_cast<float>(props.quantity)) < 0) return;
  changed = true;
  fillView();
}

void CDlgAddRepSec::removeElement() {
  const int row = view_->indexOfTopLevelItem(view_->currentItem());
  if (row < 0 || !elements_.remove(row)) return;
  changed = true;
  fillView();
}
