#include "app/routing_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "hydraulics/pipe_sizing.h"
#include "partix.h"
#include "platform/qt_text.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace {

QString nameOf(const CElem* e) {
  return platform::toQString(std::string(e->data->name, strnlen(e->data->name, sizeof e->data->name)));
}

QVariant pointer(CElem* e) { return QVariant::fromValue(static_cast<void*>(e)); }

}  // namespace

QListWidget* pipeTypeList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName("pipes");
  list->setAccessibleName("Rury do wyboru");
  for (CElem* e : network::sizingCandidates(application().catalogue.head)) {
    auto* item = new QListWidgetItem(nameOf(e), list);
    item->setData(Qt::UserRole, pointer(e));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
  list->setMaximumHeight(100);
  return list;
}

std::vector<CElem*> checkedPipes(const QListWidget* list) {
  std::vector<CElem*> out;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked)
      out.push_back(static_cast<CElem*>(list->item(i)->data(Qt::UserRole).value<void*>()));
  return out;
}

CDlgRoute::CDlgRoute(const CGraphicPlane&, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Poprowadź rury"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel(QString::fromUtf8(
                               "Głowice, do których nie prowadzi jeszcze żadna rura, dostają zawór sekcji w studzience "
                               "przy głowicach od strony źródła wody, rury boczne po najkrótszym drzewie omijającym "
                               "budynki i wodę oraz rurę główną od źródła; potem program dobiera średnice rur."),
                           this);
  about->setWordWrap(true);
  layout->addWidget(about);
  auto* form = new QFormLayout;
  section_ = new QComboBox(this);
  section_->setObjectName("section");
  section_->setAccessibleName("Sekcja");
  section_->addItem("Wszystkie sekcje", -1);
  const CSectionList& sections = sectionList();
  for (int i = 0; i < sections.count(); ++i) {
    QString text = QString::fromUtf8("Sekcja %1").arg(i + 1);
    if (!sections.item(i).desc.empty()) text += QString::fromUtf8(" – ") + platform::toQString(sections.item(i).desc);
    section_->addItem(text, i);
  }
  form->addRow("Sekcja:", section_);
  CElem* head = application().catalogue.head;
  valve_ = new QComboBox(this);
  valve_->setObjectName("valve");
  valve_->setAccessibleName(QString::fromUtf8("Zawór sekcji"));
  valve_->addItem(QString::fromUtf8("Pierwszy, który przeniesie wydatek sekcji"), pointer(nullptr));
  box_ = new QComboBox(this);
  box_->setObjectName("valveBox");
  box_->setAccessibleName(QString::fromUtf8("Studzienka zaworów"));
  box_->addItem(QString::fromUtf8("Pierwsza z bazy danych"), pointer(nullptr));
  for (CElem* e = head; e; e = e->next) {
    if (!e->data || e->archived || e->deleted) continue;
    if (e->kind == kKindValve) valve_->addItem(nameOf(e), pointer(e));
    if (e->kind == kKindValveBox) box_->addItem(nameOf(e), pointer(e));
  }
  form->addRow(QString::fromUtf8("Zawór sekcji:"), valve_);
  form->addRow(QString::fromUtf8("Studzienka zaworów:"), box_);
  pipes_ = pipeTypeList(this);
  form->addRow("Rury do wyboru:", pipes_);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  QPushButton* run = namedButton(QString::fromUtf8("Poprowadź"), this);
  run->setDefault(true);
  QPushButton* cancel = namedButton("Anuluj", this);
  buttons->addStretch();
  buttons->addWidget(run);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(run, &QPushButton::clicked, this, &QDialog::accept);
  // Sizing needs at least one pipe to choose from.
  connect(pipes_, &QListWidget::itemChanged, this, [this, run] { run->setEnabled(!checkedPipes(pipes_).empty()); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(520, 260);
}

routing::Options CDlgRoute::options() const {
  routing::Options o;
  o.section = section_->currentData().toInt();
  o.sectionCount = sectionList().count();
  o.catalogue = application().catalogue.head;
  o.valve = static_cast<CElem*>(valve_->currentData().value<void*>());
  o.valveBox = static_cast<CElem*>(box_->currentData().value<void*>());
  o.allowedPipes = checkedPipes(pipes_);
  return o;
}
