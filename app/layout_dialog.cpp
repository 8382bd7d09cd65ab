#include "app/layout_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <cstring>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "objects/static_sprinkler.h"
#include "partix.h"
#include "platform/qt_text.h"
#include "startup/application.h"

namespace {

QString number(double v, int decimals) { return QLocale(QLocale::Polish).toString(v, 'f', decimals); }

QString nameOf(const CElem* e) {
  return platform::toQString(std::string(e->data->name, strnlen(e->data->name, sizeof e->data->name)));
}

// The nozzle list's items: a kind (the role below) or one nozzle's series.
constexpr int kKindRole = Qt::UserRole;
constexpr int kNozzleRole = Qt::UserRole + 1;

}  // namespace

namespace {

void fillSprinklerBodies(QComboBox* bodies) {
  // Rotary bodies first, then the static ones.
  for (int kind : {kKindSprinkler, kKindStaticBody})
    for (CElem* e = application().catalogue.head; e; e = e->next)
      if (static_cast<int>(e->kind) == kind && e->data && !e->archived && !e->deleted)
        bodies->addItem(nameOf(e), QVariant::fromValue(static_cast<void*>(e)));
}

void fillNozzleChoices(QComboBox* nozzles) {
  const std::pair<const char*, layout::NozzleKind> kinds[] = {
      {"Dysze zraszające regulowane", layout::NozzleKind::Adjustable},
      {"Dysze zraszające stałe", layout::NozzleKind::Fixed},
      {"Dysze rotacyjne", layout::NozzleKind::Rotary},
      {"Dysze pasowe", layout::NozzleKind::Strip},
  };
  for (const auto& [text, kind] : kinds) {
    nozzles->addItem(QString::fromUtf8(text));
    nozzles->setItemData(nozzles->count() - 1, static_cast<int>(kind), kKindRole);
  }
  nozzles->insertSeparator(nozzles->count());
  for (CElem* e : staticNozzleChoices(application().catalogue.head)) {
    nozzles->addItem(QString::fromUtf8("Seria dyszy: ") + nameOf(e));
    nozzles->setItemData(nozzles->count() - 1, -1, kKindRole);
    nozzles->setItemData(nozzles->count() - 1, QVariant::fromValue(static_cast<void*>(e)), kNozzleRole);
  }
}

}  // namespace

void FamilyRows::read(layout::Options& options) const {
  options.pattern = static_cast<layout::Pattern>(pattern->currentData().toInt());
  options.body = static_cast<CElem*>(bodies->currentData().value<void*>());
  options.catalogue = application().catalogue.head;
  options.nozzle = nullptr;
  options.nozzleKind = layout::NozzleKind::Any;
  if (options.body && options.body->kind == kKindStaticBody) {
    const int kind = nozzles->currentData(kKindRole).toInt();
    if (kind >= 0) options.nozzleKind = static_cast<layout::NozzleKind>(kind);
    else options.nozzle = static_cast<CElem*>(nozzles->currentData(kNozzleRole).value<void*>());
  }
}

FamilyRows addFamilyRows(QFormLayout* form, QWidget* parent) {
  FamilyRows rows;
  auto combo = [&](const char* name, const QString& label) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setAccessibleName(label);
    form->addRow(label + ":", c);
    return c;
  };
  rows.bodies = combo("body", "Korpus zraszacza");
  fillSprinklerBodies(rows.bodies);
  rows.nozzles = combo("nozzles", "Dysze");
  fillNozzleChoices(rows.nozzles);
  rows.pattern = combo("pattern", QString::fromUtf8("Układ"));
  rows.pattern->addItem(QString::fromUtf8("Najlepszy z obu"), static_cast<int>(layout::Pattern::Best));
  rows.pattern->addItem("Kwadratowy", static_cast<int>(layout::Pattern::Square));
  rows.pattern->addItem(QString::fromUtf8("Trójkątny"), static_cast<int>(layout::Pattern::Triangular));
  QComboBox* bodies = rows.bodies;
  QComboBox* nozzles = rows.nozzles;
  auto bodyChanged = [bodies, nozzles] {
    const auto* body = static_cast<const CElem*>(bodies->currentData().value<void*>());
    nozzles->setEnabled(body && body->kind == kKindStaticBody);
  };
  bodyChanged();
  QObject::connect(bodies, &QComboBox::currentIndexChanged, parent, bodyChanged);
  return rows;
}

