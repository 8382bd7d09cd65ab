#include "app/object_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/small_dialogs.h"
#include "document/app_state.h"
#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/system_parameters.h"
#include "platform/message_sink.h"
#include "objects/text_dimension.h"
#include "objects/wbase.h"
#include "partix.h"
#include <cstring>
#include "platform/canvas_qpainter.h"
#include "platform/qt_text.h"

namespace {

QPushButton* button(const QString& text, QWidget* parent) { return namedButton(text, parent); }

QComboBox* labelledList(const QString& label, QGridLayout* grid, int row, QWidget* parent) {
  auto* l = new QLabel(label, parent);
  auto* list = new QComboBox(parent);
  list->setAccessibleName(label);
  l->setBuddy(list);
  grid->addWidget(l, row, 0);
  grid->addWidget(list, row, 1);
  return list;
}

}  // namespace

// --- fill kind --------------------------------------------------------------------

const int kFillDialogKinds[8] = {kFillBuilding, kFillPaving, kFillWater, kFillLawn,
                                 kFillHedge,    kFillTrees,  kFillFlowers, kFillOther};

int fillDialogEntry(int kind) {
  for (int i = 0; i < 8; ++i)
    if (kFillDialogKinds[i] == kind) return i;
  return 7;
}

void applyFillChoice(CPrimitive& shape, int kind, platform::Colour fillColour) {
  shape.SetFillKind(kind);  // the outline colour of the kind, the cached brush dropped
  shape.fillColour = fillColour;
}

CDlgFillSel::CDlgFillSel(int kind, platform::Colour fillColour, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Przypisz/Zmień wypełnienie"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  list_ = new QComboBox(this);
  list_->setObjectName("list1022");
  list_->setAccessibleName(QString::fromUtf8("Rodzaj wypełnienia"));
  for (int k : kFillDialogKinds) list_->addItem(platform::toQString(fillKindName(k)), k);
  layout->addWidget(list_);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel("Kolor", this);
  swatch_ = new ColourSwatch(fillColour, this);
  swatch_->setAccessibleName("Kolor");
  auto* change = button(QString::fromUtf8("zmień"), this);
  change_ = change;
  row->addWidget(label);
  row->addWidget(swatch_);
  row->addWidget(change);
  row->addStretch();
  layout->addLayout(row);
  addDialogButtons(this, layout);
  connect(change, &QPushButton::clicked, this, [this] { swatch_->pick("Kolor"); });
  connect(list_, &QComboBox::currentIndexChanged, this, [this](int i) { choose(i); });
  list_->setCurrentIndex(fillDialogEntry(kind));
  choose(list_->currentIndex());
}

void CDlgFillSel::choose(int entry) {
  fillKind = kFillDialogKinds[std::clamp(entry, 0, 7)];
  // Only "Inne" has a colour of its own.
  const bool own = fillKind == kFillOther;
  swatch_->setEnabled(own);
  change_->setEnabled(own);
}

platform::Colour CDlgFillSel::colour() const { return swatch_->colour(); }

// --- water source ---------------------------------------------------------------------

CDlgSourceParams::CDlgSourceParams(float pressure, float capacity, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Parametry źródła wody"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto field = [&](int row, const QString& label, const QString& unit, float value) {
    auto* l = new QLabel(label, this);
    auto* edit = new QLineEdit(QString::fromStdString(significantText(value, 6)), this);
    edit->setAccessibleName(label);
    l->setBuddy(edit);
    grid->addWidget(l, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(unit, this), row, 2);
    return edit;
  };
  pressure_ = field(0, QString::fromUtf8("Ciśnienie robocze (dynamiczne).:"), "atm.", pressure);
  capacity_ = field(1, QString::fromUtf8("Wydajność................................:"), "m3/h", capacity);
  // Typing replaces the value shown.
  pressure_->setFocus();
  pressure_->selectAll();
  layout->addLayout(grid);
  addDialogButtons(this, layout, "OK", "Anuluj");
}

float CDlgSourceParams::pressure() const { return parseDecimalText(platform::fromQString(pressure_->text())); }
float CDlgSourceParams::capacity() const { return parseDecimalText(platform::fromQString(capacity_->text())); }

