#include "catalogue/ui/browser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <cstring>
#include <functional>

#include "catalogue/jpegbitmap.h"
#include "catalogue/partix_internal.h"
#include "catalogue/prices.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/qt_text.h"
#include "platform/textcodec.h"

namespace partix {
namespace {

QString qs(const std::string& cp1250) { return QString::fromStdString(platform::cp1250ToUtf8(cp1250)); }
std::string cp(const QString& s) { return platform::utf8ToCp1250(s.toStdString()); }
template <size_t N>
std::string field(const char (&f)[N]) {
  return std::string(f, strnlen(f, N));
}
template <size_t N>
void setField(char (&f)[N], const std::string& text) {
  std::memset(f, 0, N);
  std::memcpy(f, text.data(), std::min(text.size(), N - 1));
}
QString number(double v, int digits = 6) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", digits, v);
  return buf;
}
float readNumber(const QString& t) { return static_cast<float>(platform::parseUserDecimal(t.toStdString())); }

// The record of `e` copied into a page's own record of the same class.
std::unique_ptr<CData> copyRecord(const CElem& e) {
  if (!e.data) return nullptr;
  switch (e.kind) {
#define COPY(k, Class) \
  case k: return std::make_unique<Class>(*static_cast<const Class*>(e.data));
    COPY(0, CDBSprinkler) COPY(1, CKontr) COPY(2, CZawor) COPY(3, CRura) COPY(4, CZlacz) COPY(5, CAkces)
    COPY(6, CZrStat) COPY(7, CDyszaVan) COPY(8, CDyszaPr) COPY(9, CLinKrop) COPY(10, CReg) COPY(11, CFiltr)
    COPY(12, CStud) COPY(13, CWkladka) COPY(14, CRainSensor) COPY(15, CMkDysza) COPY(16, CMicroSprinklerHADAR)
    COPY(17, CDyszaMP) COPY(18, CKabel) COPY(19, CNozzleVanNonReg) COPY(20, CNozzleMPNonReg)
    COPY(21, CNozzleRectNonReg) COPY(22, CRWSSprinkler) COPY(23, CSoilSensor) COPY(24, CMicroSprinkler)
#undef COPY
    default: return nullptr;
  }
}

// "Wpisz nazwę": one line of text.
std::optional<QString> askText(QWidget* parent) {
  QDialog dlg(parent);
  dlg.setWindowTitle(QString::fromUtf8("Wpisz nazwę"));
  dlg.setAccessibleName(dlg.windowTitle());
  auto* l = new QVBoxLayout(&dlg);
  auto* edit = new QLineEdit(&dlg);
  edit->setObjectName("edit1013");
  edit->setAccessibleName(dlg.windowTitle());
  l->addWidget(edit);
  auto* ok = new QPushButton("OK", &dlg);
  ok->setDefault(true);
  l->addWidget(ok);
  QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

// The library shows its own message boxes: the program's message sink lives
// on the program's side of the library boundary.
bool confirm(QWidget* parent, const char* utf8) {
  return QMessageBox::question(parent, "Pytanie", QString::fromUtf8(utf8), QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace

// --- categories and filters ---------------------------------------------------------------------

const std::vector<std::pair<const char*, std::vector<const char*>>>& browserCategories() {
  static const std::vector<std::pair<const char*, std::vector<const char*>>> table = {
      {"Zraszacze statyczne",
       {"obudowy", "dysze st.„okrąg” nieregulowane", "dysze st.„okrąg” regulowane", "dysze st.„prostokąt” nieregulowane",
        "dysze rot.„okrąg” nieregulowane", "dysze rot.„okrąg” regulowane", "dysze rot.„prostokąt” nieregulowane"}},
      {"Zraszacze obrotowe", {}},
      {"Mikrozraszacze", {}},
      {"Mikrozraszacze HADAR", {"podstawa", "wkładki zraszające", "dysze"}},
      {"Seria RWS", {}},
      {"Linie kroplujące", {}},
      {"Sterowniki", {}},
      {"Zawory elektromagnetyczne", {}},
      {"Czujniki", {"opadu deszczu", "wilgotności gleby"}},
      {"Filtry", {}},
      {"Regulatory ciśnienia", {}},
      {"Studzienki", {"prostokątne", "okrągłe"}},
      {"Złączki", {}},
      {"Rury", {}},
      {"Przewody elektryczne", {}},
      {"Inne", {}},
  };
  return table;
}

int categoryFilterCode(int category, int subcategory) {
  static const int codes[16] = {1000, 0, 26, 1001, 24, 9, 1, 2, 1003, 11, 10, 1002, 4, 3, 18, 5};
  static const std::vector<int> statics = {6, 21, 7, 8, 22, 17, 23}, hadar = {14, 15, 16}, boxes = {19, 20},
                                sensors = {13, 25};
  if (category < 0 || category >= 16) return 1000;
  const int code = codes[category];
  const std::vector<int>* subs = code == 1000 ? &statics : code == 1001 ? &hadar : code == 1002 ? &boxes
                                 : code == 1003 ? &sensors : nullptr;
  if (!subs) return code;
  return (*subs)[static_cast<size_t>(std::clamp(subcategory, 0, static_cast<int>(subs->size()) - 1))];
}

bool passesFilter(const CElem& e, int code) {
  const int k = static_cast<int>(e.kind);
  switch (code) {
    case 1000: return true;
    case 13: return k == 14;
    case 14: return k == 16;
    case 15: return k == 13;
    case 16: return k == 15;
    case 19: case 20:
      return k == 12 && e.data && (static_cast<const CStud*>(e.data)->isRound != 0) == (code == 20);
    case 21: case 22: case 23: case 24: return k == code - 2;
    case 25: return k == 23;
    case 26: return k == 24;
    default: return k == code;
  }
}

// --- the price dialog ---------------------------------------------------------------------------

CDlgPrice::CDlgPrice(float price, float priceMul, float finalPrice, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Edycja ceny końcowej"));
  setAccessibleName(windowTitle());
  auto* l = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto readOnly = [this](float v, const QString& name) {
    auto* e = new QLineEdit(QString::fromStdString(platform::formatFixed(v, 2)), this);
    e->setReadOnly(true);
    e->setAccessibleName(name);
    return e;
  };
  form->addRow("Cena KORVEX", readOnly(price, "Cena KORVEX"));
  form->addRow(QString::fromUtf8("Cena KORVEX x mnożnik"), readOnly(priceMul, QString::fromUtf8("Cena KORVEX x mnożnik")));
  final_ = new QLineEdit(QString::fromStdString(finalPriceFieldText(finalPrice)), this);
  final_->setObjectName("editFinal");
  final_->setAccessibleName(QString::fromUtf8("Cena końcowa"));
  form->addRow(QString::fromUtf8("Cena końcowa"), final_);
  l->addLayout(form);
  auto* note = new QLabel(QString::fromUtf8("Uwaga: jesli pole \"Cena końcowa\" jest puste, wartość z pola \"Cena KORVEX x "
                                            "mnożnik\" jest ceną końcową."),
                          this);
  note->setWordWrap(true);
  l->addWidget(note);
  auto* row = new QHBoxLayout;
  ok_ = new QPushButton("OK", this);
  keep_ = new QPushButton("Zachowaj", this);
  ok_->setDefault(true);
  row->addStretch(1);
  row->addWidget(ok_);
  row->addWidget(keep_);
  l->addLayout(row);
  connect(ok_, &QPushButton::clicked, this, [this] {
    result = kPriceEditOk;
    accept();
  });
  connect(keep_, &QPushButton::clicked, this, [this] {
    result = kPriceEditKeep;
    accept();
  });
}

std::string CDlgPrice::enteredText() const { return cp(final_->text()); }

// --- element pages ------------------------------------------------------------------------------

// The square with the element's picture (black without one).
class PictureBox : public QWidget {
 public:
  explicit PictureBox(QWidget* parent) : QWidget(parent) {
    setFixedSize(150, 150);
    setAccessibleName(QString::fromUtf8("zdj./ryc."));
  }
  void load(const std::string& name) {
    image_ = QImage();
    DibBitmap bitmap;
    int w = 0, h = 0;
    if (name.empty() || !LoadJpegBitmap(name.c_str(), bitmap, w, h) || bitmap.empty()) return;
    QImage img(bitmap.width, bitmap.height, QImage::Format_RGB888);
    for (int y = 0; y < bitmap.height; ++y) {
      const uint8_t* src = bitmap.topRow(y);
      uchar* dst = img.scanLine(y);
      for (int x = 0; x < bitmap.width; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
    }
    image_ = img;
    update();
  }
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (image_.isNull())
      p.fillRect(rect(), Qt::black);
    else
      p.drawImage(rect(), image_);  // stretched, as the catalogue pictures always were
  }

 private:
  QImage image_;
};

class ElementPage : public QWidget {
 public:
  ElementPage(CElem& elem, QWidget* parent);
  CData* copy() const { return copy_.get(); }
  CElem& element() const { return elem_; }
  QPushButton* priceButton() const { return price_; }
  PictureBox* picture() const { return picture_; }
  QListWidget* rows() const { return rowList_; }
  QLineEdit* gridCell(int i) const { return i < static_cast<int>(grid_.size()) ? grid_[static_cast<size_t>(i)] : nullptr; }
  QTreeWidget* components() const { return components_; }

 private:
  // Field builders: the control shows the page copy's value and edits go to it.
  QLineEdit* text(const QString& label, char* buf, size_t cap, int id = 0);
  template <size_t N>
  QLineEdit* text(const QString& label, char (&f)[N], int id = 0) {
    return text(label, f, N, id);
  }
  QLineEdit* stdText(const QString& label, std::string& s);
  QLineEdit* real(const QString& label, float& v, int id = 0);
  QCheckBox* check(const QString& label, int32_t& v);
  void common();
  void priceButton();
  void refreshPrice();
  // A list of rows (nozzles, arcs, named rows) with the working points of
  // the selected one in a grid.
  struct RowModel {
    std::function<int()> count;
    std::function<QString(int)> label;
    int points = 4;
    bool flowAndPressureOnly = false;
    std::function<WorkPoint&(int row, int point)> point;
    std::function<bool(const QString&)> add;  // empty: no "+"/"-"
    std::function<void()> removeLast;
    const char* removeQuestion = nullptr;
  };
  void rowTable(RowModel model);
  void fillRows(int select);
  void showRow(int row);
  void strips(CPrDane* strip, int32_t& position);
  void hadarPage(CMicroSprinklerHADAR& base);
  void fillComponents();
  void controllerDetails(CKontr& k);

  CElem& elem_;
  std::unique_ptr<CData> copy_;
  int32_t archived_ = 0;
  QFormLayout* form_;
  QVBoxLayout* side_;
  QPushButton* price_ = nullptr;
  PictureBox* picture_;
  QListWidget* rowList_ = nullptr;
  std::vector<QLineEdit*> grid_;
  RowModel rowModel_;
  int row_ = -1;
  QTreeWidget* components_ = nullptr;
};

ElementPage::ElementPage(CElem& elem, QWidget* parent) : QWidget(parent), elem_(elem), copy_(copyRecord(elem)) {
  setObjectName(QString("page%1").arg(elem.kind));
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(8, 8, 8, 8);
  auto* left = new QVBoxLayout;
  form_ = new QFormLayout;
  left->addLayout(form_);
  left->addStretch(1);
  columns->addLayout(left, 1);
  side_ = new QVBoxLayout;
  picture_ = new PictureBox(this);
  side_->addWidget(picture_);
  side_->addStretch(1);
  columns->addLayout(side_);
  archived_ = elem.archived;
  CData& d = *copy_;
  picture_->load(field(d.picture));
  const int kind = static_cast<int>(elem.kind);
  if (kind != kKindHadarBase) common();
  switch (kind) {
    case kKindSprinkler: {
      auto& s = static_cast<CDBSprinkler&>(d);
      text(QString::fromUtf8("Przyłącze"), s.connection);
      auto* circle = new QGroupBox(this);
      auto* cl = new QHBoxLayout(circle);
      auto* sector = new QRadioButton("sektorowy", circle);
      auto* full = new QRadioButton(QString::fromUtf8("pełnoobrotowy"), circle);
      (s.fullCircle ? full : sector)->setChecked(true);
      cl->addWidget(sector);
      cl->addWidget(full);
      form_->addRow(circle);
      connect(full, &QRadioButton::toggled, this, [&s](bool on) { s.fullCircle = on ? 1 : 0; });
      RowModel m;
      m.count = [&s] { return static_cast<int>(s.nozzleCount); };
      m.label = [&s](int i) { return qs(field(s.nozzles[i].nozzleName)); };
      m.point = [&s](int r, int p) -> WorkPoint& { return s.nozzles[r].work[p]; };
      m.add = [&s, this](const QString& name) {
        if (s.nozzleCount >= 100) {
          QMessageBox::information(this, "Info.", QString::fromUtf8("Ilość dysz nie może przekraczać 100."));
          return false;
        }
        SprinklerNozzle& n = s.nozzles[s.nozzleCount];
        n = SprinklerNozzle{};
        setField(n.nozzleName, cp(name));
        ++s.nozzleCount;
        return true;
      };
      m.removeLast = [&s] {
        if (s.nozzleCount > 0) --s.nozzleCount;
      };
      m.removeQuestion = "Czy napewno chcesz skasować dane ostatniej dyszy ???";
      rowTable(m);
      break;
    }
    case kKindController: {
      auto& k = static_cast<CKontr&>(d);
      auto* details = new QPushButton(QString::fromUtf8("Szczegóły...."), this);
      form_->addRow(details);
      connect(details, &QPushButton::clicked, this, [this, &k] { controllerDetails(k); });
      break;
    }
    case kKindValve: {
      auto& v = static_cast<CZawor&>(d);
      real(QString::fromUtf8("Ciśnienie min [atm]"), v.pressureMin);
      real(QString::fromUtf8("Ciśnienie max [atm]"), v.pressureMax);
      real(QString::fromUtf8("Przepływ max [m3/h]"), v.flowMax);
      real(QString::fromUtf8("Prąd rozruchowy [A]"), v.inrushCurrent);
      real(QString::fromUtf8("Prąd podtrzymania [A]"), v.holdingCurrent);
      text(QString::fromUtf8("Napięcie"), v.voltage);
      break;
    }
    case kKindPipe: real(QString::fromUtf8("Średnica wewnętrzna [mm]"), static_cast<CRura&>(d).innerDiameter); break;
    case kKindStaticBody: {
      auto& b = static_cast<CZrStat&>(d);
      text(QString::fromUtf8("Przyłącze"), b.connection);
      real(QString::fromUtf8("Wysokość wynurzenia [cm]"), b.popUpHeight);
      break;
    }
    case kKindVanNozzle: case kKindMpNozzle: {
      RowModel m;
      if (kind == kKindVanNozzle) {
        auto& n = static_cast<CDyszaVan&>(d);
        m.count = [&n] { return static_cast<int>(n.rowCount); };
        m.label = [&n](int i) { return number(n.rows[i].angle); };
        m.point = [&n](int r, int p) -> WorkPoint& { return n.rows[r].work[p]; };
        m.add = [&n](const QString& angle) {
          if (n.rowCount >= 20) return false;
          n.rows[n.rowCount] = ArcRow4{};
          n.rows[n.rowCount++].angle = readNumber(angle);
          return true;
        };
        m.removeLast = [&n] {
          if (n.rowCount > 0) --n.rowCount;
        };
      } else {
        auto& n = static_cast<CDyszaMP&>(d);
        m.points = 7;
        m.count = [&n] { return std::clamp(n.rowCount, 0, 10); };
        m.label = [&n](int i) { return number(n.rows[i].angle); };
        m.point = [&n](int r, int p) -> WorkPoint& { return n.rows[r].work[p]; };
        m.add = [&n](const QString& angle) {
          if (n.rowCount >= 10) return false;
          n.rows[n.rowCount] = ArcRow7{};
          n.rows[n.rowCount++].angle = readNumber(angle);
          return true;
        };
        m.removeLast = [&n] {
          if (n.rowCount > 0) --n.rowCount;
        };
      }
      m.removeQuestion = "Czy napewno chcesz skasować dane ostatniej dyszy ???";
      rowTable(m);
      break;
    }
    case kKindStripNozzle: {
      auto& n = static_cast<CDyszaPr&>(d);
      strips(n.strips, n.position);
      break;
    }
    case kKindRectRotaryNozzle: {
      auto& n = static_cast<CNozzleRectNonReg&>(d);
      strips(n.strips, n.position);
      break;
    }
    case kKindDripLine: {
      auto& l = static_cast<CLinKrop&>(d);
      real(QString::fromUtf8("Średnica zewnętrzna [mm]"), l.outerDiameter);
      real(QString::fromUtf8("Grubość ścianki [mm]"), l.wallThickness);
      real(QString::fromUtf8("Długość zwoju [m]"), l.rollLength);
      real(QString::fromUtf8("Wydatek emitera [l/h]"), l.dripperFlow);
      real(QString::fromUtf8("Rozstaw emiterów [cm]"), l.dripperSpacing);
      real(QString::fromUtf8("Maks. długość odcinka [m]"), l.maxRunLength);
      text("Kolor", l.colour);
      text("Typ emitera", l.dripperType);
      text(QString::fromUtf8("Zalecane ciśnienie"), l.recommendedPressure);
      break;
    }
    case kKindRegulator: {
      auto& r = static_cast<CReg&>(d);
      text(QString::fromUtf8("Średnica przyłącza"), r.connectionDiameter);
      text(QString::fromUtf8("Zakres przepływu"), r.flowRange);
      text(QString::fromUtf8("Zakres ciśnienia wyjściowego"), r.outletPressureRange);
      break;
    }
    case kKindFilter: {
      auto& f = static_cast<CFiltr&>(d);
      text(QString::fromUtf8("Średnica przyłącza"), f.connectionDiameter);
      real(QString::fromUtf8("Przepływ max [m3/h]"), f.flowMax);
      real(QString::fromUtf8("Gęstość siatki [mesh]"), f.mesh);
      break;
    }
    case kKindValveBox: {
      auto& b = static_cast<CStud&>(d);
      real(QString::fromUtf8("Wysokość [cm]"), b.height);
      real(QString::fromUtf8("Szerokość u góry [cm]"), b.widthTop);
      real(QString::fromUtf8("Szerokość u dołu [cm]"), b.widthBottom);
      real(QString::fromUtf8("Długość u góry [cm]"), b.lengthTop);
      real(QString::fromUtf8("Długość u dołu [cm]"), b.lengthBottom);
      real(QString::fromUtf8("Średnica u góry [cm]"), b.diameterTop);
      real(QString::fromUtf8("Średnica u dołu [cm]"), b.diameterBottom);
      check(QString::fromUtf8("Okrągła (jeśli zaznaczone)"), b.isRound);
      break;
    }
    case kKindHadarInsert: case kKindHadarNozzle: {
      // Inserts and nozzles hold the same named rows.
      uint8_t& count = kind == kKindHadarInsert ? static_cast<CWkladka&>(d).rowCount : static_cast<CMkDysza&>(d).rowCount;
      NamedRow4* rows = kind == kKindHadarInsert ? static_cast<CWkladka&>(d).rows : static_cast<CMkDysza&>(d).rows;
      RowModel m;
      m.count = [&count] { return std::min<int>(count, 20); };
      m.label = [rows](int i) { return qs(field(rows[i].rowName)); };
      m.point = [rows](int r, int p) -> WorkPoint& { return rows[r].work[p]; };
      if (kind == kKindHadarInsert) {
        m.add = [&count, rows](const QString& name) {
          if (count >= 20) return false;
          rows[count] = NamedRow4{};
          setField(rows[count++].rowName, cp(name));
          return true;
        };
        m.removeLast = [&count] {
          if (count > 0) --count;
        };
        m.removeQuestion = "Czy napewno chcesz skasować ostatni element ???";
      } else {
        m.flowAndPressureOnly = true;
      }
      rowTable(m);
      break;
    }
    case kKindRainSensor: {
      auto& r = static_cast<CRainSensor&>(d);
      text(QString::fromUtf8("Regulacja płynna"), r.smoothSetting);
      text("Regulacja skokowa", r.stepSetting);
      check("Zasilanie bateryjne", r.forBattery);
      check("Zasilanie sieciowe", r.forMains);
      break;
    }
    case kKindHadarBase: hadarPage(static_cast<CMicroSprinklerHADAR&>(d)); break;
    case kKindVanNozzleFixed: case kKindMpNozzleFixed: {
      ArcRow4& row = kind == kKindVanNozzleFixed ? static_cast<CNozzleVanNonReg&>(d).row
                                                 : static_cast<CNozzleMPNonReg&>(d).row;
      RowModel m;
      m.count = [] { return 1; };
      m.label = [&row](int) { return number(row.angle); };
      m.point = [&row](int, int p) -> WorkPoint& { return row.work[p]; };
      real(QString::fromUtf8("Kąt [°]"), row.angle);
      rowTable(m);
      break;
    }
    case kKindRws: {
      auto& r = static_cast<CRWSSprinkler&>(d);
      stdText(QString::fromUtf8("Przyłącze"), r.connection);
      stdText(QString::fromUtf8("Wysokość [cm]"), r.heightCm);
      stdText(QString::fromUtf8("Średnica [cm]"), r.diameterCm);
      real("P [atm]", r.work[0].P);
      real("Q [m3/h]", r.work[0].Q);
      break;
    }
    case kKindSoilSensor: {
      auto& s = static_cast<CSoilSensor&>(d);
      check("Zasilanie bateryjne", s.forBattery);
      check("Zasilanie sieciowe", s.forMains);
      check("Archiwum", archived_);
      break;
    }
    case kKindMicroSprinkler: {
      auto& m = static_cast<CMicroSprinkler&>(d);
      real(QString::fromUtf8("Kąt [°]"), m.angle);
      RowModel rows;
      rows.count = [] { return 1; };
      rows.label = [](int) { return QString::fromUtf8("Punkty pracy"); };
      rows.points = 5;
      rows.point = [&m](int, int p) -> WorkPoint& { return m.work[p]; };
      rowTable(rows);
      check("Archiwum", archived_);
      break;
    }
    default: break;  // fittings, accessories and cables: the common fields
  }
}

QLineEdit* ElementPage::text(const QString& label, char* buf, size_t cap, int id) {
  auto* e = new QLineEdit(qs(std::string(buf, strnlen(buf, cap))), this);
  if (id) e->setObjectName(QString("edit%1").arg(id));
  e->setAccessibleName(label);
  form_->addRow(label, e);
  connect(e, &QLineEdit::textEdited, this, [buf, cap](const QString& t) {
    const std::string s = cp(t);
    std::memset(buf, 0, cap);
    std::memcpy(buf, s.data(), std::min(s.size(), cap - 1));
  });
  return e;
}

QLineEdit* ElementPage::stdText(const QString& label, std::string& s) {
  auto* e = new QLineEdit(qs(s), this);
  e->setAccessibleName(label);
  form_->addRow(label, e);
  connect(e, &QLineEdit::textEdited, this, [&s](const QString& t) { s = cp(t); });
  return e;
}

QLineEdit* ElementPage::real(const QString& label, float& v, int id) {
  auto* e = new QLineEdit(number(v), this);
  if (id) e->setObjectName(QString("edit%1").arg(id));
  e->setAccessibleName(label);
  form_->addRow(label, e);
  connect(e, &QLineEdit::textEdited, this, [&v](const QString& t) { v = readNumber(t); });
  return e;
}

QCheckBox* ElementPage::check(const QString& label, int32_t& v) {
  auto* c = new QCheckBox(label, this);
  c->setChecked(v != 0);
  form_->addRow(c);
  connect(c, &QCheckBox::toggled, this, [&v](bool on) { v = on ? 1 : 0; });
  return c;
}

void ElementPage::common() {
  CData& d = *copy_;
  text("Nazwa", d.name, 1011);
  text("Numer kat.", d.catalogueNo, 1041);
  text("Producent", d.manufacturer, 1076);
  const bool perMetre = elem_.kind == kKindPipe || elem_.kind == kKindDripLine;
  QLineEdit* list = real("Cena detaliczna netto", d.price, 1042);
  if (perMetre) list->setToolTip(elem_.kind == kKindPipe ? "PLN/m" : "PLN/mb");
  text("zdj./ryc.", d.picture, 1052);
  priceButton();
}

void ElementPage::priceButton() {
  price_ = new QPushButton(this);
  price_->setObjectName("button1094");
  price_->setAccessibleName(QString::fromUtf8("Cena końcowa"));
  price_->setToolTip(QString::fromUtf8("Cena końcowa: kliknij, aby ją zmienić"));
  form_->addRow(QString::fromUtf8("Cena końcowa [PLN]"), price_);
  refreshPrice();
  connect(price_, &QPushButton::clicked, this, [this] {
    if (!elem_.data) return;
    CDlgPrice dlg(elem_.data->price, elem_.data->priceMul, elem_.data->finalPrice, this);
    dlg.exec();
    applyPriceEdit(*elem_.data, dlg.result, dlg.enteredText());
    refreshPrice();
  });
}

void ElementPage::refreshPrice() {
  if (price_ && elem_.data) price_->setText(qs(priceButtonText(*elem_.data)));
}

void ElementPage::rowTable(RowModel model) {
  rowModel_ = std::move(model);
  auto* box = new QGroupBox("Parametry pracy", this);
  auto* l = new QHBoxLayout(box);
  auto* listSide = new QVBoxLayout;
  rowList_ = new QListWidget(box);
  rowList_->setObjectName("list1068");
  rowList_->setAccessibleName(elem_.kind == kKindSprinkler ? "nr dyszy" : "Wiersze");
  rowList_->setMaximumWidth(160);
  listSide->addWidget(rowList_);
  if (rowModel_.add) {
    auto* buttons = new QHBoxLayout;
    auto* plus = new QPushButton("+", box);
    auto* minus = new QPushButton("-", box);
    plus->setAccessibleName("+");
    minus->setAccessibleName("-");
    buttons->addWidget(plus);
    buttons->addWidget(minus);
    listSide->addLayout(buttons);
    connect(plus, &QPushButton::clicked, this, [this] {
      if (rowModel_.add && elem_.kind == kKindSprinkler && rowModel_.count() >= 100) {
        rowModel_.add({});  // tells the limit
        return;
      }
      const std::optional<QString> text = askText(this);
      if (!text) return;
      if (rowModel_.add(*text)) fillRows(rowModel_.count() - 1);
    });
    connect(minus, &QPushButton::clicked, this, [this] {
      if (rowModel_.count() == 0 || !confirm(this, rowModel_.removeQuestion)) return;
      rowModel_.removeLast();
      fillRows(0);
    });
  }
  l->addLayout(listSide);
  auto* grid = new QGridLayout;
  const int columns = rowModel_.flowAndPressureOnly ? 2 : 3;
  const char* heads[] = {"P [atm]", rowModel_.flowAndPressureOnly || elem_.kind == kKindHadarInsert ||
                                            elem_.kind == kKindMicroSprinkler
                                        ? "Q [l/h]"
                                        : "Q [m3/h]",
                         "R [m]"};
  for (int c = 0; c < columns; ++c) grid->addWidget(new QLabel(heads[c], box), 0, c + 1);
  for (int p = 0; p < rowModel_.points; ++p) {
    grid->addWidget(new QLabel(QString::number(p + 1), box), p + 1, 0);
    for (int c = 0; c < columns; ++c) {
      auto* e = new QLineEdit(box);
      e->setObjectName(QString("edit%1").arg(1056 + 3 * p + c));
      e->setAccessibleName(QString("%1, punkt %2").arg(heads[c]).arg(p + 1));
      e->setMaximumWidth(80);
      grid->addWidget(e, p + 1, c + 1);
      grid_.push_back(e);
      connect(e, &QLineEdit::textEdited, this, [this, p, c](const QString& t) {
        if (row_ < 0 || row_ >= rowModel_.count()) return;
        WorkPoint& w = rowModel_.point(row_, p);
        (c == 0 ? w.P : c == 1 ? w.Q : w.R) = readNumber(t);
      });
    }
  }
  l->addLayout(grid);
  form_->addRow(box);
  connect(rowList_, &QListWidget::currentRowChanged, this, [this](int r) { showRow(r); });
  fillRows(0);
}

void ElementPage::fillRows(int select) {
  QSignalBlocker block(rowList_);
  rowList_->clear();
  for (int i = 0; i < rowModel_.count(); ++i) rowList_->addItem(rowModel_.label(i));
  const int r = rowList_->count() ? std::clamp(select, 0, rowList_->count() - 1) : -1;
  rowList_->setCurrentRow(r);
  showRow(r);
}

void ElementPage::showRow(int r) {
  row_ = r;
  const int columns = rowModel_.flowAndPressureOnly ? 2 : 3;
  const int digits = elem_.kind == kKindMpNozzle ? 5 : 6;
  for (int p = 0; p < rowModel_.points; ++p)
    for (int c = 0; c < columns; ++c) {
      QLineEdit* e = grid_[static_cast<size_t>(p * columns + c)];
      if (r < 0) {
        e->clear();
        continue;
      }
      const WorkPoint& w = rowModel_.point(r, p);
      e->setText(number(c == 0 ? w.P : c == 1 ? w.Q : w.R, digits));
    }
}

void ElementPage::strips(CPrDane* strip, int32_t& position) {
  auto* box = new QGroupBox("Pasy", this);
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel("P [atm]", box), 0, 1);
  grid->addWidget(new QLabel("WxL [m]", box), 0, 2);
  grid->addWidget(new QLabel("Q [m3/h]", box), 0, 3);
  for (int i = 0; i < 4; ++i) {
    CPrDane& s = strip[i];
    grid->addWidget(new QLabel(QString::number(i + 1), box), i + 1, 0);
    auto* p = new QLineEdit(number(s.pressure), box);
    auto* size = new QLineEdit(qs(field(s.size)), box);
    auto* q = new QLineEdit(number(s.flow), box);
    p->setObjectName(QString("edit%1").arg(1056 + 3 * i));
    size->setObjectName(QString("edit%1").arg(1057 + 3 * i));
    q->setObjectName(QString("edit%1").arg(1058 + 3 * i));
    p->setAccessibleName(QString("P, pas %1").arg(i + 1));
    size->setAccessibleName(QString("WxL, pas %1").arg(i + 1));
    q->setAccessibleName(QString("Q, pas %1").arg(i + 1));
    grid->addWidget(p, i + 1, 1);
    grid->addWidget(size, i + 1, 2);
    grid->addWidget(q, i + 1, 3);
    connect(p, &QLineEdit::textEdited, this, [&s](const QString& t) { s.pressure = readNumber(t); });
    connect(q, &QLineEdit::textEdited, this, [&s](const QString& t) { s.flow = readNumber(t); });
    connect(size, &QLineEdit::textEdited, this, [&s](const QString& t) { setField(s.size, cp(t)); });
  }
  auto* where = new QComboBox(box);
  where->setObjectName("list1081");
  where->setAccessibleName("Położenie");
  const char* places[] = {"Dłuższy bok", "Krótszy bok", "Środek", "Lewy róg", "Prawy róg"};
  for (int i = 0; i < 5; ++i) where->addItem(QString::fromUtf8(places[i]), i);
  where->setCurrentIndex(where->findData(position));
  grid->addWidget(where, 5, 1, 1, 3);
  connect(where, &QComboBox::currentIndexChanged, this, [&position, where](int i) {
    if (i >= 0) position = where->itemData(i).toInt();
  });
  form_->addRow(box);
}

void ElementPage::hadarPage(CMicroSprinklerHADAR& base) {
  text("Nazwa", base.name, 1011);
  text("Producent", base.manufacturer, 1076);
  text(QString::fromUtf8("Przyłącze"), base.connection);
  components_ = new QTreeWidget(this);
  components_->setObjectName("list1002");
  components_->setAccessibleName(QString::fromUtf8("Elementy składowe"));
  components_->setRootIsDecorated(false);
  components_->setHeaderLabels({QString::fromUtf8("Element składowy"), "Nr katalogowy",
                                QString::fromUtf8("Cena KORVEX x mnożnik [PLN]"), QString::fromUtf8("Cena końcowa [PLN]")});
  components_->setMinimumHeight(140);
  form_->addRow(components_);
  auto* edit = new QPushButton(QString::fromUtf8("Edytuj cenę"), this);
  form_->addRow(edit);
  fillComponents();
  connect(edit, &QPushButton::clicked, this, [this] {
    auto* real = static_cast<CMicroSprinklerHADAR*>(elem_.data);
    const int i = std::max(0, components_->indexOfTopLevelItem(components_->currentItem()));
    if (!real || i >= std::clamp(real->componentCount, 0, 10)) return;
    HadarComponent& c = real->components[i];
    CDlgPrice dlg(c.componentPrice, c.componentPriceMul, c.componentFinalPrice, this);
    dlg.exec();
    applyComponentPriceEdit(c, dlg.result, dlg.enteredText());
    static_cast<CMicroSprinklerHADAR&>(*copy_).components[i].componentFinalPrice = c.componentFinalPrice;
    fillComponents();
    components_->setCurrentItem(components_->topLevelItem(i));
  });
}

void ElementPage::fillComponents() {
  components_->clear();
  const auto& base = static_cast<const CMicroSprinklerHADAR&>(*copy_);
  for (int i = 0; i < std::clamp(base.componentCount, 0, 10); ++i) {
    const HadarComponent& c = base.components[i];
    const float final = std::fabs(c.componentFinalPrice) >= 0.00001f ? c.componentFinalPrice : c.componentPriceMul;
    components_->addTopLevelItem(new QTreeWidgetItem(
        {qs(field(c.componentName)), qs(field(c.componentCatNo)), QString::fromStdString(platform::formatFixed(c.componentPriceMul, 2)),
         QString::fromStdString(platform::formatFixed(final, 2))}));
  }
}

void ElementPage::controllerDetails(CKontr& k) {
  QDialog dlg(this);
  dlg.setWindowTitle("Cechy i funkcje");
  dlg.setAccessibleName(dlg.windowTitle());
  auto* l = new QVBoxLayout(&dlg);
  auto* form = new QFormLayout;
  l->addLayout(form);
  const std::pair<const char*, int32_t*> flags[] = {
      {"Zawór główny/pompa", &k.mainValveOut}, {"wg dni tygodnia", &k.byWeekDays}, {"cyklicznie", &k.cyclic},
      {"Możliwość podłączenia sensora", &k.sensorInput}, {"Pilot", &k.remote}, {"Obudowa wodoszczelna", &k.waterproof}};
  for (auto [label, value] : flags) {
    auto* c = new QCheckBox(QString::fromUtf8(label), &dlg);
    c->setChecked(*value != 0);
    form->addRow(c);
    connect(c, &QCheckBox::toggled, &dlg, [field = value](bool on) { *field = on ? 1 : 0; });
  }
  const std::pair<const char*, char*> texts[] = {
      {"Zasilanie:", k.power}, {"Liczba sekcji", k.stations}, {"Ilość programów", k.programs},
      {"Liczba startów w programie", k.startsPerProgram}, {"Programowanie zaworów", k.valveProgramming},
      {"Przerwa cyklu", k.cyclePause}, {"Czas pracy zaworu", k.valveRunTime}};
  for (auto [label, buf] : texts) {
    auto* e = new QLineEdit(qs(std::string(buf, strnlen(buf, 1024))), &dlg);
    e->setAccessibleName(QString::fromUtf8(label));
    form->addRow(QString::fromUtf8(label), e);
    connect(e, &QLineEdit::textEdited, &dlg, [field = buf](const QString& t) {
      const std::string s = cp(t);
      std::memset(field, 0, 1024);
      std::memcpy(field, s.data(), std::min<size_t>(s.size(), 1023));
    });
  }
  auto* ok = new QPushButton("OK", &dlg);
  ok->setDefault(true);
  l->addWidget(ok);
  connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
  dlg.exec();
}

// --- the browser --------------------------------------------------------------------------------

CDlgBrowser::CDlgBrowser(CPartix& catalogue, QWidget* parent) : QDialog(parent), cat_(catalogue) {
  setWindowTitle(QString::fromUtf8("Przeglądanie bazy danych"));
  setAccessibleName(windowTitle());
  resize(1100, 720);
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* group = new QGroupBox("Kategorie", this);
  auto* gl = new QGridLayout(group);
  filter_ = new QPushButton("Filtruj", group);
  filter_->setObjectName("button1082");
  filter_->setCheckable(true);
  category_ = new QComboBox(group);
  category_->setObjectName("list1081");
  category_->setAccessibleName("Kategorie");
  for (const auto& [name, subs] : browserCategories()) category_->addItem(QString::fromUtf8(name));
  subcategory_ = new QComboBox(group);
  subcategory_->setObjectName("list1086");
  subcategory_->setAccessibleName("podkategoria");
  gl->addWidget(filter_, 0, 0);
  gl->addWidget(category_, 0, 1);
  gl->addWidget(new QLabel("podkategoria:", group), 1, 0);
  gl->addWidget(subcategory_, 1, 1);
  left->addWidget(group);
  auto* searchRow = new QHBoxLayout;
  auto* searchLabel = new QLabel("Szukaj:", this);
  search_ = new QLineEdit(this);
  search_->setObjectName("search");
  search_->setAccessibleName("Szukaj");
  search_->setPlaceholderText(QString::fromUtf8("nazwa lub numer katalogowy"));
  search_->setClearButtonEnabled(true);
  searchLabel->setBuddy(search_);
  searchRow->addWidget(searchLabel);
  searchRow->addWidget(search_);
  left->addLayout(searchRow);
  left->addWidget(new QLabel(QString::fromUtf8("Nazwy elementów"), this));
  list_ = new QListWidget(this);
  list_->setObjectName("list1002");
  list_->setAccessibleName(QString::fromUtf8("Nazwy elementów"));
  list_->setSortingEnabled(true);
  list_->setMinimumWidth(300);
  left->addWidget(list_, 1);
  auto* buttons = new QHBoxLayout;
  auto* info = new QPushButton("Info Bazy", this);
  auto* exit = new QPushButton(QString::fromUtf8("Wyjście"), this);
  buttons->addWidget(info);
  buttons->addStretch(1);
  buttons->addWidget(exit);
  left->addLayout(buttons);
  columns->addLayout(left);

  auto* right = new QVBoxLayout;
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("tabs1013");
  tabs_->setAccessibleName("Rodzaje");
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  for (const PartixKindName& k : kPartixKindTable) tabs_->addTab(QString::fromUtf8(k.name));
  right->addWidget(tabs_);
  pageBox_ = new QVBoxLayout;
  right->addLayout(pageBox_, 1);
  columns->addLayout(right, 1);

  connect(category_, &QComboBox::currentIndexChanged, this, [this](int c) {
    {
      QSignalBlocker block(subcategory_);
      subcategory_->clear();
      if (c >= 0)
        for (const char* s : browserCategories()[static_cast<size_t>(c)].second) subcategory_->addItem(QString::fromUtf8(s));
      subcategory_->setCurrentIndex(subcategory_->count() ? 0 : -1);
    }
    if (filter_->isChecked()) applyFilter();
  });
  connect(subcategory_, &QComboBox::currentIndexChanged, this, [this] {
    if (filter_->isChecked()) applyFilter();
  });
  connect(filter_, &QPushButton::toggled, this, [this](bool on) {
    if (on) {
      applyFilter();
    } else {
      filterCode_ = 1000;
      fillList();
    }
  });
  connect(search_, &QLineEdit::textChanged, this, [this] { fillList(); });
  connect(list_, &QListWidget::currentItemChanged, this, [this] { showSelected(); });
  connect(info, &QPushButton::clicked, this, &CDlgBrowser::showInfo);
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);

  category_->setCurrentIndex(0);
  for (const char* s : browserCategories()[0].second) subcategory_->addItem(QString::fromUtf8(s));
  fillList();
  if (list_->count()) list_->setCurrentRow(0);
}

CDlgBrowser::~CDlgBrowser() = default;

void CDlgBrowser::fillList() {
  QSignalBlocker block(list_);
  CElem* keep = current_;
  list_->clear();
  const QString wanted = search_->text().trimmed();
  QListWidgetItem* again = nullptr;
  for (CElem* e = cat_.head; e; e = e->next) {
    if (!e->data || e->archived || e->deleted || !passesFilter(*e, filterCode_)) continue;
    const QString name = qs(field(e->data->name));
    if (!wanted.isEmpty() && !platform::searchMatches(name, wanted) &&
        !platform::searchMatches(qs(field(e->data->catalogueNo)), wanted))
      continue;
    auto* item = new QListWidgetItem(name);
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(e)));
    list_->addItem(item);
    if (e == keep) again = item;
  }
  // The page shown stays until another element is chosen.
  if (again) list_->setCurrentItem(again);
}