PreviewButtons addPreviewButtons(QDialog* dialog, QBoxLayout* layout, int figuresHeight) {
  PreviewButtons b;
  b.figures = new QLabel(dialog);
  b.figures->setObjectName("figures");
  b.figures->setAccessibleName("Wyniki");
  b.figures->setWordWrap(true);
  b.figures->setMinimumHeight(figuresHeight);
  layout->addWidget(b.figures);
  auto* buttons = new QHBoxLayout;
  b.look = namedButton(QString::fromUtf8("Podgląd"), dialog);
  b.look->setDefault(true);
  b.apply = namedButton("Zastosuj", dialog);
  b.apply->setEnabled(false);
  QPushButton* cancel = namedButton("Anuluj", dialog);
  buttons->addWidget(b.look);
  buttons->addStretch();
  buttons->addWidget(b.apply);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  QObject::connect(b.apply, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return b;
}

CDlgLayout::CDlgLayout(const CGraphicPlane& doc, const CPrimitive& area, double networkPressure,
                       std::function<void(const layout::Result&, const layout::Options&)> preview, QWidget* parent)
    : QDialog(parent), doc_(doc), area_(area), preview_(std::move(preview)) {
  setWindowTitle(QString::fromUtf8("Rozmieść zraszacze"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const FamilyRows family = addFamilyRows(form, this);
  bodies_ = family.bodies;
  nozzles_ = family.nozzles;
  pattern_ = family.pattern;
  spacing_ = new QDoubleSpinBox(this);
  spacing_->setObjectName("spacing");
  spacing_->setAccessibleName(QString::fromUtf8("Rozstaw [% zasięgu]"));
  spacing_->setRange(30, 120);
  spacing_->setDecimals(0);
  spacing_->setSingleStep(5);
  spacing_->setValue(100);
  spacing_->setSuffix(QString::fromUtf8(" % zasięgu"));
  form->addRow("Rozstaw:", spacing_);
  const bool fromNetwork = networkPressure > 0;
  pressure_ = new QLineEdit(number(fromNetwork ? networkPressure : doc.sourcePressure, 2), this);
  pressure_->setObjectName("pressure");
  pressure_->setAccessibleName(QString::fromUtf8("Ciśnienie pracy [atm]"));
  form->addRow(QString::fromUtf8("Ciśnienie pracy [atm]:"), pressure_);
  if (fromNetwork) {
    auto* note = new QLabel(QString::fromUtf8("Ciśnienie, które daje tu sieć rur."), this);
    note->setObjectName("pressureNote");
    form->addRow(QString(), note);
  }
  throwOver_ = new QCheckBox(QString::fromUtf8("Woda może padać na budynki, nawierzchnie i wodę"), this);
  throwOver_->setObjectName("throwOver");
  form->addRow(QString(), throwOver_);
  layout->addLayout(form);
  const PreviewButtons end = addPreviewButtons(this, layout, 60);
  figures_ = end.figures;
  apply_ = end.apply;
  resize(560, 340);
  connect(end.look, &QPushButton::clicked, this, &CDlgLayout::compute);
  for (QComboBox* c : {bodies_, nozzles_, pattern_})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { apply_->setEnabled(false); });
  connect(spacing_, &QDoubleSpinBox::valueChanged, this, [this] { apply_->setEnabled(false); });
  connect(pressure_, &QLineEdit::textEdited, this, [this] { apply_->setEnabled(false); });
  connect(throwOver_, &QCheckBox::toggled, this, [this] { apply_->setEnabled(false); });
}

CDlgLayout::~CDlgLayout() { clearPreview(); }

void CDlgLayout::clearPreview() {
  if (preview_) preview_(layout::Result{}, options_);
}

bool CDlgLayout::compute() {
  apply_->setEnabled(false);
  const auto p = strictDecimalText(pressure_->text());
  if (!p || *p <= 0 || *p > 20) {
    figures_->setText(QString::fromUtf8("Podaj ciśnienie pracy w atmosferach, większe od zera."));
    clearPreview();
    return false;
  }
  options_ = layout::Options{};
  FamilyRows{bodies_, nozzles_, pattern_}.read(options_);
  options_.spacingShare = spacing_->value() / 100.0;
  options_.pressureAtm = *p;
  options_.throwOverHardSurfaces = throwOver_->isChecked();
  result_ = layout::layOut(doc_, area_, options_);
  if (!result_.ok) {
    figures_->setText(platform::toQString(result_.error));
    clearPreview();
    return false;
  }
  if (preview_) preview_(result_, options_);
  const QString pattern = result_.strips ? QString::fromUtf8("pasami")
                          : result_.pattern == layout::Pattern::Triangular ? QString::fromUtf8("trójkątny")
                                                                          : "kwadratowy";
  figures_->setText(QString::fromUtf8("Zraszaczy: %1, wydatek %2 m³/h, układ %3, rozstaw %4 m. CU %5 %, DU lq %6 %, "
                                      "opad średni %7 mm/h, poza obszar %8 % wody, bez wody %9 % obszaru.")
                        .arg(result_.heads.size())
                        .arg(number(result_.flowM3H, 2), pattern, number(result_.spacingM, 1),
                             number(result_.figures.cu, 0), number(result_.figures.duLq, 0),
                             number(result_.figures.meanMmH, 1), number(result_.thrownOutsidePct, 1),
                             number(result_.dryPct, 1)));
  if (!layout::reachesTarget(result_)) {
    // What falls short, each against its target.
    QStringList missed;
    if (result_.figures.cu < 85) missed << QString::fromUtf8("CU %1 % (cel 85 %)").arg(number(result_.figures.cu, 0));
    if (result_.figures.duLq < 75)
      missed << QString::fromUtf8("DU lq %1 % (cel 75 %)").arg(number(result_.figures.duLq, 0));
    if (result_.thrownOutsidePct >= 5)
      missed << QString::fromUtf8("%1 % wody poza obszarem (cel do 5 %)").arg(number(result_.thrownOutsidePct, 1));
    QString text = QString::fromUtf8("\nTa rodzina zraszaczy nie osiąga tu celu: ") + missed.join(", ") + ".";
    if (result_.strips) text += QString::fromUtf8(" Dysze pasowe zraszają brzegi pasa słabiej niż środek.");
    else text += QString::fromUtf8(" Obszar ma %1 m szerokości: spróbuj rodziny o innym zasięgu.").arg(number(result_.narrowestM, 1));
    figures_->setText(figures_->text() + text);
  }
  apply_->setEnabled(true);
  return true;
}
