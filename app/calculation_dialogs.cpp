#include "app/calculation_dialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/mbutton.h"
#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "editing/ui/plan_view.h"
#include "hydraulics/system_parameters.h"
#include "platform/message_sink.h"
#include "platform/qt_text.h"
#include "sections/section_list.h"

using platform::cp;
using platform::toQString;

namespace {

QLineEdit* resultEdit(const QString& name, const QString& accessible, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setAccessibleName(accessible);
  e->setMinimumWidth(90);
  return e;
}

QLineEdit* inputEdit(const QString& name, const QString& accessible, const QString& text, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setAccessibleName(accessible);
  e->setMinimumWidth(90);
  return e;
}

// A labelled row of the grid: label, field, unit.
void addRow(QGridLayout* grid, const QString& label, QWidget* field, const QString& unit = {}) {
  const int row = grid->rowCount();
  auto* l = new QLabel(label, field->parentWidget());
  l->setBuddy(field);
  grid->addWidget(l, row, 0);
  grid->addWidget(field, row, 1);
  if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, field->parentWidget()), row, 2);
}

template <typename Choice>
QComboBox* choiceList(const std::vector<Choice>& choices, int selected, const QString& accessible, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName("list1022");
  list->setAccessibleName(accessible);
  for (const Choice& c : choices) list->addItem(toQString(c.name));
  list->setCurrentIndex(selected);
  list->setMinimumContentsLength(24);
  return list;
}

}  // namespace

// --- the free calculator ----------------------------------------------------------------------