void CDlgSourceParams::accept() {
  if (!sourceParametersValid({pressure(), capacity()})) {
    platform::tell(platform::cp("Nieprawidłowe parametry źródła wody."), "Info", platform::MessageIcon::Error);
    return;
  }
  QDialog::accept();
}

// --- rotary nozzles and radius reduction -----------------------------------------------

namespace {

std::string fieldText(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

}  // namespace

// --- nozzle curve ---------------------------------------------------------------------

namespace {

float sourcePressureNow() {
  return app().document ? app().document->sourcePressure : app().currentSourcePressure;
}

}  // namespace

NozzleCurve::NozzleCurve(const QString& flowUnit, QWidget* parent) : QWidget(parent), flowUnit_(flowUnit) {
  setMinimumSize(240, 170);
  setAccessibleName("Krzywa dyszy");
  source_ = sourcePressureNow();
}

void NozzleCurve::setPoints(std::vector<Point3> points) {
  std::erase_if(points, [](const Point3& x) { return !(x.p > 0); });
  std::sort(points.begin(), points.end(), [](const Point3& a, const Point3& b) { return a.p < b.p; });
  points_ = std::move(points);
  update();
}

void NozzleCurve::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::white);
  const QRectF area = QRectF(rect()).adjusted(34, 10, -34, -24);
  p.setPen(QColor(120, 120, 120));
  p.drawRect(area);
  if (points_.size() < 1) return;
  float pMin = points_.front().p, pMax = points_.back().p, qMax = 0, rMax = 0;
  for (const Point3& x : points_) {
    qMax = std::max(qMax, x.q);
    rMax = std::max(rMax, x.r);
  }
  pMin = std::min(pMin, source_ > 0 ? source_ : pMin);
  pMax = std::max(pMax, source_);
  if (pMax <= pMin) pMax = pMin + 1;
  if (qMax <= 0) qMax = 1;
  if (rMax <= 0) rMax = 1;
  auto at = [&](float pressure, float value, float top) {
    return QPointF(area.left() + (pressure - pMin) / (pMax - pMin) * area.width(),
                   area.bottom() - value / (top * 1.1f) * area.height());
  };
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  p.setFont(small);
  // Flow in blue on the left axis, radius in green on the right.
  const QColor flow(30, 90, 200), radius(40, 150, 60);
  for (int series = 0; series < 2; ++series) {
    QPolygonF line;
    for (const Point3& x : points_) line << at(x.p, series == 0 ? x.q : x.r, series == 0 ? qMax : rMax);
    p.setPen(QPen(series == 0 ? flow : radius, 2));
    p.drawPolyline(line);
    for (const QPointF& q : line) p.drawEllipse(q, 2.5, 2.5);
  }
  p.setPen(flow);
  p.drawText(QRectF(2, area.top(), 32, 14), Qt::AlignLeft, QString::number(qMax * 1.1, 'g', 3));
  p.drawText(QRectF(2, area.bottom() + 4, 120, 16), Qt::AlignLeft, "Q " + flowUnit_);
  p.setPen(radius);
  p.drawText(QRectF(area.right() + 2, area.top(), 32, 14), Qt::AlignLeft, QString::number(rMax * 1.1, 'g', 3));
  p.drawText(QRectF(area.right() - 80, area.bottom() + 4, 112, 16), Qt::AlignRight, "R [m]");
  p.setPen(Qt::black);
  p.drawText(QRectF(area.left(), area.bottom() + 4, area.width(), 16), Qt::AlignHCenter,
             QString("P [atm] %1 - %2").arg(pMin, 0, 'g', 3).arg(pMax, 0, 'g', 3));
  // The source's working pressure.
  if (source_ > 0) {
    p.setPen(QPen(QColor(200, 30, 30), 1, Qt::DashLine));
    const double x = at(source_, 0, 1).x();
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.drawText(QRectF(x + 3, area.top() + 2, 80, 14), Qt::AlignLeft, QString("%1 atm").arg(source_, 0, 'g', 3));
  }
}

namespace {

void addRow(NozzleRows& out, std::string name, const WorkPoint (&work)[4]) {
  out.rowNames.push_back(std::move(name));
  std::array<float, 12> p{};
  for (int k = 0; k < 4; ++k) {
    p[k * 3] = work[k].P;
    p[k * 3 + 1] = work[k].Q;
    p[k * 3 + 2] = work[k].R;
  }
  out.points.push_back(p);
}

}  // namespace

