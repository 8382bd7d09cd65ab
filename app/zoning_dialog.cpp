#include "app/zoning_dialog.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "platform/qt_text.h"

namespace {

QString number(double v, int decimals) { return QLocale(QLocale::Polish).toString(v, 'f', decimals); }

}  // namespace

CDlgAutoZones::CDlgAutoZones(const CGraphicPlane& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(QString::fromUtf8("Podziel na sekcje automatycznie"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  share_ = new QDoubleSpinBox(this);
  share_->setObjectName("capacityShare");
  share_->setAccessibleName(QString::fromUtf8("Udział wydajności źródła [%]"));
  share_->setRange(5, 100);
  share_->setDecimals(0);
  share_->setSingleStep(5);
  share_->setValue(90);
  share_->setSuffix(" %");
  form->addRow(QString::fromUtf8("Sekcja bierze najwyżej:"), share_);
  layout->addLayout(form);
  auto* about = new QLabel(QString::fromUtf8("Każda sekcja mieści się w tej części wydajności źródła wody, łączy "
                                             "sąsiednie głowice jednego rodzaju (rotory, zraszacze statyczne, "
                                             "mikrozraszacze, nawadnianie kroplowe), a sekcji jest tak mało, jak "
                                             "na to pozwalają te zasady. Obecny podział zostanie zastąpiony."),
                           this);
  about->setWordWrap(true);
  layout->addWidget(about);
  table_ = new QTreeWidget(this);
  table_->setAccessibleName("Sekcje");
  table_->setRootIsDecorated(false);
  table_->setHeaderLabels({"Sekcja", "Opis", QString::fromUtf8("Głowice"), QString::fromUtf8("Wydatek [m³/h]")});
  table_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_, 1);
  note_ = new QLabel(this);
  note_->setObjectName("note");
  note_->setAccessibleName("Uwagi");
  note_->setWordWrap(true);
  layout->addWidget(note_);
  auto* buttons = new QHBoxLayout;
  apply_ = namedButton("Zastosuj", this);
  apply_->setDefault(true);
  QPushButton* cancel = namedButton("Anuluj", this);
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  resize(560, 380);
  connect(share_, &QDoubleSpinBox::valueChanged, this, &CDlgAutoZones::compute);
  connect(apply_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  compute();
}

void CDlgAutoZones::compute() {
  zoning::Options o;
  o.capacityShare = share_->value() / 100.0;
  result_ = zoning::divide(doc_, o);
  table_->clear();
  apply_->setEnabled(result_.ok);
  if (!result_.ok) {
    note_->setText(platform::toQString(result_.error));
    return;
  }
  for (size_t i = 0; i < result_.sections.size(); ++i) {
    const zoning::Section& s = result_.sections[i];
    auto* row = new QTreeWidgetItem(table_);
    row->setText(0, QString::number(i + 1));
    row->setText(1, platform::toQString(s.description));
    row->setText(2, QString::number(s.objects.size()));
    row->setText(3, number(s.flowM3H, 3));
    row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    row->setForeground(0, QColor((s.colour) & 0xFF, (s.colour >> 8) & 0xFF, (s.colour >> 16) & 0xFF));
  }
  note_->setText(QString::fromUtf8("Sekcji: %1; wydajność dla sekcji: %2 m³/h.")
                     .arg(result_.sections.size())
                     .arg(number(result_.capacityM3H, 3)));
}