CDlgCalculator::CDlgCalculator(CElem* catalogueHead, QWidget* parent) : QDialog(parent), calc_(catalogueHead) {
  setWindowTitle("Kalkulator");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  types_ = choiceList(calc_.types(), calc_.selectedType(), QString::fromUtf8("Wybierz średnicę rury:"), this);
  flow_ = inputEdit("edit1013", QString::fromUtf8("Wpisz przepływ:"), "0", this);
  length_ = inputEdit("edit1014", QString::fromUtf8("Wpisz długość:"), "0", this);
  outlets_ = inputEdit("edit1029", QString::fromUtf8("Wpisz liczbę wyjść:"), "0", this);
  outlets_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), outlets_));
  drop_ = resultEdit("edit1042", QString::fromUtf8("Spadek ciśnienia"), this);
  velocity_ = resultEdit("edit1043", QString::fromUtf8("Prędkość wody"), this);
  addRow(grid, QString::fromUtf8("Wybierz średnicę rury:"), types_);
  addRow(grid, QString::fromUtf8("Wpisz przepływ:"), flow_, "m3/h");
  addRow(grid, QString::fromUtf8("Wpisz długość:"), length_, "m");
  addRow(grid, QString::fromUtf8("Wpisz liczbę wyjść:"), outlets_);
  layout->addLayout(grid);
  QPushButton* compute = namedButton("Oblicz", this);
  compute->setDefault(true);
  layout->addWidget(compute, 0, Qt::AlignRight);
  auto* results = new QGridLayout;
  addRow(results, QString::fromUtf8("Spadek ciśnienia"), drop_, "atm.");
  addRow(results, QString::fromUtf8("Prędkość wody"), velocity_, "m/s");
  layout->addLayout(results);
  QPushButton* close = namedButton("Zamknij okno", this);
  close->setAutoDefault(false);
  layout->addWidget(close, 0, Qt::AlignRight);

  connect(types_, &QComboBox::currentIndexChanged, this, [this](int i) { calc_.selectType(i); });
  connect(flow_, &QLineEdit::textChanged, this, [this](const QString& t) { calc_.setFlowText(platform::fromQString(t)); });
  connect(length_, &QLineEdit::textChanged, this,
          [this](const QString& t) { calc_.setLengthText(platform::fromQString(t)); });
  connect(outlets_, &QLineEdit::textChanged, this,
          [this](const QString& t) { calc_.setOutletsText(platform::fromQString(t)); });
  connect(compute, &QPushButton::clicked, this, [this] {
    if (!calc_.compute()) return;
    drop_->setText(toQString(calc_.pressureDropText));
    velocity_->setText(toQString(calc_.velocityText));
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

// --- dialogs with a pointing tool ----------------------------------------------------------------

PlanToolDialog::PlanToolDialog(CProjWnd& view, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), view_(view) {
  setModal(false);
}

void PlanToolDialog::end(bool applied) {
  if (ended_) return;
  ended_ = true;
  view_.cancelTool();
  if (finishCalculation(applied)) view_.modified = true;
  view_.setTool(view_.document().tool);
  view_.refresh();
  emit ended();
}

void PlanToolDialog::apply() {
  end(true);
  hide();
  deleteLater();
}

void PlanToolDialog::closeEvent(QCloseEvent* e) {
  end(false);
  hide();
  deleteLater();
  e->accept();
}

void PlanToolDialog::reject() {
  end(false);
  hide();
  deleteLater();
}

// --- the pipes on the plan ----------------------------------------------------------------------

CDlgPipeParams::CDlgPipeParams(PlanPipeCalculation::Kind kind, CProjWnd& view, CElem* catalogueHead, QWidget* parent)
    : PlanToolDialog(view, parent), calc_(kind, catalogueHead) {
  const bool main = kind == PlanPipeCalculation::Kind::MainPipe;
  setWindowTitle(main ? QString::fromUtf8("Parametry rury głównej") : QString("Parametry rur bocznych"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  QPushButton* pipe = namedButton(QString::fromUtf8("Wskaż rurę"), this);
  QPushButton* consumers = namedButton(main ? QString::fromUtf8("Wskaż zasilane zraszacze/linie kr.")
                                            : QString::fromUtf8("Wskaż podłączone zraszacze/linie kr."),
                                       this);
  // The pointing tool in use shows pressed.
  for (QPushButton* b : {pipe, consumers}) {
    b->setAutoDefault(false);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    layout->addWidget(b);
  }
  auto* grid = new QGridLayout;
  if (main) {
    outlets_ = inputEdit("edit1029", QString::fromUtf8("Wpisz liczbę wyjść:"), "0", this);
    outlets_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), outlets_));
    addRow(grid, QString::fromUtf8("Wpisz liczbę wyjść:"), outlets_);
  }
  types_ = choiceList(calc_.types(), calc_.selectedType(), QString::fromUtf8("Wybierz średnicę rury:"), this);
  addRow(grid, QString::fromUtf8("Wybierz średnicę rury:"), types_);
  layout->addLayout(grid);
  QPushButton* compute = namedButton("Oblicz", this);
  compute->setDefault(true);
  layout->addWidget(compute, 0, Qt::AlignRight);
  auto* results = new QGridLayout;
  if (!main) {
    count_ = resultEdit("edit1030", QString::fromUtf8("Liczba wyjść:"), this);
    addRow(results, QString::fromUtf8("Liczba wyjść:"), count_);
  }
  flow_ = resultEdit("edit1013", QString::fromUtf8("Przepływ:"), this);
  length_ = resultEdit("edit1014", QString::fromUtf8("Długość:"), this);
  drop_ = resultEdit("edit1042", QString::fromUtf8("Spadek ciśnienia"), this);
  velocity_ = resultEdit("edit1043", QString::fromUtf8("Prędkość wody"), this);
  addRow(results, QString::fromUtf8("Przepływ:"), flow_, "m3/h");
  addRow(results, QString::fromUtf8("Długość:"), length_, "m");
  addRow(results, QString::fromUtf8("Spadek ciśnienia"), drop_, "atm.");
  addRow(results, QString::fromUtf8("Prędkość wody"), velocity_, "m/s");
  layout->addLayout(results);
  QPushButton* apply = namedButton("Zastosuj", this);
  apply->setAutoDefault(false);
  layout->addWidget(apply, 0, Qt::AlignRight);

  connect(pipe, &QPushButton::clicked, this, [this] {
    view_.cancelTool();
    view_.setTool(kToolPointPipe);
  });
  connect(consumers, &QPushButton::clicked, this, [this] {
    view_.cancelTool();
    view_.setTool(kToolMarkConnected);
  });
  connect(types_, &QComboBox::currentIndexChanged, this, [this](int i) { calc_.selectType(i); });
  connect(compute, &QPushButton::clicked, this, &CDlgPipeParams::compute);
  connect(apply, &QPushButton::clicked, this, &PlanToolDialog::apply);
}

CDlgPipeParams::~CDlgPipeParams() { end(false); }

void CDlgPipeParams::compute() {
  if (outlets_) {
    bool ok = false;
    const int n = outlets_->text().trimmed().toInt(&ok);
    if (!ok || !calc_.setOutletCount(n)) {
      platform::tell(cp("Wpisz liczbę wyjść od 0 do 100."), cp("Parametry rury głównej"),
                     platform::MessageIcon::Warning);
      outlets_->setFocus();
      outlets_->selectAll();
      return;
    }
  }
  if (!calc_.compute(view_.document())) {
    // The lateral pipe's count and flow show even when no pipe was pointed at.
    if (count_ && !calc_.results.outlets.empty()) {
      count_->setText(toQString(calc_.results.outlets));
      flow_->setText(toQString(calc_.results.flow));
    }
    return;
  }
  const PipeResults& r = calc_.results;
  if (count_) count_->setText(toQString(r.outlets));
  flow_->setText(toQString(r.flow));
  length_->setText(toQString(r.length));
  drop_->setText(toQString(r.pressureDrop));
  velocity_->setText(toQString(r.velocity));
}

bool CDlgPipeParams::finishCalculation(bool applied) {
  CGraphicPlane& doc = view_.document();
  if (!applied) {
    calc_.close(doc);
    return false;
  }
  const bool assigned = pointedPipeOf(doc) && calc_.selectedType() >= 0;
  calc_.apply(doc);
  return assigned;
}

// --- cables -------------------------------------------------------------------------------------

CDlgVoltageDrop::CDlgVoltageDrop(CProjWnd& view, CElem* catalogueHead, QWidget* parent)
    : PlanToolDialog(view, parent, Qt::Tool), calc_(catalogueHead) {
  setWindowTitle("Parametry kabli");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  QPushButton* point = namedButton(QString::fromUtf8("Wskaż kabel"), this);
  point->setObjectName("button1007");
  point->setAutoDefault(false);
  point->setCheckable(true);
  layout->addWidget(point);
  layout->addWidget(new QLabel(QString::fromUtf8("Wybierz liczbę żył i przekrój kabla"), this));
  cables_ = choiceList(calc_.cables(), calc_.selected(), QString::fromUtf8("Wybierz liczbę żył i przekrój kabla"), this);
  layout->addWidget(cables_);
  QPushButton* compute = namedButton("Oblicz", this);
  compute->setDefault(true);
  layout->addWidget(compute, 0, Qt::AlignRight);
  layout->addWidget(new QLabel("--------------------Wyniki-----------------------", this));
  auto* grid = new QGridLayout;
  length_ = resultEdit("edit1029", QString::fromUtf8("Długość:"), this);
  drop_ = resultEdit("edit1042", QString::fromUtf8("Spadek napięcia:"), this);
  addRow(grid, QString::fromUtf8("Długość:"), length_, "m");
  addRow(grid, QString::fromUtf8("Spadek napięcia:"), drop_, "V");
  layout->addLayout(grid);
  QPushButton* apply = namedButton("Zastosuj", this);
  apply->setObjectName("button1001");
  apply->setAutoDefault(false);
  layout->addWidget(apply, 0, Qt::AlignRight);

  connect(point, &QPushButton::clicked, this, [this] {
    view_.cancelTool();
    view_.setTool(kToolPointCable);
  });
  connect(cables_, &QComboBox::currentIndexChanged, this, [this](int i) { calc_.select(i); });
  connect(compute, &QPushButton::clicked, this, &CDlgVoltageDrop::compute);
  connect(apply, &QPushButton::clicked, this, &PlanToolDialog::apply);
  // It opens where the pointer is, as a tool window, whole on the screen.
  adjustSize();
  QPoint at = QCursor::pos() - QPoint(width() / 2, height() / 2);
  if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
    const QRect room = screen->availableGeometry();
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height() - 30)));
  }
  move(at);
}

