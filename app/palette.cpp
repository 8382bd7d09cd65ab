#include "app/palette.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <map>

#include "editing/plan_editor.h"
#include "objects/sprinkler.h"
#include "partix.h"
#include "document/catalogue_lookup.h"
#include "platform/qt_text.h"
#include "sections/connection_sets.h"

namespace {

QString idName(int id) { return QString("ctl%1").arg(id); }

std::string recordName(const CElem* e) { return elementName(e); }

QString rotaryRowName(CElem* body, int row) {
  if (!body) return {};
  CWSprinkler probe;
  probe.elem = body;
  probe.nozzleNo = row;
  return platform::toQString(probe.nozzleName());
}

QString insertRowName(CElem* insert, int row) {
  if (!insert || !insert->data || insert->kind != kKindHadarInsert) return {};
  const auto* w = static_cast<const CWkladka*>(insert->data);
  if (row < 0 || row >= 20) return {};
  return platform::toQString(std::string(w->rows[row].rowName, strnlen(w->rows[row].rowName, sizeof w->rows[row].rowName)));
}

// The lists of the catalogue kinds, by control id.
const std::map<int, std::vector<uint32_t>>& listKinds() {
  static const std::map<int, std::vector<uint32_t>> kinds = {
      {1022, {kKindSprinkler}},  {1025, {kKindValve}},    {1028, {kKindController}}, {1023, {kKindStaticBody}},
      {1030, {kKindHadarInsert}}, {1031, {kKindDripLine}}, {1035, {kKindValveBox}},
      {1039, {kKindRainSensor, kKindSoilSensor}}, {1032, {kKindRws}}, {1033, {kKindMicroSprinkler}}};
  return kinds;
}

}  // namespace