NozzleRows rotaryNozzleRows(const CElem* body) {
  NozzleRows out;
  if (!body || !body->data || body->kind != kKindSprinkler) return out;
  const auto* r = static_cast<const CDBSprinkler*>(body->data);
  out.elementName = fieldText(r->name, sizeof r->name);
  for (int i = 0; i < std::min<int>(r->nozzleCount, 100); ++i)
    addRow(out, fieldText(r->nozzles[i].nozzleName, sizeof r->nozzles[i].nozzleName), r->nozzles[i].work);
  return out;
}

NozzleRows insertNozzleRows(const CElem* insert) {
  NozzleRows out;
  if (!insert || !insert->data || insert->kind != kKindHadarInsert) return out;
  const auto* w = static_cast<const CWkladka*>(insert->data);
  out.elementName = fieldText(w->name, sizeof w->name);
  for (int i = 0; i < std::min<int>(w->rowCount, 20); ++i)
    addRow(out, fieldText(w->rows[i].rowName, sizeof w->rows[i].rowName), w->rows[i].work);
  return out;
}

CDlgNozzle::CDlgNozzle(const CElem* body, int row, QWidget* parent)
    : CDlgNozzle(rotaryNozzleRows(body), row, QString::fromUtf8("Wybierz dyszę"), "Nazwa zraszacza", "nr dyszy",
                 "Q [m3/h]", parent) {}

CDlgNozzle* CDlgNozzle::forInsert(const CElem* insert, int row, QWidget* parent) {
  return new CDlgNozzle(insertNozzleRows(insert), row, QString::fromUtf8("Wybierz średnicę dyszy"),
                        QString::fromUtf8("Nazwa wkładki"), "Dysza [mm]", "Q [l/h]", parent);
}

CDlgNozzle::CDlgNozzle(const NozzleRows& rows, int row, const QString& title, const QString& nameLabel,
                       const QString& listLabel, const QString& flowHeader, QWidget* parent)
    : QDialog(parent), data_(rows) {
  build(title, nameLabel, listLabel, flowHeader, row);
}

void CDlgNozzle::build(const QString& title, const QString& nameLabel, const QString& listLabel,
                       const QString& flowHeader, int row) {
  setWindowTitle(title);
  setAccessibleName(title);
  auto* layout = new QVBoxLayout(this);
  auto* nameL = new QLabel(nameLabel, this);
  auto* name = new QLineEdit(platform::toQString(data_.elementName), this);
  name->setReadOnly(true);
  name->setAccessibleName(nameLabel);
  layout->addWidget(nameL);
  layout->addWidget(name);
  auto* rowsLabel = new QLabel(listLabel, this);
  rows_ = new QListWidget(this);
  rows_->setAccessibleName(listLabel);
  for (const std::string& n : data_.rowNames) rows_->addItem(platform::toQString(n));
  layout->addWidget(rowsLabel);
  layout->addWidget(rows_);
  points_ = new QTableWidget(4, 3, this);
  points_->setAccessibleName("Parametry dyszy");
  points_->setHorizontalHeaderLabels({"P [atm]", flowHeader, "R [m]"});
  points_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  points_->verticalHeader()->setVisible(false);
  points_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  points_->setMinimumSize(240, 140);
  curve_ = new NozzleCurve(flowHeader.mid(2), this);
  auto* beside = new QHBoxLayout;
  beside->addWidget(points_);
  beside->addWidget(curve_);
  layout->addLayout(beside);
  addDialogButtons(this, layout);
  connect(rows_, &QListWidget::currentRowChanged, this, &CDlgNozzle::showRow);
  if (!data_.rowNames.empty()) rows_->setCurrentRow(std::clamp(row, 0, static_cast<int>(data_.rowNames.size()) - 1));
}

int CDlgNozzle::row() const { return std::max(0, rows_->currentRow()); }

void CDlgNozzle::showRow(int row) {
  if (row < 0 || row >= static_cast<int>(data_.points.size())) return;
  std::vector<NozzleCurve::Point3> curve;
  for (int i = 0; i < 4; ++i) {
    for (int c = 0; c < 3; ++c)
      points_->setItem(i, c, new QTableWidgetItem(QString::fromStdString(significantText(data_.points[row][i * 3 + c], 6))));
    curve.push_back({data_.points[row][i * 3], data_.points[row][i * 3 + 1], data_.points[row][i * 3 + 2]});
  }
  curve_->setPoints(std::move(curve));
}