CDlgVoltageDrop::~CDlgVoltageDrop() { end(false); }

void CDlgVoltageDrop::compute() {
  if (!calc_.compute(view_.document())) return;
  length_->setText(toQString(calc_.lengthText));
  drop_->setText(toQString(calc_.dropText));
}

bool CDlgVoltageDrop::finishCalculation(bool applied) {
  CGraphicPlane& doc = view_.document();
  if (!applied) {
    calc_.close(doc);
    return false;
  }
  const bool assigned = pointedCableOf(doc) && calc_.selected() >= 0;
  calc_.apply(doc);
  return assigned;
}

// --- system parameters ----------------------------------------------------------------------------

namespace {

// The pink band with its caption that stands above each list.
class CaptionBand : public QWidget {
 public:
  CaptionBand(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setFixedHeight(19);
    setAccessibleName(text);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xAF, 0xAF, 0xFF));
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    drawOwnerText(p, {4, 2}, platform::fromQString(text_));
  }

 private:
  QString text_;
};

// The bar of a section's flow against the source capacity.
class ShareDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const double share = index.data(CDlgSystemParams::kShareRole).toDouble();
    const bool over = index.data(CDlgSystemParams::kOverRole).toBool();
    const QRect box = option.rect.adjusted(4, 4, -4, -4);
    p->save();
    p->setPen(QColor(0x90, 0x90, 0x90));
    p->setBrush(Qt::white);
    p->drawRect(box.adjusted(0, 0, -1, -1));
    const int w = static_cast<int>(std::min(share, 1.0) * (box.width() - 2));
    p->fillRect(QRect(box.left() + 1, box.top() + 1, w, box.height() - 2),
                over ? QColor(0xD0, 0x20, 0x20) : QColor(0x3C, 0x8C, 0xDC));
    p->setPen(over ? Qt::white : Qt::black);
    p->drawText(box, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index).expandedTo({120, 22});
  }
};