void CDlgBrowser::applyFilter() {
  filterCode_ = categoryFilterCode(category_->currentIndex(), subcategory_->currentIndex());
  fillList();
}

void CDlgBrowser::showSelected() {
  QListWidgetItem* item = list_->currentItem();
  if (!item || !cat_.head) return;
  CElem* e = static_cast<CElem*>(item->data(Qt::UserRole).value<void*>());
  if (!e) return;
  current_ = e;
  for (int i = 0; i < static_cast<int>(kKindCount); ++i)
    if (kPartixKindTable[i].code == static_cast<int>(e->kind)) tabs_->setCurrentIndex(i);
  // Each element gets a fresh page: what was typed into the last is gone.
  page_.reset();
  if (e->data) {
    page_ = std::make_unique<ElementPage>(*e, this);
    pageBox_->addWidget(page_.get());
    page_->show();
  }
  list_->setFocus();
}

void CDlgBrowser::showInfo() {
  QDialog dlg(this);
  dlg.setWindowTitle("DataBase Info");
  dlg.setAccessibleName(dlg.windowTitle());
  auto* l = new QVBoxLayout(&dlg);
  auto* form = new QFormLayout;
  struct Text {
    const char* label;
    char* field;
    int keep;
  } texts[] = {{"Wersja Bazy....", cat_.version, 19}, {"Autor...............", cat_.author, 49},
               {"Opis.................", cat_.description, 69}};
  std::vector<QLineEdit*> edits;
  for (const Text& t : texts) {
    auto* e = new QLineEdit(qs(std::string(t.field, strnlen(t.field, 1024))), &dlg);
    e->setAccessibleName(QString::fromUtf8(t.label).remove('.'));
    form->addRow(QString::fromUtf8(t.label), e);
    edits.push_back(e);
  }
  l->addLayout(form);
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton("OK", &dlg);
  auto* cancel = new QPushButton("Cancel", &dlg);
  ok->setDefault(true);
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  l->addLayout(row);
  connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
  if (dlg.exec() != QDialog::Accepted) return;
  // For this run only: the catalogue file is never written.
  for (size_t i = 0; i < std::size(texts); ++i) {
    const std::string s = cp(edits[i]->text()).substr(0, static_cast<size_t>(texts[i].keep));
    std::memset(texts[i].field, 0, 1024);
    std::memcpy(texts[i].field, s.data(), s.size());
  }
}

}  // namespace partix

void DataBaseViewWindow() {
  CPartix* catalogue = partix::currentCatalogue();
  CPartix empty;
  // Picture names are resolved in the image folder.
  const QString before = QDir::currentPath();
  if (ImgDir) QDir::setCurrent(QString::fromLocal8Bit(ImgDir));
  {
    partix::CDlgBrowser browser(catalogue ? *catalogue : empty);
    browser.exec();
  }
  QDir::setCurrent(before);
}