namespace {

bool isStaticNozzleKind(uint32_t kind) {
  return kind == kKindVanNozzle || kind == kKindStripNozzle || kind == kKindMpNozzle || kind == kKindVanNozzleFixed ||
         kind == kKindMpNozzleFixed || kind == kKindRectRotaryNozzle;
}

// A grid cell: six significant digits, or two decimals with zero left empty.
QString cellText(float v, bool twoDecimals) {
  if (!twoDecimals) return QString::fromStdString(significantText(v, 6));
  return v == 0 ? QString() : QString::number(static_cast<double>(v), 'f', 2);
}

QTableWidget* grid(QWidget* parent, int rows, const QStringList& headers) {
  auto* t = new QTableWidget(rows, static_cast<int>(headers.size()), parent);
  t->setAccessibleName("Parametry dyszy");
  t->setHorizontalHeaderLabels(headers);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->verticalHeader()->setVisible(false);
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  t->setMinimumSize(240, 40 + 26 * rows);
  return t;
}

void fillWork(QTableWidget* t, const WorkPoint* work, int rows, bool twoDecimals) {
  for (int i = 0; i < rows; ++i) {
    const float v[3] = {work[i].P, work[i].Q, work[i].R};
    for (int c = 0; c < 3; ++c) t->setItem(i, c, new QTableWidgetItem(cellText(v[c], twoDecimals)));
  }
}

void fillStrips(QTableWidget* t, const CPrDane* strips, bool twoDecimals) {
  for (int i = 0; i < 4; ++i) {
    t->setItem(i, 0, new QTableWidgetItem(cellText(strips[i].pressure, twoDecimals)));
    t->setItem(i, 1, new QTableWidgetItem(cellText(strips[i].flow, twoDecimals)));
    t->setItem(i, 2, new QTableWidgetItem(platform::toQString(fieldText(strips[i].size, sizeof strips[i].size))));
  }
}

}  // namespace

CDlgStaticNozzles::CDlgStaticNozzles(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Wybierz dyszę"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setAccessibleName("Dysze");
  list_->setMinimumWidth(320);
  std::vector<std::pair<QString, CElem*>> nozzles;
  if (const CPartix* cat = app().catalogue)
    for (CElem* e = cat->head; e; e = e->next)
      if (e->data && !e->archived && isStaticNozzleKind(e->kind))
        nozzles.push_back({platform::toQString(fieldText(e->data->name, sizeof e->data->name)), e});
  std::stable_sort(nozzles.begin(), nozzles.end(),
                   [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
  for (const auto& [text, e] : nozzles) {
    auto* item = new QListWidgetItem(text, list_);
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(e)));
  }
  if (list_->count()) list_->setCurrentRow(0);
  layout->addWidget(list_);
  addDialogButtons(this, layout, "OK", "Anuluj");
}

