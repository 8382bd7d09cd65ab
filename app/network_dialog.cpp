#include "app/network_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "platform/message_sink.h"
#include "platform/qt_text.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace {

QString number(double v, int decimals) {
  if (!std::isfinite(v)) return "-";
  return QLocale(QLocale::Polish).toString(v, 'f', decimals);
}

// A row that sorts its numeric columns by value.
class Row : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int c = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant a = data(c, Qt::UserRole), b = other.data(c, Qt::UserRole);
    if (a.isValid() && b.isValid()) return a.toDouble() < b.toDouble();
    return QTreeWidgetItem::operator<(other);
  }
  void setNumber(int column, double v, int decimals) {
    setText(column, number(v, decimals));
    setData(column, Qt::UserRole, v);
    setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  }
};

QTreeWidget* table(const QString& name, const QStringList& headers, QWidget* parent) {
  auto* t = new QTreeWidget(parent);
  t->setAccessibleName(name);
  t->setRootIsDecorated(false);
  t->setAlternatingRowColors(true);
  t->setSortingEnabled(true);
  t->setHeaderLabels(headers);
  t->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // The object's name is long: its column keeps a width of its own (the
  // whole name in its tooltip), so that the figures stay in sight.
  t->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  t->header()->resizeSection(0, 230);
  t->setTextElideMode(Qt::ElideMiddle);
  t->setMinimumSize(720, 260);
  return t;
}

QString kindOf(const CGraphicPlane& doc, int index) {
  if (index < 0 || index >= static_cast<int>(doc.objects().size())) return {};
  return platform::toQString(doc.objects()[index]->GetKindName());
}


}  // namespace

