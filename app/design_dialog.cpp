#include "app/design_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstring>

#include "app/layout_dialog.h"
#include "app/routing_dialog.h"
#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "hydraulics/pipe_sizing.h"
#include "partix.h"
#include "platform/qt_text.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace {

QString number(double v, int decimals) { return QLocale(QLocale::Polish).toString(v, 'f', decimals); }

QString nameOf(const CElem* e) {
  return platform::toQString(std::string(e->data->name, strnlen(e->data->name, sizeof e->data->name)));
}

QString surfaceName(int fill) {
  switch (fill) {
    case kFillLawn: return "Trawnik";
    case kFillFlowers: return "Kwiaty";
    case kFillTrees: return "Drzewa i krzewy";
    case kFillHedge: return QString::fromUtf8("Żywopłot");
    default: return "Inne";
  }
}

}  // namespace

CDlgDesign::CDlgDesign(const CGraphicPlane& doc, const CPrimitive* selected,
                       std::function<void(const design::Result&)> preview, QWidget* parent)
    : QDialog(parent), doc_(doc), preview_(std::move(preview)) {
  setWindowTitle("Zaprojektuj automatycznie");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("Obszary do nawadniania:"), this));
  areas_ = new QListWidget(this);
  areas_->setObjectName("areas");
  areas_->setAccessibleName("Obszary");
  const double unitsPerMetre = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  int number_ = 0;
  for (const auto& p : doc.terrain()) {
    if (p->deleted) continue;
    ++number_;
    if (!isWateredSurface(*p)) continue;
    const std::vector<PointD> poly = terrainPolygon(*p, 48);
    double twice = 0;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) twice += poly[j].x * poly[i].y - poly[i].x * poly[j].y;
    auto* item = new QListWidgetItem(QString::fromUtf8("%1. %2, %3 m²")
                                         .arg(number_)
                                         .arg(surfaceName(p->fillKind), number(std::abs(twice) / 2 / (unitsPerMetre * unitsPerMetre), 0)),
                                     areas_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(p.get() == selected ? Qt::Checked : Qt::Unchecked);
    candidates_.push_back(p.get());
  }
  areas_->setMaximumHeight(110);
  layout->addWidget(areas_);
  auto* form = new QFormLayout;
  const FamilyRows family = addFamilyRows(form, this);
  bodies_ = family.bodies;
  nozzles_ = family.nozzles;
  pattern_ = family.pattern;
  share_ = new QDoubleSpinBox(this);
  share_->setObjectName("share");
  share_->setAccessibleName(QString::fromUtf8("Udział wydajności źródła"));
  share_->setRange(5, 100);
  share_->setDecimals(0);
  share_->setValue(90);
  share_->setSuffix(QString::fromUtf8(" % wydajności źródła"));
  form->addRow("Sekcje do:", share_);
  valve_ = new QComboBox(this);
  valve_->setObjectName("valve");
  valve_->setAccessibleName(QString::fromUtf8("Zawór sekcji"));
  valve_->addItem(QString::fromUtf8("Pierwszy, który przeniesie wydatek sekcji"), QVariant::fromValue(static_cast<void*>(nullptr)));
  for (CElem* e = application().catalogue.head; e; e = e->next)
    if (e->kind == kKindValve && e->data && !e->archived && !e->deleted)
      valve_->addItem(nameOf(e), QVariant::fromValue(static_cast<void*>(e)));
  form->addRow(QString::fromUtf8("Zawór sekcji:"), valve_);
  pipes_ = pipeTypeList(this);
  form->addRow("Rury do wyboru:", pipes_);
  layout->addLayout(form);
  const PreviewButtons end = addPreviewButtons(this, layout, 80);
  figures_ = end.figures;
  apply_ = end.apply;
  resize(480, 500);
  connect(end.look, &QPushButton::clicked, this, &CDlgDesign::compute);
  for (QComboBox* c : {bodies_, nozzles_, pattern_, valve_})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { apply_->setEnabled(false); });
  connect(share_, &QDoubleSpinBox::valueChanged, this, [this] { apply_->setEnabled(false); });
  for (QListWidget* l : {areas_, pipes_})
    connect(l, &QListWidget::itemChanged, this, [this] { apply_->setEnabled(false); });
}

CDlgDesign::~CDlgDesign() {
  if (preview_) preview_(design::Result{});
}

bool CDlgDesign::compute() {
  apply_->setEnabled(false);
  options_ = design::Options{};
  for (int i = 0; i < areas_->count(); ++i)
    if (areas_->item(i)->checkState() == Qt::Checked) options_.areas.push_back(candidates_[i]);
  FamilyRows{bodies_, nozzles_, pattern_}.read(options_.layout);
  options_.capacityShare = share_->value() / 100.0;
  options_.routing.catalogue = application().catalogue.head;
  options_.routing.valve = static_cast<CElem*>(valve_->currentData().value<void*>());
  options_.routing.allowedPipes = checkedPipes(pipes_);
  if (options_.routing.allowedPipes.empty()) {
    figures_->setText(QString::fromUtf8("Zaznacz co najmniej jedną rurę do wyboru."));
    if (preview_) preview_(design::Result{});
    return false;
  }
  result_ = design::plan(doc_, sectionList(), application().sets.get(), options_);
  if (preview_) preview_(result_);
  if (!result_.ok) {
    figures_->setText(platform::toQString(result_.error));
    // The area that failed, picked out in the list.
    if (result_.errorArea >= 0 && result_.errorArea < static_cast<int>(options_.areas.size()))
      for (int i = 0; i < areas_->count(); ++i)
        if (candidates_[i] == options_.areas[result_.errorArea]) areas_->setCurrentRow(i);
    return false;
  }
  QString text = QString::fromUtf8("Zraszaczy: %1, sekcji: %2, zaworów: %3, rura główna %4 m. Kosztorys: %5 zł netto.")
                     .arg(result_.heads)
                     .arg(result_.zones.sections.size())
                     .arg(result_.route.valves.size())
                     .arg(number(result_.route.mainM, 1), number(result_.netTotal, 2));
  for (size_t k = 0; k < result_.layouts.size(); ++k) {
    const layout::Result& l = result_.layouts[k];
    // Each area named as the list names it.
    QString name;
    for (int i = 0; i < areas_->count(); ++i)
      if (candidates_[i] == options_.areas[k]) name = areas_->item(i)->text();
    text += QString::fromUtf8("\n%1: CU %2 %, DU lq %3 %, poza obszar %4 % wody%5")
                .arg(name)
                .arg(number(l.figures.cu, 0), number(l.figures.duLq, 0), number(l.thrownOutsidePct, 1),
                     layout::reachesTarget(l) ? QString() : QString::fromUtf8(" – poniżej celu (CU 85 %, DU lq 75 %)"));
  }
  for (const network::Warning& w : result_.sizing.unmet) text += "\n" + platform::toQString(w.text);
  figures_->setText(text);
  apply_->setEnabled(true);
  return true;
}
