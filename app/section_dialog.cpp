#include "app/section_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/mbutton.h"
#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "editing/ui/plan_view.h"
#include "platform/qt_text.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"

CDlgSecSel::CDlgSecSel(CProjWnd& view, QWidget* parent) : QDialog(parent), view_(view) {
  setWindowTitle("Podziel system na sekcje");
  setAccessibleName(windowTitle());
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  area_ = new QScrollArea(this);
  area_->setObjectName("sectionRows");
  area_->setAccessibleName("Sekcje");
  area_->setWidgetResizable(true);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area_->setFrameShape(QFrame::NoFrame);
  auto* inner = new QWidget(area_);
  rowsLayout_ = new QVBoxLayout(inner);
  rowsLayout_->setContentsMargins(0, 0, 0, 0);
  rowsLayout_->setSpacing(0);
  rowsLayout_->addStretch(1);
  area_->setWidget(inner);
  layout->addWidget(area_);

  auto* buttons = new QHBoxLayout;
  QPushButton* add = namedButton(QString::fromUtf8("Dodaj sekcję"), this);
  QPushButton* remove = namedButton(QString::fromUtf8("Usuń sekcję"), this);
  for (QPushButton* b : {add, remove}) b->setAutoDefault(false);
  buttons->addWidget(add);
  buttons->addWidget(remove);
  layout->addLayout(buttons);
  QPushButton* zones = namedButton(QString::fromUtf8("Podziel na sekcje automatycznie"), this);
  zones->setObjectName("autoZones");
  zones->setAutoDefault(false);
  layout->addWidget(zones);
  marking_ = new QCheckBox("  Zaznacz elementy sekcji", this);
  marking_->setObjectName("check1002");
  layout->addWidget(marking_);
  QPushButton* parameters = namedButton("Parametry hydrauliczne systemu", this);
  parameters->setAutoDefault(false);
  layout->addWidget(parameters);
  QPushButton* exit = namedButton(QString::fromUtf8("Wyjdź"), this);
  exit->setDefault(true);
  layout->addWidget(exit, 0, Qt::AlignRight);

  connect(add, &QPushButton::clicked, this, &CDlgSecSel::addSection);
  connect(remove, &QPushButton::clicked, this, &CDlgSecSel::deleteSection);
  connect(marking_, &QCheckBox::toggled, this, &CDlgSecSel::setMarking);
  connect(parameters, &QPushButton::clicked, this, &CDlgSecSel::systemParametersRequested);
  connect(zones, &QPushButton::clicked, this, &CDlgSecSel::autoZonesRequested);
  connect(exit, &QPushButton::clicked, this, &CDlgSecSel::reject);

  rebuildRows(0);
}

CDlgSecSel::~CDlgSecSel() { finish(); }

QAbstractButton* CDlgSecSel::rowEditButton(int i) const { return rows_.at(i).edit; }

void CDlgSecSel::rebuildRows(int current) {
  for (Row& r : rows_) delete r.widget;
  rows_.clear();
  CSectionList& table = sectionList();
  table.refreshFromObjects(view_.document());
  QWidget* inner = area_->widget();
  for (int i = 0; i < table.count(); ++i) {
    Row r;
    r.widget = new QWidget(inner);
    r.widget->setFixedHeight(kRowPitch);
    auto* row = new QHBoxLayout(r.widget);
    row->setContentsMargins(0, 0, 0, 1);
    row->setSpacing(6);
    r.button = new CMButton(r.widget);
    r.button->setObjectName(QString("radio%1").arg(10001 + i));
    r.button->rowNumber = i;
    r.button->setButtonText(platform::cp(QString("Sekcja %1").arg(i + 1).toUtf8().constData()));
    r.button->setCheckable(true);
    r.button->setAutoDefault(false);
    r.button->setMinimumWidth(120);
    r.swatch = new ColourSwatch(table.item(i).color, r.widget);
    r.swatch->setAccessibleName(QString("Kolor sekcji %1").arg(i + 1));
    r.swatch->setToolTip(platform::toQString(table.item(i).desc));
    r.edit = namedButton("...", r.widget);
    r.edit->setObjectName(QString("button%1").arg(11002 + i));
    r.edit->setAccessibleName(QString("Kolor i opis sekcji %1").arg(i + 1));
    r.edit->setAutoDefault(false);
    r.edit->setFixedWidth(32);
    r.description = new QLabel(r.widget);
    r.description->setMinimumWidth(160);
    r.description->setAccessibleName(QString("Opis sekcji %1").arg(i + 1));
    showDescription(r, table.item(i).desc);
    row->addWidget(r.button);
    row->addWidget(r.swatch);
    row->addWidget(r.edit);
    row->addWidget(r.description, 1);
    rowsLayout_->insertWidget(i, r.widget);
    r.widget->show();
    connect(r.button, &QPushButton::clicked, this, [this, i] { chooseRow(i); });
    connect(r.edit, &QPushButton::clicked, this, [this, i] { editRow(i); });
    rows_.push_back(r);
  }
  fitRows();
  chooseRow(std::clamp(current, 0, rowCount() - 1));
}