CElem* CDlgStaticNozzles::chosen() const {
  const QListWidgetItem* item = list_->currentItem();
  return item ? static_cast<CElem*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

CDlgNozzleParams::CDlgNozzleParams(const CElem* nozzle, QWidget* parent) : QDialog(parent), nozzle_(nozzle) {
  setWindowTitle("Parametry dyszy");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* nameRow = new QHBoxLayout;
  auto* name = new QLineEdit(nozzle && nozzle->data ? platform::toQString(fieldText(nozzle->data->name, sizeof nozzle->data->name)) : QString(), this);
  name->setReadOnly(true);
  name->setAccessibleName("Nazwa");
  nameRow->addWidget(new QLabel("Nazwa", this));
  nameRow->addWidget(name);
  layout->addLayout(nameRow);
  const QStringList circle{"P [atm]", "Q [m3/h]", "R [m]"};
  const uint32_t kind = nozzle && nozzle->data ? nozzle->kind : 0xFFFFFFFFu;
  auto angleList = [&](int count, const std::function<float(int)>& angle) {
    angles_ = new QListWidget(this);
    angles_->setAccessibleName(QString::fromUtf8("Kąt"));
    for (int i = 0; i < count; ++i) angles_->addItem(QString::number(static_cast<double>(angle(i)), 'f', 0));
    layout->addWidget(new QLabel(QString::fromUtf8("Kąt"), this));
    layout->addWidget(angles_);
  };
  auto angleField = [&](float angle) {
    auto* row = new QHBoxLayout;
    auto* field = new QLineEdit(QString::number(static_cast<double>(angle), 'f', 0), this);
    field->setReadOnly(true);
    field->setAccessibleName(QString::fromUtf8("Kąt"));
    row->addWidget(new QLabel(QString::fromUtf8("Kąt"), this));
    row->addWidget(field);
    layout->addLayout(row);
  };
  switch (kind) {
    case kKindVanNozzle: {
      const auto* r = static_cast<const CDyszaVan*>(nozzle->data);
      angleList(std::min<int>(r->rowCount, 20), [r](int i) { return r->rows[i].angle; });
      points_ = grid(this, 4, circle);
      break;
    }
    case kKindMpNozzle: {
      const auto* r = static_cast<const CDyszaMP*>(nozzle->data);
      angleList(std::clamp<int>(r->rowCount, 0, 10), [r](int i) { return r->rows[i].angle; });
      points_ = grid(this, 7, circle);
      break;
    }
    case kKindVanNozzleFixed: {
      const auto* r = static_cast<const CNozzleVanNonReg*>(nozzle->data);
      angleField(r->row.angle);
      points_ = grid(this, 4, circle);
      fillWork(points_, r->row.work, 4, true);
      break;
    }
    case kKindMpNozzleFixed: {
      const auto* r = static_cast<const CNozzleMPNonReg*>(nozzle->data);
      angleField(r->row.angle);
      points_ = grid(this, 4, circle);
      fillWork(points_, r->row.work, 4, true);
      break;
    }
    case kKindStripNozzle:
      points_ = grid(this, 4, {"P [atm]", "Q [m3/h]", "WxL [m]"});
      fillStrips(points_, static_cast<const CDyszaPr*>(nozzle->data)->strips, false);
      break;
    case kKindRectRotaryNozzle:
      points_ = grid(this, 4, {"P [atm]", "Q [m3/h]", "WxL [m]"});
      fillStrips(points_, static_cast<const CNozzleRectNonReg*>(nozzle->data)->strips, true);
      break;
    default: break;
  }
  if (points_) {
    auto* beside = new QHBoxLayout;
    beside->addWidget(points_);
    if (kind == kKindVanNozzle || kind == kKindMpNozzle || kind == kKindVanNozzleFixed || kind == kKindMpNozzleFixed) {
      curve_ = new NozzleCurve("[m3/h]", this);
      beside->addWidget(curve_);
      const ArcRow4* fixed = kind == kKindVanNozzleFixed ? &static_cast<const CNozzleVanNonReg*>(nozzle->data)->row
                             : kind == kKindMpNozzleFixed ? &static_cast<const CNozzleMPNonReg*>(nozzle->data)->row
                                                          : nullptr;
      if (fixed) {
        std::vector<NozzleCurve::Point3> c;
        for (const WorkPoint& w : fixed->work) c.push_back({w.P, w.Q, w.R});
        curve_->setPoints(std::move(c));
      }
    }
    layout->addLayout(beside);
  }
  if (angles_) {
    connect(angles_, &QListWidget::currentRowChanged, this, &CDlgNozzleParams::showAngle);
    if (angles_->count()) angles_->setCurrentRow(0);
  }
  addDialogButtons(this, layout, "OK", "Anuluj");
}

void CDlgNozzleParams::showAngle(int row) {
  if (row < 0 || !points_) return;
  const WorkPoint* work = nullptr;
  int n = 0;
  if (nozzle_->kind == kKindVanNozzle) {
    work = static_cast<const CDyszaVan*>(nozzle_->data)->rows[row].work;
    n = 4;
  } else if (nozzle_->kind == kKindMpNozzle) {
    work = static_cast<const CDyszaMP*>(nozzle_->data)->rows[row].work;
    n = 7;
  }
  if (!work) return;
  fillWork(points_, work, n, false);
  if (curve_) {
    std::vector<NozzleCurve::Point3> c;
    for (int i = 0; i < n; ++i) c.push_back({work[i].P, work[i].Q, work[i].R});
    curve_->setPoints(std::move(c));
  }
}

std::string dripTypeShortName(const std::string& name) {
  const size_t open = name.find('<');
  const size_t close = open == std::string::npos ? std::string::npos : name.find('>', open + 1);
  if (close == std::string::npos) return name;
  return name.substr(open + 1, close - open - 1);
}

CDlgDripType::CDlgDripType(CElem* current, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Zmień typ linii kroplującej"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setAccessibleName(QString::fromUtf8("Typ linii kroplującej"));
  std::vector<std::pair<QString, CElem*>> types;
  if (const CPartix* cat = app().catalogue)
    for (CElem* e = cat->head; e; e = e->next)
      if (e->kind == kKindDripLine && e->data)
        types.push_back({platform::toQString(dripTypeShortName(fieldText(e->data->name, sizeof e->data->name))), e});
  std::stable_sort(types.begin(), types.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [text, e] : types) {
    auto* item = new QListWidgetItem(text, list_);
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(e)));
    if (e == current) list_->setCurrentItem(item);
  }
  layout->addWidget(list_);
  addDialogButtons(this, layout, "Zastosuj", QString::fromUtf8("Wyjście"));
}