QTreeWidget* plainList(int columns, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setColumnCount(columns);
  list->setRootIsDecorated(false);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setFocusPolicy(Qt::NoFocus);
  list->setUniformRowHeights(true);
  return list;
}

}  // namespace

CDlgSystemParams::CDlgSystemParams(const CGraphicPlane& doc, QWidget* parent) : QDialog(parent) {
  setWindowTitle(toQString(SystemParametersTexts::title()));
  setAccessibleName(windowTitle());
  const SystemParametersView view = systemParametersView(doc, ::sectionList());
  const std::vector<SectionSummary> summaries = GatherSections(doc);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(0);
  layout->addWidget(new CaptionBand(toQString(SystemParametersTexts::sourceCaption()), this));
  source_ = plainList(2, this);
  source_->setObjectName("sourceList");
  source_->setAccessibleName(toQString(SystemParametersTexts::sourceCaption()));
  source_->setHeaderHidden(true);
  source_->setColumnWidth(0, 140);
  source_->setColumnWidth(1, 130);
  for (const SourceParameterRow& r : view.source)
    source_->addTopLevelItem(new QTreeWidgetItem({toQString(r.label), toQString(r.value)}));
  source_->setFixedHeight(source_->sizeHintForRow(0) * 2 + 8);
  layout->addWidget(source_);
  layout->addSpacing(12);
  layout->addWidget(new CaptionBand(toQString(SystemParametersTexts::sectionCaption()), this));
  sections_ = plainList(4, this);
  sections_->setObjectName("sectionList");
  sections_->setAccessibleName(toQString(SystemParametersTexts::sectionCaption()));
  sections_->setHeaderLabels({toQString(SystemParametersTexts::sectionColumn()),
                              toQString(SystemParametersTexts::flowColumn()),
                              toQString(SystemParametersTexts::devicesColumn()),
                              QString::fromUtf8("Wykorzystanie źródła")});
  // Wide enough for the descriptions and the column titles.
  const int widths[] = {230, 125, 160, 150};
  for (int c = 0; c < 4; ++c) sections_->setColumnWidth(c, widths[c]);
  sections_->setItemDelegateForColumn(3, new ShareDelegate(sections_));
  for (size_t i = 0; i < view.sections.size(); ++i) {
    const SectionParameterRow& r = view.sections[i];
    auto* item = new QTreeWidgetItem({toQString(r.section), toQString(r.flow), toQString(r.devices)});
    item->setTextAlignment(1, Qt::AlignCenter);
    item->setTextAlignment(2, Qt::AlignCenter);
    const float flow = i < summaries.size() ? summaries[i].flowSum : 0.0f;
    const double share = doc.sourceCapacity > 0 ? flow / doc.sourceCapacity : (flow > 0 ? 1.0 : 0.0);
    item->setData(3, kShareRole, share);
    item->setData(3, kOverRole, flow > doc.sourceCapacity);
    item->setText(3, doc.sourceCapacity > 0 ? QString("%1%").arg(qRound(share * 100)) : QString("-"));
    sections_->addTopLevelItem(item);
  }
  sections_->setMinimumSize(230 + 125 + 160 + 150 + 4, 220);
  layout->addWidget(sections_, 1);
  layout->addSpacing(8);
  addDialogButtons(this, layout, toQString(SystemParametersTexts::exitButton()));
}