CPlovSysToolbar::CPlovSysToolbar(CPartix& catalogue, CDBSets* sets, QWidget* parent) : QWidget(parent) {
  setObjectName("palette");
  setAccessibleName("Paleta");
  setCursor(Qt::OpenHandCursor);
  tools_ = new QButtonGroup(this);
  tools_->setExclusive(true);
  auto* column = new QVBoxLayout(this);
  column->setSpacing(2);
  // Each kind under a heading that folds, so that the palette works on a
  // laptop's screen; the heading's accessible name is its caption as it is.
  auto section = [&](const QString& heading, const QString& name) {
    auto* toggle = new QToolButton(this);
    toggle->setObjectName(QString("section%1").arg(sections_.size()));
    toggle->setText(heading.simplified());
    toggle->setAccessibleName(name.isEmpty() ? heading : name);
    toggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toggle->setAutoRaise(true);
    toggle->setCheckable(true);
    toggle->setChecked(true);
    toggle->setArrowType(Qt::DownArrow);
    toggle->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont bold = toggle->font();
    bold.setBold(true);
    toggle->setFont(bold);
    auto* body = new QFrame(this);
    body->setObjectName(QString("sectionBody%1").arg(sections_.size()));
    body->setFrameShape(QFrame::StyledPanel);
    auto* l = new QVBoxLayout(body);
    l->setContentsMargins(6, 4, 6, 6);
    column->addWidget(toggle);
    column->addWidget(body);
    // Once the user folds or opens a section, the palette keeps their choice.
    connect(toggle, &QToolButton::clicked, this, [this] { userFolded_ = true; });
    connect(toggle, &QToolButton::toggled, this, [toggle, body](bool open) {
      toggle->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
      body->setVisible(open);
    });
    sections_.push_back({toggle, body});
    return l;
  };
  auto readOnly = [&](QVBoxLayout* l, int id, const QString& name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(idName(id));
    e->setReadOnly(true);
    e->setAccessibleName(name);
    l->addWidget(e);
    return e;
  };

  auto* source = section(QString::fromUtf8("Źródło wody"), {});
  addTool(source, 1011, "Wstaw", kToolWaterSource, QString::fromUtf8("Wstaw źródło wody"));

  auto* statics = section("Zraszacze statyczne", {});
  addList(statics, 1023, "Korpus zraszacza statycznego");
  staticNozzle_ = readOnly(statics, 1053, QString::fromUtf8("Wybrana dysza"));
  QPushButton* pick = addDialogButton(statics, 1054, QString::fromUtf8("Wybierz dyszę"), QString::fromUtf8("Wybierz dyszę"));
  connect(pick, &QPushButton::clicked, this, [this] { emit staticNozzleRequested(); });
  addTool(statics, 1012, "Wstaw", kTypeStaticSprinkler, "Wstaw zraszacz statyczny");

  auto* rotary = section(QString::fromUtf8(" Zraszacze obrotowe"), {});
  addList(rotary, 1022, "Zraszacz obrotowy");
  rotaryRow_ = readOnly(rotary, 1042, "Dysza zraszacza obrotowego");
  QPushButton* nozzles = addDialogButton(rotary, 1006, "Dysze", "Dysze zraszacza obrotowego");
  connect(nozzles, &QPushButton::clicked, this, [this] { emit rotaryNozzlesRequested(); });
  auto* rotaryButtons = new QHBoxLayout;
  rotary->addLayout(rotaryButtons);
  addTool(rotaryButtons, 1015, QString::fromUtf8("Zmień dyszę"), kToolChangeNozzle, QString::fromUtf8("Zmień dyszę"));
  addTool(rotaryButtons, 1007, "Wstaw", kTypeSprinkler, "Wstaw zraszacz obrotowy");

  auto* micro = section("Mikrozraszacze", {});
  addList(micro, 1033, "Mikrozraszacz");
  addTool(micro, 1019, "Wstaw", kTypeMicroSprinkler, "Wstaw mikrozraszacz");

  auto* hadar = section("Mikrozraszacze HADAR", {});
  hadar->addWidget(new QLabel(QString::fromUtf8("Wkładka"), this));
  addList(hadar, 1030, QString::fromUtf8("Wkładka"));
  hadarRow_ = readOnly(hadar, 1043, QString::fromUtf8("Dysza wkładki"));
  QPushButton* sizes = addDialogButton(hadar, 1016, "Dysze", QString::fromUtf8("Dysze wkładki"));
  connect(sizes, &QPushButton::clicked, this, [this] { emit insertNozzlesRequested(); });
  addTool(hadar, 1014, "Wstaw", kTypeMicroHadar, "Wstaw mikrozraszacz HADAR");

  auto* rws = section("Seria RWS", {});
  addList(rws, 1032, "Seria RWS");
  addTool(rws, 1026, "Wstaw", kTypeRws, "Wstaw RWS");

  auto* drip = section(QString::fromUtf8("Linie kroplujące"), {});
  addList(drip, 1031, QString::fromUtf8("Linia kroplująca"));
  auto* dripButtons = new QHBoxLayout;
  drip->addLayout(dripButtons);
  addTool(dripButtons, 1018, "Wstaw", kTypeDripline, QString::fromUtf8("Wstaw linię kroplującą"));
  addTool(dripButtons, 1029, QString::fromUtf8("Zmień typ"), kToolDripType, QString::fromUtf8("Zmień typ linii kroplującej"));

  auto* pipes = section("Rury", {});
  for (auto [id, text] : {std::pair<int, const char*>{1048, "Parametry rury głównej"},
                          {1001, "Parametry rur bocznych"}, {1047, "Kalkulator"}}) {
    QPushButton* b = addDialogButton(pipes, id, QString::fromUtf8(text), QString::fromUtf8(text));
    connect(b, &QPushButton::clicked, this, [this, id] { emit dialogRequested(id); });
  }
  addTool(pipes, 1008, QString::fromUtf8("Rysuj rurę"), kTypePipe, QString::fromUtf8("Rysuj rurę"));

  auto* setsBox = section(QString::fromUtf8("Zestawy połączeniowe"), {});
  addList(setsBox, 1024, QString::fromUtf8("Zestaw połączeniowy"));
  addTool(setsBox, 1009, "Wstaw", kTypeSet, QString::fromUtf8("Wstaw zestaw połączeniowy"));

  auto* boxes = section("Studzienki", {});
  addList(boxes, 1035, "Studzienka");
  addTool(boxes, 1021, "Wstaw", kTypeValveBox, "Wstaw studzienkę");

  auto* valves = section("Zawory elektromagnetyczne", {});
  addList(valves, 1025, QString::fromUtf8("Zawór elektromagnetyczny"));
  addTool(valves, 1010, "Wstaw", kTypeValve, QString::fromUtf8("Wstaw zawór"));

  auto* controllers = section("Sterowniki", {});
  addList(controllers, 1028, "Sterownik");
  addTool(controllers, 1013, "Wstaw", kTypeController, "Wstaw sterownik");

  auto* sensors = section("Czujniki", {});
  addList(sensors, 1039, "Czujnik");
  addTool(sensors, 1038, "Wstaw", kTypeRainSensor, "Wstaw czujnik");

  auto* cables = section("Kable", {});
  QPushButton* cableDialog = addDialogButton(cables, 1045, "Parametry kabli", "Parametry kabli");
  connect(cableDialog, &QPushButton::clicked, this, [this] { emit dialogRequested(1045); });
  addTool(cables, 1017, "Rysuj kabel", kTypeCable, "Rysuj kabel");
  column->addStretch();

  fillLists(catalogue, sets);
}