CElem* CDlgDripType::chosen() const {
  const QListWidgetItem* item = list_->currentItem();
  return item ? static_cast<CElem*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

CDlgReduction::CDlgReduction(CWBase& object, std::function<void()> changed, QWidget* parent)
    : QDialog(parent), object_(object), changed_(std::move(changed)) {
  setWindowTitle("Redukcja promienia zraszania");
  setAccessibleName(windowTitle());
  setAttribute(Qt::WA_DeleteOnClose);
  full_ = object.GetType() == kTypeMicroSprinkler ? 100 : 25;
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, full_);
  slider_->setAccessibleName(QString::fromUtf8("Redukcja promienia"));
  slider_->setMinimumWidth(220);
  row->addWidget(new QLabel("0%", this));
  row->addWidget(slider_);
  row->addWidget(new QLabel(QString("%1%").arg(full_), this));
  layout->addLayout(row);
  auto* levelRow = new QHBoxLayout;
  auto* levelLabel = new QLabel("Poziom redukcji:", this);
  level_ = new QLineEdit(this);
  level_->setReadOnly(true);
  level_->setAccessibleName(levelLabel->text());
  levelRow->addWidget(levelLabel);
  levelRow->addWidget(level_);
  layout->addLayout(levelRow);
  auto* box = new QDialogButtonBox(this);
  QPushButton* ok = button("Ok", this);
  QPushButton* leave = button(QString::fromUtf8("Wyjdź"), this);
  box->addButton(ok, QDialogButtonBox::AcceptRole);
  box->addButton(leave, QDialogButtonBox::RejectRole);
  layout->addWidget(box);
  const int start = std::clamp(static_cast<int>(object.GetReduction() * full_), 0, full_);
  slider_->setValue(start);
  level_->setText(QString::number(start));
  connect(slider_, &QSlider::valueChanged, this, &CDlgReduction::moved);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(leave, &QPushButton::clicked, this, [this] {
    // The full radius, whatever it was when the dialog opened.
    object_.ReduceRadius(0);
    if (changed_) changed_();
    reject();
  });
}

void CDlgReduction::moved(int position) {
  level_->setText(QString::number(position));
  object_.ReduceRadius(static_cast<float>(position) / full_);
  if (changed_) changed_();
}

// --- object list -------------------------------------------------------------------------

CDlgObjList::CDlgObjList(CGraphicPlane& doc, std::function<void()> changed, QWidget* parent)
    : QDialog(parent, Qt::Tool), doc_(doc), changed_(std::move(changed)) {
  setWindowTitle("Wybierz obiekt");
  setAccessibleName(windowTitle());
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName("list1068");
  list_->setAccessibleName("Obiekty planu");
  list_->setMinimumSize(260, 320);
  // Names are found whatever their case and Polish letters.
  auto* search = new QLineEdit(this);
  search->setObjectName("search");
  search->setAccessibleName("Szukaj");
  search->setPlaceholderText("Szukaj");
  search->setClearButtonEnabled(true);
  layout->addWidget(search);
  connect(search, &QLineEdit::textChanged, this, [this](const QString& text) {
    const QString wanted = text.trimmed();
    for (int i = 0; i < list_->count(); ++i)
      list_->item(i)->setHidden(!platform::searchMatches(list_->item(i)->text(), wanted));
  });
  const auto& objects = doc_.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->deleted) continue;
    auto* item = new QListWidgetItem(platform::toQString(objects[i]->GetKindName()), list_);
    item->setData(Qt::UserRole, static_cast<qulonglong>(i));
  }
  layout->addWidget(list_);
  connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (!item) return;
    const auto i = static_cast<size_t>(item->data(Qt::UserRole).toULongLong());
    if (i < doc_.objects().size() && !doc_.objects()[i]->deleted) doc_.selected = doc_.objects()[i].get();
    if (changed_) changed_();
  });
}