void CDlgSecSel::showDescription(Row& r, const std::string& desc) {
  const QString text = platform::toQString(desc);
  r.description->setToolTip(text);
  r.description->setText(r.description->fontMetrics().elidedText(text, Qt::ElideRight, 220));
}

void CDlgSecSel::fitRows() {
  // Up to 20 rows stand in full; more scroll.
  const int shown = std::min(rowCount(), kVisibleRows);
  area_->setFixedHeight(shown * kRowPitch + 2);
  area_->setVerticalScrollBarPolicy(rowCount() > kVisibleRows ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  adjustSize();
}

void CDlgSecSel::chooseRow(int i) {
  if (i < 0 || i >= rowCount()) return;
  for (int k = 0; k < rowCount(); ++k) {
    rows_[k].button->setChecked(k == i);
    rows_[k].button->SetSelected(k == i);
  }
  CSectionList& table = sectionList();
  table.select(i);
  PlanEditor& editor = view_.editor();
  editor.currentSection = table.currentSection();
  editor.currentSectionColour = table.currentColour();
  area_->ensureWidgetVisible(rows_[i].widget);
}

void CDlgSecSel::addSection() {
  const int n = sectionList().addSection();
  if (n < 0) return;
  rebuildRows(n);
  QScrollBar* bar = area_->verticalScrollBar();
  bar->setValue(bar->maximum());
  emit sectionsChanged();
}

void CDlgSecSel::deleteSection() {
  CSectionList& table = sectionList();
  const int k = table.currentSection();
  // The table asks "Usunięcie tej sekcji spowoduje zmiany w raportach ...".
  if (!table.deleteSection(view_.document(), k)) return;
  extraReportElements().onSectionRemoved(k);
  rebuildRows(0);
  view_.modified = true;
  view_.refresh();
  emit sectionsChanged();
}

void CDlgSecSel::editRow(int i) {
  if (i < 0 || i >= rowCount()) return;
  Row& r = rows_[i];
  r.swatch->pick(QString("Sekcja %1").arg(i + 1));
  CSectionList& table = sectionList();
  CDlgTextIn names(table.item(i).desc, this);
  names.exec();
  // The description is what the field holds, however the dialog was closed.
  table.describeSection(view_.document(), i, names.result, r.swatch->colour());
  showDescription(r, table.item(i).desc);
  if (r.button->isChecked()) chooseRow(i);
  view_.modified = true;
  view_.refresh();
  emit sectionsChanged();
}

void CDlgSecSel::setMarking(bool on) {
  CGraphicPlane& doc = view_.document();
  if (on) {
    savedTool_ = doc.tool;
    savedSelectMode_ = view_.selectMode();
    markingSaved_ = true;
    view_.editor().clearSelection();
    view_.cancelTool();
    view_.setTool(kToolSection);
    view_.setSelectMode(1);
  } else if (markingSaved_) {
    markingSaved_ = false;
    view_.setTool(savedTool_);
    view_.setSelectMode(savedSelectMode_);
  }
  view_.refresh();
}

void CDlgSecSel::finish() {
  if (finished_) return;
  finished_ = true;
  // Leaving the dialog ends the marking mode.
  if (markingSaved_) {
    QSignalBlocker block(marking_);
    marking_->setChecked(false);
    setMarking(false);
  }
}

void CDlgSecSel::closeEvent(QCloseEvent* e) {
  finish();
  hide();
  deleteLater();
  e->accept();
}

void CDlgSecSel::reject() {
  finish();
  hide();
  deleteLater();
}