QComboBox* CPlovSysToolbar::addList(QVBoxLayout* section, int id, const QString& name) {
  auto* list = new QComboBox(this);
  list->setObjectName(idName(id));
  list->setAccessibleName(name);
  list->setMinimumContentsLength(18);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  section->addWidget(list);
  connect(list, &QComboBox::currentIndexChanged, this, [this, id, list] {
    // The full name of what is chosen, when the list is too narrow for it.
    list->setToolTip(list->currentText());
    listChanged(id);
  });
  return list;
}

QPushButton* CPlovSysToolbar::addTool(QLayout* section, int id, const QString& text, int tool, const QString& name) {
  auto* b = new QPushButton(text, this);
  b->setObjectName(idName(id));
  b->setAccessibleName(name);
  b->setCheckable(true);
  tools_->addButton(b, id);
  section->addWidget(b);
  toolSection_[b] = static_cast<int>(sections_.size()) - 1;
  // The tool follows the pressed state however the button came to be pressed
  // (mouse, Space, an accessible action, code); a click on the button already
  // pressed starts its tool afresh.
  connect(b, &QPushButton::pressed, this, [this, b] { pressedChecked_ = b->isChecked() ? b : nullptr; });
  connect(b, &QPushButton::toggled, this, [this, b, id, tool](bool on) {
    if (!on) return;
    openSectionOf(b);
    emit toolRequested(id, tool);
  });
  connect(b, &QPushButton::clicked, this, [this, b, id, tool] {
    const bool again = pressedChecked_ == b && b->isChecked();
    pressedChecked_ = nullptr;
    if (again) emit toolRequested(id, tool);
  });
  return b;
}

// A button that opens a window.
QPushButton* CPlovSysToolbar::addDialogButton(QLayout* section, int id, const QString& text, const QString& name) {
  auto* b = new QPushButton(text, this);
  b->setObjectName(idName(id));
  b->setAccessibleName(name);
  section->addWidget(b);
  return b;
}

QComboBox* CPlovSysToolbar::list(int id) const { return findChild<QComboBox*>(idName(id)); }
QPushButton* CPlovSysToolbar::button(int id) const { return findChild<QPushButton*>(idName(id)); }