// --- label rotation -------------------------------------------------------------------

int rotationSliderPosition(int angle) { return static_cast<int>(angle / 3600.0 * 360); }
int rotationAngle(int sliderPosition) { return static_cast<int>(sliderPosition / 360.0 * 3600); }

CDLGRotText::CDLGRotText(int& angle, std::function<void()> changed, QWidget* parent)
    : QDialog(parent), angle_(angle), changed_(std::move(changed)) {
  setWindowTitle(QString::fromUtf8("Obróć opis"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("slider1046");
  slider_->setAccessibleName(QString::fromUtf8("Kąt opisu"));
  slider_->setRange(0, 360);
  slider_->setMinimumWidth(260);
  layout->addWidget(slider_);
  auto* row = new QHBoxLayout;
  edit_ = new QLineEdit(this);
  edit_->setObjectName("edit1013");
  edit_->setReadOnly(true);
  edit_->setAccessibleName(QString::fromUtf8("Kąt [°]"));
  auto* plus = button("+", this);
  auto* minus = button("-", this);
  row->addWidget(edit_);
  row->addWidget(plus);
  row->addWidget(minus);
  layout->addLayout(row);
  addDialogButtons(this, layout, "Ok");
  const int start = std::clamp(rotationSliderPosition(angle_), 0, 360);
  slider_->setValue(start);
  edit_->setText(QString::number(start));
  // The label turns as the slider moves.
  connect(slider_, &QSlider::valueChanged, this, &CDLGRotText::moved);
  connect(plus, &QPushButton::clicked, this, [this] { slider_->setValue(slider_->value() + 1); });
  connect(minus, &QPushButton::clicked, this, [this] { slider_->setValue(slider_->value() - 1); });
}

void CDLGRotText::moved(int position) {
  edit_->setText(QString::number(position));
  angle_ = rotationAngle(position);
  if (changed_) changed_();
}

// --- text settings -----------------------------------------------------------------------

TextSettings TextSettings::fromText(const CWText& t) {
  TextSettings s;
  s.text = t.text.substr(0, kMaxText);
  s.fontFace = t.fontFace;
  s.fontSize = t.fontHeight;
  s.fontWeight = t.fontWeight;
  s.italic = t.italic;
  s.underline = t.underline;
  s.textColour = t.textColour;
  return s;
}

void TextSettings::applyTo(CWText& t) const {
  t.setText(text);
  t.setFontFace(fontFace);
  t.fontHeight = fontSize;
  t.fontWeight = fontWeight;
  t.textAngle = angle;
  t.italic = italic;
  t.underline = underline;
  t.textColour = textColour;
}

namespace {

// The preview: the text as it will stand on the plan, on white.
class TextPreview : public QWidget {
 public:
  TextPreview(const TextSettings& s, QWidget* parent) : QWidget(parent), s_(s) {
    setMinimumSize(223, 97);
    setAccessibleName(QString::fromUtf8("Podgląd"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (s_.fontFace.empty()) return;
    p.setClipRect(rect());
    platform::QPainterCanvas c(p);
    platform::Font f;
    f.face = s_.fontFace;
    f.height = s_.fontSize;
    f.weight = s_.fontWeight;
    f.italic = s_.italic != 0;
    f.underline = s_.underline != 0;
    f.escapement = s_.angle;
    c.setFont(f);
    c.setTextColour(s_.textColour);
    c.setOpaqueBackground(false);
    c.text({75, 25}, s_.text);
  }

 private:
  const TextSettings& s_;
};

}  // namespace

CDLGFonSettings::CDLGFonSettings(const TextSettings& start, QWidget* parent) : QDialog(parent), settings(start) {
  setWindowTitle("Ustawienia tekstu");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* textLabel = new QLabel("Wpisz tekst:", this);
  text_ = new QLineEdit(platform::toQString(settings.text), this);
  text_->setObjectName("edit1013");
  text_->setAccessibleName(textLabel->text());
  text_->setMaxLength(static_cast<int>(TextSettings::kMaxText));
  textLabel->setBuddy(text_);
  layout->addWidget(textLabel);
  layout->addWidget(text_);

  auto* grid = new QGridLayout;
  face_ = labelledList("Czcionka", grid, 0, this);
  size_ = labelledList("Rozmiar", grid, 1, this);
  style_ = labelledList("Styl", grid, 2, this);
  face_->setObjectName("list1022");
  size_->setObjectName("list1041");
  style_->setObjectName("list1024");
  QStringList families = QFontDatabase::families();
  // "Arial" is what projects name; the system shows it in its metric twin.
  if (!families.contains("Arial")) families << "Arial";
  families.sort(Qt::CaseInsensitive);
  for (const QString& f : families) face_->addItem(f, f);
  for (int i = 0; i < 80; ++i) size_->addItem(QString::number(i), i);
  style_->addItem("Normal", 400);
  style_->addItem("Bold", 700);
  layout->addLayout(grid);

  italic_ = new QCheckBox("kursywa", this);
  italic_->setObjectName("check1002");
  italic_->setAccessibleName("kursywa");
  underline_ = new QCheckBox(QString::fromUtf8("podkreślenie"), this);
  underline_->setObjectName("check1020");
  underline_->setAccessibleName(QString::fromUtf8("podkreślenie"));
  auto* checks = new QHBoxLayout;
  checks->addWidget(italic_);
  checks->addWidget(underline_);
  checks->addStretch();
  layout->addLayout(checks);

  auto* colourRow = new QHBoxLayout;
  auto* colourLabel = new QLabel("Kolor tekstu ...", this);
  swatch_ = new ColourSwatch(settings.textColour, this);
  swatch_->setAccessibleName(colourLabel->text());
  auto* change = button(QString::fromUtf8("zmień"), this);
  colourRow->addWidget(colourLabel);
  colourRow->addWidget(swatch_);
  colourRow->addWidget(change);
  colourRow->addStretch();
  layout->addLayout(colourRow);

  preview_ = new TextPreview(settings, this);
  layout->addWidget(preview_);
  addDialogButtons(this, layout);

  // The entries of the settings; a face no longer installed selects nothing
  // and is kept.
  face_->setCurrentIndex(face_->findData(platform::toQString(settings.fontFace)));
  size_->setCurrentIndex(std::clamp(settings.fontSize, 0, 79));
  style_->setCurrentIndex(settings.fontWeight == 700 ? 1 : 0);
  italic_->setChecked(settings.italic != 0);
  underline_->setChecked(settings.underline != 0);

  auto refresh = [this] { preview_->update(); };
  connect(text_, &QLineEdit::textChanged, this, [this, refresh](const QString& t) {
    settings.text = platform::fromQString(t).substr(0, TextSettings::kMaxText);
    refresh();
  });
  connect(face_, &QComboBox::currentIndexChanged, this, [this, refresh](int i) {
    if (i >= 0) settings.fontFace = platform::fromQString(face_->itemData(i).toString());
    refresh();
  });
  connect(size_, &QComboBox::currentIndexChanged, this, [this, refresh](int i) {
    if (i >= 0) settings.fontSize = size_->itemData(i).toInt();
    refresh();
  });
  connect(style_, &QComboBox::currentIndexChanged, this, [this, refresh](int i) {
    if (i >= 0) settings.fontWeight = style_->itemData(i).toInt();
    refresh();
  });
  connect(italic_, &QCheckBox::toggled, this, [this, refresh](bool on) {
    settings.italic = on;
    refresh();
  });
  connect(underline_, &QCheckBox::toggled, this, [this, refresh](bool on) {
    settings.underline = on;
    refresh();
  });
  connect(change, &QPushButton::clicked, this, [this, refresh] {
    swatch_->pick("Kolor tekstu");
    settings.textColour = swatch_->colour();
    refresh();
  });
}
