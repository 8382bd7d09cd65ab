#include "app/coverage_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/small_dialogs.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

namespace {

QString number(double v, int decimals) { return QLocale(QLocale::Polish).toString(v, 'f', decimals); }

}  // namespace

CDlgCoverage::CDlgCoverage(const CGraphicPlane& doc, const CoverageOptions& options, QWidget* parent)
    : QDialog(parent), doc_(doc), options_(options) {
  setWindowTitle("Analiza nawadniania");
  setAccessibleName("Analiza nawadniania");

  auto* form = new QFormLayout;
  cell_ = new QLineEdit(number(options_.cellM, 2), this);
  cell_->setAccessibleName(QString::fromUtf8("Bok komórki [m]"));
  form->addRow(QString::fromUtf8("Bok komórki [m]:"), cell_);
  depth_ = new QLineEdit(number(options_.depthMm, 1), this);
  depth_->setAccessibleName("Dawka tygodniowa [mm]");
  form->addRow("Dawka tygodniowa [mm]:", depth_);
  runs_ = new QSpinBox(this);
  runs_->setRange(1, 21);
  runs_->setValue(options_.runs);
  runs_->setAccessibleName(QString::fromUtf8("Liczba nawadniań w tygodniu"));
  form->addRow(QString::fromUtf8("Liczba nawadniań w tygodniu:"), runs_);
  network_ = new QCheckBox(QString::fromUtf8("Ciśnienie głowic z sieci rur"), this);
  network_->setObjectName("networkPressure");
  network_->setAccessibleName(QString::fromUtf8("Ciśnienie głowic z sieci rur"));
  network_->setToolTip(QString::fromUtf8("Głowice połączone rurami ze źródłem pracują przy ciśnieniu, jakie daje im "
                                         "sieć rur; bez tego – przy ciśnieniu źródła"));
  network_->setChecked(options_.networkPressure);
  form->addRow(QString(), network_);
  auto* compute = new QPushButton("Przelicz", this);
  compute->setAccessibleName("Przelicz");
  compute->setDefault(true);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  top->addWidget(compute, 0, Qt::AlignBottom);
  top->addStretch();

  table_ = new QTreeWidget(this);
  table_->setAccessibleName("Sekcje");
  table_->setRootIsDecorated(false);
  table_->setAlternatingRowColors(true);
  table_->setHeaderLabels({"Sekcja", QString::fromUtf8("Głowice"), QString::fromUtf8("Wydatek [m³/h]"),
                           QString::fromUtf8("Na teren [m³/h]"), QString::fromUtf8("Poza teren [m³/h]"),
                           QString::fromUtf8("Nawadniane [m²]"), QString::fromUtf8("Opad śr. [mm/h]"),
                           "Min [mm/h]", "Maks [mm/h]", "CU [%]", "DU lq [%]", "Czas [min]"});
  table_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setMinimumSize(1120, 180);
  areas_ = new QLabel(this);
  areas_->setWordWrap(true);
  areas_->setAccessibleName("Powierzchnie");

  auto* show = new QPushButton(QString::fromUtf8("Pokaż na planie"), this);
  show->setAccessibleName(QString::fromUtf8("Pokaż na planie"));
  auto* close = new QPushButton("Zamknij", this);
  close->setAccessibleName("Zamknij");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(show);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  layout->addWidget(areas_);
  layout->addLayout(buttons);

  connect(compute, &QPushButton::clicked, this, &CDlgCoverage::recompute);
  connect(network_, &QCheckBox::toggled, this, &CDlgCoverage::recompute);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto showChosen = [this] {
    const QTreeWidgetItem* row = table_->currentItem();
    emit showMapRequested(row ? row->data(0, kSectionRole).toInt() : -1);
  };
  connect(show, &QPushButton::clicked, this, showChosen);
  connect(table_, &QTreeWidget::itemDoubleClicked, this, showChosen);
  result_ = analyseCoverage(doc_, options_);
  fill();
}

bool CDlgCoverage::recompute() {
  const auto cell = strictDecimalText(cell_->text());
  const auto depth = strictDecimalText(depth_->text());
  if (!cell || *cell < kCoverageMinCellM || *cell > kCoverageMaxCellM) {
    platform::tell(platform::utf8ToCp1250("Bok komórki musi wynosić od 0,05 do 5 m."), "Analiza nawadniania");
    cell_->setFocus();
    return false;
  }
  if (!depth || *depth <= 0 || *depth > 1000) {
    platform::tell(platform::utf8ToCp1250("Podaj dawkę tygodniową w milimetrach, większą od zera."), "Analiza nawadniania");
    depth_->setFocus();
    return false;
  }
  options_.cellM = *cell;
  options_.depthMm = *depth;
  options_.runs = runs_->value();
  options_.networkPressure = network_->isChecked();
  result_ = analyseCoverage(doc_, options_);
  fill();
  // The map takes only options the analysis could work with.
  if (result_.ok) emit optionsChanged(options_);
  return result_.ok;
}

void CDlgCoverage::fill() {
  table_->clear();
  if (!result_.ok) {
    areas_->setText(QString::fromStdString(result_.error));
    return;
  }
  auto add = [this](const QString& name, const CoverageFigures& f) {
    auto* row = new QTreeWidgetItem(table_);
    const QString cells[] = {name,
                             QString::number(f.heads),
                             number(f.flowM3H, 3),
                             number(f.appliedM3H, 3),
                             number(f.thrownOutsideM3H, 3),
                             number(f.wateredAreaM2, 1),
                             number(f.meanMmH, 1),
                             number(f.minMmH, 1),
                             number(f.maxMmH, 1),
                             number(f.cu, 0),
                             number(f.duLq, 0),
                             number(f.runTimeMin, 0)};
    for (int c = 0; c < 12; ++c) {
      row->setText(c, cells[c]);
      if (c > 0) row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    row->setData(0, kSectionRole, f.section);
    return row;
  };
  for (const CoverageFigures& f : result_.sections) add(QString("Sekcja %1").arg(f.section + 1), f);
  QTreeWidgetItem* system = add(QString::fromUtf8("Cały system"), result_.system);
  QFont bold = system->font(0);
  bold.setBold(true);
  for (int c = 0; c < 12; ++c) system->setFont(c, bold);
  table_->setCurrentItem(system);
  const double dryShare = result_.targetAreaM2 > 0 ? 100.0 * result_.dryAreaM2 / result_.targetAreaM2 : 0;
  areas_->setText(QString::fromUtf8("Powierzchnia do nawadniania (trawnik, kwiaty, drzewa i krzewy, żywopłot, "
                                    "„Inne”): %1 m², w tym bez nawadniania: %2 m² (%3 %). Czas nawadniania na "
                                    "jedno z %4 nawadniań w tygodniu, dla dawki %5 mm, z poprawką na DU lq.")
                      .arg(number(result_.targetAreaM2, 1), number(result_.dryAreaM2, 1), number(dryShare, 0))
                      .arg(options_.runs)
                      .arg(number(options_.depthMm, 1)));
}