void CPlovSysToolbar::fillLists(CPartix& catalogue, CDBSets* sets) {
  std::map<int, std::vector<std::pair<QString, CElem*>>> entries;
  for (CElem* e = catalogue.head; e; e = e->next) {
    if (e->archived || !e->data) continue;
    if (e->kind == kKindHadarBase) choice_.hadarBase = e;  // the last one wins
    for (const auto& [id, kinds] : listKinds())
      if (std::find(kinds.begin(), kinds.end(), e->kind) != kinds.end())
        entries[id].push_back({platform::toQString(recordName(e)), e});
  }
  for (const auto& [id, kinds] : listKinds()) {
    (void)kinds;
    auto& rows = entries[id];
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
    QComboBox* l = list(id);
    QSignalBlocker block(l);
    l->clear();
    for (const auto& [text, e] : rows) l->addItem(text, QVariant::fromValue(static_cast<void*>(e)));
    l->setCurrentIndex(rows.empty() ? -1 : 0);
    showFullNames(l);
    listChanged(id);
  }
  // At start the set list shows the names as they are.
  if (QComboBox* l = list(1024)) {
    QSignalBlocker block(l);
    l->clear();
    for (int i = 0; sets && i < sets->size(); ++i) {
      const CDBSetItem& s = sets->item(i);
      const auto avail = s.availableElements();
      const bool archived = std::any_of(avail.begin(), avail.end(), [](CElem* e) { return e && e->archived; });
      if (s.erased || archived) continue;
      l->addItem(platform::toQString(s.name), s.id);
    }
    l->setCurrentIndex(l->count() ? 0 : -1);
    showFullNames(l);
    listChanged(1024);
  }
  choice_.rotaryNozzleRow = 0;
  choice_.hadarInsertRow = 0;
  choice_.staticNozzle = nullptr;
  staticNozzle_->clear();
}

void CPlovSysToolbar::refreshSetList(CDBSets* sets) {
  QComboBox* l = list(1024);
  QSignalBlocker block(l);
  l->clear();
  for (int pass = 0; pass < 2 && sets; ++pass) {
    for (int i = 0; i < sets->size(); ++i) {
      const CDBSetItem& s = sets->item(i);
      if (s.erased || (pass == 0) != (s.id >= 0)) continue;
      const auto avail = s.availableElements();
      if (std::any_of(avail.begin(), avail.end(), [](CElem* e) { return e && e->archived; })) continue;
      l->addItem((pass == 0 ? "*" : "") + platform::toQString(s.name), s.id);
    }
  }
  l->setCurrentIndex(l->count() ? 0 : -1);
  showFullNames(l);
  listChanged(1024);
}

void CPlovSysToolbar::showFullNames(QComboBox* l) {
  // Every entry carries its full name as its tooltip, and the open list is
  // as wide as the longest name needs.
  int widest = 0;
  const QFontMetrics metrics(l->view()->font());
  for (int i = 0; i < l->count(); ++i) {
    const QString text = l->itemText(i);
    l->setItemData(i, text, Qt::ToolTipRole);
    widest = std::max(widest, metrics.horizontalAdvance(text));
  }
  l->view()->setTextElideMode(Qt::ElideNone);
  l->view()->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + l->view()->verticalScrollBar()->sizeHint().width());
  l->setToolTip(l->currentText());
}

int CPlovSysToolbar::sectionCount() const { return static_cast<int>(sections_.size()); }
QToolButton* CPlovSysToolbar::sectionHeading(int i) const { return sections_.at(static_cast<size_t>(i)).first; }
QWidget* CPlovSysToolbar::sectionBody(int i) const { return sections_.at(static_cast<size_t>(i)).second; }

void CPlovSysToolbar::openSectionOf(QAbstractButton* tool) {
  auto it = toolSection_.find(tool);
  if (it == toolSection_.end() || it->second < 0) return;
  sectionHeading(it->second)->setChecked(true);
  // Shown where the palette scrolls, once the section has its room.
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* area = qobject_cast<QScrollArea*>(w)) {
      QPointer<QAbstractButton> button(tool);
      QTimer::singleShot(0, area, [area, button] {
        if (button) area->ensureWidgetVisible(button, 0, 8);
      });
      break;
    }
}