CDlgNetwork::CDlgNetwork(CGraphicPlane& doc, std::function<void(const network::SizingResult&)> apply, QWidget* parent)
    : QDialog(parent), doc_(doc), apply_(std::move(apply)) {
  setWindowTitle(QString::fromUtf8("Analiza hydrauliczna sieci"));
  setAccessibleName(windowTitle());

  auto* form = new QFormLayout;
  diameter_ = new QLineEdit(number(options_.defaultDiameterMm, 1), this);
  diameter_->setObjectName("defaultDiameter");
  diameter_->setAccessibleName(QString::fromUtf8("Średnica rur bez typu [mm]"));
  diameter_->setMaximumWidth(80);
  form->addRow(QString::fromUtf8("Średnica rur bez typu [mm]:"), diameter_);
  auto* compute = namedButton("Przelicz", this);
  compute->setDefault(true);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  top->addWidget(compute, 0, Qt::AlignBottom);
  top->addStretch();

  sections_ = new QListWidget(this);
  sections_->setObjectName("sections");
  sections_->setAccessibleName("Sekcje");
  sections_->setMaximumWidth(170);
  summary_ = new QLabel(this);
  summary_->setObjectName("summary");
  summary_->setAccessibleName("Wyniki sekcji");
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  heads_ = table(QString::fromUtf8("Głowice"),
                 {"Obiekt", "X [m]", "Y [m]", QString::fromUtf8("Ciśnienie [atm]"), QString::fromUtf8("Wydatek [m³/h]")},
                 this);
  heads_->setObjectName("heads");
  pipes_ = table("Rury",
                 {"Rura", "Odcinek", QString::fromUtf8("Długość [m]"), QString::fromUtf8("Średnica wewn. [mm]"),
                  QString::fromUtf8("Przepływ [m³/h]"), QString::fromUtf8("Prędkość [m/s]"), "Strata [atm]"},
                 this);
  pipes_->setObjectName("pipes");
  warnings_ = new QListWidget(this);
  warnings_->setObjectName("warnings");
  warnings_->setAccessibleName("Uwagi");
  warnings_->setWordWrap(true);
  tabs_ = new QTabWidget(this);
  tabs_->setAccessibleName("Wyniki");
  tabs_->addTab(heads_, QString::fromUtf8("Głowice"));
  tabs_->addTab(pipes_, "Rury");
  tabs_->addTab(warnings_, "Uwagi");
  auto* right = new QVBoxLayout;
  right->addWidget(summary_);
  right->addWidget(tabs_, 1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(sections_);
  middle->addLayout(right, 1);

  auto* size = namedButton(QString::fromUtf8("Dobierz średnice rur"), this);
  size->setObjectName("sizePipes");
  auto* close = namedButton("Zamknij", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(size);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);
  resize(980, 560);

  connect(compute, &QPushButton::clicked, this, &CDlgNetwork::recompute);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(size, &QPushButton::clicked, this, &CDlgNetwork::sizePipes);
  connect(sections_, &QListWidget::currentRowChanged, this, [this] { showSection(); });
  auto choose = [this](int index) {
    if (index >= 0) emit objectChosen(index);
  };
  for (QTreeWidget* t : {heads_, pipes_})
    connect(t, &QTreeWidget::itemDoubleClicked, this,
            [choose](QTreeWidgetItem* item) { choose(item->data(0, kObjectRole).toInt()); });
  connect(warnings_, &QListWidget::itemDoubleClicked, this,
          [choose](QListWidgetItem* item) { choose(item->data(kObjectRole).toInt()); });
  recompute();
}

int CDlgNetwork::currentSection() const {
  const QListWidgetItem* item = sections_->currentItem();
  return item ? item->data(kObjectRole).toInt() : -1;
}

bool CDlgNetwork::recompute() {
  const auto d = strictDecimalText(diameter_->text());
  if (!d || *d < 2 || *d > 1000) {
    platform::tell(platform::utf8ToCp1250("Średnica rur bez typu musi wynosić od 2 do 1000 mm."),
                   platform::utf8ToCp1250("Analiza hydrauliczna sieci"));
    diameter_->setFocus();
    return false;
  }
  options_.defaultDiameterMm = *d;
  options_.sectionCount = sectionList().count();
  result_ = network::analyse(doc_, application().sets.get(), options_);
  const int kept = currentSection();
  sections_->clear();
  for (const network::SectionResult& s : result_.sections) {
    QString name = QString("Sekcja %1").arg(s.section + 1);
    if (!s.warnings.empty()) name += QString::fromUtf8("  ⚠");
    auto* item = new QListWidgetItem(name, sections_);
    item->setData(kObjectRole, s.section);
  }
  int row = 0;
  for (int i = 0; i < sections_->count(); ++i)
    if (sections_->item(i)->data(kObjectRole).toInt() == kept) row = i;
  if (sections_->count()) sections_->setCurrentRow(row);
  showSection();
  return result_.ok;
}

void CDlgNetwork::showSection() {
  heads_->setSortingEnabled(false);
  pipes_->setSortingEnabled(false);
  heads_->clear();
  pipes_->clear();
  warnings_->clear();
  auto warn = [this](const network::Warning& w) {
    auto* item = new QListWidgetItem(platform::toQString(w.text), warnings_);
    item->setData(kObjectRole, w.object);
  };
  if (!result_.ok) {
    summary_->setText(platform::toQString(result_.error));
    return;
  }
  const double metresPerUnit = doc_.scaleDenominator / (100.0 * doc_.pixelsPerCm);
  const int section = currentSection();
  for (const network::SectionResult& s : result_.sections) {
    if (s.section != section) continue;
    if (!s.solved || s.heads.empty()) {
      summary_->setText(QString::fromUtf8("Sekcja %1: brak wyników — zob. uwagi.").arg(s.section + 1));
    } else {
      double fastest = 0;
      for (const auto& p : s.pipes) fastest = std::max(fastest, p.velocityMS);
      summary_->setText(
          QString::fromUtf8("Źródło: %1 atm; potrzebne dla najniżej zasilanej głowicy: %2 atm. Głowice: %3 – %4 atm, "
                            "różnica %5 % najwyższego (dopuszczalne 20 %). Przepływ sekcji: %6 m³/h; największa "
                            "prędkość w rurach: %7 m/s (dopuszczalne 1,5 m/s).")
              .arg(number(s.sourcePressureAtm, 2), number(s.requiredSourcePressureAtm, 2),
                   number(s.minHeadPressureAtm, 2), number(s.maxHeadPressureAtm, 2), number(s.pressureSpreadPct, 1),
                   number(s.flowM3H, 3), number(fastest, 2)));
    }
    for (const network::HeadResult& h : s.heads) {
      auto* row = new Row(heads_);
      row->setText(0, kindOf(doc_, h.object));
      row->setToolTip(0, row->text(0));
      row->setData(0, kObjectRole, h.object);
      const PointD at = network::placeOf(*doc_.objects()[h.object]);
      row->setNumber(1, at.x * metresPerUnit, 2);
      row->setNumber(2, at.y * metresPerUnit, 2);
      row->setNumber(3, h.pressureAtm, 2);
      row->setNumber(4, h.flowM3H, 3);
      if (h.belowTable) row->setForeground(3, QColor(200, 40, 0));
    }
    for (const network::PipeResult& p : s.pipes) {
      auto* row = new Row(pipes_);
      row->setText(0, kindOf(doc_, p.object) + (p.assumedDiameter ? QString::fromUtf8(" (bez typu)") : QString()));
      row->setToolTip(0, row->text(0));
      row->setData(0, kObjectRole, p.object);
      row->setNumber(1, p.segment + 1, 0);
      row->setNumber(2, p.lengthM, 2);
      row->setNumber(3, p.innerDiameterMm, 1);
      row->setNumber(4, p.flowM3H, 3);
      row->setNumber(5, p.velocityMS, 2);
      row->setNumber(6, p.lossAtm, 3);
      if (p.velocityMS > network::kMaxVelocityMS) row->setForeground(5, QColor(200, 40, 0));
    }
    for (const network::Warning& w : s.warnings) warn(w);
  }
  for (const network::Warning& w : result_.warnings) warn(w);
  heads_->setSortingEnabled(true);
  pipes_->setSortingEnabled(true);
}

void CDlgNetwork::sizePipes() {
  if (!result_.ok) {
    platform::tell(result_.error, platform::utf8ToCp1250("Analiza hydrauliczna sieci"));
    return;
  }
  CDlgPipeSizing dlg(doc_, currentSection(), options_.defaultDiameterMm, this);
  if (dlg.exec() != QDialog::Accepted || !dlg.sizing().ok) return;
  if (apply_) apply_(dlg.sizing());
  recompute();
}

// --- the sizing ------------------------------------------------------------------------

CDlgPipeSizing::CDlgPipeSizing(const CGraphicPlane& doc, int section, double defaultDiameterMm, QWidget* parent)
    : QDialog(parent), doc_(doc), defaultDiameterMm_(defaultDiameterMm) {
  setWindowTitle(QString::fromUtf8("Dobierz średnice rur"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  scope_ = new QComboBox(this);
  scope_->setObjectName("scope");
  scope_->setAccessibleName("Zakres");
  scope_->addItem("Wszystkie sekcje", -1);
  for (int i = 0; i < sectionList().count(); ++i) scope_->addItem(QString("Sekcja %1").arg(i + 1), i);
  scope_->setCurrentIndex(std::max(0, scope_->findData(section)));
  form->addRow("Zakres:", scope_);
  layout->addLayout(form);
  auto* note = new QLabel(QString::fromUtf8("Dla każdego odcinka najtańsza rura z bazy danych utrzymująca prędkość wody "
                                            "do 1,5 m/s, potem większe tam, gdzie strata ciśnienia największa, aż "
                                            "głowice sekcji różnią się najwyżej o 20 %. Rura o odcinkach różnych "
                                            "średnic zostaje podzielona."),
                          this);
  note->setWordWrap(true);
  layout->addWidget(note);
  costs_ = new QLabel(this);
  costs_->setObjectName("costs");
  costs_->setAccessibleName("Koszt rur");
  layout->addWidget(costs_);
  unmet_ = new QListWidget(this);
  unmet_->setObjectName("unmet");
  unmet_->setAccessibleName(QString::fromUtf8("Czego nie da się spełnić"));
  unmet_->setWordWrap(true);
  layout->addWidget(unmet_, 1);
  auto* buttons = new QHBoxLayout;
  apply_ = namedButton("Zastosuj", this);
  apply_->setDefault(true);
  auto* cancel = namedButton("Anuluj", this);
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  resize(560, 360);
  connect(scope_, &QComboBox::currentIndexChanged, this, [this] { compute(); });
  connect(apply_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  compute();
}

void CDlgPipeSizing::compute() {
  network::SizingOptions o;
  o.section = scope_->currentData().toInt();
  o.sectionCount = sectionList().count();
  o.defaultDiameterMm = defaultDiameterMm_;
  sizing_ = network::sizePipes(doc_, application().sets.get(), application().catalogue.head, o);
  unmet_->clear();
  if (!sizing_.ok) {
    costs_->setText(platform::toQString(sizing_.error));
    apply_->setEnabled(false);
    return;
  }
  int changing = 0;
  for (const network::SegmentChoice& c : sizing_.choices) {
    const auto& o2 = *doc_.objects()[c.object];
    changing += c.type && (o2.elem != c.type);
  }
  costs_->setText(QString::fromUtf8("Koszt rur: przed %1 zł, po doborze %2 zł (ceny netto). Zmienianych odcinków: %3.")
                      .arg(number(sizing_.costBefore, 2), number(sizing_.costAfter, 2))
                      .arg(changing));
  for (const network::Warning& w : sizing_.unmet) new QListWidgetItem(platform::toQString(w.text), unmet_);
  if (sizing_.unmet.empty()) new QListWidgetItem(QString::fromUtf8("Wszystkie warunki spełnione."), unmet_);
  apply_->setEnabled(true);
}
