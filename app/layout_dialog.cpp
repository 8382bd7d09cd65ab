#include "app/layout_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "partix.h"
#include "platform/qt_text.h"
#include "startup/application.h"

namespace {

QString number(double v, int decimals) { return QLocale(QLocale::Polish).toString(v, 'f', decimals); }

}  // namespace

CDlgLayout::CDlgLayout(const CGraphicPlane& doc, const CPrimitive& area,
                       std::function<void(const layout::Result&)> preview, QWidget* parent)
    : QDialog(parent), doc_(doc), area_(area), preview_(std::move(preview)) {
  setWindowTitle(QString::fromUtf8("Rozmieść zraszacze"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  bodies_ = new QComboBox(this);
  bodies_->setObjectName("body");
  bodies_->setAccessibleName("Korpus zraszacza obrotowego");
  for (CElem* e = application().catalogue.head; e; e = e->next)
    if (e->kind == kKindSprinkler && e->data && !e->archived && !e->deleted)
      bodies_->addItem(platform::toQString(std::string(e->data->name, strnlen(e->data->name, sizeof e->data->name))),
                       QVariant::fromValue(static_cast<void*>(e)));
  form->addRow("Korpus zraszacza obrotowego:", bodies_);
  pattern_ = new QComboBox(this);
  pattern_->setObjectName("pattern");
  pattern_->setAccessibleName(QString::fromUtf8("Układ"));
  pattern_->addItem(QString::fromUtf8("Najlepszy z obu"), static_cast<int>(layout::Pattern::Best));
  pattern_->addItem("Kwadratowy", static_cast<int>(layout::Pattern::Square));
  pattern_->addItem(QString::fromUtf8("Trójkątny"), static_cast<int>(layout::Pattern::Triangular));
  form->addRow(QString::fromUtf8("Układ:"), pattern_);
  spacing_ = new QDoubleSpinBox(this);
  spacing_->setObjectName("spacing");
  spacing_->setAccessibleName(QString::fromUtf8("Rozstaw [% zasięgu]"));
  spacing_->setRange(30, 120);
  spacing_->setDecimals(0);
  spacing_->setSingleStep(5);
  spacing_->setValue(100);
  spacing_->setSuffix(QString::fromUtf8(" % zasięgu"));
  form->addRow("Rozstaw:", spacing_);
  pressure_ = new QLineEdit(number(doc.sourcePressure, 2), this);
  pressure_->setObjectName("pressure");
  pressure_->setAccessibleName(QString::fromUtf8("Ciśnienie pracy [atm]"));
  form->addRow(QString::fromUtf8("Ciśnienie pracy [atm]:"), pressure_);
  layout->addLayout(form);
  figures_ = new QLabel(this);
  figures_->setObjectName("figures");
  figures_->setAccessibleName("Wyniki");
  figures_->setWordWrap(true);
  figures_->setMinimumHeight(60);
  layout->addWidget(figures_);
  auto* buttons = new QHBoxLayout;
  QPushButton* look = namedButton(QString::fromUtf8("Podgląd"), this);
  apply_ = namedButton("Zastosuj", this);
  apply_->setEnabled(false);
  QPushButton* cancel = namedButton("Anuluj", this);
  buttons->addWidget(look);
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  resize(520, 280);
  connect(look, &QPushButton::clicked, this, &CDlgLayout::compute);
  connect(apply_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  for (QComboBox* c : {bodies_, pattern_})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { apply_->setEnabled(false); });
  connect(spacing_, &QDoubleSpinBox::valueChanged, this, [this] { apply_->setEnabled(false); });
  connect(pressure_, &QLineEdit::textEdited, this, [this] { apply_->setEnabled(false); });
}

CDlgLayout::~CDlgLayout() {
  if (preview_) preview_({});
}

bool CDlgLayout::compute() {
  apply_->setEnabled(false);
  const auto p = strictDecimalText(pressure_->text());
  if (!p || *p <= 0 || *p > 20) {
    figures_->setText(QString::fromUtf8("Podaj ciśnienie pracy w atmosferach, większe od zera."));
    if (preview_) preview_({});
    return false;
  }
  options_.body = static_cast<CElem*>(bodies_->currentData().value<void*>());
  options_.pattern = static_cast<layout::Pattern>(pattern_->currentData().toInt());
  options_.spacingShare = spacing_->value() / 100.0;
  options_.pressureAtm = *p;
  result_ = layout::layOut(doc_, area_, options_);
  if (!result_.ok) {
    figures_->setText(platform::toQString(result_.error));
    if (preview_) preview_({});
    return false;
  }
  if (preview_) preview_(result_);
  const QString pattern = result_.pattern == layout::Pattern::Triangular ? QString::fromUtf8("trójkątny") : "kwadratowy";
  figures_->setText(QString::fromUtf8("Zraszaczy: %1, wydatek %2 m³/h, układ %3, rozstaw %4 m. CU %5 %, DU lq %6 %, "
                                      "opad średni %7 mm/h, poza obszar %8 % wody, bez wody %9 % obszaru.")
                        .arg(result_.heads.size())
                        .arg(number(result_.flowM3H, 2), pattern, number(result_.spacingM, 1),
                             number(result_.figures.cu, 0), number(result_.figures.duLq, 0),
                             number(result_.figures.meanMmH, 1), number(result_.thrownOutsidePct, 1),
                             number(result_.dryPct, 1)));
  const bool reached = result_.figures.cu >= 85 && result_.figures.duLq >= 75 && result_.thrownOutsidePct < 5;
  if (!reached)
    figures_->setText(figures_->text() +
                      QString::fromUtf8("\nTen korpus nie daje tu równomierności (CU 85 %, DU lq 75 %, do 5 % wody poza "
                                        "obszarem): obszar może być za wąski na jego zasięg."));
  apply_->setEnabled(true);
  return true;
}