void CPlovSysToolbar::foldToHeight(int height) {
  // Sections open from the top while the palette fits; the one of the tool
  // in use stays open.
  int used = layout()->contentsMargins().top() + layout()->contentsMargins().bottom();
  const int spacing = layout()->spacing();
  const QAbstractButton* active = tools_->checkedButton();
  const int activeSection = active && toolSection_.count(active) ? toolSection_.at(active) : -1;
  for (const auto& [heading, body] : sections_) used += heading->sizeHint().height() + spacing;
  for (size_t i = 0; i < sections_.size(); ++i) {
    const int room = sections_[i].second->sizeHint().height() + spacing;
    const bool open = static_cast<int>(i) == activeSection || used + room <= height;
    if (open) used += room;
    sections_[i].first->setChecked(open);
  }
}

void CPlovSysToolbar::followHeightOf(QWidget* viewport) {
  viewport_ = viewport;
  viewport->installEventFilter(this);
}

bool CPlovSysToolbar::eventFilter(QObject* watched, QEvent* e) {
  if (watched == viewport_ && e->type() == QEvent::Resize && !userFolded_ && viewport_->height() > 0)
    foldToHeight(viewport_->height());
  return QWidget::eventFilter(watched, e);
}

void CPlovSysToolbar::listChanged(int id) {
  QComboBox* l = list(id);
  if (!l) return;
  auto* e = static_cast<CElem*>(l->currentIndex() >= 0 ? l->currentData().value<void*>() : nullptr);
  switch (id) {
    case 1022:
      choice_.rotaryBody = e;
      choice_.rotaryNozzleRow = 0;
      if (rotaryRow_) rotaryRow_->setText(rotaryRowName(e, 0));
      break;
    case 1023: choice_.staticBody = e; break;
    case 1033: choice_.microElem = e; break;
    case 1030:
      choice_.hadarInsert = e;
      choice_.hadarInsertRow = 0;
      if (hadarRow_) hadarRow_->setText(insertRowName(e, 0));
      break;
    case 1032: choice_.rwsElem = e; break;
    case 1031: choice_.dripLineType = e; break;
    case 1035: choice_.valveBoxElem = e; break;
    case 1025: choice_.valveElem = e; break;
    case 1028: choice_.controllerElem = e; break;
    case 1039: choice_.sensorElem = e; break;
    case 1024: choice_.setId = l->currentIndex() >= 0 ? l->currentData().toInt() : 0; break;
    default: break;
  }
}

void CPlovSysToolbar::setRotaryNozzleRow(int row) {
  choice_.rotaryNozzleRow = row;
  rotaryRow_->setText(rotaryRowName(choice_.rotaryBody, row));
}

void CPlovSysToolbar::setInsertNozzleRow(int row) {
  choice_.hadarInsertRow = row;
  hadarRow_->setText(insertRowName(choice_.hadarInsert, row));
}

void CPlovSysToolbar::setStaticNozzle(CElem* nozzle) {
  choice_.staticNozzle = nozzle;
  staticNozzle_->setText(platform::toQString(recordName(nozzle)));
}

void CPlovSysToolbar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !dragBar_) return QWidget::mousePressEvent(e);
  dragging_ = true;
  pressY_ = e->globalPosition().toPoint().y();
  pressValue_ = dragBar_->value();
  setCursor(Qt::ClosedHandCursor);
}

void CPlovSysToolbar::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || !dragBar_) return QWidget::mouseMoveEvent(e);
  // Within the bar's range: a palette shorter than the frame stays put.
  dragBar_->setValue(pressValue_ - (e->globalPosition().toPoint().y() - pressY_));
}

void CPlovSysToolbar::mouseReleaseEvent(QMouseEvent* e) {
  if (!dragging_) return QWidget::mouseReleaseEvent(e);
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
}

void CPlovSysToolbar::releasePaletteButtons() {
  tools_->setExclusive(false);
  for (QAbstractButton* b : tools_->buttons()) b->setChecked(false);
  tools_->setExclusive(true);
}
